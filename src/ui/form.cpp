#include "ui/form.hpp"

namespace kestrel::ui {

namespace {
Control make(ControlKind kind, int id, std::string text, Rect rect, unsigned style) {
    Control c;
    c.kind = kind;
    c.id = id;
    c.text = std::move(text);
    c.rect = rect;
    c.style = style;
    return c;
}
} // namespace

Control label(int id, std::string text, Rect rect, unsigned style) {
    return make(ControlKind::label, id, std::move(text), rect, style);
}
Control edit(int id, Rect rect, unsigned style) {
    return make(ControlKind::edit, id, {}, rect, style);
}
Control button(int id, std::string text, Rect rect, unsigned style) {
    return make(ControlKind::button, id, std::move(text), rect, style);
}
Control check_box(int id, std::string text, Rect rect, unsigned style) {
    return make(ControlKind::check_box, id, std::move(text), rect, style);
}
Control option(int id, std::string text, Rect rect, int group, unsigned style) {
    Control c = make(ControlKind::option, id, std::move(text), rect, style);
    c.group = group;
    return c;
}
Control combo(int id, Rect rect, unsigned style) {
    return make(ControlKind::combo, id, {}, rect, style);
}
Control list(int id, Rect rect, unsigned style) {
    return make(ControlKind::list, id, {}, rect, style);
}
Control progress(int id, Rect rect) {
    return make(ControlKind::progress, id, {}, rect, plain);
}
Control picture(int id, std::string bitmap, Rect rect) {
    return make(ControlKind::picture, id, std::move(bitmap), rect, plain);
}
Control group_box(int id, std::string text, Rect rect) {
    return make(ControlKind::group, id, std::move(text), rect, plain);
}

} // namespace kestrel::ui
