#pragma once

#include "ui/context.hpp"
#include "ui/window.hpp"

#include <functional>

namespace kestrel::testing {

// Stands in for the window that opens the one under test (the main window, or browse): its
// command k_open runs the opening code, as a menu item or button would.
class Opener final : public ui::Window {
  public:
    explicit Opener(std::function<void(ui::Context&)> open) : m_open(std::move(open)) {}
    ui::Form build() const override { return ui::Form{}; }
    void on_command(ui::Context& ctx, int id, ui::Notify) override {
        if (id == k_open) m_open(ctx);
    }
    static constexpr int k_open = 10;

  private:
    std::function<void(ui::Context&)> m_open;
};

} // namespace kestrel::testing
