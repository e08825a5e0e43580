#include "printing/log_print_window.hpp"

#include "printing_fixture.hpp"

namespace kestrel::printing {
namespace {

using testing::Contact;
using testing::contact;
using testing::read_file;
using ui::TestHost;
using W = PrintLogWindow;

class PrintLogWindowTest : public testing::PrintingTest {
  protected:
    PrintLogWindowTest() {
        open_log({contact({.date = "01-01-24", .call = "G9AAA", .comment = "5W, dipole"}),
                  contact({.date = "02-01-24", .call = "DL1AB", .band = 2})});
    }
    ui::TestRun open() { return m_host.open(PrintLogWindow{{m_log, m_names}}); }
};

TEST_F(PrintLogWindowTest, FileToDiscWritesTheListingAndTellsWhere) {
    auto run = open();
    EXPECT_EQ(run.caption(), "PRINT LOG ");
    EXPECT_EQ(run.text(W::k_file_name), m_dir.file("MYLOG.TXT"));
    run.click(W::k_to_file);
    EXPECT_EQ(run.text(W::k_print), "Sa&ve");
    EXPECT_FALSE(run.enabled(W::k_pause));
    EXPECT_FALSE(run.enabled(W::k_landscape));
    run.click(W::k_to_file);
    EXPECT_EQ(run.text(W::k_print), "&Print");
    EXPECT_TRUE(run.enabled(W::k_landscape));

    run.click(W::k_to_file).type_into(W::k_prefix, "g9");
    EXPECT_EQ(run.text(W::k_prefix), "G9");
    m_host.expect_message(m_dir.file("MYLOG.TXT"));
    run.click(W::k_print);
    EXPECT_EQ(m_host.messages().back().title, "");
    EXPECT_FALSE(run.is_open());
    EXPECT_EQ(read_file(m_dir.path() / "MYLOG.TXT"),
              "01-01-24,G9AAA       ,12:34,12:39,57     ,59     ,14MHz ,SSB,100  ,5W; dipole" +
                  std::string(30, ' ') + ",--\r\n");
    EXPECT_TRUE(m_host.print_jobs().empty());
}

TEST_F(PrintLogWindowTest, TheListingIsNeverWrittenOverTheLog) {
    const std::string log_before = read_file(log_path());
    auto run = open();
    run.click(W::k_to_file).replace(W::k_file_name, log_path());
    m_host.expect_message(log_path() + " is the log itself: the listing needs a file of its own.");
    run.click(W::k_print);
    EXPECT_TRUE(run.is_open());
    EXPECT_EQ(read_file(log_path()), log_before);

    run.replace(W::k_file_name, m_dir.file("no/such/dir/LIST.TXT"));
    m_host.expect_message(m_dir.file("no/such/dir/LIST.TXT") +
                          " could not be written: the listing is not saved.");
    run.click(W::k_print);
    EXPECT_TRUE(run.is_open());
}

TEST_F(PrintLogWindowTest, TheLogGoesToThePrinterInTheOrientationChosen) {
    auto run = open();
    run.click(W::k_landscape).type_into(W::k_band, "7.05");
    run.click(W::k_print);
    EXPECT_FALSE(run.is_open());
    ASSERT_EQ(m_host.print_jobs().size(), 1u);
    const PrintedJob& printed = job();
    EXPECT_TRUE(printed.ended);
    EXPECT_EQ(printed.orientation, Orientation::landscape);
    const auto& texts = printed.pages[0].texts;
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[1].text.substr(0, 24), "02-01-24  DL1AB         ");
    EXPECT_EQ(texts[2].text, std::string(20, ' ') + "Number of QSOs  1");
    EXPECT_EQ(texts[1].points, 10);
}

TEST_F(PrintLogWindowTest, AStartDateTheOperatorMistypedIsClearedAndNothingPrints) {
    auto run = open();
    m_host.expect_message(
        " Formats allowed:\r\nddmmyy, must be 6 digits\r\nd/m/yy or d-m-yy\r\nd/m/yyyy or d-m-yyyy");
    run.type_into(W::k_start_date, "320199").click(W::k_print);
    EXPECT_EQ(m_host.messages().back().title, "Date Error");
    EXPECT_EQ(run.text(W::k_start_date), "");
    EXPECT_EQ(run.focused(), W::k_start_date);
    EXPECT_TRUE(m_host.print_jobs().empty());
    EXPECT_TRUE(run.is_open());

    run.type_into(W::k_start_date, "020124").click(W::k_print);
    ASSERT_EQ(m_host.print_jobs().size(), 1u);
    EXPECT_EQ(job().pages[0].texts.size(), 4u) << "heading, the one contact from that date, count, page";
}

TEST_F(PrintLogWindowTest, APrinterThatCannotBeHadOrFailsIsReportedTwiceOver) {
    auto run = open();
    m_host.answer_printer(TestHost::PrinterAnswer::cancel);
    m_host.expect_message("Printer Fail");
    m_host.expect_message("Printer Fail");
    run.click(W::k_print);
    ASSERT_EQ(m_host.messages().size(), 2u);
    EXPECT_EQ(m_host.messages()[0].title, "Fault Report");
    EXPECT_EQ(m_host.messages()[1].title, "Log Print");
    EXPECT_EQ(m_host.messages()[1].icon, ui::Icon::stop);
    EXPECT_TRUE(run.is_open());

    m_host.answer_printer(TestHost::PrinterAnswer::fail_at_end);
    m_host.expect_message("Printer Fail");
    run.click(W::k_print);
    EXPECT_EQ(m_host.messages().back().title, "Log Print");
    EXPECT_TRUE(run.is_open()) << "a job the printer failed is not reported as printed";
}

TEST_F(PrintLogWindowTest, EnterGoesFromFieldToField) {
    auto run = open();
    EXPECT_EQ(run.focused(), W::k_start_date);
    const int order[] = {W::k_from_call,   W::k_prefix,  W::k_band,
                         W::k_comment_key, W::k_to_file, W::k_file_name};
    for (int next : order) {
        run.key(ui::Key::enter);
        EXPECT_EQ(run.focused(), next);
    }
    EXPECT_TRUE(m_host.print_jobs().empty());
}

TEST_F(PrintLogWindowTest, WithNoLogOpenTheOperatorIsTold) {
    m_log.close_log();
    testing::Opener opener([&](ui::Context& ctx) { print_log(ctx, {m_log, m_names}); });
    auto run = m_host.open(std::move(opener));
    m_host.expect_message("No Log Selected");
    run.command(testing::Opener::k_open);
    EXPECT_TRUE(m_host.modal_captions().empty());
}

} // namespace
} // namespace kestrel::printing
