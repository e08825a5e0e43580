#include "exchange/import_adif.hpp"

#include "adif_fixture.hpp"
#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "exchange/adif_import_text.hpp"
#include "logstore/crashing_file_system.hpp"
#include "logstore/log_store.hpp"

#include <filesystem>

namespace kestrel::exchange::testing {
namespace {

using ui::TestRun;

const std::string k_two_contacts =
    "<call:5>K1ABC<qso_date:8>20240305<time_on:4>1432<band:3>20m<eor>\r\n"
    "<call:4>W1AW<qso_date:8>20240305<time_on:4>1440<band:3>40m<tx_pwr:2>50<eor>\r\n";

class ImportWindowTest : public ExchangeTest {
  protected:
    TestRun open() { return m_host.open(ImportWindow{m_log, m_state}); }
    // Chooses a file through Select Log.
    void choose(TestRun& run, const std::string& path) {
        m_host.answer_file(path);
        run.click(ImportWindow::k_select);
    }
    AdifImportState m_state;
};

TEST(ImportLogName, UpperCaseNameInTheCurrentDirectory) {
    EXPECT_EQ(import_log_name("/home/op/Downloads/Contest.adi"), "CONTEST.LOG");
    EXPECT_EQ(import_log_name("c:\\data\\Contest.adi"), "CONTEST.LOG");
    EXPECT_EQ(import_log_name("wsjtx_log.adif"), "WSJTX_LOG.LOG");
    EXPECT_EQ(import_log_name("/tmp/export.ADI.adi"), "EXPORT.LOG.LOG");
    EXPECT_EQ(import_log_name("/tmp/lotwreport"), "LOTWREPORT.LOG");
    EXPECT_EQ(import_log_name("/tmp/OLD.LOG"), "OLD.LOG.LOG");
    EXPECT_EQ(import_log_name("/tmp/a,b.adi"), "A_B.LOG");
}

TEST_F(ImportWindowTest, LaysOutTheDialogAndAsksForAnAdifFile) {
    auto run = open();
    const ui::Form& form = run.context().form();
    EXPECT_EQ(form.caption, "IMPORT A LOG IN ADIF FORMAT");
    EXPECT_EQ(form.frame.w, 250);
    EXPECT_EQ(form.frame.h, 150);
    EXPECT_EQ(run.context().control(ImportWindow::k_power).rect, (ui::Rect{90, 9, 22, 10}));
    EXPECT_EQ(run.context().control(ImportWindow::k_comment).rect, (ui::Rect{70, 25, 165, 10}));
    EXPECT_EQ(run.text(ImportWindow::k_file_label), "Import Log: ");
    EXPECT_EQ(run.focused(), ImportWindow::k_power);

    choose(run, file("Contest.adi"));
    ASSERT_EQ(m_host.file_requests().size(), 1u);
    const ui::FileRequest& r = m_host.file_requests()[0];
    EXPECT_EQ(r.title, "Open an ADIF Log file");
    EXPECT_EQ(r.filter_name, "Log Files (*.ADI,*.ADIF)");
    EXPECT_EQ(r.patterns, "*.ADI;*ADIF");
    EXPECT_EQ(r.default_extension, "ADI");
    EXPECT_TRUE(r.must_exist);
    EXPECT_EQ(run.text(ImportWindow::k_file_label), "Import Log: " + file("Contest.adi"));

    m_host.answer_file(std::nullopt);
    run.click(ImportWindow::k_select);
    EXPECT_EQ(m_state.adif_path, file("Contest.adi")) << "cancelling keeps the file chosen";
    auto again = open();
    EXPECT_EQ(again.text(ImportWindow::k_file_label), "Import Log: " + file("Contest.adi"));
}

TEST_F(ImportWindowTest, ImportWithoutAFileOnlyBeeps) {
    auto run = open();
    run.click(ImportWindow::k_import);
    EXPECT_EQ(m_host.beeps(), 1);
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(ImportWindowTest, MakesTheCurrentLogWithItsIndex) {
    open_log("MYLOG.LOG", bytes_of({contact("05-03-01", "1432", "1440", "G9QQQ")}));
    write("Contest.adi", k_two_contacts);
    auto run = open();
    choose(run, file("Contest.adi"));
    run.type_into(ImportWindow::k_power, "100").type_into(ImportWindow::k_comment, " imported");
    m_host.expect_message(" 2 Entries imported");
    run.click(ImportWindow::k_import);

    EXPECT_EQ(m_host.message_texts(), std::vector<std::string>{" 2 Entries imported"});
    EXPECT_EQ(m_host.messages()[0].title, "Import Log Complete");
    EXPECT_EQ(m_log.path(), "CONTEST.LOG");
    EXPECT_EQ(m_log.record_count(), 2);
    EXPECT_TRUE(m_log.index_loaded());
    EXPECT_EQ(m_host.modal_captions(), std::vector<std::string>{"Load Log"});
    const auto records = records_of("CONTEST.LOG");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].power, "100  ");
    EXPECT_EQ(records[1].power, "50   ");
    EXPECT_EQ(std::string(trim_trailing_spaces(records[1].comment)), " imported");
    EXPECT_EQ(read("MYLOG.LOG").size(), 84u) << "the old log is left as it was";
    EXPECT_TRUE(run.is_open());
}

// An import over a log whose last change was stopped part way: that change is put right in the
// old log first, which the operator is told, and the new log is then exactly the imported one,
// never mended with the old log's journal.
TEST_F(ImportWindowTest, AnImportOverALogWithAnInterruptedChangeGivesExactlyTheImportedLog) {
    open_log("MYLOG.LOG", bytes_of({contact("05-03-01", "1432", "1440", "G9QQQ")}));
    std::vector<logstore::QsoRecord> old;
    for (int day = 10; day < 20; ++day)
        old.push_back(contact(std::to_string(day) + "-01-24", "1200", "1201", "OLD" + std::to_string(day)));
    write("CONTEST.LOG", bytes_of(old));
    {
        // Stopped while moving records, as a kill would stop it: the journal stays.
        const auto insert = [&](std::int64_t steps) {
            write("CONTEST.LOG", bytes_of(old));
            kestrel::testing::CrashingFileSystem files(steps);
            logstore::LogStore log(files);
            EXPECT_TRUE(log.open_log(file("CONTEST.LOG")));
            (void)log.insert_record_in_order(contact("11-01-24", "0000", "0001", "NEW").encode(), "NEW");
            return files.steps();
        };
        insert(insert(kestrel::testing::CrashingFileSystem::k_never) - 100);
        ASSERT_TRUE(std::filesystem::exists(file("CONTEST.LOG.JNL")));
    }
    write("Contest.adi", k_two_contacts);
    auto run = open();
    choose(run, file("Contest.adi"));
    m_host.answer(ui::Answer::yes); // CONTEST.LOG already holds records: replace them
    m_host.expect_message("The last change to CONTEST.LOG was interrupted; the log is as it was before it.");
    m_host.expect_message(" 2 Entries imported");
    run.click(ImportWindow::k_import);

    const auto records = records_of("CONTEST.LOG");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(std::string(trim_trailing_spaces(records[0].call)), "K1ABC");
    EXPECT_EQ(std::string(trim_trailing_spaces(records[1].call)), "W1AW");
    EXPECT_FALSE(std::filesystem::exists(file("CONTEST.LOG.JNL")));
    EXPECT_FALSE(std::filesystem::exists(file("CONTEST.LOG.JNL.BAD")));
    EXPECT_EQ(m_log.record_count(), 2);
}

TEST_F(ImportWindowTest, ContactsTheLogCannotHoldAreCountedAndKeptBesideIt) {
    const std::string left_out = "<call:4>W6XX<name:7>J\xC3\xBCrgen<qso_date:8>20240305<time_on:4>1500"
                                 "<freq:7>222.100<eor>\r\n"
                                 "<call:4>W7XX<qso_date:8>20240305<time_on:4>1501<band:5>2190m<eor>\r\n"
                                 "<call:4>W8XX<qso_date:8>19250305<time_on:4>1502<band:3>20m<eor>\r\n"
                                 "<call:4>W9XX<qso_date:8>20240305<time_on:4>2400<band:3>20m<eor>\r\n";
    write("Contest.adi", "Mixed log<eoh>\r\n" + k_two_contacts + left_out);
    auto run = open();
    choose(run, file("Contest.adi"));
    const std::string text =
        " 2 Entries imported\r\n"
        " 1 entries without a date the log can hold (a real date from 1930 to 31-01-2061)"
        " were left out\r\n"
        " 1 entries without a time of day (00:00 to 23:59) were left out\r\n"
        " 2 entries on a band the log has no place for (such as 2190 m, 8 m, 222 or 902 MHz)"
        " were left out\r\n"
        "They are kept as they were in CONTEST.REJECTED.ADI";
    m_host.expect_message(text);
    run.click(ImportWindow::k_import);
    EXPECT_EQ(m_host.message_texts(), std::vector<std::string>{text});
    EXPECT_EQ(m_log.record_count(), 2);

    // A valid ADIF file of exactly those records, bytes as they were (the UTF-8 name too), which
    // says how they are written and imports to nothing again.
    const std::string kept = read("CONTEST.REJECTED.ADI");
    EXPECT_TRUE(kept.ends_with("<eoh>\r\n" + left_out));
    EXPECT_NE(kept.find("<app_kestrel_encoding:5>UTF-8<eoh>"), std::string::npos);
    const ImportedLog again = import_adif_text(kept, {});
    EXPECT_EQ(again.entries, 0);
    EXPECT_EQ(again.left_out.total(), 4);
    EXPECT_EQ(again.rejected, left_out);
}

TEST_F(ImportWindowTest, AnExistingLogIsReplacedOnlyWhenTheOperatorAgrees) {
    const std::string old =
        bytes_of({contact("05-03-01", "1432", "1440", "G9QQQ"), contact("05-03-01", "1500", "1501", "G9QQR"),
                  contact("05-03-01", "1600", "1601", "G9QQS")});
    write("CONTEST.LOG", old);
    write("contest.adi", k_two_contacts);
    open_log("MYLOG.LOG", "");
    auto run = open();
    choose(run, file("contest.adi"));

    m_host.answer_enter(); // a hasty Enter keeps the records
    run.click(ImportWindow::k_import);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].text,
              "CONTEST.LOG already holds 3 records.\r\nReplace them with the entries of the ADIF file?");
    EXPECT_EQ(m_host.messages()[0].buttons, ui::Buttons::yes_no);
    EXPECT_EQ(m_host.messages()[0].default_answer, ui::Answer::no);
    EXPECT_EQ(read("CONTEST.LOG"), old);
    EXPECT_EQ(m_log.path(), "MYLOG.LOG");

    m_host.answer(ui::Answer::yes);
    m_host.expect_message(" 2 Entries imported");
    run.click(ImportWindow::k_import);
    EXPECT_EQ(records_of("CONTEST.LOG").size(), 2u) << "no old record is left behind the new ones";
    EXPECT_EQ(m_log.path(), "CONTEST.LOG");
}

