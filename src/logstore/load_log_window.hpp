#pragma once

#include "ui/host.hpp"
#include "ui/window.hpp"

namespace kestrel::logstore {

class LogStore;

// The "Load Log" window: a progress bar while the record index is built from the whole log.
class LoadLogWindow final : public ui::Window {
public:
    enum Id { k_bar = 100, k_start = 1024 + 999 };

    explicit LoadLogWindow(LogStore& log) : m_log(log) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;
    void on_cancel(ui::Context&) override {} // the work runs to its end

private:
    LogStore& m_log;
};

// Builds the record index behind the "Load Log" window, over the given parent (nullptr at
// start-up). Tells the operator when the log cannot be read; false then.
bool build_index_with_progress(ui::Host& host, ui::Context* parent, LogStore& log);

// Builds the index only when it does not describe the open log yet.
bool ensure_record_index(ui::Host& host, ui::Context* parent, LogStore& log);

} // namespace kestrel::logstore
