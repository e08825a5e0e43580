#pragma once

#include "ui/geometry.hpp"
#include "ui/keys.hpp"

#include <optional>
#include <string>
#include <vector>

namespace kestrel::ui {

enum class ControlKind {
    label,
    edit,
    button,
    check_box,
    option, // a radio button; options with the same group exclude each other
    combo,  // a drop-down list (editable when the style says so)
    list,
    progress,
    picture, // a named bitmap from the program's resources
    group,   // a group frame with a caption
};

// Style bits; each applies to the kinds named beside it.
enum Style : unsigned {
    plain = 0,
    right_aligned = 1u << 0, // label, edit
    centred = 1u << 1,       // label, edit
    static_edge = 1u << 2,   // label: a sunken edge
    upper_case = 1u << 3,    // edit: typed letters turn to capitals
    digits_only = 1u << 4,   // edit
    read_only = 1u << 5,     // edit
    multi_line = 1u << 6,    // edit: Enter makes a new line
    default_button = 1u << 7,
    text_on_left = 1u << 8,       // check box, option
    extended_selection = 1u << 9, // list: several lines with Shift and Ctrl
    owner_drawn = 1u << 10,       // list: lines painted by the window's draw_item
    editable = 1u << 11,          // combo: the operator may type a text of his own
    vertical_scroll = 1u << 12,   // edit, list
    no_tab_stop = 1u << 13,
};

struct Font {
    std::string name; // "Courier", "MS Sans Serif", "Courier New", ...
    int points = 8;
    bool bold = false;
    friend bool operator==(const Font&, const Font&) = default;
};

// A text box's caret and the characters selected with it: from the anchor to the caret, in bytes.
struct TextSelection {
    int anchor = 0;
    int caret = 0;
    friend bool operator==(const TextSelection&, const TextSelection&) = default;
};

struct Control {
    int id = 0;
    ControlKind kind = ControlKind::label;
    std::string text; // Windows-1252; for a picture, the bitmap's name
    Rect rect;        // in the form's units
    unsigned style = plain;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    int group = 0; // options
    std::optional<Colour> background;
    std::optional<Colour> foreground;
    std::optional<Font> font;
    int text_limit = 0;      // edit: most characters accepted, 0 for no limit
    std::string refused;     // edit: characters the box will not take (the operator hears a beep)
    TextSelection selection; // edit, editable combo

    // Lists and combos.
    std::vector<std::string> items;
    std::vector<bool> selected; // one flag per item
    int top_index = 0;
    // Owner-drawn list: pixels per line; 0 or less for the font's height with that added.
    int item_height = 0;

    // Progress bars.
    int minimum = 0;
    int maximum = 100;
    int value = 0;
    int step = 1;
};

struct MenuItem {
    std::string text;
    int id = 0; // 0 for a submenu or a separator
    std::vector<MenuItem> items;
    bool separator = false;
};

enum class Units {
    dialog, // dialog units of the form's font
    pixels,
};

enum FrameStyle : unsigned {
    caption_bar = 1u << 0,
    system_menu = 1u << 1,
    sizing_border = 1u << 2,
    minimize_box = 1u << 3,
    maximize_box = 1u << 4,
};

struct Form {
    std::string caption;
    Rect frame;                       // position and size of the client area
    bool at_default_position = false; // the system chooses where the window opens
    Units units = Units::dialog;
    unsigned frame_style = caption_bar | system_menu;
    std::optional<Font> font;
    std::optional<Colour> background;
    std::string icon = "ICON";
    std::vector<Control> controls; // in tab order
    std::vector<MenuItem> menu;    // top-level popups; empty for no menu bar
    std::vector<Accelerator> accelerators;
    bool main_window = false;

    Control& add(Control c) {
        controls.push_back(std::move(c));
        return controls.back();
    }
};

// Small builders, so a window's layout reads like its table of controls.
Control label(int id, std::string text, Rect rect, unsigned style = plain);
Control edit(int id, Rect rect, unsigned style = plain);
Control button(int id, std::string text, Rect rect, unsigned style = plain);
Control check_box(int id, std::string text, Rect rect, unsigned style = plain);
Control option(int id, std::string text, Rect rect, int group, unsigned style = plain);
Control combo(int id, Rect rect, unsigned style = plain);
Control list(int id, Rect rect, unsigned style = plain);
Control progress(int id, Rect rect);
Control picture(int id, std::string bitmap, Rect rect);
Control group_box(int id, std::string text, Rect rect);

} // namespace kestrel::ui
