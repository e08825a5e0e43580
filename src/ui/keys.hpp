#pragma once

namespace kestrel::ui {

// The keys a window can bind in its accelerator table, or that a test can press.
enum class Key {
    enter,
    escape,
    tab,
    backspace,
    del,
    insert,
    home,
    end,
    up,
    down,
    left,
    right,
    page_up,
    page_down,
    f1,
    f2,
    f3,
    f4,
    f5,
    f6,
    f7,
    f8,
    f9,
    f10,
    f11,
    f12,
    character, // a printable character, given beside the key
};

enum Modifier : unsigned {
    no_modifier = 0,
    shift = 1,
    control = 2,
    alt = 4,
};

struct KeyStroke {
    Key key = Key::enter;
    unsigned modifiers = no_modifier;
    char character = 0; // for Key::character, in upper case for letters
    friend bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

// One line of a window's accelerator table: the key becomes the command.
struct Accelerator {
    KeyStroke stroke;
    int command = 0;
};

inline Key function_key(int n) {
    return static_cast<Key>(static_cast<int>(Key::f1) + n - 1);
}

} // namespace kestrel::ui
