#include "platform/qt/keys.hpp"

#include <QKeyEvent>

namespace kestrel::platform {

std::optional<ui::KeyStroke> stroke_of(const QKeyEvent* event) {
    ui::KeyStroke s;
    const Qt::KeyboardModifiers m = event->modifiers();
    if (m & Qt::ShiftModifier) s.modifiers |= ui::shift;
    if (m & Qt::ControlModifier) s.modifiers |= ui::control;
    if (m & Qt::AltModifier) s.modifiers |= ui::alt;
    const int key = event->key();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        s.key = ui::function_key(key - Qt::Key_F1 + 1);
        return s;
    }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        s.key = ui::Key::enter;
        s.modifiers &= ~ui::shift; // Shift+Enter acts as Enter, as it did on the old system
        return s;
    case Qt::Key_Escape: s.key = ui::Key::escape; return s;
    case Qt::Key_Tab: s.key = ui::Key::tab; return s;
    case Qt::Key_Backtab:
        s.key = ui::Key::tab;
        s.modifiers |= ui::shift;
        return s;
    case Qt::Key_Backspace: s.key = ui::Key::backspace; return s;
    case Qt::Key_Delete: s.key = ui::Key::del; return s;
    case Qt::Key_Insert: s.key = ui::Key::insert; return s;
    case Qt::Key_Home: s.key = ui::Key::home; return s;
    case Qt::Key_End: s.key = ui::Key::end; return s;
    case Qt::Key_Up: s.key = ui::Key::up; return s;
    case Qt::Key_Down: s.key = ui::Key::down; return s;
    case Qt::Key_Left: s.key = ui::Key::left; return s;
    case Qt::Key_Right: s.key = ui::Key::right; return s;
    case Qt::Key_PageUp: s.key = ui::Key::page_up; return s;
    case Qt::Key_PageDown: s.key = ui::Key::page_down; return s;
    default: break;
    }
    if (key >= 0x20 && key < 0x7f) {
        s.key = ui::Key::character;
        s.character = static_cast<char>(key); // Qt gives letters as capitals
        return s;
    }
    return std::nullopt;
}

} // namespace kestrel::platform
