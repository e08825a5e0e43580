#pragma once

#include "countries/chart_grid.hpp"
#include "countries/country_table.hpp"
#include "countries/log_check.hpp"
#include "ui/window.hpp"

namespace kestrel::logstore {
class LogStore;
}

namespace kestrel::countries {

// What the log check works on: the log (calls corrected in it), the country list, the
// program's chart (replaced only when the operator keeps the rebuilt one), the band labels.
struct LogCheckEnv {
    logstore::LogStore& log;
    const CountryTable& table;
    StatusChart& chart;
    const BandLabels& labels;
};

// DXCC/Check Log. The chart is rebuilt from the log into a copy of the program's chart; "Save +
// Exit" puts the copy in its place, "Exit" leaves the program's chart exactly as it was, with
// every mark made since the program started.
class LogCheckWindow final : public ui::Window {
  public:
    enum Id { k_check = 101, k_save = 102 };
    explicit LogCheckWindow(LogCheckEnv env) : m_env(env) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    void check(ui::Context& ctx);
    LogCheckEnv m_env;
    StatusChart m_rebuilt;
};

// "Checking Log": the bar that follows the check, shown while the check runs; the questions
// about calls in blocks of no country are asked over it.
class CheckingLogWindow final : public ui::Window {
  public:
    enum Id { k_bar = 100, k_start = 1024 + 997 };
    static constexpr int k_bar_width = 188;
    CheckingLogWindow(LogCheckEnv env, StatusChart& chart, LogCheckResult& result)
        : m_env(env), m_chart(chart), m_result(result) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;
    void on_cancel(ui::Context&) override {} // the check runs to its end

  private:
    LogCheckEnv m_env;
    StatusChart& m_chart;
    LogCheckResult& m_result;
    int m_shown = -1;
};

// The menu command: tells the operator when no log is open, else opens the window.
void check_log(ui::Context& parent, LogCheckEnv env);

} // namespace kestrel::countries
