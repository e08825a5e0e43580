#include "ui/context.hpp"

#include <algorithm>
#include <cctype>

namespace kestrel::ui {

namespace {
const Control k_no_control{};

bool is_text_box(const Control& c) { return c.kind == ControlKind::edit; }

bool tells_focus(const Control& c) {
    return c.kind == ControlKind::edit || c.kind == ControlKind::list || c.kind == ControlKind::combo;
}
} // namespace

void Window::on_cancel(Context& ctx) { ctx.command(k_cancel, Notify::clicked); }

Context::Context(Host& host, Window& window, Context* parent)
    : m_host(host), m_window(window), m_parent(parent) {}

void Context::start() { m_form = m_window.build(); }

void Context::init() {
    m_window.on_init(*this);
    if (m_closed || m_focused != 0) return;
    for (const Control& c : m_form.controls) {
        if (takes_focus(c)) {
            focus(c.id);
            break;
        }
    }
}

bool Context::takes_focus(const Control& c) {
    if (!c.enabled || !c.visible || (c.style & no_tab_stop)) return false;
    switch (c.kind) {
    case ControlKind::label:
    case ControlKind::progress:
    case ControlKind::picture:
    case ControlKind::group: return false;
    default: return true;
    }
}

Control* Context::find(int id) {
    auto it = std::find_if(m_form.controls.begin(), m_form.controls.end(),
                           [id](const Control& c) { return c.id == id; });
    return it == m_form.controls.end() ? nullptr : &*it;
}

const Control* Context::find(int id) const { return const_cast<Context*>(this)->find(id); }

bool Context::exists(int id) const { return find(id) != nullptr; }

const Control& Context::control(int id) const {
    const Control* c = find(id);
    return c ? *c : k_no_control;
}

void Context::changed(const Control& control, Change what) {
    if (m_view) m_view->control_changed(control, what);
}

std::string Context::text(int id) const { return control(id).text; }

void Context::set_text(int id, std::string_view text) {
    Control* c = find(id);
    if (!c || c->text == text) return;
    c->text = std::string(text);
    changed(*c, Change::text);
    // As on the platform the windows were designed for, setting a text box's text tells the window.
    if (is_text_box(*c)) command(id, Notify::changed);
}

bool Context::checked(int id) const { return control(id).checked; }

void Context::set_checked(int id, bool on) {
    Control* c = find(id);
    if (!c || c->checked == on) return;
    c->checked = on;
    changed(*c, Change::checked);
}

bool Context::enabled(int id) const { return control(id).enabled; }

void Context::enable(int id, bool on) {
    Control* c = find(id);
    if (!c || c->enabled == on) return;
    c->enabled = on;
    changed(*c, Change::enabled);
}

bool Context::visible(int id) const { return control(id).visible; }

void Context::show(int id, bool on) {
    Control* c = find(id);
    if (!c || c->visible == on) return;
    c->visible = on;
    changed(*c, Change::visible);
}

void Context::focus(int id) { move_focus(id, true); }

void Context::operator_focused(int id) { move_focus(id, false); }

void Context::move_focus(int id, bool tell_view) {
    if (id == m_focused || !exists(id)) return;
    const int old = m_focused;
    m_focused = id;
    if (tell_view && m_view) m_view->focus_changed(id);
    // As on the platform the windows were designed for, only text boxes, lists and combos tell
    // the window about the focus; a button's command always means it was pressed.
    if (old != 0 && tells_focus(control(old))) command(old, Notify::focus_lost);
    if (m_focused == id && tells_focus(control(id))) command(id, Notify::focus_gained);
}

void Context::add_control(Control control) {
    remove_control(control.id);
    m_form.controls.push_back(std::move(control));
    if (m_view) m_view->control_added(m_form.controls.back());
}

void Context::remove_control(int id) {
    auto it = std::find_if(m_form.controls.begin(), m_form.controls.end(),
                           [id](const Control& c) { return c.id == id; });
    if (it == m_form.controls.end()) return;
    m_form.controls.erase(it);
    if (m_focused == id) m_focused = 0;
    if (m_view) m_view->control_removed(id);
}

void Context::move_control(int id, Rect rect) {
    Control* c = find(id);
    if (!c) return;
    c->rect = rect;
    changed(*c, Change::geometry);
}

void Context::clear_items(int id) { set_items(id, {}); }

void Context::add_item(int id, std::string text) {
    Control* c = find(id);
    if (!c) return;
    c->items.push_back(std::move(text));
    c->selected.push_back(false);
    changed(*c, Change::items);
}

void Context::insert_item(int id, int index, std::string text) {
    Control* c = find(id);
    if (!c) return;
    index = std::clamp(index, 0, static_cast<int>(c->items.size()));
    c->items.insert(c->items.begin() + index, std::move(text));
    c->selected.insert(c->selected.begin() + index, false);
    changed(*c, Change::items);
}

void Context::remove_item(int id, int index) {
    Control* c = find(id);
    if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return;
    c->items.erase(c->items.begin() + index);
    c->selected.erase(c->selected.begin() + index);
    changed(*c, Change::items);
}

void Context::set_items(int id, std::vector<std::string> items) {
    Control* c = find(id);
    if (!c) return;
    c->items = std::move(items);
    c->selected.assign(c->items.size(), false);
    c->top_index = 0;
    changed(*c, Change::items);
}

int Context::item_count(int id) const { return static_cast<int>(control(id).items.size()); }

std::string Context::item(int id, int index) const {
    const Control& c = control(id);
    if (index < 0 || index >= static_cast<int>(c.items.size())) return {};
    return c.items[index];
}

int Context::selection(int id) const {
    const Control& c = control(id);
    auto it = std::find(c.selected.begin(), c.selected.end(), true);
    return it == c.selected.end() ? -1 : static_cast<int>(it - c.selected.begin());
}

std::vector<int> Context::selections(int id) const {
    const Control& c = control(id);
    std::vector<int> out;
    for (std::size_t i = 0; i < c.selected.size(); ++i)
        if (c.selected[i]) out.push_back(static_cast<int>(i));
    return out;
}

void Context::select(int id, int index) {
    Control* c = find(id);
    if (!c) return;
    std::fill(c->selected.begin(), c->selected.end(), false);
    if (index >= 0 && index < static_cast<int>(c->selected.size())) {
        c->selected[index] = true;
        if (c->kind == ControlKind::combo) c->text = c->items[index];
    }
    changed(*c, Change::selection);
}

void Context::set_selected(int id, int index, bool on) {
    Control* c = find(id);
    if (!c || index < 0 || index >= static_cast<int>(c->selected.size())) return;
    c->selected[index] = on;
    changed(*c, Change::selection);
}

int Context::top_index(int id) const { return control(id).top_index; }

void Context::set_top_index(int id, int index) {
    Control* c = find(id);
    if (!c) return;
    c->top_index = std::clamp(index, 0, std::max(0, static_cast<int>(c->items.size()) - 1));
    changed(*c, Change::top_index);
}

void Context::redraw(int id) {
    if (const Control* c = find(id)) changed(*c, Change::redraw);
}

void Context::set_progress_range(int id, int minimum, int maximum, int step) {
    Control* c = find(id);
    if (!c) return;
    c->minimum = minimum;
    c->maximum = std::max(minimum, maximum);
    c->step = step;
    c->value = minimum;
    changed(*c, Change::progress);
}

void Context::step_progress(int id) {
    Control* c = find(id);
    if (!c) return;
    // The bar wraps to its start when a step passes the end, as the common progress bar does.
    c->value += c->step;
    if (c->value > c->maximum) c->value = c->minimum + (c->value - c->maximum);
    changed(*c, Change::progress);
}

void Context::set_progress(int id, int value) {
    Control* c = find(id);
    if (!c) return;
    c->value = std::clamp(value, c->minimum, c->maximum);
    changed(*c, Change::progress);
}

void Context::set_caption(std::string caption) {
    m_form.caption = std::move(caption);
    if (m_view) m_view->caption_changed(m_form.caption);
}

namespace {
bool rename_item(std::vector<MenuItem>& items, int id, const std::string& text) {
    for (MenuItem& item : items) {
        if (item.id == id && item.items.empty()) {
            item.text = text;
            return true;
        }
        if (rename_item(item.items, id, text)) return true;
    }
    return false;
}
} // namespace

void Context::set_menu_text(int id, std::string text) {
    if (rename_item(m_form.menu, id, text) && m_view) m_view->menu_changed(id, text);
}

void Context::post(int command) {
    m_posted.push_back(command);
    if (m_view) m_view->command_posted();
}

void Context::run_posted() {
    while (!m_posted.empty() && !m_closed) {
        const int id = m_posted.front();
        m_posted.pop_front();
        command(id, Notify::posted);
    }
}

void Context::start_timer(int id, int milliseconds) {
    m_timers[id] = milliseconds;
    if (m_view) m_view->timer_started(id, milliseconds);
}

void Context::stop_timer(int id) {
    if (m_timers.erase(id) && m_view) m_view->timer_stopped(id);
}

void Context::timer(int id) {
    if (!m_closed && m_timers.count(id)) m_window.on_timer(*this, id);
}

void Context::close(int result) {
    if (m_closed) return;
    m_closed = true;
    m_result = result;
    for (const auto& [id, ms] : m_timers)
        if (m_view) m_view->timer_stopped(id);
    m_timers.clear();
    m_posted.clear();
    if (m_view) m_view->closed();
}

Answer Context::message(std::string_view text, std::string_view title, Icon icon, Buttons buttons) {
    return m_host.message_box(this, Message{std::string(text), std::string(title), icon, buttons});
}

void Context::command(int id, Notify notify) {
    if (m_closed) return;
    m_window.on_command(*this, id, notify);
}

bool Context::key(const KeyStroke& stroke) {
    if (m_closed) return false;
    for (const Accelerator& a : m_form.accelerators) {
        if (a.stroke == stroke) {
            command(a.command, Notify::clicked);
            return true;
        }
    }
    const Control& focused = control(m_focused);
    if (stroke.key == Key::enter && stroke.modifiers == no_modifier) {
        if (focused.kind == ControlKind::edit && (focused.style & multi_line)) return false;
        if (focused.kind == ControlKind::button && focused.enabled) {
            command(focused.id, Notify::clicked);
            return true;
        }
        for (const Control& c : m_form.controls) {
            if (c.kind == ControlKind::button && (c.style & default_button)) {
                if (c.enabled) command(c.id, Notify::clicked);
                return true;
            }
        }
        command(k_ok, Notify::clicked);
        return true;
    }
    if (stroke.key == Key::escape && stroke.modifiers == no_modifier) {
        m_window.on_cancel(*this);
        return true;
    }
    return false;
}

std::string Context::filter_typed(const Control& c, std::string_view typed) const {
    std::string out;
    for (char ch : typed) {
        const auto u = static_cast<unsigned char>(ch);
        if ((c.style & digits_only) && !std::isdigit(u)) continue;
        if (c.refused.find(ch) != std::string::npos) continue;
        out += (c.style & upper_case) && u < 128 ? static_cast<char>(std::toupper(u)) : ch;
    }
    return out;
}

void Context::operator_typed(int id, std::string text) {
    Control* c = find(id);
    if (!c || c->text == text) return;
    c->text = std::move(text);
    command(id, Notify::changed);
}

void Context::operator_clicked(int id) {
    Control* c = find(id);
    if (!c || !c->enabled) return;
    if (c->kind == ControlKind::check_box) {
        c->checked = !c->checked;
        changed(*c, Change::checked);
    } else if (c->kind == ControlKind::option) {
        for (Control& other : m_form.controls) {
            if (other.kind == ControlKind::option && other.group == c->group && other.checked && &other != c) {
                other.checked = false;
                changed(other, Change::checked);
            }
        }
        c = find(id);
        c->checked = true;
        changed(*c, Change::checked);
    }
    command(id, Notify::clicked);
}

void Context::operator_scrolled(int id, int top_index) {
    if (Control* c = find(id)) c->top_index = std::max(0, top_index);
}

void Context::operator_selected(int id, std::vector<bool> selected) {
    Control* c = find(id);
    if (!c) return;
    selected.resize(c->items.size(), false);
    c->selected = std::move(selected);
    if (c->kind == ControlKind::combo) {
        const int s = selection(id);
        if (s >= 0) c->text = c->items[s];
    }
    command(id, Notify::selection_changed);
}

} // namespace kestrel::ui
