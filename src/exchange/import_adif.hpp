#pragma once

#include "ui/window.hpp"

#include <string>
#include <string_view>

namespace kestrel::logstore {
class LogStore;
}

namespace kestrel::exchange {

// What ADIF import remembers while the program runs: the file last chosen.
struct AdifImportState {
    std::string adif_path;
};

// The log an ADIF file is imported into: the file's name in upper case, in the current
// directory, with ".ADIF" or ".ADI" made ".LOG" (Contest.adi gives CONTEST.LOG). A name with
// neither gets ".LOG" added, so the log is never the ADIF file itself; a comma, which the
// remembered log path cannot hold, becomes "_".
[[nodiscard]] std::string import_log_name(std::string_view adif_path);

// Tools/Import/ADIF: choose an ADIF file, give a power and a comment for every entry, and make
// the file a log of its own, which becomes the current log.
class ImportWindow final : public ui::Window {
  public:
    enum Id {
        k_select = 100,
        k_import = 101,
        k_file_label = 102,
        k_power_label = 103,
        k_power = 104,
        k_comment_label = 105,
        k_comment = 106,
    };
    ImportWindow(logstore::LogStore& log, AdifImportState& state) : m_log(log), m_state(state) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    void select_file(ui::Context& ctx);
    void import_file(ui::Context& ctx);
    logstore::LogStore& m_log;
    AdifImportState& m_state;
};

// Runs the import window over the main window. Afterwards the current log may be another one,
// with its record index built: the caller shows its name.
void import_adif(ui::Context& parent, logstore::LogStore& log, AdifImportState& state);

} // namespace kestrel::exchange
