#include "printing/qsl_print_window.hpp"

#include "printing/qsl_run_window.hpp"
#include "printing/swl_window.hpp"
#include "printing_fixture.hpp"

namespace kestrel::printing {
namespace {

using testing::Contact;
using testing::contact;
using testing::read_file;
using testing::settings_bytes;
using ui::TestHost;
using W = QslPrintWindow;
using R = QslRunWindow;

std::vector<std::string> texts(const PrintedJob& job, std::size_t page = 0) {
    std::vector<std::string> out;
    for (const auto& t : job.pages.at(page).texts)
        out.push_back(t.text);
    return out;
}

class QslPrintWindowTest : public testing::PrintingTest {
  protected:
    QslPrintEnv env() {
        return {m_log, m_names, m_countries, m_station, m_layout, m_dir.path().string() + "/"};
    }
    ui::TestRun open() { return m_host.open(QslPrintWindow{env()}); }
    // Three single labels across one row of a sheet.
    void one_row_of_three(char pause = 'N') {
        write_template("LABELS.DTA", "$A$ $B$ $C$ $G$ $L$ $M$",
                       settings_bytes(1, 3, 60, 0, 30, 5, 10, pause));
    }
};

TEST_F(QslPrintWindowTest, OpeningListsTheTemplatesAndLoadsTheFirstWithItsSheet) {
    write_template("MULTI.DTA", "head///\r\nfoot", settings_bytes(8, 3, 66, 3, 34, 7, 13, 'Y', 'N', 1));
    write_template("LABELS.DTA", "$A$", settings_bytes(8, 3, 66, 0, 34, 7, 13));
    testing::write_file(m_dir.path() / "CURLOG.DTA", "MYLOG.LOG\r\n");
    auto run = open();
    EXPECT_EQ(run.caption(), "PRINT QSLs ");
    EXPECT_EQ(run.items(W::k_template), (std::vector<std::string>{"LABELS.DTA", "MULTI.DTA"}));
    EXPECT_EQ(run.text(W::k_template), "LABELS.DTA");
    EXPECT_EQ(run.text(W::k_type), "SINGLE QSL ");
    const std::pair<int, const char*> shown[] = {{W::k_down, "8"},     {W::k_across, "3"}, {W::k_width, "66"},
                                                 {W::k_height, "34"},  {W::k_left, "7"},   {W::k_top, "13"},
                                                 {W::k_per_label, "0"}};
    for (const auto& [box, text] : shown)
        EXPECT_EQ(run.text(box), text) << box;
    EXPECT_FALSE(run.checked(W::k_pause));
    EXPECT_EQ(m_layout.template_path, m_dir.file("LABELS.DTA"));

    run.select(W::k_template, 1);
    EXPECT_EQ(run.text(W::k_type), "MULTI QSL  ");
    EXPECT_EQ(run.text(W::k_per_label), "3");
    EXPECT_TRUE(run.checked(W::k_pause));
    EXPECT_EQ(m_layout.template_text, "head///\r\nfoot")
        << "the single labels print with the last one loaded";
}

TEST_F(QslPrintWindowTest, WithNoTemplateThereIsNothingToPrintWith) {
    auto run = open();
    EXPECT_EQ(run.items(W::k_template), std::vector<std::string>{"None"});
    for (int button : {W::k_test, W::k_print, W::k_swl}) {
        m_host.expect_message("No Printer file loaded");
        run.click(button);
    }
    EXPECT_TRUE(m_host.print_jobs().empty());
    EXPECT_FALSE(m_layout.loaded());
}

TEST_F(QslPrintWindowTest, TheSheetIsCheckedAndWrittenBackBeforeAnythingPrints) {
    write_template("LABELS.DTA", "$A$", settings_bytes(1, 1, 0, 0, 0, 0, 0));
    auto run = open();
    const struct {
        int across;
        int width;
        int down;
        int height;
        const char* message;
    } cases[] = {
        {3, 0, 1, 0, "No label width specified"},
        {1, 0, 2, 0, "No label height specified"},
        {3, 0, 2, 0, "No label width specified"},
    };
    for (const auto& c : cases) {
        run.replace(W::k_across, std::to_string(c.across)).replace(W::k_width, std::to_string(c.width));
        run.replace(W::k_down, std::to_string(c.down)).replace(W::k_height, std::to_string(c.height));
        m_host.expect_message(c.message);
        run.click(W::k_test);
        EXPECT_EQ(m_host.messages().back().title, "Selection error");
        EXPECT_EQ(read_file(m_dir.path() / "LABELS.DAT"), settings_bytes(1, 1, 0, 0, 0, 0, 0)) << c.message;
    }
    EXPECT_TRUE(m_host.print_jobs().empty());

    run.replace(W::k_width, "999").replace(W::k_height, "34").replace(W::k_left, "7").replace(W::k_top, "13");
    run.click(W::k_received_only).select(W::k_type, 1).replace(W::k_per_label, "2");
    run.click(W::k_test);
    EXPECT_EQ(run.text(W::k_width), "255") << "a byte holds no more";
    EXPECT_EQ(read_file(m_dir.path() / "LABELS.DAT"), settings_bytes(2, 3, 255, 2, 34, 7, 13, 'N', 'Y', 1));
    EXPECT_EQ(m_layout.settings.labels_across, 3);
}

TEST_F(QslPrintWindowTest, TheTestSheetFillsOneSheetWithTheSampleLabel) {
    write_template("LABELS.DTA", "$A$ $B$ $C$ $D$ $E$ $F$ $G$\r\n$H$ $I$ $J$ $K$ $L$ $M$",
                   settings_bytes(8, 3, 66, 0, 34, 7, 13));
    write_template("MULTI.DTA", "$A$\r\n///\r\n$H$", settings_bytes(2, 2, 66, 3, 34, 7, 13, 'N', 'N', 1));
    auto run = open();
    run.click(W::k_test);
    ASSERT_EQ(m_host.print_jobs().size(), 1u);
    EXPECT_TRUE(job().ended);
    ASSERT_EQ(job().pages.size(), 1u);
    EXPECT_EQ(job().pages[0].texts.size(), 2u * 24);
    EXPECT_EQ(job().pages[0].texts[0].text, "G9QQQ....... 01 Jan 09 23:59 599001 A1A 14MHz   20m");
    EXPECT_EQ(job().pages[0].texts[1].text, "Thanks for your QSL Kenwood TS50 G5RV 100w Ann....... "
                                            "Extra comment line..............");
    EXPECT_EQ(job().pages[0].texts[0].font, "Courier New");
    EXPECT_EQ(job().pages[0].texts[0].points, 10);

    run.select(W::k_template, 1).click(W::k_test);
    ASSERT_EQ(m_host.print_jobs().size(), 2u);
    const auto lines = texts(job(1));
    EXPECT_EQ(lines.size(), 4u * (1 + 1 + 3 + 1)) << "four labels: call, heading, three rows, foot";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "01 Jan 09 23:59  20m  A1A  599"), 12);
    EXPECT_EQ(job(1).pages.size(), 1u);
}

