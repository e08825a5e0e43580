#include "logstore/load_log_window.hpp"

#include "common/number_text.hpp"
#include "logstore/log_store.hpp"
#include "ui/context.hpp"

namespace kestrel::logstore {

ui::Form LoadLogWindow::build() const {
    ui::Form form;
    form.caption = "Load Log";
    form.frame = {100, 200, 200, 40};
    form.add(ui::progress(k_bar, {5, 12, 190, 12}));
    return form;
}

void LoadLogWindow::on_init(ui::Context& ctx) {
    // The work starts from a posted command, so the window is on screen before it begins.
    ctx.post(k_start);
}

void LoadLogWindow::on_command(ui::Context& ctx, int id, ui::Notify) {
    if (id != k_start) return;
    const int count = m_log.record_count();
    ctx.set_progress_range(k_bar, 0, static_cast<int>(round_half_even(count / 10.0)), 1);
    const LogStatus error = m_log.build_record_index([&ctx] { ctx.step_progress(k_bar); });
    if (error) ctx.message(message_of(*error), "Kestrel", ui::Icon::stop);
    ctx.close(error ? 0 : 1);
}

bool build_index_with_progress(ui::Host& host, ui::Context* parent, LogStore& log) {
    LoadLogWindow window(log);
    return host.run_modal(window, parent) == 1 && log.index_loaded();
}

bool ensure_record_index(ui::Host& host, ui::Context* parent, LogStore& log) {
    return log.index_loaded() || build_index_with_progress(host, parent, log);
}

} // namespace kestrel::logstore
