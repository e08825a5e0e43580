#pragma once

#include "ui/window.hpp"

#include <cstdint>
#include <functional>
#include <string>

namespace kestrel::ui {

class Context;
class Host;

// Where long work reports how far it has gone. The bar moves only when its visible share
// changes, so reporting after every record costs next to nothing.
class Progress {
  public:
    Progress(Context& ctx, int bar) : m_ctx(ctx), m_bar(bar) {}
    void set_total(std::int64_t total);
    void advance_to(std::int64_t done);

  private:
    Context& m_ctx;
    int m_bar;
    std::int64_t m_total = 0;
    int m_shown = -1;
};

// A small window with one progress bar, shown while work runs on this thread; it closes when
// the work is done. The work starts once the window is on screen.
class ProgressWindow final : public Window {
  public:
    enum Id { k_bar = 100, k_start = 1024 + 998 };
    ProgressWindow(std::string caption, std::function<void(Progress&)> work)
        : m_caption(std::move(caption)), m_work(std::move(work)) {}
    Form build() const override;
    void on_init(Context& ctx) override;
    void on_command(Context& ctx, int id, Notify notify) override;
    void on_cancel(Context&) override {} // the work runs to its end

  private:
    std::string m_caption;
    std::function<void(Progress&)> m_work;
};

// Runs the work behind a progress window over parent.
void run_with_progress(Context& parent, std::string caption, std::function<void(Progress&)> work);
// The same over any parent, or over none (nullptr) while the program starts.
void run_with_progress(Host& host, Context* parent, std::string caption, std::function<void(Progress&)> work);

} // namespace kestrel::ui
