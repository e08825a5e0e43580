#include "exchange/export_window.hpp"

#include "adif_fixture.hpp"
#include "exchange/adif_writer.hpp"
#include "logstore/field_codes.hpp"

#include <filesystem>

namespace kestrel::exchange::testing {
namespace {

using ui::TestRun;

class ExportWindowTest : public ExchangeTest {
  protected:
    ExportWindowTest() {
        // 5 March 2024, noon UTC: the same day wherever the test runs.
        m_host.set_now(ui::Clock::from_time_t(1709640000));
    }
    TestRun open() { return m_host.open(ExportWindow{m_log}); }
};

TEST_F(ExportWindowTest, LaysOutTheDialog) {
    open_log("MYLOG.LOG", "");
    auto run = open();
    const ui::Form& form = run.context().form();
    EXPECT_EQ(form.caption, "EXPORT A LOG IN ADIF FORMAT");
    EXPECT_EQ(form.frame.w, 250);
    EXPECT_EQ(form.frame.h, 90);
    EXPECT_EQ(form.background, ui::colours::pale_yellow);
    EXPECT_EQ(run.text(ExportWindow::k_log_label), "ExportLog: MYLOG.LOG");
    EXPECT_EQ(run.context().control(ExportWindow::k_export).text, "&Export  Log");
    EXPECT_EQ(run.context().control(ExportWindow::k_export).rect, (ui::Rect{25, 50, 30, 25}));
    EXPECT_EQ(run.context().control(ui::k_cancel).rect, (ui::Rect{200, 50, 30, 25}));
    run.key(ui::Key::escape);
    EXPECT_FALSE(run.is_open());
}

TEST_F(ExportWindowTest, WritesTheFileBesideTheLogAndCountsTheContacts) {
    logstore::StationDataRecord data;
    logstore::TextRecord note;
    const auto g9 = contact("05-03-01", "1432", "1440", "G9QQQ");
    const auto cq = contact("05-03-01", "1441", "1441", "CQ");
    const auto w1 = contact("06-03-01", "0800", "0805", "W1AW");
    open_log("test.log",
             bytes_of(data.encode()) + bytes_of({g9, cq}) + bytes_of(note.encode()) + bytes_of({w1}));
    auto run = open();
    m_host.expect_message("      2 Entries exported      ");
    run.click(ExportWindow::k_export);
    EXPECT_TRUE(run.is_open()) << "the dialog stays for another export";

    const std::string adi = read("test.adi");
    EXPECT_TRUE(adi.starts_with("ADIF export from KestLOG test.log\r\nDate: 03-05-2024  <adif_ver:5>3.1.7"));
    EXPECT_NE(adi.find("<eoh>\r\n<qso_date:8>20010305 "), std::string::npos);
    EXPECT_EQ(std::count(adi.begin(), adi.end(), '\n'), 2 + 2 * 4);
    EXPECT_NE(adi.find("<call:4>W1AW"), std::string::npos);
    EXPECT_EQ(adi.find("<call:2>CQ"), std::string::npos);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].title, "EXPORT COMPLETE");
    EXPECT_EQ(m_host.messages()[0].text, "      2 Entries exported      ");
    EXPECT_TRUE(m_host.modal_captions().empty()) << "a small log needs no progress window";

    // Exporting again replaces the file, and the log itself is never touched.
    write("test.adi", std::string(100000, 'x'));
    m_host.expect_message("      2 Entries exported      ");
    run.click(ExportWindow::k_export);
    EXPECT_EQ(read("test.adi"), adi);
    EXPECT_EQ(read("test.log").size(), 5u * logstore::k_record_size);
}

TEST_F(ExportWindowTest, EmptyLogAndLogWithoutContacts) {
    open_log("MYLOG.LOG", "");
    auto run = open();
    m_host.expect_message("MYLOG.LOG is Empty");
    run.click(ExportWindow::k_export);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].text, "MYLOG.LOG is Empty");
    EXPECT_EQ(m_host.messages()[0].title, "LOG EXPORT");
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::exclamation);
    EXPECT_FALSE(std::filesystem::exists(file("MYLOG.ADI")));

    logstore::StationDataRecord data;
    open_log("STATION.LOG", bytes_of(data.encode()));
    auto second = m_host.open(ExportWindow{m_log});
    m_host.expect_message("      0 Entries exported      ");
    second.click(ExportWindow::k_export);
    EXPECT_EQ(m_host.messages().back().text, "      0 Entries exported      ");
    EXPECT_EQ(read("STATION.ADI"), adif_header("STATION.LOG", {2024, 3, 5}));
}

