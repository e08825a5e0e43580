#include "browse/browse_window.hpp"

#include "browse/page_line.hpp"
#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "logstore/dates.hpp"
#include "offline/entry_form.hpp"
#include "offline/logbook_fixture.hpp"

#include <filesystem>
#include <fstream>
#include <limits>
#include <map>

namespace kestrel::browse {
namespace {

using Browse = BrowseWindow;
using ui::Key;
using ui::TestRun;

// Record i (1-based) of a made-up log: one contact a day from 1 January 1999.
std::string date_of(int i) {
    const auto two = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
    return two((i - 1) % 28 + 1) + "-" + two((i - 1) / 28 + 1) + "-99";
}

std::vector<logstore::RecordBytes> contacts(int n, const std::map<int, std::string>& calls = {}) {
    std::vector<logstore::RecordBytes> records;
    for (int i = 1; i <= n; ++i) {
        const auto call = calls.count(i) ? calls.at(i) : "W" + std::to_string(i) + "X";
        records.push_back(testing::qso(date_of(i), "1200", call));
    }
    return records;
}

class BrowseTest : public testing::LogbookTest {
  protected:
    BrowseEnv browse_env(double scale = 1.0) { return {env(), scale}; }
    // As run_browse opens it: the record index built.
    TestRun open(double scale = 1.0) {
        EXPECT_TRUE(m_log.build_record_index());
        return m_host.open(Browse{browse_env(scale)});
    }
    static int selected(TestRun& run) { return run.context().selection(Browse::k_lines); }
    static std::string line(TestRun& run, int index) {
        return std::string(visible_text(run.items(Browse::k_lines).at(static_cast<std::size_t>(index))));
    }
    static std::string shown(TestRun& run) {
        return run.text(Browse::k_first_shown) + " to" + run.text(Browse::k_last_shown);
    }
};

TEST_F(BrowseTest, LaysOutTheWindowByTheScaleFactor) {
    open_log(contacts(3));
    auto small = open(1.0);
    const ui::Form& form = small.context().form();
    EXPECT_EQ(small.caption(), "KESTREL v6    Browse Log" + std::string(30, ' ') + log_path());
    EXPECT_EQ(form.frame, (ui::Rect{0, 0, 316, 268}));
    EXPECT_TRUE(form.at_default_position);
    EXPECT_EQ(form.font, (ui::Font{"Courier", 8}));
    EXPECT_EQ(small.context().control(Browse::k_date).rect, (ui::Rect{100, 2, 34, 12}));
    EXPECT_EQ(small.context().control(Browse::k_search).rect, (ui::Rect{276, 2, 28, 12}));
    EXPECT_TRUE(small.context().control(Browse::k_search).style & ui::default_button);
    const ui::Control& heading = small.context().control(Browse::k_heading);
    EXPECT_EQ(heading.text,
              "  Date    Call Sign   Time on/off  Freq  Mde Power  RST rx  RST tx QSL  Comments");
    EXPECT_EQ(heading.foreground, (ui::Colour{255, 255, 0}));
    EXPECT_EQ(heading.background, (ui::Colour{0, 0, 255}));
    EXPECT_EQ(small.context().control(Browse::k_lines).rect, (ui::Rect{2, 32, 310, 218}));
    EXPECT_TRUE(small.context().control(Browse::k_lines).style & ui::owner_drawn);
    EXPECT_EQ(small.focused(), Browse::k_lines);

    const std::pair<double, int> sizes[] = {{1.0, 24}, {1.1, 24}, {1.2, 30}, {1.3, 30}, {1.6, 40}};
    for (const auto& [scale, lines] : sizes)
        EXPECT_EQ(page_size_for(scale), lines) << scale;

    auto large = open(1.6);
    EXPECT_EQ(large.context().form().frame, (ui::Rect{0, 0, 506, 429}));
    EXPECT_EQ(large.context().control(Browse::k_date).rect.x, 120);
    EXPECT_EQ(large.context().control(Browse::k_comment).rect.x, 224);
    EXPECT_EQ(large.context().control(Browse::k_search).rect.x, 340);
    EXPECT_EQ(large.context().control(Browse::k_lines).rect, (ui::Rect{2, 32, 496, 349}));
    EXPECT_EQ(large.context().control(Browse::k_page_down).rect, (ui::Rect{432, 408, 40, 12}));
    EXPECT_EQ(large.context().control(Browse::k_first_shown).rect, (ui::Rect{35, 390, 50, 10}));
}

bool overlap(const ui::Rect& a, const ui::Rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// Every control inside the window, at every scale, and none on another in the rows above and
// below the list. (The list's own rectangle has always reached a few units into the row under
// it at the smaller scales; the boxes of record numbers are what moved that row.)
void expect_tidy(const ui::Form& form, int list, double scale) {
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        const ui::Control& c = form.controls[i];
        EXPECT_TRUE(c.rect.x >= 0 && c.rect.y >= 0 && c.rect.x + c.rect.w <= form.frame.w &&
                    c.rect.y + c.rect.h <= form.frame.h)
            << scale << ": " << c.id;
        for (std::size_t j = i + 1; j < form.controls.size(); ++j) {
            if (c.id == list || form.controls[j].id == list) continue;
            EXPECT_FALSE(overlap(c.rect, form.controls[j].rect))
                << scale << ": " << c.id << " and " << form.controls[j].id;
        }
    }
}

TEST_F(BrowseTest, EveryControlInsideTheWindowAndNoneOnAnother) {
    open_log(contacts(3));
    for (const double scale : {1.0, 1.2, 1.6})
        expect_tidy(Browse{browse_env(scale)}.build(), Browse::k_lines, scale);
}

// A box of the window's fixed font shows its whole text: four units a character, and room for
// its frame and margins.
bool shows_whole(TestRun& run, int box) {
    return run.context().control(box).rect.w >= 4 * static_cast<int>(run.text(box).size()) + 6;
}

// A log of 26,000,000 records, sparse on disk: contacts at both ends, nothing stored between.
// Its last records lie past the first 2 GiB of the file.
TEST_F(BrowseTest, RecordNumbersOfEightDigitsAreShownWholeAndActedOn) {
    constexpr int k_count = 26'000'000;
    constexpr int k_real = 30;
    testing::write_log(log_path(), contacts(k_real));
    std::filesystem::resize_file(log_path(), std::uintmax_t{k_count} * logstore::k_record_size);
    {
        std::fstream out(log_path(), std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(std::streamoff{k_count - k_real} * logstore::k_record_size);
        for (int i = k_count - k_real + 1; i <= k_count; ++i) {
            const logstore::RecordBytes r =
                testing::qso("01-01-99", "1200", "N" + std::to_string(i % 100'000));
            out.write(reinterpret_cast<const char*>(r.data()), static_cast<std::streamsize>(r.size()));
        }
        ASSERT_TRUE(out.good());
    }
    ASSERT_TRUE(m_log.open_log(log_path()));
    ASSERT_EQ(m_log.record_count(), k_count);
    // Paging needs no record index; building one for this log would only make the test slow.
    auto run = m_host.open(Browse{browse_env()});

    run.key(Key::end);
    EXPECT_EQ(shown(run), " 25999977 to 26000000");
    EXPECT_EQ(line(run, 23).substr(9, 6), "N0    ");
    EXPECT_TRUE(shows_whole(run, Browse::k_first_shown));
    EXPECT_TRUE(shows_whole(run, Browse::k_last_shown));
    run.key(Key::page_up);
    EXPECT_EQ(shown(run), " 25999954 to 25999977");
    EXPECT_EQ(selected(run), 23);
    EXPECT_EQ(line(run, 23).substr(9, 6), "N99977");

    run.key(Key::f1);
    EXPECT_EQ(contact(25'999'977).qsl_flags, 1) << "the record shown is the one changed";
    EXPECT_EQ(contact(25'999'976).qsl_flags, 0);
    EXPECT_EQ(line(run, 23).substr(67, 2), "S-");

    // The widest record number a log can have fits too.
    const std::string widest = number_text(std::numeric_limits<int>::max());
    run.context().set_text(Browse::k_first_shown, widest);
    EXPECT_TRUE(shows_whole(run, Browse::k_first_shown)) << widest;
}

TEST_F(BrowseTest, PagesThroughAHundredRecordsOverlappingByOneLine) {
    open_log(contacts(100));
    auto run = open();
    EXPECT_EQ(shown(run), " 1 to 24");
    EXPECT_EQ(selected(run), 0);
    EXPECT_EQ(line(run, 0).substr(0, 21), "01-01-99 W1X         ");

    run.key(Key::page_down);
    EXPECT_EQ(shown(run), " 24 to 47");
    EXPECT_EQ(line(run, 0).substr(9, 4), "W24X");
    EXPECT_EQ(selected(run), 0);
    for (int i = 0; i < 23; ++i)
        run.key(Key::down);
    EXPECT_EQ(selected(run), 23);
    run.key(Key::down);
    EXPECT_EQ(shown(run), " 47 to 70") << "Down past the last line turns the page";
    EXPECT_EQ(selected(run), 0);
    run.key(Key::up);
    EXPECT_EQ(shown(run), " 24 to 47");
    EXPECT_EQ(selected(run), 23) << "Up past the first line turns back, on the last line";

    run.key(Key::end);
    EXPECT_EQ(shown(run), " 77 to 100");
    run.key(Key::page_down).click(Browse::k_page_down);
    EXPECT_EQ(shown(run), " 77 to 100");
    run.key(Key::home);
    EXPECT_EQ(shown(run), " 1 to 24");
    run.key(Key::page_up).key(Key::down, ui::shift);
    EXPECT_EQ(shown(run), " 77 to 100") << "Shift+Down is End";
    run.click(Browse::k_page_up);
    EXPECT_EQ(shown(run), " 54 to 77");
    run.key(Key::up, ui::shift);
    EXPECT_EQ(shown(run), " 1 to 24") << "Shift+Up is Home";
}

TEST_F(BrowseTest, AShortLogShowsAllItsLinesAndDoesNotPage) {
    open_log(contacts(10));
    auto run = open();
    EXPECT_EQ(run.items(Browse::k_lines).size(), 10u);
    EXPECT_EQ(shown(run), " 1 to 10");
    run.key(Key::page_down).key(Key::end);
    EXPECT_EQ(shown(run), " 1 to 10");
    for (int i = 0; i < 12; ++i)
        run.key(Key::down);
    EXPECT_EQ(selected(run), 9);
    run.select(Browse::k_lines, 4).key(Key::down);
    EXPECT_EQ(selected(run), 5) << "a click selects a line";
}

TEST_F(BrowseTest, CallSearchFindsEachMatchInTurnThenSaysNotFound) {
    open_log(contacts(30, {{2, "G4AAA"}, {15, "MG4X"}, {29, "G4BBB/P"}}));
    auto run = open();
    run.type_into(Browse::k_call, "g4").key(Key::enter);
    EXPECT_EQ(run.text(Browse::k_call), "G4");
    EXPECT_EQ(shown(run), " 1 to 24");
    EXPECT_EQ(selected(run), 1);
    run.key(Key::enter);
    EXPECT_EQ(selected(run), 14);
    run.key(Key::enter);
    EXPECT_EQ(shown(run), " 7 to 30") << "a match past the last page shows the last page";
    EXPECT_EQ(selected(run), 22);
    EXPECT_TRUE(m_host.messages().empty());

    m_host.expect_message("Callsign not found");
    m_host.expect_message("Callsign not found");
    run.key(Key::enter).key(Key::enter);
    ASSERT_EQ(m_host.message_texts(), (std::vector<std::string>{"Callsign not found", "Callsign not found"}));
    EXPECT_EQ(m_host.messages()[0].title, "");
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::none);
    EXPECT_EQ(selected(run), 22) << "the page does not move";

    run.key(Key::backspace).type("4").key(Key::enter);
    EXPECT_EQ(shown(run), " 2 to 25") << "a changed call searches from the start";
    EXPECT_EQ(selected(run), 0);
    run.type_into(Browse::k_date, "1");
    EXPECT_EQ(run.text(Browse::k_call), "") << "entering a search box empties all three";
}

TEST_F(BrowseTest, CommentSearchIgnoresCaseAndPassesOverNotes) {
    auto records = contacts(5);
    logstore::QsoRecord q = logstore::QsoRecord::decode(records[2]);
    q.comment = "Field Day contest";
    records[2] = q.encode();
    logstore::TextRecord note;
    note.date = q.date;
    note.text = "CONTEST";
    records.insert(records.begin() + 1, note.encode());
    q.comment = "contest again";
    records[5] = q.encode();
    open_log(records);

    auto run = open();
    run.type_into(Browse::k_comment, "Contest").key(Key::enter);
    EXPECT_EQ(selected(run), 3) << "the note at record 2 is not a contact";
    run.click(Browse::k_search);
    EXPECT_EQ(selected(run), 5);
    m_host.expect_message("Comment not found");
    run.click(Browse::k_search);
    EXPECT_EQ(m_host.message_texts(), std::vector<std::string>{"Comment not found"});
}

TEST_F(BrowseTest, ADateSearchPastTheEndSelectsNothingAndNothingIsActedOn) {
    open_log(contacts(30));
    const std::string before = log_bytes();
    auto run = open();
    run.type_into(Browse::k_date, "10/1/99").key(Key::enter);
    EXPECT_EQ(selected(run), 9);
    run.replace(Browse::k_date, "1/3/99").key(Key::enter);
    EXPECT_EQ(shown(run), " 7 to 30");
    EXPECT_EQ(selected(run), -1);

    run.key(Key::f1).key(Key::f2).key(Key::f12).key(Key::del, ui::control).click(Browse::k_edit);
    EXPECT_TRUE(m_host.messages().empty());
    EXPECT_TRUE(m_host.modal_captions().empty());
    EXPECT_EQ(log_bytes(), before);
    run.key(Key::up);
    EXPECT_EQ(selected(run), 23) << "Up comes back to the last line";

    m_host.expect_message(std::string(logstore::k_date_format_message));
    run.replace(Browse::k_date, "31/13/99").key(Key::enter);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].title, "Date Error");
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::exclamation);
    EXPECT_EQ(run.text(Browse::k_date), "");
    EXPECT_EQ(run.focused(), Browse::k_date);
}

TEST_F(BrowseTest, F1AndF2ToggleTheQslFlagsAndMarkTheChart) {
    auto records = contacts(3, {{1, "G4ABC"}, {3, "CQ"}});
    logstore::TextRecord note;
    note.date = logstore::record_date(records[1]);
    records[1] = note.encode();
    open_log(records);
    auto run = open();

    run.key(Key::f1);
    EXPECT_EQ(line(run, 0).substr(67, 2), "S-");
    EXPECT_EQ(contact(1).qsl_flags, 1);
    EXPECT_TRUE(m_chart.worked(223, 4, logstore::k_mode_ssb));
    EXPECT_FALSE(m_chart.confirmed(223, 4, logstore::k_mode_ssb));
    run.key(Key::f1);
    EXPECT_EQ(line(run, 0).substr(67, 2), "--");
    run.key(Key::f2);
    EXPECT_EQ(line(run, 0).substr(67, 2), "-R");
    EXPECT_EQ(contact(1).qsl_flags, 2);
    EXPECT_TRUE(m_chart.confirmed(223, 4, logstore::k_mode_ssb));
    EXPECT_EQ(selected(run), 0);

    const auto note_bytes = record(2);
    run.key(Key::down).key(Key::f1).key(Key::f2);
    EXPECT_EQ(record(2), note_bytes) << "a note has no QSL flags";

    run.key(Key::down).key(Key::f2);
    EXPECT_EQ(contact(3).qsl_flags, 2) << "a CQ entry keeps its flags like any other";
    EXPECT_FALSE(m_chart.worked(272, 4, logstore::k_mode_ssb))
        << "but a CQ call is not a contact with CQ land";
}

TEST_F(BrowseTest, DeletingAsksAndClosesUpThePage) {
    open_log(contacts(30));
    auto run = open();
    run.key(Key::end);
    for (int i = 0; i < 23; ++i)
        run.key(Key::down);
    m_host.answer_enter(); // Enter keeps the entry
    run.key(Key::f12);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].text, "Are you sure?");
    EXPECT_EQ(m_host.messages()[0].title, "Delete Entry");
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::question);
    EXPECT_EQ(m_host.messages()[0].buttons, ui::Buttons::yes_no);
    EXPECT_EQ(m_host.messages()[0].default_answer, ui::Answer::no);
    EXPECT_EQ(m_log.record_count(), 30);

    m_host.answer(ui::Answer::yes);
    run.key(Key::del, ui::control);
    EXPECT_EQ(m_log.record_count(), 29);
    EXPECT_EQ(shown(run), " 6 to 29") << "on the last page the page starts one record earlier";
    EXPECT_EQ(line(run, 23).substr(9, 4), "W29X");
}

