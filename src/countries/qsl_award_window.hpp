#pragma once

#include "countries/qsl_award.hpp"
#include "ui/window.hpp"

#include <string>
#include <vector>

namespace kestrel::countries {

struct AwardEnv {
    const logstore::LogStore& log;
    const logstore::BandNameTable& band_names;
    const CountryTable& table;
    std::string directory; // where QSLAWARD.TXT goes: ends with "/", or empty for the working directory
};

// Printing/QSL List: one contact per country for an award application, chosen by band, mode
// and worked or confirmed, sorted by call, printed or written to QSLAWARD.TXT.
class QslAwardWindow final : public ui::Window {
  public:
    enum Id {
        k_bands_frame = 100,
        k_first_band = 101, // 101 to 112: band indexes 0 to 11
        k_modes_frame = 120,
        k_cw = 121,
        k_ssb = 122,
        k_fm = 123,
        k_fourth_label = 124,
        k_fourth = 125,
        k_status_frame = 130,
        k_worked = 131,
        k_confirmed = 132,
        k_destination_frame = 140,
        k_to_printer = 141,
        k_to_file = 142,
        k_run = 150,
    };
    explicit QslAwardWindow(AwardEnv env) : m_env(std::move(env)) {}
    ui::Form build() const override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    AwardSelection selection(const ui::Context& ctx) const;
    void run(ui::Context& ctx);
    void print(ui::Context& ctx, const std::vector<AwardEntry>& entries, const std::string& summary);
    void write_file(ui::Context& ctx, const std::vector<AwardEntry>& entries, const std::string& summary);

    AwardEnv m_env;
};

// The menu command: tells the operator when no log is open, else opens the window.
void show_qsl_award_list(ui::Context& parent, AwardEnv env);

} // namespace kestrel::countries
