#include "shell/main_window.hpp"

#include "countries/status_chart.hpp"
#include "logstore/field_codes.hpp"
#include "online/online_window.hpp"
#include "shell/startup.hpp"
#include "shell_fixture.hpp"
#include "ui/context.hpp"

#include <algorithm>
#include <filesystem>

namespace kestrel::shell::testing {
namespace {

using ui::TestRun;

class MainWindowTest : public ShellTest {
  protected:
    MainWindowTest() {
        write("COUNTRY.LST", "");
        start_up(m_app, m_host);
    }
    TestRun open() { return m_host.open(MainWindow{m_app}); }
    std::string caption_for(const std::string& path) { return "Kestrel v6.44" + std::string(60, ' ') + path; }
};

TEST_F(MainWindowTest, LaysOutThePanelButtonsAndLogosByTheScaleFactor) {
    m_app.shell.scale_factor = 2.0;
    auto run = open();
    const ui::Form& form = run.context().form();
    EXPECT_EQ(form.frame.w, 1260);
    EXPECT_EQ(form.frame.h, 830);
    EXPECT_EQ(form.background, (ui::Colour{0, 255, 255}));
    const ui::Control& panel = run.context().control(MainWindow::k_panel);
    EXPECT_EQ(panel.rect, (ui::Rect{220, 106, 800, 70})) << "the panel's height is not scaled";
    EXPECT_EQ(panel.background, (ui::Colour{0, 0, 255}));
    const char* texts[] = {"O&n Line", "&Off Line", "&Browse", "Print LO&G", "Print &QSL", "E&xit"};
    for (int k = 0; k < 6; ++k) {
        const ui::Control& b = run.context().control(201 + k);
        EXPECT_EQ(b.text, texts[k]);
        EXPECT_EQ(b.rect, (ui::Rect{250 + 128 * k, 120, 110, 45}));
    }
    EXPECT_EQ(run.context().control(MainWindow::k_kest6).text, "KEST6");
    EXPECT_EQ(run.context().control(MainWindow::k_g9qqq).rect.x, 700);
}

TEST_F(MainWindowTest, TheMenuBarHoldsEveryCommandInOrder) {
    auto run = open();
    const auto& menu = run.context().form().menu;
    std::vector<std::string> bar;
    std::vector<int> ids;
    for (const ui::MenuItem& top : menu) {
        bar.push_back(top.text);
        for (const ui::MenuItem& item : top.items) {
            if (item.items.empty()) ids.push_back(item.id);
            for (const ui::MenuItem& sub : item.items)
                ids.push_back(sub.id);
        }
    }
    EXPECT_EQ(bar, (std::vector<std::string>{"&Files", "&Logging", "&Printing", "&DXCC", "&Set Up", "&Tools",
                                             "&Help"}));
    EXPECT_EQ(ids, (std::vector<int>{100, 101, 2,   201, 202, 203, 207, 300, 301, 302, 400, 401, 402, 403,
                                     404, 500, 501, 502, 506, 504, 505, 503, 600, 601, 603, 800, 801, 700}));
    EXPECT_EQ(menu[5].items[3].text, "Import");
    EXPECT_EQ(menu[4].items[6].text, "&Minimize");
}

TEST_F(MainWindowTest, OpenBuildsTheIndexBehindLoadLogAndRenamesTheWindow) {
    write("CONTEST.LOG", log_of(2500));
    auto run = open();
    m_host.answer_file(file("CONTEST.LOG"));
    run.command(MainWindow::k_open);
    EXPECT_EQ(run.caption(), caption_for(file("CONTEST.LOG")));
    EXPECT_EQ(m_app.log.record_count(), 2500);
    EXPECT_TRUE(m_app.log.index_loaded());
    EXPECT_EQ(m_host.modal_captions(), std::vector<std::string>{"Load Log"});
    ASSERT_EQ(m_host.file_requests().size(), 1u);
    const ui::FileRequest& r = m_host.file_requests()[0];
    EXPECT_EQ(r.title, "Open a Log file");
    EXPECT_EQ(r.filter_name, "Log Files (*.LOG)");
    EXPECT_EQ(r.patterns, "*.LOG");
    EXPECT_EQ(r.default_extension, "LOG");
    EXPECT_TRUE(r.must_exist);
}

TEST_F(MainWindowTest, ACancelledOpenReopensTheLogInUse) {
    write("MYLOG.LOG", log_of(4));
    auto run = open();
    m_host.answer_file(std::nullopt);
    run.command(MainWindow::k_open);
    EXPECT_EQ(run.caption(), caption_for("MYLOG.LOG"));
    EXPECT_TRUE(m_app.log.is_open());
    EXPECT_EQ(m_app.log.record_count(), 4);
    EXPECT_TRUE(m_app.log.index_loaded()) << "the index is built again for the reopened log";
}

TEST_F(MainWindowTest, NewOnAFileWithRecordsAsksAndNoKeepsEverything) {
    write("OLD.LOG", log_of(7));
    auto run = open();
    m_host.answer_file(file("OLD.LOG"));
    m_host.answer(ui::Answer::no);
    run.command(MainWindow::k_new);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_NE(m_host.messages()[0].text.find("already holds 7 records"), std::string::npos);
    EXPECT_EQ(read("OLD.LOG"), log_of(7));
    EXPECT_EQ(run.caption(), caption_for("MYLOG.LOG"));
    EXPECT_TRUE(m_app.log.is_open());

    m_host.answer_file(file("OLD.LOG"));
    m_host.answer(ui::Answer::yes);
    run.command(MainWindow::k_new);
    EXPECT_EQ(read("OLD.LOG"), "");
    EXPECT_EQ(m_app.log.record_count(), 0);
    EXPECT_TRUE(m_app.log.index_loaded());
    EXPECT_EQ(run.caption(), caption_for(file("OLD.LOG")));
}

TEST_F(MainWindowTest, NewMakesAnEmptyLogAndACancelKeepsTheOldOne) {
    write("MYLOG.LOG", log_of(3));
    auto run = open();
    m_host.answer_file(std::nullopt);
    run.command(MainWindow::k_new);
    EXPECT_EQ(run.caption(), caption_for("MYLOG.LOG"));
    EXPECT_EQ(m_app.log.record_count(), 3);

    m_host.answer_file(file("FRESH.LOG"));
    run.command(MainWindow::k_new);
    EXPECT_TRUE(std::filesystem::exists(file("FRESH.LOG")));
    EXPECT_EQ(m_app.log.record_count(), 0);
    EXPECT_TRUE(m_host.messages().empty());
    EXPECT_FALSE(m_host.file_requests()[1].must_exist);
}

TEST_F(MainWindowTest, ALogNameCurlogCannotHoldIsRefusedAndACommaIsNot) {
    std::filesystem::create_directory(file("a,b"));
    write("a,b/X.LOG", log_of(1));
    // A name needing quotes (a comma) cannot hold a quote as well.
    std::filesystem::create_directory(file("say, \"hi\""));
    write("say, \"hi\"/Y.LOG", log_of(2));
    auto run = open();
    m_host.answer_file(file("say, \"hi\"/Y.LOG"));
    m_host.answer(ui::Answer::ok); // the quote refused, with the full name
    run.command(MainWindow::k_open);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_NE(m_host.messages()[0].text.find("double quote"), std::string::npos);
    EXPECT_EQ(run.caption(), caption_for("MYLOG.LOG"));

    m_host.answer_file(file("a,b/X.LOG"));
    run.command(MainWindow::k_open);
    EXPECT_EQ(run.caption(), caption_for(file("a,b/X.LOG")));
    EXPECT_EQ(m_host.messages().size(), 1u);
}

TEST_F(MainWindowTest, AboutShowsOurLinesThenTheCredits) {
    auto run = open();
    m_host.answer(ui::Answer::ok); // our lines and the credits, read below
    run.command(MainWindow::k_about);
    ASSERT_EQ(m_host.messages().size(), 1u);
    const ui::Message& m = m_host.messages()[0];
    EXPECT_EQ(m.title, "Kestrel v6.44 for Linux");
    EXPECT_EQ(m.icon, ui::Icon::none);
    const std::string credits = "Portions of this software courtesy:\r\n";
    const auto at = m.text.find(credits);
    ASSERT_NE(at, std::string::npos);
    const std::string own = m.text.substr(0, at);
    int lines = 0;
    for (std::size_t p = own.find("\r\n\n"); p != std::string::npos; p = own.find("\r\n\n", p + 1))
        ++lines;
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(m.text.substr(at + credits.size()).find("Buckmaster"),
              m.text.substr(at + credits.size()).find("\r\n") + 2);
    EXPECT_TRUE(m.text.ends_with("Radio Amateur Callbook"));
}

TEST_F(MainWindowTest, DxccStatusAndCountryOpenTheirWindows) {
    auto run = open();
    std::vector<std::string> captions;
    m_host.on_modal([&](TestRun& w) {
        captions.push_back(w.caption());
        w.key(ui::Key::escape);
    });
    m_host.on_modal([&](TestRun& w) {
        captions.push_back(w.caption());
        w.click(ui::k_cancel);
    });
    run.command(MainWindow::k_status).command(MainWindow::k_country);
    EXPECT_EQ(captions, (std::vector<std::string>{"CURRENT DXCC STATUS         Countries Worked/Confirmed",
                                                  "BANDS Worked"}));
    EXPECT_TRUE(m_host.surprises().empty());
}

TEST_F(MainWindowTest, EscapeLeavesTheProgramRunningButExitAndTheButtonEndIt) {
    auto run = open();
    run.key(ui::Key::escape);
    EXPECT_TRUE(run.is_open());
    run.click(MainWindow::k_exit_button);
    EXPECT_FALSE(run.is_open());
}

} // namespace
} // namespace kestrel::shell::testing