TEST_F(BrowseTest, DeletingTheOnlyRecordLeavesAnEmptyPageAndAnEmptyFile) {
    open_log(contacts(1));
    auto run = open();
    m_host.answer(ui::Answer::yes);
    run.key(Key::f12);
    EXPECT_EQ(log_bytes(), "");
    EXPECT_TRUE(run.items(Browse::k_lines).empty());
    EXPECT_EQ(shown(run), " 1 to 0");
    run.key(Key::f12).key(Key::f1).key(Key::down).key(Key::end);
    EXPECT_EQ(m_host.messages().size(), 1u) << "with nothing shown there is nothing to delete";
}

TEST_F(BrowseTest, EditOpensTheEditorOnTheSelectedEntryAndShowsTheChange) {
    open_log(contacts(3));
    auto run = open();
    m_host.on_modal([&](TestRun& editor) {
        EXPECT_EQ(editor.caption(), " Edit Entry ");
        EXPECT_EQ(editor.text(offline::box_control(offline::box::call)), "W2X");
        editor.replace(offline::box_control(offline::box::comment), "Changed").key(Key::f12);
    });
    run.select(Browse::k_lines, 1).click(Browse::k_edit);
    EXPECT_EQ(line(run, 1).substr(70, 7), "Changed");
    EXPECT_EQ(contact(2).comment, fixed_width("Changed", 40));
    EXPECT_EQ(run.focused(), Browse::k_lines);

    m_host.on_modal([](TestRun& editor) { editor.key(Key::escape); });
    run.double_click(Browse::k_lines, 2);
    EXPECT_EQ(m_host.modal_captions().size(), 2u);
    EXPECT_TRUE(m_host.surprises().empty());
}

