#pragma once

#include "countries/country_stats.hpp"
#include "ui/window.hpp"

#include <string>
#include <vector>

namespace kestrel::countries {

struct StatsEnv {
    const logstore::LogStore& log;
    const CountryTable& table;
    const StatusChart& chart; // read, never changed
    double scale_factor;      // the window grows with the screen
    std::string directory;    // where the files go: ends with "/", or empty for the working directory
};

// DXCC/Stats: the countries still wanted, those worked but not confirmed, and every country's
// bands, each list written to its own file on request.
class CountryStatsWindow final : public ui::Window {
  public:
    enum Id {
        k_heading = 100,
        k_columns = 101,
        k_list = 102,
        k_wanted = 103,
        k_qsls = 104,
        k_bands = 105,
        k_file = 106,
    };
    explicit CountryStatsWindow(StatsEnv env) : m_env(std::move(env)) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    int scaled(int value) const;
    void show_list(ui::Context& ctx, int button, std::string heading, std::vector<std::string> lines,
                   std::string file, std::string first_line);
    void show_qsls_needed(ui::Context& ctx);
    void write_file(ui::Context& ctx);

    StatsEnv m_env;
    std::vector<ListedCountry> m_countries;
    std::string m_file;       // of the list on show
    std::string m_first_line; // the file's first line
};

// The menu command: tells the operator when no log is open, else opens the window.
void show_country_statistics(ui::Context& parent, StatsEnv env);

} // namespace kestrel::countries