TEST_F(ImportWindowTest, NeverWritesOverTheLogInUse) {
    const std::string current = bytes_of({contact("05-03-01", "1432", "1440", "G9QQQ")});
    open_log("CONTEST.LOG", current);
    write("contest.adi", k_two_contacts);
    auto run = open();
    choose(run, file("contest.adi"));
    m_host.answer(ui::Answer::ok); // the log in use would be written over
    run.click(ImportWindow::k_import);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::exclamation);
    EXPECT_TRUE(m_host.messages()[0].text.starts_with("CONTEST.LOG is the log in use"));
    EXPECT_EQ(read("CONTEST.LOG"), current);
    EXPECT_EQ(m_log.record_count(), 1);
}

TEST_F(ImportWindowTest, AFileWithoutAdifExtensionIsNotItsOwnLog) {
    write("LOTWREPORT.LOG", k_two_contacts); // a download saved under a .LOG name
    auto run = open();
    choose(run, file("LOTWREPORT.LOG"));
    m_host.expect_message(" 2 Entries imported");
    run.click(ImportWindow::k_import);
    EXPECT_EQ(read("LOTWREPORT.LOG"), k_two_contacts);
    EXPECT_EQ(records_of("LOTWREPORT.LOG.LOG").size(), 2u);
}

TEST_F(ImportWindowTest, UnreadableFileAndEmptyFile) {
    auto run = open();
    choose(run, file("gone.adi"));
    m_host.expect_message("The ADIF file " + file("gone.adi") + " could not be read.");
    run.click(ImportWindow::k_import);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::stop);
    EXPECT_FALSE(std::filesystem::exists(file("GONE.LOG")));

    write("empty.adi", "Nothing here<eoh>\r\n");
    choose(run, file("empty.adi"));
    m_host.expect_message(" 0 Entries imported");
    run.click(ImportWindow::k_import);
    EXPECT_EQ(m_host.messages().back().text, " 0 Entries imported");
    EXPECT_TRUE(std::filesystem::exists(file("EMPTY.LOG")));
    EXPECT_EQ(m_log.record_count(), 0);
    EXPECT_EQ(m_log.path(), "EMPTY.LOG");
}

TEST_F(ImportWindowTest, EntriesWithoutACallAreCountedAndALargeFileShowsProgress) {
    std::string big = "<eor>\r\n";
    while (big.size() < 3 * 1024 * 1024)
        big += k_two_contacts;
    const int entries = static_cast<int>((big.size() - 7) / k_two_contacts.size()) * 2;
    write("big.adi", big);
    auto run = open();
    choose(run, file("big.adi"));
    m_host.expect_message(number_text(entries) +
                          " Entries imported\r\n 1 entries without a call were left out");
    run.click(ImportWindow::k_import);
    EXPECT_EQ(m_host.modal_captions(), (std::vector<std::string>{"Import Log", "Load Log"}));
    EXPECT_EQ(m_host.message_texts().back(),
              number_text(entries) + " Entries imported\r\n 1 entries without a call were left out");
    EXPECT_EQ(m_log.record_count(), entries);
}

} // namespace
} // namespace kestrel::exchange::testing
