#include "exchange/extract_window.hpp"

#include "logstore/dates.hpp"
#include "tools_fixture.hpp"

namespace kestrel::exchange::tools_testing {
namespace {

using W = ExtractWindow;
constexpr int k_20m = 115, k_40m = 113;

class ExtractWindowTest : public ToolsTest {
  protected:
    ExtractWindowTest() {
        write_log(file("MYLOG.LOG"), {
                                         contact("01-03-24", "1000", "G0A", 4),
                                         contact("02-03-24", "1000", "G0B", 2),
                                         note("02-03-24", "1100", "moved the antenna"),
                                         contact("03-03-24", "1000", "G0C", 4, "CW"),
                                         contact("04-03-24", "1000", "G0D", 4, "RTY"),
                                         contact("05-03-24", "1000", "CQ", 4),
                                         contact("06-03-24", "1000", "G0E", 12),
                                         contact("07-03-24", "1000", "G0F", 4),
                                     });
        open_program_log("MYLOG.LOG");
    }
    ui::TestRun open(double scale = 1.0) { return m_host.open(ExtractWindow{env(scale)}); }
    void choose(ui::TestRun& run, const std::string& new_log, const std::string& source) {
        m_host.answer_file(file(new_log));
        m_host.answer_file(file(source));
        run.click(W::k_new_log).click(W::k_extract_log);
    }
};

TEST_F(ExtractWindowTest, ContactsOfTheTickedBandsAndModesBetweenTheDatesAreCopied) {
    auto run = open();
    EXPECT_FALSE(m_log.is_open()); // no log is the program's log while the window is open
    choose(run, "CONTEST.LOG", "MYLOG.LOG");
    run.click(k_20m).click(W::k_ssb).click(W::k_cw);
    run.type_into(W::k_from, "2/3/24").type_into(W::k_to, "060324");
    m_host.expect_message(" 1 Entries written");
    run.click(W::k_write);

    EXPECT_EQ(m_host.messages().back().title, "EXTRACT COMPLETE");
    EXPECT_EQ(m_host.messages().back().text, " 1 Entries written");
    EXPECT_EQ(calls_of("CONTEST.LOG"), std::vector<std::string>{"G0C"});
    EXPECT_EQ(run.text(W::k_from), "02/03/24");
    EXPECT_EQ(run.text(W::k_to), "06-03-24");
    // The written log is the program's log now, and stays so.
    EXPECT_EQ(m_log.path(), file("CONTEST.LOG"));
    run.click(ui::k_cancel);
    EXPECT_FALSE(run.is_open());
    EXPECT_EQ(m_log.path(), file("CONTEST.LOG"));
    EXPECT_TRUE(m_log.is_open());
    EXPECT_FALSE(m_log.index_loaded());
    EXPECT_EQ(m_log.second_log_path(), file("MYLOG.LOG"));
}

// Typed two-digit years name the hundred years ending ten years after the clock's year (2026 in
// the test host); an empty To takes every later day the log can hold.
TEST_F(ExtractWindowTest, DatesPast2029AreTypedWithTwoOrFourDigitsAndAnEmptyToTakesThemAll) {
    write_log(file("LATE.LOG"), {contact("22-07-2029", "1000", "G1A"), contact("23-07-2029", "1000", "G1B"),
                                 contact("01-01-2030", "1000", "G1C"), contact("31-01-2061", "1000", "G1D")});
    const struct {
        const char* from;
        const char* to;
        std::vector<std::string> taken;
    } cases[] = {{"23/7/29", "", {"G1B", "G1C", "G1D"}},
                 {"1/1/30", "31-1-2061", {"G1C", "G1D"}},
                 {"", "220729", {"G1A"}},
                 {"1-1-1930", "1/1/36", {"G1A", "G1B", "G1C"}}};
    int written = 0;
    for (const auto& c : cases) {
        const std::string out = "OUT" + std::to_string(++written) + ".LOG";
        auto run = open();
        choose(run, out, "LATE.LOG");
        run.click(k_20m).click(W::k_ssb); // the contacts' band and mode
        run.type_into(W::k_from, c.from).type_into(W::k_to, c.to);
        m_host.expect_message(" " + std::to_string(c.taken.size()) + " Entries written");
        run.click(W::k_write);
        EXPECT_EQ(calls_of(out), c.taken) << c.from << " " << c.to;
        run.click(ui::k_cancel);
    }
}

TEST_F(ExtractWindowTest, AllInTheFourthBoxTakesEveryModeAndTheModeBoxesNothingElse) {
    auto run = open();
    choose(run, "ALL.LOG", "MYLOG.LOG");
    for (int id = 111; id <= 122; ++id)
        run.click(id);
    m_host.expect_message(" 5 Entries written");
    run.click(W::k_five_mhz).type_into(W::k_fourth, "ALL").click(W::k_write);
    // Not the note, not the CQ call, not 430 MHz.
    EXPECT_EQ(calls_of("ALL.LOG"), (std::vector<std::string>{"G0A", "G0B", "G0C", "G0D", "G0F"}));

    run.replace(W::k_fourth, "").click(W::k_ssb).click(W::k_cw).click(W::k_fm);
    m_host.answer(ui::Answer::yes); // ALL.LOG holds five entries: replace them
    m_host.expect_message(" 4 Entries written");
    m_host.answer_file(file("ALL.LOG"));
    run.click(W::k_new_log).click(W::k_write);
    // RTY is no classic mode and is not the (empty) fourth-mode text; nothing old stays behind.
    EXPECT_EQ(calls_of("ALL.LOG"), (std::vector<std::string>{"G0A", "G0B", "G0C", "G0F"}));
}

TEST_F(ExtractWindowTest, TwoDifferentLogsAreNeeded) {
    write_log(file("OTHER.LOG"), {contact("01-01-20", "1000", "G0KEEP")});
    auto run = open();
    m_host.expect_message("Two logs needed");
    run.click(W::k_write); // neither log named
    m_host.answer_file(file("MYLOG.LOG"));
    m_host.expect_message("Two logs needed");
    run.click(W::k_extract_log).click(W::k_write); // no log to write
    m_host.answer(ui::Answer::yes);
    m_host.expect_message("Two logs needed");
    m_host.answer_file(file("OTHER.LOG"));
    m_host.answer_file("./OTHER.LOG"); // the same file by another name
    run.click(W::k_new_log).click(W::k_extract_log).click(W::k_write);
    ASSERT_EQ(m_host.messages().size(), 4u); // the three refusals and the replace question
    for (int i : {0, 1, 3}) {
        EXPECT_EQ(m_host.messages()[i].text, "Two logs needed");
        EXPECT_EQ(m_host.messages()[i].title, "LOG FILE ERROR");
    }
    EXPECT_EQ(calls_of("OTHER.LOG"), std::vector<std::string>{"G0KEEP"});
    EXPECT_EQ(calls_of("MYLOG.LOG").size(), 8u);
}

TEST_F(ExtractWindowTest, TheLogInUseIsNeverWrittenOver) {
    auto run = open();
    m_host.answer_file(file("MYLOG.LOG"));
    m_host.answer(ui::Answer::ok); // the log in use, by its full name
    run.click(W::k_new_log);
    EXPECT_NE(m_host.messages().back().text.find("is the log in use and holds 8 entries"), std::string::npos);
    m_host.answer_file(file("OTHER.LOG"));
    m_host.expect_message("Two logs needed");
    run.click(W::k_extract_log).click(W::k_write);
    EXPECT_EQ(m_host.messages().back().text, "Two logs needed");
    EXPECT_EQ(calls_of("MYLOG.LOG").size(), 8u);
}

TEST_F(ExtractWindowTest, AFileTooShortForAnEntryIsStillNotReplacedUnasked) {
    write_file(m_dir.path() / "NOTES.LOG", "not a log");
    m_host.answer(ui::Answer::no);
    auto run = open();
    choose(run, "NOTES.LOG", "MYLOG.LOG");
    EXPECT_EQ(m_host.messages().front().icon, ui::Icon::question);
    m_host.expect_message("Two logs needed");
    run.click(W::k_write);
    EXPECT_EQ(m_host.messages().back().text, "Two logs needed");
    EXPECT_EQ(read_file(m_dir.path() / "NOTES.LOG"), "not a log");
}

TEST_F(ExtractWindowTest, ABadDateIsClearedAndNothingIsWritten) {
    const struct {
        int box;
        const char* typed;
    } cases[] = {{W::k_from, "32/1/24"}, {W::k_to, "1/2/3"}, {W::k_to, "12345"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        auto run = open();
        choose(run, "OUT.LOG", "MYLOG.LOG");
        const int beeps = m_host.beeps();
        m_host.expect_message(std::string(logstore::k_date_format_message));
        run.type_into(c.box, c.typed).focus(W::k_cw).click(W::k_write);
        EXPECT_EQ(m_host.messages().back().title, "Date Error");
        EXPECT_EQ(m_host.messages().back().icon, ui::Icon::exclamation);
        EXPECT_EQ(run.text(c.box), "");
        EXPECT_EQ(run.focused(), c.box);
        EXPECT_EQ(m_host.beeps(), beeps + 1);
        EXPECT_FALSE(exists("OUT.LOG"));
        run.click(ui::k_cancel);
        // Nothing written: the log of before is the program's log again.
        EXPECT_EQ(m_log.path(), file("MYLOG.LOG"));
        EXPECT_TRUE(m_log.is_open());
    }
}

TEST_F(ExtractWindowTest, AFailedWriteLeavesTheOldLogAsItWas) {
    write_log(file("OLD.LOG"), {contact("01-01-20", "1000", "G0KEEP")});
    auto run = open();
    m_host.answer(ui::Answer::yes);
    choose(run, "OLD.LOG", "MYLOG.LOG");
    run.type_into(W::k_fourth, "ALL").click(k_20m);
    m_files.arm();
    m_files.change_error = ENOSPC;
    m_files.fail_changes_from = 1;
    m_host.answer(ui::Answer::ok); // why the log was not written, and its full name
    run.click(W::k_write);
    EXPECT_EQ(m_host.messages().back().text,
              std::string(logstore::message_of(logstore::LogError::disk_full)) + "\r\n" + file("OLD.LOG"));
    EXPECT_EQ(calls_of("OLD.LOG"), std::vector<std::string>{"G0KEEP"});
    EXPECT_EQ(files_in_dir(), (std::vector<std::string>{"MYLOG.LOG", "OLD.LOG"}));
    m_files.fail_changes_from = 0;
    run.close_box();
    EXPECT_EQ(m_log.path(), file("MYLOG.LOG"));
    EXPECT_TRUE(m_log.is_open());
}

TEST_F(ExtractWindowTest, HeightsAndRowsGrowWithTheScreen) {
    auto run = open(2.0);
    const ui::Form& form = run.context().form();
    EXPECT_EQ(form.caption, "EXTRACT LOG ENTRIES");
    EXPECT_EQ(form.frame.w, 230);
    EXPECT_EQ(form.frame.h, 350);
    const struct {
        int id;
        const char* text;
        ui::Rect rect;
    } controls[] = {
        {W::k_dates_frame, "Dates", {100, 90, 80, 90}},
        {W::k_bands_frame, "Bands", {15, 7, 60, 320}},
        {W::k_modes_frame, "Modes", {100, 7, 80, 75}},
        {111, "1.8MHz", {20, 20, 50, 10}},
        {112, "3.5MHz", {20, 44, 50, 10}},
        {W::k_five_mhz, "5MHz", {20, 68, 50, 10}},
        {k_40m, "7MHz", {20, 92, 50, 10}},
        {122, "144MHz", {20, 308, 50, 10}},
        {W::k_cw, "&CW", {110, 20, 40, 10}},
        {W::k_fm, "F&M", {110, 50, 40, 10}},
        {W::k_fourth_label, "&4th", {110, 65, 27, 10}},
        {W::k_fourth, "", {142, 64, 35, 10}},
        {W::k_from_label, "&From:", {100, 105, 25, 10}},
        {W::k_from, "", {130, 104, 45, 10}},
        {W::k_to_label, "&To:", {100, 129, 25, 10}},
        {W::k_to, "", {130, 128, 45, 10}},
        {W::k_new_log, "&New Log", {190, 80, 30, 25}},
        {W::k_extract_log, "Ex&tract Log", {190, 140, 30, 25}},
        {W::k_write, "&Write Log", {190, 200, 30, 25}},
        {ui::k_cancel, "E&xit", {190, 280, 30, 25}},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(run.context().control(c.id).text, c.text);
        EXPECT_EQ(run.context().control(c.id).rect, c.rect);
        EXPECT_FALSE(run.context().control(c.id).checked);
    }
    EXPECT_EQ(form.background, ui::colours::pale_yellow);
    EXPECT_EQ(run.context().control(W::k_bands_frame).background, ui::colours::pale_yellow);
}

} // namespace
} // namespace kestrel::exchange::tools_testing