TEST_F(BrowseTest, OpeningNeedsALogAndBuildsTheIndexWhenMissing) {
    auto opener = m_host.open(testing::Opener{[&](ui::Context& ctx) { run_browse(ctx, browse_env()); }});
    m_host.expect_message("No Log Selected");
    opener.command(testing::Opener::k_open);
    EXPECT_EQ(m_host.message_texts(), std::vector<std::string>{"No Log Selected"});
    EXPECT_TRUE(m_host.modal_captions().empty());

    open_log(contacts(2));
    m_host.on_modal([](TestRun& run) {
        EXPECT_EQ(run.items(Browse::k_lines).size(), 2u);
        run.key(Key::escape);
    });
    opener.command(testing::Opener::k_open);
    EXPECT_EQ(m_host.modal_captions().size(), 2u);
    EXPECT_EQ(m_host.modal_captions()[0], "Load Log");
    EXPECT_TRUE(m_log.index_loaded());
}

} // namespace
} // namespace kestrel::browse

namespace kestrel::browse {
namespace {

TEST_F(BrowseTest, ASecondDateTypedAfterTheKeyLetterReplacesTheFirst) {
    open_log(contacts(30));
    auto run = open();
    run.alt('a').type("10/1/99").key(Key::enter);
    EXPECT_EQ(selected(run), 9);
    run.alt('a').type("20/1/99").key(Key::enter);
    EXPECT_EQ(run.text(Browse::k_date), "20/1/99");
    EXPECT_EQ(selected(run), 19);
}

} // namespace
} // namespace kestrel::browse