class QslRunTest : public QslPrintWindowTest {
  protected:
    void three_owed() {
        open_log({contact({.call = "DL1AB"}), contact({.call = "G4ABC", .qsl = 1}),
                  contact({.call = "G4XYZ", .qsl = 2}),
                  contact({.call = "K1ABC", .comment = "QSL VIA W1AW"})});
    }
};

TEST_F(QslRunTest, ARunPrintsTheOwedLabelsAndMarksThemSentOnceThePrinterHasTheJob) {
    one_row_of_three();
    three_owed();
    auto run = open();
    run.click(W::k_print);
    ASSERT_EQ(m_host.print_jobs().size(), 1u);
    EXPECT_TRUE(job().ended);
    EXPECT_EQ(texts(job()),
              (std::vector<std::string>{"G4XYZ 01 Feb 24 12:34  20m ANN ", "DL1AB 01 Feb 24 12:34  20m ANN ",
                                        "K1ABC via W1AW 01 Feb 24 12:34  20m ANN "}));
    EXPECT_EQ(sent_flags(), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(m_host.modal_captions().at(0), std::string(10, ' ') + " 3 QSLs to print. Printing QSL no.: 3");
    EXPECT_TRUE(run.is_open());

    m_host.expect_message("No QSLs to print");
    run.click(W::k_print);
    EXPECT_EQ(m_host.messages().back().title, "QSL check complete");
}

TEST_F(QslRunTest, AJobThePrinterFailsOrTheOperatorCancelsLeavesEveryFlagAsItWas) {
    one_row_of_three();
    three_owed();
    auto run = open();
    const std::vector<int> before = sent_flags();
    m_host.answer_printer(TestHost::PrinterAnswer::fail_at_end);
    m_host.expect_message("Printer Fail");
    run.click(W::k_print);
    EXPECT_EQ(m_host.messages().back().title, "Fault Report");
    EXPECT_FALSE(job().ended);
    EXPECT_EQ(sent_flags(), before);

    m_host.answer_printer(TestHost::PrinterAnswer::cancel);
    m_host.expect_message("Printer Fail");
    run.click(W::k_print);
    EXPECT_EQ(m_host.print_jobs().size(), 1u);
    EXPECT_EQ(sent_flags(), before);
}

TEST_F(QslRunTest, WithThePauseTheOperatorPrintsMissesIgnoresOrAborts) {
    one_row_of_three('Y');
    open_log({contact({.call = "DL1AA"}), contact({.call = "DL1AB"}), contact({.call = "DL1AC", .qsl = 2}),
              contact({.call = "DL1AD"}), contact({.call = "DL1AE"})});
    auto run = open();
    m_host.on_modal([&](ui::TestRun& r) {
        EXPECT_EQ(r.caption(), std::string(10, ' ') + " 5 QSLs to print. Printing QSL no.: 1");
        EXPECT_EQ(r.text(R::k_call), "DL1AA");
        EXPECT_EQ(r.text(R::k_date), "01-02-24");
        EXPECT_EQ(r.text(R::k_received), "NO");
        EXPECT_EQ(r.text(R::k_operator), "ANN");
        EXPECT_EQ(r.text(R::k_band), "14MHz");
        r.type_into(R::k_comment, "Tnx fer QSO").click(R::k_print);
        EXPECT_EQ(r.text(R::k_call), "DL1AB");
        r.click(R::k_miss);
        EXPECT_EQ(r.text(R::k_received), "YES");
        r.click(R::k_ignore);
        EXPECT_EQ(r.caption(), std::string(10, ' ') + " 5 QSLs to print. Printing QSL no.: 4");
        r.click(R::k_print).click(R::k_abort);
        EXPECT_FALSE(r.is_open());
    });
    run.click(W::k_print);
    EXPECT_EQ(texts(job()), (std::vector<std::string>{"DL1AA 01 Feb 24 12:34  20m ANN Tnx fer QSO",
                                                      "DL1AD 01 Feb 24 12:34  20m ANN Tnx fer QSO"}));
    EXPECT_EQ(sent_flags(), (std::vector<int>{1, 1, 0, 1, 0}))
        << "missed is sent; ignored and aborted are not";
}

TEST_F(QslRunTest, NoAtTheEndOfASheetEndsTheRunAfterTheLabelThatFilledIt) {
    write_template("LABELS.DTA", "$A$", settings_bytes(1, 2, 60, 0, 30, 5, 10));
    open_log({contact({.call = "DL1AA"}), contact({.call = "DL1AB"}), contact({.call = "DL1AC"})});
    auto run = open();
    m_host.answer(ui::Answer::no);
    run.click(W::k_print);
    EXPECT_EQ(m_host.messages().back().text, "CONTINUE?");
    EXPECT_EQ(m_host.messages().back().title, "End of Sheet");
    EXPECT_EQ(job().pages.size(), 1u);
    EXPECT_EQ(sent_flags(), (std::vector<int>{1, 1, 0}));
}

TEST_F(QslRunTest, AStartDateTheOperatorMistypedPrintsNothing) {
    one_row_of_three();
    three_owed();
    auto run = open();
    m_host.expect_message(
        " Formats allowed:\r\nddmmyy, must be 6 digits\r\nd/m/yy or d-m-yy\r\nd/m/yyyy or d-m-yyyy");
    run.type_into(W::k_start_date, "1/2/3").click(W::k_print);
    EXPECT_EQ(run.text(W::k_start_date), "");
    EXPECT_EQ(run.focused(), W::k_start_date);
    EXPECT_TRUE(m_host.print_jobs().empty());

    m_host.expect_message("No QSLs to print");
    run.type_into(W::k_start_date, "2/2/24").click(W::k_print);
    EXPECT_EQ(run.text(W::k_start_date), "02/02/24");
}

TEST_F(QslPrintWindowTest, SettingsThatCannotBeReadAreToldAndNeitherUsedNorRewritten) {
    const std::string odd = "\x08\x03\x42";
    write_template("LABELS.DTA", "$A$", odd);
    open_log({contact({.call = "DL1AA"})});
    m_host.expect_message("LABELS.DAT does not hold label settings (ten bytes): nothing will be printed with "
                          "LABELS.DTA. The file has been left as it is.");
    auto run = open();
    EXPECT_EQ(m_host.messages().back().icon, ui::Icon::stop);
    run.replace(W::k_across, "1");
    m_host.expect_message(m_host.messages().back().text);
    run.click(W::k_print);
    EXPECT_TRUE(m_host.print_jobs().empty());
    EXPECT_EQ(read_file(m_dir.path() / "LABELS.DAT"), odd);
    EXPECT_EQ(sent_flags(), std::vector<int>{0});
    EXPECT_FALSE(m_layout.loaded());
}

TEST_F(QslPrintWindowTest, SwlCardsPrintWhatWasTypedAndLeaveTheOtherPlaceholders) {
    write_template("LABELS.DTA", "$A$ heard $P$ $B$ $C$ $F$ $E$ $D$ $M$",
                   settings_bytes(1, 3, 60, 0, 30, 5, 10));
    auto run = open();
    m_host.on_modal([](ui::TestRun& r) {
        EXPECT_EQ(r.caption(), "Print SWL QSLs");
        EXPECT_EQ(r.focused(), SwlWindow::k_swl);
        r.type("BRS-1234").key(ui::Key::enter).type("G4ABC").key(ui::Key::enter).type("01/02/24");
        r.key(ui::Key::enter).type("1234").key(ui::Key::enter).type("14MHz").key(ui::Key::enter).type("SSB");
        r.key(ui::Key::enter).type("Tnx").key(ui::Key::enter);
        EXPECT_EQ(r.focused(), SwlWindow::k_comment);
        r.click(SwlWindow::k_print);
        EXPECT_EQ(r.text(SwlWindow::k_swl), "");
        EXPECT_EQ(r.focused(), SwlWindow::k_swl);
        for (int i = 0; i < 3; ++i)
            r.type_into(SwlWindow::k_swl, "SWL" + std::to_string(i)).click(SwlWindow::k_print);
        r.click(SwlWindow::k_exit);
    });
    run.click(W::k_swl);
    EXPECT_TRUE(job().ended);
    ASSERT_EQ(job().pages.size(), 2u) << "the fourth card starts a new sheet, unasked";
    EXPECT_EQ(texts(job())[0], "BRS-1234 heard G4ABC 01/02/24 1234 14MHz SSB $D$ Tnx");
    EXPECT_EQ(texts(job(), 1), std::vector<std::string>{"SWL2 heard" + std::string(6, ' ') + "$D$ "});

    m_host.on_modal([](ui::TestRun& r) { r.click(SwlWindow::k_exit); });
    run.click(W::k_swl);
    EXPECT_FALSE(job(1).ended) << "nothing printed: the job is let go, no blank page";
    EXPECT_TRUE(job(1).pages[0].texts.empty());
}

TEST_F(QslPrintWindowTest, AnUnknownLabelTypePrintsNothing) {
    write_template("LABELS.DTA", "$A$", settings_bytes(1, 1, 60, 0, 30, 5, 10, 'N', 'N', 7));
    open_log({contact({.call = "DL1AA"})});
    auto run = open();
    EXPECT_EQ(run.text(W::k_type), "");
    for (int button : {W::k_test, W::k_print, W::k_swl}) {
        m_host.expect_message("Only Small or Full labels allowed");
        run.click(button);
    }
    EXPECT_TRUE(m_host.print_jobs().empty());
    EXPECT_EQ(sent_flags(), std::vector<int>{0});
}

} // namespace
} // namespace kestrel::printing
