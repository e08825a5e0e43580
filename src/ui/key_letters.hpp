#pragma once

#include "ui/form.hpp"

#include <optional>
#include <string_view>
#include <vector>

namespace kestrel::ui {

// The key letter of a control's text: the character after a single '&' ("&&" is an ampersand),
// as a capital; 0 when the text has none.
[[nodiscard]] char key_letter_of(std::string_view text);

// Where a key letter leads. Several controls may share a letter: each press goes to the next of
// them in tab order after the focused control. A label leads to the control after it; a button,
// check box or option whose letter is its own is pressed, one whose letter is shared only takes
// the focus.
struct LetterTarget {
    int id = 0;
    bool press = false;
};
[[nodiscard]] std::optional<LetterTarget> key_letter_target(const std::vector<Control>& controls, int focused,
                                                            char letter);

// Whether a control can have the focus: enabled, visible, a tab stop, and not a label, picture,
// progress bar or frame.
[[nodiscard]] bool takes_focus(const Control& control);

// The control after (or, backwards, before) `from` in tab order that can have the focus, going
// round the window; 0 when none can.
enum class Direction { forward, backward };
[[nodiscard]] int next_in_tab_order(const std::vector<Control>& controls, int from, Direction direction);

} // namespace kestrel::ui
