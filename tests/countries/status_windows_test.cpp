#include "countries/status_windows.hpp"

#include "support/temp_dir.hpp"
#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

namespace kestrel::countries {
namespace {

using ui::TestRun;

class StatusWindows : public ::testing::Test {
  protected:
    StatusWindows() : m_cwd(m_dir.path()) {
        auto load = parse_country_list("KH6,KH7,Hawaii,7,21,-158\r\nKH0,KH0,Mariana Is.,8,15,146\r\n"
                                       "K,K,United States,9,38,-97\r\nKH7K,KH7K,Kure,7,28,-178\r\n"
                                       "4U1UN,4U1UN,United Nations HQ,0,40,-74\r\n");
        m_table = std::move(load.table);
        m_chart.update_chart(7, 4, 0, 2); // Hawaii: 20 m CW, confirmed
        m_chart.update_chart(9, 2, 1, 0); // USA: 40 m SSB
    }
    DxccEnv env() { return {m_table, m_chart, m_labels}; }

    testing::TempDir m_dir;
    testing::ScopedCurrentDir m_cwd;
    CountryTable m_table;
    StatusChart m_chart;
    BandLabels m_labels = standard_band_labels();
    ui::TestHost m_host;
};

TEST_F(StatusWindows, CountryStatusShowsTheCountryOfThePrefixTyped) {
    auto run = m_host.open(CountryStatusWindow{env()});
    EXPECT_EQ(run.caption(), "BANDS Worked");
    EXPECT_EQ(run.focused(), CountryStatusWindow::k_prefix);
    run.type("kh6").key(ui::Key::enter);
    EXPECT_EQ(run.caption(), "STATUS for Kure:  KH6,KH7K");
    EXPECT_EQ(run.text(650 + 4 * 4 + 0), "  1/1") << "20 m CW";
    EXPECT_EQ(run.text(650 + 4 * 2 + 1), "  -/-") << "40 m SSB is another country's";
    EXPECT_TRUE(run.exists(701));
    EXPECT_FALSE(run.exists(702)) << "one country has no totals row or column";
    EXPECT_EQ(run.text(600), m_labels[0]);
    EXPECT_EQ(run.context().control(613).rect, (ui::Rect{10, 12 * 13 + 25, 20, 8}));

    m_host.expect_message("Not a DXCC country");
    run.replace(CountryStatusWindow::k_prefix, "W1AW").key(ui::Key::enter);
    EXPECT_EQ(run.caption(), "STATUS for Kure:  KH6,KH7K") << "W is not in the list: caption and grid stay";
    EXPECT_EQ(run.text(650 + 4 * 4 + 0), "  1/1");

    run.replace(CountryStatusWindow::k_prefix, "K2").key(ui::Key::enter);
    EXPECT_EQ(run.caption(), "STATUS for United States:  K");
    EXPECT_EQ(run.text(650 + 4 * 4 + 0), "  -/-");
    EXPECT_EQ(run.text(650 + 4 * 2 + 1), "  1/-");
    EXPECT_EQ(m_host.message_texts(), std::vector<std::string>{"Not a DXCC country"});
    EXPECT_EQ(m_host.messages()[0].title, "Country check");
    run.click(ui::k_cancel);
    EXPECT_FALSE(run.is_open());
}

TEST_F(StatusWindows, ABlockOfNoCountryIsNotShown) {
    auto run = m_host.open(CountryStatusWindow{env()});
    m_host.expect_message("Not a DXCC country");
    run.type("4U1UN").key(ui::Key::enter);
    EXPECT_EQ(m_host.message_texts(), std::vector<std::string>{"Not a DXCC country"});
    EXPECT_EQ(run.caption(), "BANDS Worked");
    EXPECT_TRUE(run.is_open());
}

TEST_F(StatusWindows, TheFullChartSavesDxStatusAndPrintsIt) {
    auto run = m_host.open(StatusChartWindow{env()});
    EXPECT_EQ(run.caption(), "CURRENT DXCC STATUS         Countries Worked/Confirmed");
    EXPECT_EQ(run.text(650 + 5 * 13 + 4), "  2/1") << "all bands, all modes";
    EXPECT_EQ(run.text(614), " ALL ");
    EXPECT_EQ(run.text(600), m_labels[0] + "    TOTALS");
    EXPECT_EQ(run.context().control(650 + 5 * 13).rect.y, 12 * 14 + 5 + 5);

    run.click(StatusChartWindow::k_save);
    const std::string csv = testing::read_file(m_dir.path() / "DXSTATUS.CSV");
    EXPECT_NE(csv.find("\r\n  20 ,  1/1,  -/-,  -/-,  -/-,  1/1\r\n"), std::string::npos);
    EXPECT_TRUE(m_host.messages().empty());

    run.click(StatusChartWindow::k_print);
    ASSERT_EQ(m_host.print_jobs().size(), 1u);
    const printing::PrintedJob& job = *m_host.print_jobs()[0];
    EXPECT_TRUE(job.ended);
    ASSERT_EQ(job.pages.size(), 1u);
    ASSERT_EQ(job.pages[0].texts.size(), 16u);
    EXPECT_EQ(job.pages[0].texts[0].x, 300) << "half an inch at 600 dots per inch";
    EXPECT_EQ(job.pages[0].texts[0].y, 450);
    EXPECT_EQ(job.pages[0].texts[1].y, 550);
    EXPECT_EQ(job.pages[0].texts[0].font, "Courier New");
    EXPECT_EQ(job.pages[0].texts[15].text, " ALL      1/1       1/-       -/-       -/-       2/1     ");
}

TEST_F(StatusWindows, APrinterThatCannotBeHadIsReported) {
    auto run = m_host.open(StatusChartWindow{env()});
    m_host.answer_printer(ui::TestHost::PrinterAnswer::cancel);
    m_host.answer_printer(ui::TestHost::PrinterAnswer::fail_at_end);
    m_host.expect_message("Printer Fail");
    m_host.expect_message("Printer Fail");
    run.click(StatusChartWindow::k_print).click(StatusChartWindow::k_print);
    ASSERT_EQ(m_host.messages().size(), 2u);
    for (const ui::Message& m : m_host.messages()) {
        EXPECT_EQ(m.text, "Printer Fail");
        EXPECT_EQ(m.title, "Printer Report");
    }
}

// The bands window is opened by another window; this one stands in for it.
class Opener final : public ui::Window {
  public:
    Opener(DxccEnv env, std::string call) : m_env(env), m_call(std::move(call)) {}
    ui::Form build() const override { return ui::Form{}; }
    void on_command(ui::Context& ctx, int id, ui::Notify) override {
        if (id == 10) show_call_bands(ctx, m_env, m_call);
    }

  private:
    DxccEnv m_env;
    std::string m_call;
};

TEST_F(StatusWindows, CallBandsShowsTheCountryOfTheCallOrSaysThereIsNone) {
    std::string caption, cell;
    m_host.on_modal([&](TestRun& bands) {
        caption = bands.caption();
        cell = bands.text(650 + 4 * 4);
        bands.click(ui::k_cancel);
    });
    m_host.open(Opener{env(), "KH6XX/P     "}).command(10);
    EXPECT_EQ(caption, "BANDS Worked for Hawaii");
    EXPECT_EQ(cell, "  1/1");

    m_host.expect_message("Not a DXCC country");
    m_host.open(Opener{env(), "ZZ9ZZ"}).command(10);
    EXPECT_EQ(m_host.modal_captions().size(), 1u);
    EXPECT_EQ(m_host.message_texts(), std::vector<std::string>{"Not a DXCC country"});
    EXPECT_TRUE(m_host.surprises().empty());
}

} // namespace
} // namespace kestrel::countries