namespace kestrel::shell::testing {
namespace {

// The print buttons and menu items open their windows over the main window.
TEST_F(ShellTest, PrintButtonsAndMenuItemsOpenTheirWindows) {
    ASSERT_TRUE(m_app.log.open_log(file("MYLOG.LOG")));
    for (int i = 0; i < 4; ++i)
        m_host.on_modal([](ui::TestRun& window) { window.key(ui::Key::escape); });
    auto main = m_host.open(MainWindow{m_app});
    main.click(MainWindow::k_print_log_button).command(MainWindow::k_print_log);
    main.click(MainWindow::k_print_qsl_button).command(MainWindow::k_print_qsl);
    EXPECT_EQ(m_host.modal_captions(),
              (std::vector<std::string>{"PRINT LOG ", "PRINT LOG ", "PRINT QSLs ", "PRINT QSLs "}));
    main.close_box();
}

} // namespace
} // namespace kestrel::shell::testing

namespace kestrel::shell::testing {
namespace {

// A contact logged today, then Check Log left with Exit: today's mark stays in the chart and is
// saved at shut-down.
TEST_F(ShellTest, TodaysMarkSurvivesACheckLeftWithExit) {
    write("COUNTRY.LST", "G,G,England,223,52,-1\r\n");
    m_host.on_modal([&](ui::TestRun& main) {
        main.click(MainWindow::k_online).command(MainWindow::k_check_log).command(MainWindow::k_exit);
    });
    m_host.on_modal([](ui::TestRun& online) {
        online.replace(online::OnlineWindow::k_mode, "SSB").focus(online::OnlineWindow::k_call);
        online.type("G4ABC").key(ui::Key::f1).key(ui::Key::f2).key(ui::Key::escape);
    });
    m_host.on_modal([](ui::TestRun& check) { check.click(ui::k_cancel); });
    run_program(m_app, m_host);
    const int band = m_app.log.last_band();
    const countries::ChartLoad saved = countries::load_chart(file("DXCC.CHT"));
    EXPECT_TRUE(saved.chart.worked(223, band, logstore::k_mode_ssb));
    const auto& captions = m_host.modal_captions();
    EXPECT_NE(std::find(captions.begin(), captions.end(), "DXCC Log Check"), captions.end());
}

} // namespace
} // namespace kestrel::shell::testing
