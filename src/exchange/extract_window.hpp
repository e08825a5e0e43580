#pragma once

#include "exchange/extract.hpp"
#include "exchange/log_choice.hpp"
#include "ui/window.hpp"

#include <cstdint>
#include <optional>
#include <string>

namespace kestrel::exchange {

// Tools/Extract: the contacts of one log on the bands and modes ticked, between two dates, copied
// into another log (a log of one contest, of one band). While the window is open no log is the
// program's log; it closes with the log last written as the program's log, or with the log that
// was open before when nothing was written.
class ExtractWindow final : public ui::Window {
  public:
    enum Id {
        k_dates_frame = 108,
        k_bands_frame = 109,
        k_modes_frame = 110,
        k_first_band = 111, // 111-122: band indexes 0-11
        k_cw = 123,
        k_ssb = 124,
        k_fm = 125,
        k_fourth_label = 126,
        k_from_label = 127,
        k_to_label = 128,
        k_five_mhz = 129,
        k_fourth = 131,
        k_from = 150,
        k_to = 151,
        k_new_log = 152,
        k_extract_log = 153,
        k_write = 154,
    };

    explicit ExtractWindow(ExchangeEnv env) : m_env(env) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    int scaled(double value) const;
    void choose_new_log(ui::Context& ctx);
    void choose_extract_log(ui::Context& ctx);
    void write_log(ui::Context& ctx);
    void leave(ui::Context& ctx);
    // The day number of a date box (if_empty when it is empty); nothing when the date is refused,
    // which empties the box, focuses it and beeps.
    std::optional<int> date_of_box(ui::Context& ctx, int id, int if_empty);
    // The bands, modes and dates ticked and typed; nothing when a date is refused.
    std::optional<ExtractChoice> choice_of_boxes(ui::Context& ctx);

    ExchangeEnv m_env;
    std::string m_remembered; // the program's log when the window opened
    std::string m_new_log;    // the log to be written
};

void extract_log(ui::Context& parent, ExchangeEnv env);

} // namespace kestrel::exchange
