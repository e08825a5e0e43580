#include "exchange/merge_window.hpp"

#include "exchange/extract_window.hpp"
#include "exchange/merge_list_window.hpp"
#include "tools_fixture.hpp"

namespace kestrel::exchange::tools_testing {
namespace {

using M = MergeWindow;
using E = ExtractWindow;
using Calls = std::vector<std::string>;
constexpr int k_40m = 113, k_20m = 115;

class MergeWindowTest : public ToolsTest {
  protected:
    MergeWindowTest() {
        write_log(file("MAIN.LOG"), {contact("02-03-24", "1000", "M1"), contact("04-03-24", "1000", "M2")});
        write_log(file("PART.LOG"), {contact("01-03-24", "1000", "P1"), contact("02-03-24", "1000", "P2"),
                                     contact("05-03-24", "1000", "P3")});
        open_program_log("MAIN.LOG");
    }
    ui::TestRun open() {
        m_window = std::make_unique<MergeWindow>(env());
        return m_host.open_window(*m_window);
    }
    void choose_extract_log(ui::TestRun& run, const std::string& name) {
        m_host.answer_file(file(name));
        run.click(M::k_extract_log);
    }
    std::unique_ptr<MergeWindow> m_window;
};

TEST_F(MergeWindowTest, MergeAllIntoTheProgramsLog) {
    auto run = open();
    EXPECT_FALSE(m_log.is_open());
    choose_extract_log(run, "PART.LOG");
    m_host.expect_message(" 3 Entries merged");
    run.click(M::k_merge_all).click(M::k_write);
    // The merge log's entry goes first at the same date and time.
    EXPECT_EQ(calls_of("MAIN.LOG"), (Calls{"P1", "M1", "P2", "M2", "P3"}));
    EXPECT_EQ(calls_of("PART.LOG"), (Calls{"P1", "P2", "P3"}));
    const ui::Message& done = m_host.messages().back();
    EXPECT_EQ(done.text, " 3 Entries merged");
    EXPECT_EQ(done.title, " 3Merge Logs");
    EXPECT_EQ(done.icon, ui::Icon::information);
    EXPECT_TRUE(m_log.is_open());
    EXPECT_EQ(m_log.path(), file("MAIN.LOG"));
    EXPECT_EQ(m_log.record_count(), 5);
    EXPECT_FALSE(m_log.index_loaded());
    EXPECT_EQ(m_log.second_log_path(), ""); // the extract log is forgotten
    run.click(ui::k_cancel);
    EXPECT_EQ(m_log.path(), file("MAIN.LOG"));
    EXPECT_TRUE(m_host.surprises().empty());
}

TEST_F(MergeWindowTest, EntriesMarkedInTheListMoveAndLeaveTheExtractLog) {
    auto run = open();
    choose_extract_log(run, "PART.LOG");
    m_host.answer_file(file("OTHER.LOG"));
    write_log(file("OTHER.LOG"), {contact("03-03-24", "1000", "O1")});
    run.click(M::k_merge_log).click(M::k_delete);
    m_host.on_modal([](ui::TestRun& list) {
        EXPECT_EQ(list.items(MergeListWindow::k_rows).size(), 3u);
        list.select(MergeListWindow::k_rows, 0).key(ui::Key::f1);
        list.double_click(MergeListWindow::k_rows, 2);
        list.key(ui::Key::escape);
    });
    m_host.expect_message(" 2 Entries merged");
    run.click(M::k_select).click(M::k_write);
    EXPECT_EQ(calls_of("OTHER.LOG"), (Calls{"P1", "O1", "P3"}));
    EXPECT_EQ(calls_of("PART.LOG"), Calls{"P2"});
    EXPECT_EQ(calls_of("MAIN.LOG"), (Calls{"M1", "M2"}));
    EXPECT_EQ(m_host.messages().back().text, " 2 Entries merged");
    EXPECT_EQ(m_log.path(), file("OTHER.LOG"));
    run.click(ui::k_cancel);
    EXPECT_EQ(m_log.path(), file("OTHER.LOG"));
}

TEST_F(MergeWindowTest, WithNothingMarkedNothingMoves) {
    const std::string part = read_file(m_dir.path() / "PART.LOG");
    const std::string main = read_file(m_dir.path() / "MAIN.LOG");
    auto run = open();
    choose_extract_log(run, "PART.LOG");
    m_host.expect_message(" 0 Entries merged");
    run.click(M::k_delete).click(M::k_write);
    EXPECT_EQ(m_host.messages().back().text, " 0 Entries merged");
    EXPECT_EQ(m_host.messages().back().title, " 0Merge Logs");
    EXPECT_EQ(read_file(m_dir.path() / "PART.LOG"), part);
    EXPECT_EQ(read_file(m_dir.path() / "MAIN.LOG"), main);
}

TEST_F(MergeWindowTest, NamesAreCheckedFirst) {
    m_log.set_second_log_path({});
    auto run = open();
    m_host.expect_message("No extract log selected");
    m_host.expect_message("Two logs required");
    run.click(M::k_select).click(M::k_write);
    choose_extract_log(run, "MAIN.LOG"); // the merge log itself
    m_host.expect_message("Two logs required");
    run.click(M::k_write);
    const Calls texts = m_host.message_texts();
    EXPECT_EQ(texts, (Calls{"No extract log selected", "Two logs required", "Two logs required"}));
    for (const ui::Message& m : m_host.messages()) {
        EXPECT_EQ(m.title, "Log name error");
        EXPECT_EQ(m.icon, ui::Icon::exclamation);
    }
    EXPECT_EQ(calls_of("MAIN.LOG"), (Calls{"M1", "M2"}));
    // Left without a merge: the program's log is open again.
    run.close_box();
    EXPECT_TRUE(m_log.is_open());
    EXPECT_EQ(m_log.path(), file("MAIN.LOG"));
}

TEST_F(MergeWindowTest, AFailedMergeKeepsTheMarksForAnotherTry) {
    const std::string part = read_file(m_dir.path() / "PART.LOG");
    const std::string main = read_file(m_dir.path() / "MAIN.LOG");
    auto run = open();
    choose_extract_log(run, "PART.LOG");
    m_host.on_modal([](ui::TestRun& list) {
        list.select(MergeListWindow::k_rows, 1).key(ui::Key::f1).key(ui::Key::escape);
    });
    run.click(M::k_delete).click(M::k_select);
    m_files.arm();
    m_files.change_error = ENOSPC;
    m_files.fail_changes_from = 1;
    m_host.answer(ui::Answer::ok); // why the log was not written, and its full name
    run.click(M::k_write);
    EXPECT_EQ(m_host.messages().back().text,
              std::string(logstore::message_of(logstore::LogError::disk_full)) + "\r\n" + file("MAIN.LOG"));
    EXPECT_EQ(read_file(m_dir.path() / "PART.LOG"), part);
    EXPECT_EQ(read_file(m_dir.path() / "MAIN.LOG"), main);
    EXPECT_EQ(files_in_dir(), (Calls{"MAIN.LOG", "PART.LOG"}));
    m_files.fail_changes_from = 0;
    m_host.expect_message(" 1 Entries merged");
    run.click(M::k_write);
    EXPECT_EQ(calls_of("MAIN.LOG"), (Calls{"M1", "P2", "M2"}));
    EXPECT_EQ(calls_of("PART.LOG"), (Calls{"P1", "P3"}));
}

TEST_F(MergeWindowTest, TheFormIsLaidOutAsTheOperatorKnowsIt) {
    auto run = open();
    EXPECT_EQ(run.caption(), "MERGE TWO LOGS");
    EXPECT_EQ(run.context().form().frame.w, 250);
    EXPECT_EQ(run.context().form().frame.h, 150);
    const struct {
        int id;
        const char* text;
        ui::Rect rect;
    } controls[] = {
        {M::k_extract_log, "&Extract Log", {20, 100, 30, 25}},
        {M::k_merge_log, "&Merge Log", {60, 100, 30, 25}},
        {M::k_select, "&Select Entries", {100, 100, 30, 25}},
        {M::k_write, "&Write Logs", {140, 100, 30, 25}},
        {ui::k_cancel, "E&xit", {180, 100, 30, 25}},
        {M::k_merge_all, "Merge &All entries", {50, 40, 100, 10}},
        {M::k_delete, "&Delete extracted entries", {50, 60, 100, 10}},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(run.context().control(c.id).text, c.text);
        EXPECT_EQ(run.context().control(c.id).rect, c.rect);
    }
}

// The operator's round trip: a log taken apart by band and by date with Extract, and put back
// together with Merge, is the log it was, entry for entry, in date order.
TEST_F(MergeWindowTest, ExtractByBandAndDateThenMergeBackGivesTheOriginalLog) {
    const std::vector<logstore::RecordBytes> original = {
        contact("01-03-24", "0900", "G0A", 4),        contact("01-03-24", "0930", "G0B", 2),
        contact("02-03-24", "1200", "G0C", 2, "CW"),  contact("03-03-24", "2359", "G0D", 4),
        contact("04-03-24", "0000", "G0E", 2),        contact("04-03-24", "0000", "G0F", 4, "CW"),
        contact("05-03-24", "1000", "G0G", 4),        contact("06-03-24", "1000", "G0H", 2, "FM"),
        contact("07-03-24", "0800", "G0I", 4, "RTY"),
    };
    write_log(file("MYLOG.LOG"), original);
    open_program_log("MYLOG.LOG");

    const auto extract = [this](const std::string& into, std::vector<int> bands, const char* from,
                                const char* to, const char* told) {
        auto run = m_host.open(ExtractWindow{env()});
        m_host.answer_file(file(into));
        m_host.answer_file(file("MYLOG.LOG"));
        run.click(E::k_new_log).click(E::k_extract_log);
        for (int band : bands)
            run.click(band);
        m_host.expect_message(told);
        run.type_into(E::k_fourth, "ALL").type_into(E::k_from, from).type_into(E::k_to, to).click(E::k_write);
        run.click(ui::k_cancel);
    };
    extract("EARLY.LOG", {k_20m, k_40m}, "", "3/3/24", " 4 Entries written");
    extract("LATE40.LOG", {k_40m}, "4/3/24", "", " 2 Entries written");
    extract("LATE20.LOG", {k_20m}, "4/3/24", "", " 3 Entries written");
    EXPECT_EQ(calls_of("EARLY.LOG"), (Calls{"G0A", "G0B", "G0C", "G0D"}));
    EXPECT_EQ(calls_of("LATE40.LOG"), (Calls{"G0E", "G0H"}));
    EXPECT_EQ(calls_of("LATE20.LOG"), (Calls{"G0F", "G0G", "G0I"}));

    const auto merge = [this](const std::string& extract_log, const std::string& merge_log,
                              const char* told) {
        auto run = open();
        m_host.answer_file(file(extract_log));
        m_host.answer_file(file(merge_log));
        run.click(M::k_extract_log).click(M::k_merge_log).click(M::k_merge_all).click(M::k_delete);
        m_host.expect_message(told);
        run.click(M::k_write).click(ui::k_cancel);
    };
    merge("LATE20.LOG", "LATE40.LOG", " 3 Entries merged");
    merge("LATE40.LOG", "EARLY.LOG", " 5 Entries merged");

    EXPECT_EQ(read_file(m_dir.path() / "EARLY.LOG"), read_file(m_dir.path() / "MYLOG.LOG"));
    EXPECT_EQ(records_of("EARLY.LOG"), original);
    EXPECT_TRUE(records_of("LATE40.LOG").empty());
    EXPECT_TRUE(records_of("LATE20.LOG").empty());
    EXPECT_EQ(m_log.path(), file("EARLY.LOG"));
    EXPECT_TRUE(m_host.surprises().empty());
}

} // namespace
} // namespace kestrel::exchange::tools_testing
