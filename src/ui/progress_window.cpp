#include "ui/progress_window.hpp"

#include "ui/context.hpp"

#include <algorithm>

namespace kestrel::ui {

namespace {
constexpr int k_steps = 100;
}

void Progress::set_total(std::int64_t total) {
    m_total = total;
    m_shown = -1;
    m_ctx.set_progress_range(m_bar, 0, k_steps);
}

void Progress::advance_to(std::int64_t done) {
    if (m_total <= 0) return;
    const int share = static_cast<int>(std::min<std::int64_t>(k_steps, done * k_steps / m_total));
    if (share == m_shown) return;
    m_shown = share;
    m_ctx.set_progress(m_bar, share);
}

Form ProgressWindow::build() const {
    Form form;
    form.caption = m_caption;
    form.frame = {100, 200, 200, 40};
    form.add(progress(k_bar, {5, 12, 190, 12}));
    return form;
}

void ProgressWindow::on_init(Context& ctx) {
    ctx.post(k_start);
}

void ProgressWindow::on_command(Context& ctx, int id, Notify) {
    if (id != k_start) return;
    Progress progress(ctx, k_bar);
    if (m_work) m_work(progress);
    ctx.close(0);
}

void run_with_progress(Context& parent, std::string caption, std::function<void(Progress&)> work) {
    run_with_progress(parent.host(), &parent, std::move(caption), std::move(work));
}

void run_with_progress(Host& host, Context* parent, std::string caption,
                       std::function<void(Progress&)> work) {
    ProgressWindow window(std::move(caption), std::move(work));
    host.run_modal(window, parent);
}

} // namespace kestrel::ui
