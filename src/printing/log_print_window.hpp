#pragma once

#include "printer/printer.hpp"
#include "printing/log_listing.hpp"
#include "ui/window.hpp"

namespace kestrel::logstore {
class BandNameTable;
class LogStore;
} // namespace kestrel::logstore

namespace kestrel::printing {

// What the printed log works on.
struct LogPrintEnv {
    logstore::LogStore& log;
    const logstore::BandNameTable& band_names;
};

// The Print Log window: the filters, then the log on paper (a printer or a PDF file, as chosen in
// the print dialog) or, with File to Disc, into a comma-separated text file.
class PrintLogWindow final : public ui::Window {
  public:
    enum Id {
        k_exit = 2,
        k_start_date = 200,
        k_from_call = 201,
        k_prefix = 202,
        k_band = 203,
        k_comment_key = 204,
        k_print = 206,
        k_file_name = 208,
        k_start_date_label = 311,
        k_from_call_label = 312,
        k_prefix_label = 313,
        k_band_label = 314,
        k_mhz_label = 315,
        k_comment_key_label = 316,
        k_to_file = 317,
        k_pause = 318,
        k_landscape = 319,
    };

    explicit PrintLogWindow(LogPrintEnv env) : m_env(env) {}
    ui::Form build() const override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    void file_mode_changed(ui::Context& ctx);
    void print(ui::Context& ctx);
    std::optional<LogFilter> read_filter(ui::Context& ctx);
    bool write_file(ui::Context& ctx, const LogFilter& filter);
    bool print_pages(ui::Context& ctx, const LogFilter& filter);

    LogPrintEnv m_env;
};

// Printing/Print Log and the main window's Print LOG button: tells the operator when no log is
// open, otherwise runs the window over parent.
void print_log(ui::Context& parent, LogPrintEnv env);

} // namespace kestrel::printing
