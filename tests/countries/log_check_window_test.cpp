#include "countries/call_correction_window.hpp"
#include "countries/log_check_window.hpp"

#include "dxcc_fixture.hpp"

namespace kestrel::countries::testing {
namespace {

using ui::Key;
using ui::TestRun;

constexpr int k_all_bands_all_modes = 650 + 5 * 13 + 4;

class LogCheckWindowTest : public DxccTest {
  protected:
    LogCheckEnv env() { return {m_log, m_table, m_chart, m_labels}; }
    TestRun open_check() { return m_host.open(LogCheckWindow{env()}); }
};

TEST_F(LogCheckWindowTest, ExitGivesBackTheChartAsItWasWhenTheCheckOpened) {
    struct Case {
        const char* what;
        std::function<void(TestRun&)> leave;
    };
    const Case cases[] = {
        {"Exit at once", [](TestRun& r) { r.click(ui::k_cancel); }},
        {"the close box", [](TestRun& r) { r.close_box(); }},
        {"Check, then Exit", [](TestRun& r) { r.click(LogCheckWindow::k_check).click(ui::k_cancel); }},
        {"Check, then Escape", [](TestRun& r) { r.click(LogCheckWindow::k_check).key(Key::escape); }},
    };
    open_log({contact("G3ABC", m15, "SSB")});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Marks made since the program started and never saved: today's contact, a manual mark.
        m_chart = {};
        m_chart.update_chart(5, m20, 0, 0);
        m_chart.update_chart(9, m40, 1, 2);
        const StatusChart before = m_chart;
        TestRun run = open_check();
        c.leave(run);
        EXPECT_FALSE(run.is_open());
        EXPECT_EQ(m_chart.bytes(), before.bytes());
    }
}

TEST_F(LogCheckWindowTest, CheckShowsTheRebuiltChartAndSaveKeepsIt) {
    open_log({contact("G3ABC", m15, "SSB", received), contact("KH6XX", m15, "CW"), note()});
    m_chart.update_chart(5, m20, 0, 0);
    TestRun run = open_check();
    EXPECT_EQ(run.caption(), "DXCC Log Check");
    EXPECT_FALSE(run.enabled(LogCheckWindow::k_save));
    EXPECT_FALSE(run.exists(k_all_bands_all_modes)) << "no chart until the check has run";
    EXPECT_EQ(m_chart.byte(5, m20), 0x01) << "the program's chart is untouched while the window is open";

    run.click(LogCheckWindow::k_check);
    EXPECT_TRUE(run.enabled(LogCheckWindow::k_save));
    EXPECT_EQ(run.text(k_all_bands_all_modes), "  2/1");
    EXPECT_EQ(run.text(650 + 5 * m15 + 1), "  1/1") << "15 m SSB";
    EXPECT_EQ(run.text(650 + 5 * m20 + 0), "  -/-") << "Germany was never logged";
    run.click(LogCheckWindow::k_save);
    EXPECT_FALSE(run.is_open());
    EXPECT_EQ(m_chart.byte(5, m20), 0);
    EXPECT_EQ(m_chart.byte(1, m15), 0x0C);
    EXPECT_EQ(m_chart.byte(7, m15), 0x01);
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(LogCheckWindowTest, TheQuestionAboutACallOfNoCountry) {
    struct Case {
        const char* what;
        std::function<void(TestRun&)> answer;
        std::string call_after;
        bool counted;
        bool told_left; // the message at the end about calls left unasked
        int beeps;
    };
    const Case cases[] = {
        {"typed and Enter", [](TestRun& q) { q.type("k1abc").key(Key::enter); }, "K1ABC", true, false, 0},
        {"OK with the call as it stands", [](TestRun& q) { q.click(ui::k_ok); }, "4U1UN", false, false, 0},
        {"Cancel", [](TestRun& q) { q.type("K1ABC").click(ui::k_cancel); }, "4U1UN", false, false, 0},
        {"Escape", [](TestRun& q) { q.type("K1ABC").key(Key::escape); }, "4U1UN", false, false, 0},
        {"Ask No More", [](TestRun& q) { q.alt('N'); }, "4U1UN", false, true, 0},
        {"a call that would make a note is refused",
         [](TestRun& q) {
             q.type("/K1ABC").key(Key::enter);
             EXPECT_TRUE(q.is_open());
             EXPECT_EQ(q.focused(), CallCorrectionWindow::k_call);
             q.replace(CallCorrectionWindow::k_call, "K1ABC").key(Key::enter);
         },
         "K1ABC", true, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_log.close_log();
        open_log({contact("4U1UN", m20, "CW"), contact("4U1UN/P", m40, "CW")});
        m_host.on_modal([&](TestRun& q) {
            EXPECT_EQ(q.caption(), "Unrecognised prefix");
            EXPECT_EQ(q.text(CallCorrectionWindow::k_prompt), "Correct this call?");
            EXPECT_EQ(q.text(CallCorrectionWindow::k_call), "4U1UN");
            EXPECT_EQ(q.focused(), CallCorrectionWindow::k_call);
            c.answer(q);
            EXPECT_FALSE(q.is_open());
        });
        if (c.told_left) {
            m_host.expect_message(
                " 2 entries with an unrecognised prefix were left as they are and not counted.");
        } else {
            // The second entry is asked about too; left as it is.
            m_host.on_modal([](TestRun& q) {
                EXPECT_EQ(q.text(CallCorrectionWindow::k_call), "4U1UN/P");
                q.click(ui::k_cancel);
            });
        }
        const int beeps = m_host.beeps();
        TestRun run = open_check();
        run.click(LogCheckWindow::k_check);
        EXPECT_EQ(calls(), (std::vector<std::string>{c.call_after, "4U1UN/P"}));
        EXPECT_EQ(run.text(650 + 5 * m20 + 0), c.counted ? "  1/-" : "  -/-");
        EXPECT_EQ(m_host.beeps() - beeps, c.beeps);
        EXPECT_TRUE(run.enabled(LogCheckWindow::k_save));
        run.click(ui::k_cancel);
        EXPECT_EQ(calls()[0], c.call_after) << "Exit keeps the log's corrections; only the chart goes back";
    }
}

TEST_F(LogCheckWindowTest, TheBarFollowsTheCheck) {
    std::vector<logstore::RecordBytes> log(1000, contact("G3ABC"));
    for (int n : {1, 500, 1000})
        log[static_cast<std::size_t>(n - 1)] = contact("4U1UN");
    open_log(log);
    std::vector<int> widths;
    for (int i = 0; i < 3; ++i)
        m_host.on_modal([&](TestRun& q) {
            const ui::Context* checking = q.context().parent();
            EXPECT_EQ(checking->caption(), "Checking Log");
            widths.push_back(checking->control(CheckingLogWindow::k_bar).value);
            EXPECT_EQ(checking->control(CheckingLogWindow::k_bar).maximum, 188);
            q.click(ui::k_cancel);
        });
    open_check().click(LogCheckWindow::k_check);
    // The entries checked before each question, out of 1000, on a bar 188 wide.
    EXPECT_EQ(widths, (std::vector<int>{0, 94, 188}));
}

TEST_F(LogCheckWindowTest, ACorrectionThatCannotBeWrittenIsToldAndTheChartCannotBeKept) {
    open_log({contact("4U1UN"), contact("G3ABC")});
    m_files.arm();
    m_files.fail_changes_from = 1;
    m_files.change_error = ENOSPC;
    m_host.on_modal([](TestRun& q) { q.type("K1ABC").key(Key::enter); });
    m_host.answer(ui::Answer::ok);
    TestRun run = open_check();
    run.click(LogCheckWindow::k_check);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::stop);
    EXPECT_NE(m_host.messages()[0].text.find("disk is full"), std::string::npos);
    EXPECT_FALSE(run.enabled(LogCheckWindow::k_save));
    EXPECT_EQ(calls()[0], "4U1UN");
}

TEST_F(LogCheckWindowTest, NoLogNoWindow) {
    m_host.expect_message("No Log Selected");
    m_host.open(Opener{[this](ui::Context& ctx) { check_log(ctx, env()); }}).command(Opener::k_open);
    EXPECT_TRUE(m_host.modal_captions().empty());
}

} // namespace
} // namespace kestrel::countries::testing
