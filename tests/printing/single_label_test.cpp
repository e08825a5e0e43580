#include "printing/single_label.hpp"

#include "offline/entry_editor.hpp"
#include "printing/qsl_print_window.hpp"
#include "printing_fixture.hpp"

namespace kestrel::printing {
namespace {

using testing::settings_bytes;
using ui::TestHost;

class SingleLabelTest : public testing::PrintingTest {
  protected:
    bool print(const offline::QslContact& contact) {
        bool printed = false;
        testing::Opener opener([&](ui::Context& ctx) {
            printed = print_qsl_label(ctx, {m_layout, m_station, m_names}, contact);
        });
        auto run = m_host.open(std::move(opener));
        run.command(testing::Opener::k_open);
        return printed;
    }
    void load(const std::string& text, const std::string& settings) {
        write_template("LABELS.DTA", text, settings);
        m_layout = *load_label_layout(m_dir.file("LABELS.DTA")).layout;
    }
    static offline::QslContact on_screen() {
        offline::QslContact c;
        c.date = "7/3/24";
        c.call = "DL1AB";
        c.time_on = "930";
        c.rst_sent = "59";
        c.power = "100";
        c.mode = "SSB";
        c.band = 4;
        return c;
    }
};

TEST_F(SingleLabelTest, WithoutALayoutNothingPrintsAndTheOperatorIsTold) {
    m_host.expect_message("No Printer file loaded");
    EXPECT_FALSE(print(on_screen()));
    EXPECT_EQ(m_host.messages().back().title, "Print QSL");
    EXPECT_TRUE(m_host.print_jobs().empty());
}

TEST_F(SingleLabelTest, TheEntryOnScreenPrintsAtTheSheetsFirstPlaceWithItsBandsStation) {
    load("$A$ $B$ $C$ $D$|$E$|$F$ $G$ $H$ $I$ $J$ $K$|$L$ $M$", settings_bytes(8, 3, 66, 0, 34, 10, 20));
    EXPECT_TRUE(print(on_screen()));
    ASSERT_EQ(m_host.print_jobs().size(), 1u);
    EXPECT_TRUE(job().ended);
    ASSERT_EQ(job().pages[0].texts.size(), 1u);
    const auto& label = job().pages[0].texts[0];
    EXPECT_EQ(label.text, "DL1AB 07 Mar 24 09:30 59     |SSB|14MHz   20m Please QSL via Bureau or Direct "
                          "TS-590 Beam 100  |ANN ");
    EXPECT_EQ(label.x, 236) << "10 mm at 600 dots an inch";
    EXPECT_EQ(label.y, 472);
}

TEST_F(SingleLabelTest, AMultiLayoutPrintsALabelOfOneRow) {
    load("$A$\r\n///\r\n$H$", settings_bytes(8, 3, 66, 3, 34, 10, 20, 'N', 'N', 1));
    EXPECT_TRUE(print(on_screen()));
    std::vector<std::string> texts;
    for (const auto& t : job().pages[0].texts)
        texts.push_back(t.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"DL1AB", "   Date     UTC  Band Mode RST",
                                               "07 Mar 24 09:30  20m  SSB  59 ",
                                               "Please QSL via Bureau or Direct"}));
}

TEST_F(SingleLabelTest, OnlyAJobThePrinterTookCountsAsPrinted) {
    load("$A$", settings_bytes(1, 1, 66, 0, 34, 10, 20));
    m_host.answer_printer(TestHost::PrinterAnswer::fail_at_end);
    m_host.expect_message("Printer Fail");
    EXPECT_FALSE(print(on_screen()));
    m_host.answer_printer(TestHost::PrinterAnswer::cancel);
    m_host.expect_message("Printer Fail");
    EXPECT_FALSE(print(on_screen()));
    EXPECT_EQ(m_host.messages().back().title, "Fault Report");
}

} // namespace
} // namespace kestrel::printing