TEST_F(ExportWindowTest, AContactOnNoDayOfTheCalendarIsLeftOutAndTold) {
    // The entry editor lets 31-02-24 through; no other program would take the file with it.
    open_log("MYLOG.LOG", bytes_of({contact("31-02-24", "1432", "1440", "G9QQQ"),
                                    contact("29-02-24", "1432", "1440", "G9QQR")}));
    auto run = open();
    const std::string text =
        "      1 Entries exported      \r\n"
        " 1 entries were left out: their date is no date of the calendar (correct it in the log)";
    m_host.expect_message(text);
    run.click(ExportWindow::k_export);
    EXPECT_EQ(m_host.message_texts(), std::vector<std::string>{text});
    const std::string adi = read("MYLOG.ADI");
    EXPECT_EQ(adi.find("G9QQQ"), std::string::npos);
    EXPECT_NE(adi.find("<qso_date:8>20240229 "), std::string::npos);
}

TEST_F(ExportWindowTest, ALogNamedWithoutLogExtensionIsNotOverwritten) {
    const std::string log = bytes_of({contact("05-03-01", "1432", "1440", "G9QQQ")});
    open_log("club.Log", log);
    auto run = open();
    m_host.expect_message("      1 Entries exported      ");
    run.click(ExportWindow::k_export);
    EXPECT_EQ(read("club.Log"), log);
    EXPECT_TRUE(read("club.Log.ADI").find("<call:5>G9QQQ") != std::string::npos);
}

TEST_F(ExportWindowTest, AFolderNamedLikeALogStaysAFolder) {
    std::filesystem::create_directory(file("radio.log"));
    open_log("radio.log/contest.log", bytes_of({contact("05-03-01", "1432", "1440", "G9QQQ")}));
    auto run = open();
    m_host.expect_message("      1 Entries exported      ");
    run.click(ExportWindow::k_export);
    EXPECT_TRUE(read("radio.log/contest.adi").find("<call:5>G9QQQ") != std::string::npos);
}

TEST_F(ExportWindowTest, AFileThatCannotBeWrittenIsReported) {
    open_log("MYLOG.LOG", bytes_of({contact("05-03-01", "1432", "1440", "G9QQQ")}));
    std::filesystem::create_directory(file("MYLOG.ADI")); // the name is taken by a directory
    auto run = open();
    m_host.expect_message("MYLOG.ADI could not be written; nothing was exported.");
    run.click(ExportWindow::k_export);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::stop);
    EXPECT_NE(m_host.messages()[0].text.find("MYLOG.ADI could not be written"), std::string::npos);
}

TEST_F(ExportWindowTest, ALargeLogShowsProgress) {
    std::vector<logstore::QsoRecord> many(12000, contact("05-03-01", "1432", "1440", "G9QQQ"));
    open_log("BIG.LOG", bytes_of(many));
    auto run = open();
    m_host.expect_message("      12000 Entries exported      ");
    run.click(ExportWindow::k_export);
    EXPECT_EQ(m_host.modal_captions(), std::vector<std::string>{"Export Log"});
    EXPECT_EQ(m_host.messages().back().text, "      12000 Entries exported      ");
    EXPECT_TRUE(m_host.surprises().empty());
}

TEST_F(ExportWindowTest, EntryFunctionNeedsAnOpenLog) {
    auto parent = m_host.open(ParentWindow{});
    m_host.expect_message("No Log Selected");
    export_adif(parent.context(), m_log);
    EXPECT_EQ(m_host.message_texts(), std::vector<std::string>{"No Log Selected"});

    open_log("MYLOG.LOG", "");
    m_host.on_modal([](TestRun& run) {
        EXPECT_EQ(run.caption(), "EXPORT A LOG IN ADIF FORMAT");
        run.click(ui::k_cancel);
    });
    export_adif(parent.context(), m_log);
    EXPECT_TRUE(m_host.surprises().empty());
}

} // namespace
} // namespace kestrel::exchange::testing
