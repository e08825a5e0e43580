#include "offline/entry_editor.hpp"

#include "common/fixed_text.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"
#include "offline/entry_form.hpp"
#include "offline/logbook_fixture.hpp"

namespace kestrel::offline {
namespace {

using Editor = EntryEditorWindow;
using ui::Key;
using ui::TestRun;

constexpr int k_call = box_control(box::call);
constexpr int k_time_on = box_control(box::time_on);
constexpr int k_frequency = box_control(box::frequency);
constexpr int k_power = box_control(box::power);
constexpr int k_comment = box_control(box::comment);

class EntryEditorTest : public testing::LogbookTest {
  protected:
    TestRun open_new() { return m_host.open(Editor{env()}); }

    // Types one box after another, Enter after each, the way a contact is keyed in.
    static void key_in(TestRun& run, const std::vector<std::string>& boxes) {
        for (const std::string& text : boxes)
            run.type(text).key(Key::enter);
    }
};

TEST_F(EntryEditorTest, TypeAContactSaveWithF12AndTypeTheNext) {
    open_log({});
    auto run = open_new();
    EXPECT_EQ(run.caption(), "KESTREL v6    Off Line Logging" + std::string(10, ' ') + log_path());
    EXPECT_EQ(run.text(Editor::k_entry_number), " 1");
    EXPECT_FALSE(run.enabled(Editor::k_save));
    EXPECT_FALSE(run.enabled(Editor::k_print_qsl));
    EXPECT_FALSE(run.enabled(Editor::k_qso));
    EXPECT_EQ(run.focused(), Editor::k_date);

    key_in(run, {"010299", "g4abc", "1230", "", "", "", "14.2", "cw", "100"});
    run.type("First of the day");
    EXPECT_EQ(run.text(k_call), "G4ABC") << "the call box writes capitals";
    EXPECT_TRUE(run.enabled(Editor::k_save));
    EXPECT_TRUE(run.enabled(Editor::k_print_qsl));
    EXPECT_EQ(run.focused(), k_comment);
    run.key(Key::enter);
    EXPECT_EQ(run.focused(), k_comment) << "Enter stops at the last box";
    run.key(Key::f12);

    ASSERT_EQ(m_log.record_count(), 1);
    EXPECT_EQ(contact(1).call, fixed_width("G4ABC", 12));
    EXPECT_EQ(contact(1).rst_sent, "599    ");
    EXPECT_EQ(contact(1).mode, "CW ");
    EXPECT_EQ(contact(1).time_off, 750);
    EXPECT_TRUE(m_chart.worked(223, 4, logstore::k_mode_cw)) << "England, 20 m, CW";
    EXPECT_EQ(run.text(Editor::k_entry_number), " 2");
    EXPECT_EQ(run.text(Editor::k_date), "");
    EXPECT_EQ(run.text(k_comment), "");
    EXPECT_FALSE(run.enabled(Editor::k_save));
    EXPECT_EQ(run.focused(), Editor::k_date);

    // The next contact, a day earlier, goes before the first one.
    key_in(run, {"31/1/99", "K1XYZ", "2300", "2310", "57", "55", "7.02", "SSB", "5"});
    run.key(Key::f12);
    EXPECT_EQ(testing::calls_in(log_path()), (std::vector<std::string>{"K1XYZ", "G4ABC"}));
    EXPECT_EQ(run.text(Editor::k_entry_number), " 3");
    EXPECT_EQ(contact(1).rst_received, "55     ");
    EXPECT_TRUE(m_host.messages().empty());
    EXPECT_EQ(m_host.beeps(), 0);
}

TEST_F(EntryEditorTest, F1PutsBackTheLastContactBoxByBoxAcrossSessions) {
    open_log({});
    {
        auto run = open_new();
        key_in(run, {"1/2/99", "G4ABC", "1230", "1240", "", "", "14.2", "CW", "100"});
        run.type("QRP").key(Key::f12);
        run.key(Key::escape);
        EXPECT_FALSE(run.is_open());
    }
    auto run = open_new();
    run.key(Key::f1).key(Key::f1).key(Key::f1);
    EXPECT_EQ(run.text(Editor::k_date), "01/02/99") << "the date as the check rewrote it";
    EXPECT_EQ(run.text(k_call), "G4ABC");
    EXPECT_EQ(run.text(k_time_on), "1230");
    EXPECT_EQ(run.focused(), box_control(box::time_off));
    run.type("1300").key(Key::enter).key(Key::f1).key(Key::f1);
    EXPECT_EQ(run.text(box_control(box::rst_sent)), "") << "the report box was empty at the last save";
    EXPECT_EQ(run.focused(), k_frequency);

    run.click(Editor::k_text).replace(Editor::k_date, "").key(Key::f1);
    EXPECT_EQ(run.text(Editor::k_date), "") << "F1 repeats contacts only";
}

TEST_F(EntryEditorTest, AMissingBoxBeepsAndABadDateIsRefusedWithItsMessage) {
    open_log({});
    auto run = open_new();
    key_in(run, {"1/2/99", "G4ABC", "1230", "", "", "", "", "CW", "100"});
    run.key(Key::f12);
    EXPECT_EQ(m_host.beeps(), 1);
    EXPECT_EQ(run.focused(), k_frequency);
    EXPECT_EQ(m_log.record_count(), 0);

    run.type("14").key(Key::enter);
    m_host.answer(ui::Answer::ok); // the formats allowed
    run.replace(Editor::k_date, "1/2/3").key(Key::f12);
    m_host.answer(ui::Answer::ok); // the last date the log can hold
    run.replace(Editor::k_date, "1/2/2061").key(Key::f12);
    ASSERT_EQ(m_host.messages().size(), 2u);
    EXPECT_EQ(m_host.messages()[0].title, "Date Error");
    EXPECT_EQ(m_host.messages()[0].text,
              " Formats allowed:\r\nddmmyy, must be 6 digits\r\nd/m/yy or d-m-yy\r\nd/m/yyyy or d-m-yyyy");
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::exclamation);
    EXPECT_EQ(m_host.messages()[1].text, " The log holds dates from 01-01-1930 to 31-01-2061.");
    EXPECT_EQ(run.text(Editor::k_date), "");
    EXPECT_EQ(run.focused(), Editor::k_date);
    EXPECT_EQ(m_log.record_count(), 0);
    EXPECT_EQ(run.text(k_call), "G4ABC") << "the rest of the entry stays for correction";
}

TEST_F(EntryEditorTest, TheKindButtonsBuildEachForm) {
    open_log({});
    auto run = open_new();
    run.type("x");
    EXPECT_TRUE(run.enabled(Editor::k_print_qsl));
    run.click(Editor::k_data);
    EXPECT_FALSE(run.enabled(Editor::k_data));
    EXPECT_TRUE(run.enabled(Editor::k_qso));
    EXPECT_FALSE(run.enabled(Editor::k_print_qsl));
    EXPECT_EQ(run.text(24), "Tranceiver");
    EXPECT_EQ(run.context().control(box_control(box::band)).rect, (ui::Rect{70, 93, 35, 12}));
    EXPECT_FALSE(run.exists(box_control(box::mode)));
    EXPECT_FALSE(run.exists(k_qsl_sent));
    run.replace(Editor::k_date, "");
    key_in(run, {"011299", "0900", "G4ABC", "FT-1000", "Dipole"});
    run.type("14.1").key(Key::enter).key(Key::f12);
    ASSERT_EQ(m_log.record_count(), 1);
    EXPECT_EQ(logstore::StationDataRecord::decode(record(1)).band_index, 4);

    run.click(Editor::k_text);
    EXPECT_FALSE(run.enabled(Editor::k_text));
    EXPECT_FALSE(run.enabled(Editor::k_print_qsl));
    EXPECT_EQ(run.text(24), "Text");
    EXPECT_FALSE(run.exists(22)) << "a note has no label 22";
    EXPECT_EQ(run.context().control(box_control(box::note)).rect.w, 200);
    key_in(run, {"011299", "0800"});
    run.type("Band dead").key(Key::f12);
    EXPECT_EQ(testing::calls_in(log_path()), (std::vector<std::string>{"/", "/DATA"}));

    run.click(Editor::k_qso);
    EXPECT_EQ(run.text(22), "Call Sign");
    EXPECT_EQ(run.context().control(k_qsl_received).rect, (ui::Rect{17, 185, 60, 12}));
    EXPECT_TRUE(run.context().control(k_qsl_received).style & ui::text_on_left);
    EXPECT_TRUE(run.context().control(k_call).style & ui::upper_case);
}

// A text typed past what its record field holds: the box stops at `held`, which the save
// keeps whole.
template <class Record> struct LongText {
    int box;
    const char* typed;
    const char* held;
    std::string Record::*field;
};

TEST_F(EntryEditorTest, ABoxTakesNoMoreThanItsFieldHoldsAndTheSaveKeepsAllOfIt) {
    using logstore::QsoRecord;
    using logstore::StationDataRecord;
    using logstore::TextRecord;
    const LongText<QsoRecord> qso_texts[] = {
        {box::call, "ve3abc/ve8xyz", "VE3ABC/VE8XY", &QsoRecord::call},
        {box::rst_sent, "599+20dB", "599+20d", &QsoRecord::rst_sent},
        {box::rst_received, "579QSB55", "579QSB5", &QsoRecord::rst_received},
        {box::mode, "rtty", "RTT", &QsoRecord::mode},
        {box::power, "100000", "10000", &QsoRecord::power},
        {box::comment, "Long path through the auroral zone, deep QSB on both ends",
         "Long path through the auroral zone, deep", &QsoRecord::comment},
    };
    const LongText<StationDataRecord> station_texts[] = {
        {box::operator_name, "G4ABC/OPERATOR", "G4ABC/OPERAT", &StationDataRecord::operator_name},
        {box::transceiver, "FT-1000MP Mark V", "FT-1000MP Ma", &StationDataRecord::transceiver},
        {box::antenna, "Hexbeam at 12 m", "Hexbeam at 1", &StationDataRecord::antenna},
    };
    const LongText<TextRecord> note_texts[] = {
        {box::note, "Band wide open to the Pacific all afternoon, strong signals from VK6 and ZL",
         "Band wide open to the Pacific all afternoon, strong signals from", &TextRecord::text},
    };
    const auto key_in_long = [](TestRun& run, const auto& texts) {
        for (const auto& t : texts) {
            run.type_into(box_control(t.box), t.typed);
            EXPECT_EQ(run.text(box_control(t.box)), t.held) << t.typed;
        }
    };
    const auto expect_saved = [](const auto& saved, const auto& texts) {
        for (const auto& t : texts)
            EXPECT_EQ(saved.*(t.field), t.held) << t.typed;
    };
    open_log({});
    auto run = open_new();
    key_in(run, {"1/2/99", "", "12:305", "", "", "", "14.2"});
    EXPECT_EQ(run.text(k_time_on), "12:30") << "a time holds hh:mm";
    key_in_long(run, qso_texts);
    run.key(Key::f12);
    run.click(Editor::k_data).type_into(Editor::k_date, "2/2/99").type_into(box_control(box::time), "0900");
    key_in_long(run, station_texts);
    run.key(Key::f12);
    run.click(Editor::k_text).type_into(Editor::k_date, "3/2/99").type_into(box_control(box::time), "1000");
    key_in_long(run, note_texts);
    run.key(Key::f12);

    ASSERT_EQ(m_log.record_count(), 3);
    EXPECT_EQ(contact(1).time_on, 750);
    expect_saved(contact(1), qso_texts);
    expect_saved(StationDataRecord::decode(record(2)), station_texts);
    expect_saved(TextRecord::decode(record(3)), note_texts);
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(EntryEditorTest, EditingMovesTheEntryAndKeepsItWhenTheNewContentsAreRefused) {
    open_log({testing::qso("01-02-99", "1000", "G4AAA"), testing::qso("02-02-99", "1000", "G4BBB"),
              testing::qso("03-02-99", "1000", "G4CCC")});
    const std::size_t length = log_bytes().size();
    bool changed = true;
    m_host.on_modal([&](TestRun& run) {
        EXPECT_EQ(run.caption(), " Edit Entry ");
        EXPECT_EQ(run.text(Editor::k_entry_number), " 2");
        EXPECT_EQ(run.text(k_call), "G4BBB");
        EXPECT_EQ(run.text(k_frequency), "14MHz");
        EXPECT_TRUE(run.enabled(Editor::k_save));
        m_host.expect_message(std::string(logstore::k_date_format_message));
        run.replace(Editor::k_date, "99/99/99").key(Key::f12);
        const int beeps = m_host.beeps();
        run.replace(Editor::k_date, "2/2/99").replace(k_power, "").key(Key::f12);
        EXPECT_EQ(m_host.beeps(), beeps + 1) << "a missing power is answered with a beep";
        EXPECT_EQ(run.focused(), k_power);
        EXPECT_EQ(m_log.record_count(), 3) << "nothing taken out for contents that cannot be saved";
        EXPECT_TRUE(run.is_open());
        run.key(Key::escape);
    });
    auto opener =
        m_host.open(testing::Opener{[&](ui::Context& ctx) { changed = run_entry_editor(ctx, env(), 2); }});
    opener.command(testing::Opener::k_open);
    EXPECT_FALSE(changed);
    EXPECT_EQ(testing::calls_in(log_path()), (std::vector<std::string>{"G4AAA", "G4BBB", "G4CCC"}));

    m_host.on_modal([&](TestRun& run) {
        run.replace(Editor::k_date, "4/2/99").replace(k_comment, "moved").key(Key::f12);
        EXPECT_FALSE(run.is_open()) << "an edited entry closes the editor once saved";
    });
    opener.command(testing::Opener::k_open);
    EXPECT_TRUE(changed);
    EXPECT_EQ(testing::calls_in(log_path()), (std::vector<std::string>{"G4AAA", "G4CCC", "G4BBB"}));
    EXPECT_EQ(log_bytes().size(), length);
    EXPECT_EQ(contact(3).comment, fixed_width("moved", 40));
    EXPECT_TRUE(m_host.surprises().empty());
}

// Two-digit years name the hundred years ending ten years after the clock's year; an entry of a
// year they no longer reach shows all four digits, so saving it again keeps it on its day.
TEST_F(EntryEditorTest, TwoDigitYearsFollowTheClockAndAnEditedEntryKeepsItsYear) {
    open_log({testing::qso("01-02-1935", "1000", "G4OLD"), testing::qso("03-02-99", "1000", "G4BBB")});
    auto opener =
        m_host.open(testing::Opener{[&](ui::Context& ctx) { (void)run_entry_editor(ctx, env(), 1); }});
    m_host.on_modal([&](TestRun& run) {
        EXPECT_EQ(run.text(Editor::k_date), "01-02-1935");
        run.replace(k_comment, "kept").key(Key::f12);
    });
    opener.command(testing::Opener::k_open);
    EXPECT_EQ(contact(1).date, logstore::day_number_of("01-02-1935"));
    EXPECT_EQ(contact(1).comment, fixed_width("kept", 40));

    const struct {
        int this_year;
        const char* typed;
        const char* stored;
    } typed[] = {{2026, "1/8/29", "01-08-2029"},
                 {2026, "1/8/36", "01-08-2036"},
                 {2026, "1/8/37", "01-08-1937"},
                 {2031, "1/8/40", "01-08-2040"},
                 {2031, "1/8/1934", "01-08-1934"}};
    for (const auto& t : typed) {
        m_host.set_now(std::chrono::sys_days{std::chrono::year{t.this_year} / 3 / 1});
        auto run = open_new();
        key_in(run, {t.typed, "G4NEW", "1200", "", "", "", "14", "CW", "100"});
        run.key(Key::f12);
        run.key(Key::escape);
        const int n = m_log.record_count();
        int found = 0;
        for (int i = 1; i <= n; ++i)
            if (logstore::QsoRecord::decode(record(i)).call == fixed_width("G4NEW", 12)) found = i;
        ASSERT_GT(found, 0) << t.typed;
        EXPECT_EQ(logstore::record_date(record(found)), logstore::day_number_of(t.stored)) << t.typed;
        ASSERT_TRUE(m_log.delete_record(found));
    }
    EXPECT_TRUE(m_host.surprises().empty());
}

TEST_F(EntryEditorTest, AFailedWriteIsShownAndTheEntryStays) {
    open_log({testing::qso("01-02-99", "1000", "G4AAA")});
    const std::string before = log_bytes();
    auto run = open_new();
    key_in(run, {"1/1/99", "G4ABC", "1230", "", "", "", "14.2", "CW", "100"});
    m_files.arm();
    m_files.fail_changes_from = 1;
    m_files.change_error = ENOSPC;
    m_host.answer(ui::Answer::ok); // why the log was not written
    run.key(Key::f12);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].text, logstore::message_of(logstore::LogError::disk_full));
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::stop);
    EXPECT_EQ(log_bytes(), before);
    EXPECT_EQ(run.text(k_call), "G4ABC");
    EXPECT_EQ(run.text(Editor::k_entry_number), " 2");

    m_files.fail_changes_from = 0;
    run.key(Key::f12);
    EXPECT_EQ(testing::calls_in(log_path()), (std::vector<std::string>{"G4ABC", "G4AAA"}));
}

