#include "ui/typing.hpp"

#include "common/windows1252.hpp"

#include <algorithm>

namespace kestrel::ui {

namespace {

constexpr std::string_view k_line_end = "\r\n";

int start_of(const TextSelection& s) {
    return std::min(s.anchor, s.caret);
}
int end_of(const TextSelection& s) {
    return std::max(s.anchor, s.caret);
}

// The selection held inside the text, whatever a host reported.
void clamp(EditText& edit) {
    const int size = static_cast<int>(edit.text.size());
    edit.selection.anchor = std::clamp(edit.selection.anchor, 0, size);
    edit.selection.caret = std::clamp(edit.selection.caret, 0, size);
}

// The byte the box would hold for one character, or nothing when it refuses it.
std::optional<char> held(const Control& box, char byte) {
    const auto b = static_cast<unsigned char>(byte);
    if (b < 0x20 || b == 0x7F) return std::nullopt;
    if ((box.style & digits_only) && !(byte >= '0' && byte <= '9')) return std::nullopt;
    if (box.refused.find(byte) != std::string::npos) return std::nullopt;
    return (box.style & upper_case) ? windows1252_upper(byte) : byte;
}

} // namespace

bool takes_typing(const Control& c) {
    if (!c.enabled || !c.visible) return false;
    return (c.kind == ControlKind::edit && !(c.style & read_only)) ||
           (c.kind == ControlKind::combo && (c.style & editable));
}

Typed type_character(const Control& box, EditText& edit, char32_t character) {
    clamp(edit);
    const std::optional<char> byte = windows1252_byte_of(character);
    if (!byte) return Typed::refused;
    std::string put;
    if ((*byte == '\r' || *byte == '\n') && (box.style & multi_line)) {
        put = k_line_end;
    } else {
        const std::optional<char> kept = held(box, *byte);
        if (!kept) return Typed::refused;
        put = std::string(1, *kept);
    }
    const int from = start_of(edit.selection);
    const int to = end_of(edit.selection);
    const int added = static_cast<int>(put.size());
    const int length = static_cast<int>(edit.text.size()) - (to - from) + added;
    if (box.text_limit > 0 && length > box.text_limit) return Typed::refused;
    edit.text.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), put);
    edit.selection = {from + added, from + added};
    return Typed::taken;
}

void erase_character(EditText& edit, Erase direction) {
    clamp(edit);
    int from = start_of(edit.selection);
    int to = end_of(edit.selection);
    if (from == to) {
        if (direction == Erase::back && from > 0) --from;
        if (direction == Erase::forward && to < static_cast<int>(edit.text.size())) ++to;
    }
    edit.text.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    edit.selection = {from, from};
}

bool move_caret(EditText& edit, Key key, bool extend) {
    clamp(edit);
    const int size = static_cast<int>(edit.text.size());
    TextSelection& s = edit.selection;
    int caret = s.caret;
    switch (key) {
    case Key::left:
        // Without Shift a selection collapses to its start, as in every text box.
        caret = (!extend && s.anchor != s.caret) ? start_of(s) : std::max(0, caret - 1);
        break;
    case Key::right: caret = (!extend && s.anchor != s.caret) ? end_of(s) : std::min(size, caret + 1); break;
    case Key::home: caret = 0; break;
    case Key::end: caret = size; break;
    default: return false;
    }
    s.caret = caret;
    if (!extend) s.anchor = caret;
    return true;
}

std::optional<std::string> accept_text(const Control& box, std::string_view windows1252) {
    const bool multi = (box.style & multi_line) != 0;
    std::string out;
    out.reserve(windows1252.size());
    for (std::size_t i = 0; i < windows1252.size(); ++i) {
        const char byte = windows1252[i];
        // Line ends belong to multi-line boxes only, and whatever a host's box uses for them (Qt's
        // are LF) the text holds CR LF.
        if (multi && (byte == '\r' || byte == '\n')) {
            if (byte == '\r' && i + 1 < windows1252.size() && windows1252[i + 1] == '\n') ++i;
            out += k_line_end;
            continue;
        }
        // A multi-line box may hold a whole file (a note pad): a tab or any other control
        // character it brought stays, or the operator could not type into that box again.
        const auto b = static_cast<unsigned char>(byte);
        if (multi && (b < 0x20 || b == 0x7F)) {
            out += byte;
            continue;
        }
        const std::optional<char> kept = held(box, byte);
        if (!kept) return std::nullopt;
        out += *kept;
    }
    if (box.text_limit > 0 && static_cast<int>(out.size()) > box.text_limit) return std::nullopt;
    return out;
}

} // namespace kestrel::ui
