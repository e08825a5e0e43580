#pragma once

#include "ui/window.hpp"

namespace kestrel::logstore {
class LogStore;
}

namespace kestrel::exchange {

// Tools/Export: names the log and writes all its contacts to an ADIF file beside it in one go.
class ExportWindow final : public ui::Window {
  public:
    enum Id { k_export = 101, k_log_label = 102 };
    explicit ExportWindow(logstore::LogStore& log) : m_log(log) {}
    ui::Form build() const override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    void export_log(ui::Context& ctx);
    logstore::LogStore& m_log;
};

// Runs the export window over the main window; "No Log Selected" when no log is open.
void export_adif(ui::Context& parent, logstore::LogStore& log);

} // namespace kestrel::exchange
