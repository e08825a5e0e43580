#include "ui/key_letters.hpp"

#include "common/windows1252.hpp"

#include <algorithm>

namespace kestrel::ui {

namespace {

int index_of(const std::vector<Control>& controls, int id) {
    auto it = std::find_if(controls.begin(), controls.end(), [id](const Control& c) { return c.id == id; });
    return it == controls.end() ? -1 : static_cast<int>(it - controls.begin());
}

bool leads_on(const Control& c) {
    return c.kind == ControlKind::label || c.kind == ControlKind::group;
}

bool can_be_pressed(const Control& c) {
    return c.kind == ControlKind::button || c.kind == ControlKind::check_box || c.kind == ControlKind::option;
}

// A control whose key letter counts: a visible label or frame, or a button that can be used.
bool answers_letter(const Control& c, char letter) {
    if (!c.visible || key_letter_of(c.text) != letter) return false;
    if (leads_on(c)) return true;
    return can_be_pressed(c) && c.enabled;
}

} // namespace

char key_letter_of(std::string_view text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return windows1252_upper(text[i + 1]);
    }
    return 0;
}

bool takes_focus(const Control& c) {
    if (!c.enabled || !c.visible || (c.style & no_tab_stop)) return false;
    switch (c.kind) {
    case ControlKind::label:
    case ControlKind::progress:
    case ControlKind::picture:
    case ControlKind::group: return false;
    default: return true;
    }
}

int next_in_tab_order(const std::vector<Control>& controls, int from, Direction direction) {
    const int n = static_cast<int>(controls.size());
    int i = index_of(controls, from);
    if (i < 0 && direction == Direction::backward) i = n;
    for (int step = 0; step < n; ++step) {
        i = direction == Direction::forward ? (i + 1) % n : (i - 1 + n) % n;
        if (takes_focus(controls[i])) return controls[i].id;
    }
    return 0;
}

std::optional<LetterTarget> key_letter_target(const std::vector<Control>& controls, int focused,
                                              char letter) {
    if (letter == 0) return std::nullopt;
    letter = windows1252_upper(letter);
    const int n = static_cast<int>(controls.size());
    const int start = index_of(controls, focused);
    int first = -1;
    int holders = 0;
    for (int step = 1; step <= n; ++step) {
        const int i = ((start < 0 ? -1 : start) + step + n) % n;
        if (!answers_letter(controls[i], letter)) continue;
        ++holders;
        if (first < 0) first = i;
    }
    if (first < 0) return std::nullopt;
    const Control& c = controls[first];
    if (leads_on(c)) {
        const int next = next_in_tab_order(controls, c.id, Direction::forward);
        if (next == 0) return std::nullopt;
        return LetterTarget{next, false};
    }
    return LetterTarget{c.id, holders == 1};
}

} // namespace kestrel::ui