TEST_F(EntryEditorTest, PrintQslWithoutALabelLayoutSaysSoAndWithOneSavesTheCardSent) {
    open_log({});
    auto run = open_new();
    key_in(run, {"1/2/99", "G4ABC", "1230", "", "57", "", "14.2", "SSB", "100"});
    m_host.expect_message("No Printer file loaded");
    run.click(Editor::k_print_qsl);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].text, "No Printer file loaded");
    EXPECT_EQ(m_host.messages()[0].title, "Print QSL");
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::exclamation);
    EXPECT_EQ(m_log.record_count(), 0);
    run.key(Key::escape);

    std::vector<QslContact> printed;
    m_links.print_qsl_label = [&](ui::Context&, const QslContact& c) {
        printed.push_back(c);
        return true;
    };
    auto second = open_new();
    key_in(second, {"1/2/99", "G4ABC", "1230", "", "57", "", "14.2", "SSB", "100"});
    second.click(Editor::k_print_qsl);
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].call, "G4ABC");
    EXPECT_EQ(printed[0].date, "1/2/99");
    EXPECT_EQ(printed[0].rst_sent, "57");
    EXPECT_EQ(printed[0].band, 4);
    EXPECT_EQ(printed[0].request, "Please QSL via Bureau or Direct");
    ASSERT_EQ(m_log.record_count(), 1);
    EXPECT_EQ(contact(1).qsl_flags, 1);
    EXPECT_TRUE(second.checked(k_qsl_sent)) << "the tick stays for the next entry";
}

