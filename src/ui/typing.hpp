#pragma once

#include "ui/form.hpp"
#include "ui/keys.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace kestrel::ui {

// What a text box does with the operator's keys. Both hosts use these rules, so a box takes
// the same characters on screen as in the tests.

enum class Typed {
    taken,
    refused, // the box does not take the character; the operator hears a beep
};

// A text box's text with its caret and selection, in bytes of Windows-1252.
struct EditText {
    std::string text;
    TextSelection selection;
};

// One typed character at the selection: a character outside Windows-1252, a control character,
// a character the box's style or refused list keeps out, and one more than the box holds are
// all refused. Upper-case boxes take letters as capitals. A multi-line box takes a line end
// (CR or LF, the Enter key) as CR LF, the line end of the program's texts.
[[nodiscard]] Typed type_character(const Control& box, EditText& edit, char32_t character);

enum class Erase { back, forward };
// Backspace or Delete: the selection, else the character before or after the caret.
void erase_character(EditText& edit, Erase direction);

// The caret keys of a text box: Left, Right, Home and End, with Shift extending the selection.
// False for any other key.
bool move_caret(EditText& edit, Key key, bool extend);

// A whole new text put in by the operator at once (pasted, cut, undone), or the whole text of a
// host's multi-line box after each change: the text as the box would hold it, or nothing when
// the box refuses it. A multi-line box holds its line ends as CR LF whatever the host gave, and
// keeps tabs and other control characters.
[[nodiscard]] std::optional<std::string> accept_text(const Control& box, std::string_view windows1252);

// Whether the operator can type into the control.
[[nodiscard]] bool takes_typing(const Control& control);

} // namespace kestrel::ui
