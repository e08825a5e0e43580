#pragma once

#include "ui/context.hpp"
#include "ui/form.hpp"

namespace kestrel::locator {

// Both calculators are this wide, in dialog units, with their controls this far in: the longer
// caption ("Lat/Long to Maidenhead Locator") needs the room in a title bar beside its buttons.
inline constexpr int k_calculator_width = 200;
inline constexpr int k_calculator_indent = 30;

// The keys both locator calculators share. Enter, Tab and the arrows are the window's own keys,
// so they act even while a text box has the focus; which box is active is kept here and changed
// only by these keys and the buttons, so a box clicked into with the mouse does not change
// which box the next Enter treats as the second.
class TwoBoxes {
  public:
    enum Command { k_enter = 201, k_tab = 202, k_up = 203, k_down = 204 };
    TwoBoxes(int first, int second) : m_first(first), m_second(second) {}

    static void add_keys(ui::Form& form) {
        form.accelerators = {{{ui::Key::enter}, k_enter},
                             {{ui::Key::tab}, k_tab},
                             {{ui::Key::tab, ui::shift}, k_tab},
                             {{ui::Key::up}, k_up},
                             {{ui::Key::down}, k_down}};
    }

    enum class Then { nothing, compute };
    // A key of the window; Then::compute for Enter in the second box.
    Then key(ui::Context& ctx, int command) {
        switch (command) {
        case k_enter:
            if (m_active != m_second) {
                to(ctx, m_second);
                return Then::nothing;
            }
            return Then::compute;
        case k_tab: to(ctx, m_active == m_first ? m_second : m_first); break;
        case k_up: to(ctx, m_first); break;
        case k_down: to(ctx, m_second); break;
        }
        return Then::nothing;
    }
    void to(ui::Context& ctx, int box) {
        m_active = box;
        ctx.focus(box);
    }
    static bool is_key(int command) { return command >= k_enter && command <= k_down; }

    // The commands both calculators answer alike: their keys, "Go" (go) and "Exit"; the
    // calculation is the window's own.
    template <class Compute>
    void command(ui::Context& ctx, int id, ui::Notify notify, int go, Compute compute) {
        if (notify != ui::Notify::clicked) return;
        if (is_key(id)) {
            if (key(ctx, id) == Then::compute) compute();
        } else if (id == go) {
            compute();
        } else if (id == ui::k_cancel) {
            ctx.close(0);
        }
    }

  private:
    int m_first;
    int m_second;
    int m_active = m_first;
};

} // namespace kestrel::locator