TEST_F(EntryEditorTest, DatabaseButtonsComeFromTheNamesGiven) {
    open_log({});
    EXPECT_FALSE(open_new().exists(Editor::k_first_database));

    m_links.database_names = {"awards.edb", "", "Club.EDB", "squares"};
    std::vector<std::pair<int, DatabaseCopy>> searches;
    m_links.database_search = [&](ui::Context&, int db, const DatabaseCopy& copy) {
        searches.emplace_back(db, copy);
    };
    auto run = open_new();
    EXPECT_EQ(run.text(301), "AWARDS");
    EXPECT_FALSE(run.exists(302));
    EXPECT_EQ(run.text(303), "CLUB");
    EXPECT_EQ(run.context().control(303).rect, (ui::Rect{200, 28, 40, 14}));
    EXPECT_EQ(run.context().control(304).rect.y, 46);
    key_in(run, {"1/2/99", "G4ABC", "", "", "", "", "14.2"});
    run.click(303);
    ASSERT_EQ(searches.size(), 1u);
    EXPECT_EQ(searches[0].first, 3);
    EXPECT_EQ(searches[0].second.call, "G4ABC");
    EXPECT_EQ(searches[0].second.date, "1/2/99");
    EXPECT_EQ(searches[0].second.frequency, "14.2");
}

TEST_F(EntryEditorTest, OpeningNeedsALogAndBuildsTheIndexWhenMissing) {
    bool changed = true;
    auto opener =
        m_host.open(testing::Opener{[&](ui::Context& ctx) { changed = run_entry_editor(ctx, env()); }});
    m_host.expect_message("No Log Selected");
    opener.command(testing::Opener::k_open);
    EXPECT_FALSE(changed);
    EXPECT_EQ(m_host.message_texts(), std::vector<std::string>{"No Log Selected"});
    EXPECT_EQ(m_host.messages()[0].title, "Kestrel");
    EXPECT_TRUE(m_host.modal_captions().empty());

    open_log({testing::qso("01-02-99", "1000", "G4AAA")});
    m_host.on_modal([](TestRun& run) { run.key(Key::escape); });
    opener.command(testing::Opener::k_open);
    EXPECT_TRUE(m_log.index_loaded());
    EXPECT_EQ(m_host.modal_captions().size(), 2u);
    EXPECT_EQ(m_host.modal_captions()[0], "Load Log");
}

} // namespace
} // namespace kestrel::offline
