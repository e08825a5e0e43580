#pragma once

#include "countries/chart_grid.hpp"
#include "countries/country_table.hpp"
#include "ui/window.hpp"

#include <string>

namespace kestrel::countries {

// What the status windows read: the country list, the chart, the shell's band labels.
struct DxccEnv {
    const CountryTable& table;
    const StatusChart& chart;
    const BandLabels& labels;
};

// DXCC/Status: the whole chart, with Save (DXSTATUS.CSV) and Print.
class StatusChartWindow final : public ui::Window {
  public:
    enum Id { k_save = 101, k_print = 102 };
    explicit StatusChartWindow(DxccEnv env) : m_env(env) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    DxccEnv m_env;
    ChartTotals m_totals;
};

// DXCC/Country: a prefix typed, Enter, and that country's bands.
class CountryStatusWindow final : public ui::Window {
  public:
    enum Id { k_prefix_label = 100, k_prefix = 101 };
    explicit CountryStatusWindow(DxccEnv env) : m_env(env) {}
    ui::Form build() const override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    DxccEnv m_env;
};

// The bands of the station being logged, for the on-line window.
class CallBandsWindow final : public ui::Window {
  public:
    CallBandsWindow(DxccEnv env, int country, std::string name)
        : m_env(env), m_country(country), m_name(std::move(name)) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    DxccEnv m_env;
    int m_country;
    std::string m_name;
};

void show_status_chart(ui::Context& parent, DxccEnv env);
void show_country_status(ui::Context& parent, DxccEnv env);
// Tells the operator "Not a DXCC country" instead when the call has no country.
void show_call_bands(ui::Context& parent, DxccEnv env, const std::string& call);

} // namespace kestrel::countries
