#include "exchange/cabrillo_window.hpp"

#include "common/fixed_text.hpp"
#include "exchange/cabrillo_import.hpp"
#include "logstore/dates.hpp"
#include "tools_fixture.hpp"

namespace kestrel::exchange::tools_testing {
namespace {

using W = CabrilloWindow;

std::string shipped_layouts() {
    const std::filesystem::path path(KESTREL_SHIPPED_LAYOUTS);
    return read_layout_file(path.string()).value_or("");
}

// A CQ WW SSB entry as a contest logger writes it, in the template's columns.
const char* const k_cq_ww_log =
    "START-OF-LOG: 3.0\r\n"
    "CALLSIGN: G4ABC\r\n"
    "Contest: cq-ww-ssb\r\n"
    "CATEGORY-OPERATOR: SINGLE-OP\r\n"
    "SOAPBOX: QSO: lines below\r\n"
    "QSO:  3799 PH 2024-10-26 0711 G4ABC         59  14     K9QZO         59  04     0\r\n"
    "QSO: 14256 PH 2024-10-26 0712 G4ABC         59  14     P29AS         57  28     0\r\n"
    "QSO: 21250 PH 2024-10-26 1230 G4ABC         59  14     4S7TWG        55  22     0\r\n"
    "QSO: 28530 PH 2024-10-27 0001 G4ABC         59  14     JT1FAX/P      59  23     0\r\n"
    "END-OF-LOG:\r\n";

class CabrilloWindowTest : public ToolsTest {
  protected:
    CabrilloWindowTest() {
        write_file(m_dir.path() / "CABRILLO.FRM", shipped_layouts());
        write_log(file("MYLOG.LOG"), {qso("01-01-24", "1200", "G0OLD")});
        open_program_log("MYLOG.LOG");
    }
    ui::TestRun open() { return m_host.open(CabrilloWindow{env()}); }
    // Chooses both files and presses Import.
    void import_into(ui::TestRun& run, const std::string& cabrillo, const std::string& new_log) {
        m_host.answer_file(file(cabrillo));
        m_host.answer_file(file(new_log));
        run.click(W::k_select_cabrillo).click(W::k_select_new).click(W::k_import);
    }
};

TEST_F(CabrilloWindowTest, ACqWwLogImportsWithItsCallsAndReports) {
    write_file(m_dir.path() / "G4ABC.CBR", k_cq_ww_log);
    auto run = open();
    run.type_into(W::k_power, "100").type_into(W::k_comment, "CQ WW SSB 2024");
    m_host.expect_message(" 4 Entries imported");
    import_into(run, "G4ABC.CBR", "CQWW.LOG");

    EXPECT_EQ(m_host.messages().back().title, "Import Log Complete");
    EXPECT_EQ(m_host.messages().back().text, " 4 Entries imported");
    EXPECT_EQ(m_log.path(), file("CQWW.LOG"));
    EXPECT_TRUE(m_log.index_loaded());
    EXPECT_EQ(m_log.record_count(), 4);

    const struct {
        const char* date;
        const char* time;
        const char* call;
        const char* received;
        int band;
    } expected[] = {
        {"26-10-24", "07:11", "K9QZO", "59", 1},
        {"26-10-24", "07:12", "P29AS", "57", 4},
        {"26-10-24", "12:30", "4S7TWG", "55", 6},
        {"27-10-24", "00:01", "JT1FAX/P", "59", 8},
    };
    const auto records = records_of("CQWW.LOG");
    ASSERT_EQ(records.size(), 4u);
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(expected[i].call);
        const auto q = logstore::QsoRecord::decode(records[i]);
        EXPECT_EQ(logstore::date_text_of(q.date), expected[i].date);
        EXPECT_EQ(logstore::time_text_of(q.time_on), expected[i].time);
        EXPECT_EQ(q.time_off, q.time_on);
        EXPECT_EQ(trim_trailing_spaces(q.call), expected[i].call);
        EXPECT_EQ(q.rst_sent, "59     ");
        EXPECT_EQ(trim_trailing_spaces(q.rst_received), expected[i].received);
        EXPECT_EQ(q.band, logstore::coded_band_field(expected[i].band));
        EXPECT_EQ(q.mode, "SSB");
        EXPECT_EQ(q.power, "100  ");
        EXPECT_EQ(trim_trailing_spaces(q.comment), "CQ WW SSB 2024");
        EXPECT_EQ(q.qsl_flags, '0');
    }
    // The old log is untouched, and no work file is left behind.
    EXPECT_EQ(calls_of("MYLOG.LOG"), std::vector<std::string>{"G0OLD"});
    EXPECT_EQ(files_in_dir(),
              (std::vector<std::string>{"CABRILLO.FRM", "CQWW.LOG", "G4ABC.CBR", "MYLOG.LOG"}));
    // The choices are forgotten: a second Import asks for both logs again.
    EXPECT_EQ(run.text(W::k_cabrillo_label), "Import Log: ");
    m_host.expect_message("Please select both logs");
    run.click(W::k_import);
    EXPECT_EQ(m_host.messages().back().text, "Please select both logs");
    EXPECT_TRUE(m_host.surprises().empty());
}

TEST_F(CabrilloWindowTest, LinesLeftOutAreToldAndKeptBesideTheNewLog) {
    const std::string on_222 =
        "QSO:   222 PH 2024-10-26 0713 G4ABC         59  14     W1XYZ         59  05     0";
    const std::string garbled = "QSO: 14256 PH 2024-10-26 0714 G4ABC 59 14";
    std::string log = k_cq_ww_log;
    log.insert(log.find("END-OF-LOG:"), "QSO: 7150 PH 2024-10-26 0715 G4ABC 59 14 W2XYZ 58 05\r\n" + on_222 +
                                            "\r\n" + garbled + "\r\n");
    write_file(m_dir.path() / "G4ABC.CBR", log);
    auto run = open();
    const std::string text =
        " 5 Entries imported\r\n"
        " 1 QSO lines were left out: their fields fit neither the contest's columns nor its order"
        "\r\n 1 QSO lines on a band the log has no place for (such as 2190 m, 8 m, 222 or 902 MHz)"
        " were left out\r\nThey are kept as they were in " +
        file("CQWW.REJECTED.CBR");
    m_host.expect_message(text);
    import_into(run, "G4ABC.CBR", "CQWW.LOG");
    EXPECT_EQ(m_host.messages().back().text, text);
    EXPECT_EQ(calls_of("CQWW.LOG"),
              (std::vector<std::string>{"K9QZO", "P29AS", "4S7TWG", "JT1FAX/P", "W2XYZ"}));
    const std::string kept =
        "START-OF-LOG: 3.0\r\nContest: cq-ww-ssb\r\n" + on_222 + "\r\n" + garbled + "\r\nEND-OF-LOG:\r\n";
    EXPECT_EQ(read_file(m_dir.path() / "CQWW.REJECTED.CBR"), kept);

    // Those lines read again into the same log are kept anew beside it, the file read left alone.
    open_program_log("MYLOG.LOG");
    m_host.answer(ui::Answer::yes); // CQWW.LOG holds entries: replace them?
    m_host.answer(ui::Answer::ok);  // how many were imported, and what was left out
    import_into(run, "CQWW.REJECTED.CBR", "CQWW.LOG");
    EXPECT_EQ(read_file(m_dir.path() / "CQWW.REJECTED.CBR"), kept);
    EXPECT_EQ(read_file(m_dir.path() / "CQWW.REJECTED.REJECTED.CBR"), kept);
    EXPECT_TRUE(m_host.surprises().empty());
}

TEST_F(CabrilloWindowTest, ChoicesShowInTheLabelsAndBothAreNeeded) {
    auto run = open();
    EXPECT_EQ(run.text(W::k_new_label), "   New Log: ");
    m_host.expect_message("Please select both logs");
    run.click(W::k_import);
    m_host.answer_file(file("G4ABC.CBR"));
    m_host.expect_message("Please select both logs");
    run.click(W::k_select_cabrillo).click(W::k_import);
    m_host.answer_file(std::nullopt); // cancelled: nothing chosen
    m_host.expect_message("Please select both logs");
    run.click(W::k_select_new).click(W::k_import);
    ASSERT_EQ(m_host.messages().size(), 3u);
    for (const ui::Message& m : m_host.messages()) {
        EXPECT_EQ(m.text, "Please select both logs");
        EXPECT_EQ(m.title, "");
        EXPECT_EQ(m.icon, ui::Icon::exclamation);
    }
    EXPECT_EQ(run.text(W::k_cabrillo_label), "Import Log: " + file("G4ABC.CBR"));
    EXPECT_EQ(run.text(W::k_new_label), "   New Log: ");
    const ui::FileRequest& request = m_host.file_requests().front();
    EXPECT_EQ(request.title, "Open a Log file");
    EXPECT_EQ(request.filter_name, "Log Files (*.LOG)");
    EXPECT_TRUE(request.must_exist);
    EXPECT_FALSE(m_host.file_requests().back().must_exist);
    EXPECT_EQ(m_log.path(), file("MYLOG.LOG")); // choosing changes nothing yet
}

TEST_F(CabrilloWindowTest, AContestWithoutLayoutChangesNothing) {
    const struct {
        std::string cabrillo;
        bool layout_file;
        const char* text;
        const char* title;
    } cases[] = {
        {"CONTEST: RSGB-80M-CC\r\nQSO:  3550 CW 2024-01-01 2000 G4ABC 599 001 G3XYZ 599 002\r\n", true,
         "Contest type not recognised", "CONTEST CHECK"},
        {k_cq_ww_log, false, "Can't find CABRILLO.FRM file", "Missing File"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        open_program_log("MYLOG.LOG");
        write_file(m_dir.path() / "LOG.CBR", c.cabrillo);
        if (!c.layout_file) std::filesystem::remove(m_dir.path() / "CABRILLO.FRM");
        write_log(file("OLD.LOG"), {qso("01-01-24", "1200", "G0KEEP")});
        m_host.answer(ui::Answer::yes); // replace OLD.LOG's entry
        m_host.expect_message(c.text);
        auto run = open();
        import_into(run, "LOG.CBR", "OLD.LOG");
        EXPECT_EQ(m_host.messages().back().text, c.text);
        EXPECT_EQ(m_host.messages().back().title, c.title);
        EXPECT_EQ(m_host.messages().back().icon, ui::Icon::stop);
        EXPECT_EQ(calls_of("OLD.LOG"), std::vector<std::string>{"G0KEEP"});
        EXPECT_EQ(m_log.path(), file("MYLOG.LOG"));
        EXPECT_TRUE(m_log.is_open());
        EXPECT_FALSE(exists("OLD.NEW"));
        // The choices stay made: once the layout is there, Import goes through.
        write_file(m_dir.path() / "CABRILLO.FRM", shipped_layouts() + "RSGB-80M-CC,56,13,45,3,70,3\r\n");
        m_host.answer(ui::Answer::ok); // how many were imported
        run.click(W::k_import);
        EXPECT_EQ(m_host.messages().back().title, "Import Log Complete");
        EXPECT_EQ(m_log.path(), file("OLD.LOG"));
    }
}

TEST_F(CabrilloWindowTest, TheNewLogIsNeverTheFileReadNorTheLogInUse) {
    write_file(m_dir.path() / "G4ABC.LOG", k_cq_ww_log);
    const std::string refusal = "The new log cannot be the Cabrillo log it is read from.";
    auto run = open();
    // The Cabrillo file named again as the new log...
    m_host.answer_file(file("G4ABC.LOG"));
    m_host.answer_file(file("G4ABC.LOG"));
    m_host.expect_message(refusal);
    run.click(W::k_select_cabrillo).click(W::k_select_new);
    EXPECT_EQ(m_host.messages().back().text, refusal);
    EXPECT_EQ(run.text(W::k_new_label), "   New Log: ");
    // ... or the other way round, found when Import is pressed.
    auto second = open();
    m_host.answer(ui::Answer::yes); // G4ABC.LOG is not empty: replace it?
    m_host.expect_message(refusal);
    m_host.answer_file(file("G4ABC.LOG"));
    m_host.answer_file(file("G4ABC.LOG"));
    second.click(W::k_select_new).click(W::k_select_cabrillo).click(W::k_import);
    EXPECT_EQ(m_host.messages().back().text, refusal);
    // The log in use, which holds an entry.
    m_host.answer_file(file("MYLOG.LOG"));
    m_host.answer(ui::Answer::ok); // the log in use, by its full name
    run.click(W::k_select_new);
    EXPECT_NE(m_host.messages().back().text.find("is the log in use and holds 1 entries"), std::string::npos);
    EXPECT_EQ(run.text(W::k_new_label), "   New Log: ");
    EXPECT_EQ(read_file(m_dir.path() / "G4ABC.LOG"), k_cq_ww_log);
    EXPECT_EQ(calls_of("MYLOG.LOG"), std::vector<std::string>{"G0OLD"});
    EXPECT_TRUE(m_host.surprises().empty());
}

TEST_F(CabrilloWindowTest, AnEmptyLogInUseMayTakeTheImport) {
    // Files/New then Import: the operator's new, empty log is the target.
    write_log(file("CONTEST.LOG"), {});
    open_program_log("CONTEST.LOG");
    write_file(m_dir.path() / "G4ABC.CBR", k_cq_ww_log);
    auto run = open();
    m_host.expect_message(" 4 Entries imported");
    import_into(run, "G4ABC.CBR", "CONTEST.LOG");
    EXPECT_EQ(m_host.messages().back().text, " 4 Entries imported");
    EXPECT_EQ(m_log.path(), file("CONTEST.LOG"));
    EXPECT_EQ(m_log.record_count(), 4);
}

TEST_F(CabrilloWindowTest, AnotherLogWithEntriesIsReplacedWholeOnlyWhenTheOperatorSaysSo) {
    write_file(m_dir.path() / "G4ABC.CBR", k_cq_ww_log);
    std::vector<logstore::RecordBytes> old;
    for (int i = 0; i < 9; ++i)
        old.push_back(qso("01-01-23", "1200", "G" + std::to_string(i) + "OLD"));
    write_log(file("OLD.LOG"), old);

    m_host.answer(ui::Answer::no);
    auto run = open();
    m_host.answer_file(file("OLD.LOG"));
    run.click(W::k_select_new);
    EXPECT_EQ(m_host.messages().back().text,
              file("OLD.LOG") +
                  " already holds 9 entries.\r\nReplace them with the imported entries? Every entry "
                  "in it now will be lost.");
    EXPECT_EQ(run.text(W::k_new_label), "   New Log: ");

    m_host.answer(ui::Answer::yes);
    m_host.expect_message(" 4 Entries imported");
    import_into(run, "G4ABC.CBR", "OLD.LOG");
    // Exactly the four imported entries: none of the nine old ones is left behind them.
    EXPECT_EQ(calls_of("OLD.LOG"), (std::vector<std::string>{"K9QZO", "P29AS", "4S7TWG", "JT1FAX/P"}));
}

TEST_F(CabrilloWindowTest, AFailedWriteIsToldAndLosesNothing) {
    write_file(m_dir.path() / "G4ABC.CBR", k_cq_ww_log);
    write_log(file("OLD.LOG"), {qso("01-01-24", "1200", "G0KEEP")});
    const struct {
        const char* what;
        int fail_change;
        logstore::LogError error;
    } cases[] = {
        {"disk full while writing", 1, logstore::LogError::disk_full},
        {"the rename into place", 3, logstore::LogError::write_failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_files.change_error = c.error == logstore::LogError::disk_full ? ENOSPC : EIO;
        m_files.arm();
        m_files.fail_change_number = c.fail_change;
        m_host.answer(ui::Answer::yes);
        m_host.answer(ui::Answer::ok); // why the log was not written, and its full name
        auto run = open();
        import_into(run, "G4ABC.CBR", "OLD.LOG");
        EXPECT_EQ(m_host.messages().back().text,
                  std::string(logstore::message_of(c.error)) + "\r\n" + file("OLD.LOG"));
        EXPECT_EQ(calls_of("OLD.LOG"), std::vector<std::string>{"G0KEEP"});
        EXPECT_EQ(m_log.path(), file("MYLOG.LOG"));
        EXPECT_TRUE(m_log.is_open());
        EXPECT_EQ(files_in_dir(),
                  (std::vector<std::string>{"CABRILLO.FRM", "G4ABC.CBR", "MYLOG.LOG", "OLD.LOG"}));
        m_files.fail_change_number = 0;
    }
}

TEST_F(CabrilloWindowTest, TheFormIsLaidOutAsTheOperatorKnowsIt) {
    auto run = open();
    const ui::Form& form = run.context().form();
    EXPECT_EQ(form.caption, "IMPORT A LOG IN CABRILLO FORMAT");
    EXPECT_EQ(form.frame.w, 250);
    EXPECT_EQ(form.frame.h, 150);
    EXPECT_EQ(form.background, ui::colours::pale_yellow);
    const struct {
        int id;
        const char* text;
        ui::Rect rect;
    } controls[] = {
        {W::k_power_label, "&Transmit Power:", {20, 5, 65, 10}},
        {W::k_power, "", {90, 4, 22, 10}},
        {W::k_comment_label, "&Comment:", {20, 20, 45, 10}},
        {W::k_comment, "", {70, 19, 165, 10}},
        {W::k_cabrillo_label, "Import Log: ", {20, 40, 200, 8}},
        {W::k_new_label, "   New Log: ", {20, 50, 200, 8}},
        {W::k_select_cabrillo, "Select &Cabrillo Log", {30, 80, 40, 30}},
        {W::k_select_new, "Select &New Log", {80, 80, 40, 30}},
        {W::k_import, "&Import", {130, 80, 40, 30}},
        {ui::k_cancel, "E&xit", {180, 80, 40, 30}},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(run.context().control(c.id).text, c.text);
        EXPECT_EQ(run.context().control(c.id).rect, c.rect);
    }
    EXPECT_EQ(run.focused(), W::k_power);
    run.key(ui::Key::escape);
    EXPECT_FALSE(run.is_open());
}

} // namespace
} // namespace kestrel::exchange::tools_testing

namespace kestrel::exchange::tools_testing {
namespace {

TEST_F(CabrilloWindowTest, TheCommentAndTheButtonShareTheirKeyLetterInTurn) {
    auto run = open();
    run.alt('c');
    EXPECT_EQ(run.focused(), W::k_comment);
    run.alt('c');
    EXPECT_EQ(run.focused(), W::k_select_cabrillo) << "the second press reaches the button";
    EXPECT_TRUE(m_host.file_requests().empty()) << "a button whose letter is shared is not pressed";
}

} // namespace
} // namespace kestrel::exchange::tools_testing
