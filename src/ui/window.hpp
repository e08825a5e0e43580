#pragma once

#include "ui/canvas.hpp"
#include "ui/form.hpp"

#include <optional>
#include <string>

namespace kestrel::ui {

class Context;

// Why a command arrives: the notification of the control or key behind it.
enum class Notify {
    clicked, // a button, check box, option or menu item; an accelerator key
    changed, // an edit's text changed
    focus_gained,
    focus_lost,
    selection_changed,
    double_clicked,
    dropdown_closed,
    posted, // a command the window posted to itself
};

inline constexpr int k_ok = 1;     // Enter in a window with neither accelerator nor default button
inline constexpr int k_cancel = 2; // Escape and the Exit buttons

// A window controller: builds its form, then reacts to commands by control number.
class Window {
  public:
    virtual ~Window() = default;

    virtual Form build() const = 0;
    virtual void on_init(Context&) {}
    virtual void on_command(Context& ctx, int id, Notify notify) = 0;
    virtual void on_timer(Context&, int /*timer*/) {}
    // Escape, when no accelerator takes it: by default the command of the Exit button (2), which
    // the window handles like any other, usually by closing.
    virtual void on_cancel(Context& ctx);
    // The close box of the window's frame; like Escape unless the window says otherwise.
    virtual void on_close_box(Context& ctx) { on_cancel(ctx); }
    // A mouse button released over the window, in the form's units.
    virtual void on_mouse_up(Context&, Point) {}
    // Paints one line of an owner-drawn list.
    virtual void draw_item(Context&, const DrawItem&, Canvas&) {}
    // What a screen reader says for one line of a list, when it is not the line's text: a line
    // that holds more than it shows says only what is shown.
    virtual std::optional<std::string> spoken_item(const Context&, int /*control*/, int /*index*/) const {
        return std::nullopt;
    }
};

} // namespace kestrel::ui
