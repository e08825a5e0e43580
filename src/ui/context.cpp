#include "ui/context.hpp"

#include "ui/key_letters.hpp"
#include "ui/typing.hpp"

#include <algorithm>

namespace kestrel::ui {

namespace {
const Control k_no_control{};

bool is_text_box(const Control& c) {
    return c.kind == ControlKind::edit;
}

bool has_caret(const Control& c) {
    return c.kind == ControlKind::edit || (c.kind == ControlKind::combo && (c.style & editable));
}

// A box reached from the keyboard has its text selected, so that typing replaces it; not a
// multi-line box, which holds a document (a note pad's notes) that one key must not wipe out.
bool selects_all_on_focus(const Control& c) {
    return has_caret(c) && !(c.kind == ControlKind::edit && (c.style & multi_line));
}

bool tells_focus(const Control& c) {
    return c.kind == ControlKind::edit || c.kind == ControlKind::list || c.kind == ControlKind::combo;
}

TextSelection whole(const std::string& text) {
    return {0, static_cast<int>(text.size())};
}
TextSelection at_end(const std::string& text) {
    const int end = static_cast<int>(text.size());
    return {end, end};
}
} // namespace

void Window::on_cancel(Context& ctx) {
    Driver(ctx).command(k_cancel, Notify::clicked);
}

Context::Context(Host& host, Window& window, Context* parent)
    : m_host(host), m_window(window), m_parent(parent) {}

Context::~Context() {
    m_inbox->close();
}

Control* Context::find(int id) {
    auto it = std::find_if(m_form.controls.begin(), m_form.controls.end(),
                           [id](const Control& c) { return c.id == id; });
    return it == m_form.controls.end() ? nullptr : &*it;
}

const Control* Context::find(int id) const {
    return const_cast<Context*>(this)->find(id);
}

Control* Context::find_or_report(int id) {
    Control* c = find(id);
    if (!c) m_host.fault("window \"" + m_form.caption + "\" has no control " + std::to_string(id));
    return c;
}

const Control* Context::find_or_report(int id) const {
    return const_cast<Context*>(this)->find_or_report(id);
}

bool Context::exists(int id) const {
    return find(id) != nullptr;
}

const Control& Context::control(int id) const {
    const Control* c = find_or_report(id);
    return c ? *c : k_no_control;
}

void Context::changed(const Control& control, Change what) {
    if (m_view) m_view->control_changed(control, what);
}

std::string Context::text(int id) const {
    return control(id).text;
}

void Context::set_text(int id, std::string_view text) {
    Control* c = find_or_report(id);
    if (!c || c->text == text) return;
    c->text = std::string(text);
    if (has_caret(*c)) c->selection = at_end(c->text);
    changed(*c, Change::text);
    // As on the platform the windows were designed for, setting a text box's text tells the window.
    if (is_text_box(*c)) command(id, Notify::changed);
}

bool Context::checked(int id) const {
    return control(id).checked;
}

void Context::set_checked(int id, bool on) {
    Control* c = find_or_report(id);
    if (!c || c->checked == on) return;
    c->checked = on;
    changed(*c, Change::checked);
}

bool Context::enabled(int id) const {
    return control(id).enabled;
}

void Context::enable(int id, bool on) {
    Control* c = find_or_report(id);
    if (!c || c->enabled == on) return;
    c->enabled = on;
    changed(*c, Change::enabled);
}

bool Context::visible(int id) const {
    return control(id).visible;
}

void Context::show(int id, bool on) {
    Control* c = find_or_report(id);
    if (!c || c->visible == on) return;
    c->visible = on;
    changed(*c, Change::visible);
}

void Context::focus(int id) {
    if (!find_or_report(id)) return;
    move_focus(id, true, true);
}

void Context::focus_next(bool backward) {
    const int next =
        next_in_tab_order(m_form.controls, m_focused, backward ? Direction::backward : Direction::forward);
    if (next != 0) focus(next);
}

void Context::select_text(int id, TextSelection selection) {
    Control* c = find_or_report(id);
    if (!c || !has_caret(*c)) return;
    const int size = static_cast<int>(c->text.size());
    selection.anchor = std::clamp(selection.anchor, 0, size);
    selection.caret = std::clamp(selection.caret, 0, size);
    if (c->selection == selection) return;
    c->selection = selection;
    changed(*c, Change::selection);
}

void Context::move_focus(int id, bool tell_view, bool select_all) {
    if (id == m_focused) {
        if (select_all && selects_all_on_focus(control(id))) select_text(id, whole(control(id).text));
        return;
    }
    if (!exists(id)) return;
    const int old = m_focused;
    m_focused = id;
    if (select_all && selects_all_on_focus(control(id))) select_text(id, whole(control(id).text));
    if (tell_view && m_view) m_view->focus_changed(id);
    // As on the platform the windows were designed for, only text boxes, lists and combos tell
    // the window about the focus; a button's command always means it was pressed.
    if (old != 0 && exists(old) && tells_focus(control(old))) command(old, Notify::focus_lost);
    if (m_focused == id && tells_focus(control(id))) command(id, Notify::focus_gained);
}

void Context::add_control(Control control) {
    if (exists(control.id)) remove_control(control.id);
    m_form.controls.push_back(std::move(control));
    if (m_view) m_view->control_added(m_form.controls.back());
}

void Context::remove_control(int id) {
    auto it = std::find_if(m_form.controls.begin(), m_form.controls.end(),
                           [id](const Control& c) { return c.id == id; });
    if (it == m_form.controls.end()) return; // taking away what is not there is no fault
    m_form.controls.erase(it);
    if (m_focused == id) m_focused = 0;
    if (m_view) m_view->control_removed(id);
}

void Context::move_control(int id, Rect rect) {
    Control* c = find_or_report(id);
    if (!c) return;
    c->rect = rect;
    changed(*c, Change::geometry);
}

void Context::clear_items(int id) {
    set_items(id, {});
}

void Context::add_item(int id, std::string text) {
    Control* c = find_or_report(id);
    if (!c) return;
    c->items.push_back(std::move(text));
    c->selected.push_back(false);
    changed(*c, Change::items);
}

void Context::insert_item(int id, int index, std::string text) {
    Control* c = find_or_report(id);
    if (!c) return;
    index = std::clamp(index, 0, static_cast<int>(c->items.size()));
    c->items.insert(c->items.begin() + index, std::move(text));
    c->selected.insert(c->selected.begin() + index, false);
    changed(*c, Change::items);
}

void Context::remove_item(int id, int index) {
    Control* c = find_or_report(id);
    if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return;
    c->items.erase(c->items.begin() + index);
    c->selected.erase(c->selected.begin() + index);
    changed(*c, Change::items);
}

void Context::set_item(int id, int index, std::string text) {
    Control* c = find_or_report(id);
    if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return;
    if (c->items[index] == text) return;
    c->items[index] = std::move(text);
    if (m_view) m_view->line_changed(*c, index);
}

void Context::set_items(int id, std::vector<std::string> items) {
    Control* c = find_or_report(id);
    if (!c) return;
    c->items = std::move(items);
    c->selected.assign(c->items.size(), false);
    c->top_index = 0;
    changed(*c, Change::items);
}

int Context::item_count(int id) const {
    return static_cast<int>(control(id).items.size());
}

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
    Control* c = find_or_report(id);
    if (!c) return;
    std::fill(c->selected.begin(), c->selected.end(), false);
    if (index >= 0 && index < static_cast<int>(c->selected.size())) {
        c->selected[index] = true;
        if (c->kind == ControlKind::combo) c->text = c->items[index];
    }
    changed(*c, Change::selection);
}

void Context::set_selected(int id, int index, bool on) {
    Control* c = find_or_report(id);
    if (!c || index < 0 || index >= static_cast<int>(c->selected.size())) return;
    c->selected[index] = on;
    changed(*c, Change::selection);
}

int Context::top_index(int id) const {
    return control(id).top_index;
}

void Context::set_top_index(int id, int index) {
    Control* c = find_or_report(id);
    if (!c) return;
    c->top_index = std::clamp(index, 0, std::max(0, static_cast<int>(c->items.size()) - 1));
    changed(*c, Change::top_index);
}

void Context::redraw(int id) {
    if (const Control* c = find_or_report(id)) changed(*c, Change::redraw);
}

void Context::set_progress_range(int id, int minimum, int maximum, int step) {
    Control* c = find_or_report(id);
    if (!c) return;
    c->minimum = minimum;
    c->maximum = std::max(minimum, maximum);
    c->step = step;
    c->value = minimum;
    changed(*c, Change::progress);
}

void Context::step_progress(int id) {
    Control* c = find_or_report(id);
    if (!c) return;
    // The bar wraps to its start when a step passes the end, as the common progress bar does.
    c->value += c->step;
    if (c->value > c->maximum) c->value = c->minimum + (c->value - c->maximum);
    changed(*c, Change::progress);
}

void Context::set_progress(int id, int value) {
    Control* c = find_or_report(id);
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

void Context::close(int result) {
    if (m_closed) return;
    m_closed = true;
    m_result = result;
    m_inbox->close();
    for (const auto& [id, ms] : m_timers)
        if (m_view) m_view->timer_stopped(id);
    m_timers.clear();
    m_posted.clear();
    if (m_view) m_view->closed();
}

Answer Context::message(std::string_view text, std::string_view title, Icon icon, Buttons buttons) {
    return m_host.message_box(this, Message{std::string(text), std::string(title), icon, buttons});
}

bool Context::confirm_loss(std::string_view text, std::string_view title) {
    Message question{std::string(text), std::string(title), Icon::question, Buttons::yes_no};
    question.default_answer = Answer::no;
    return m_host.message_box(this, question) == Answer::yes;
}

void Context::command(int id, Notify notify) {
    if (m_closed) return;
    m_window.on_command(*this, id, notify);
}

void Context::typed(Control& box, std::string text, TextSelection selection) {
    const bool new_text = box.text != text;
    box.text = std::move(text);
    box.selection = selection;
    const int id = box.id;
    if (new_text) changed(box, Change::text);
    changed(box, Change::selection);
    if (new_text) command(id, Notify::changed);
}

// The host's side.

void Driver::start() {
    m_ctx.m_form = m_ctx.m_window.build();
    // A list built with its lines has a selection flag for each, none set unless the form says.
    for (Control& c : m_ctx.m_form.controls)
        c.selected.resize(c.items.size(), false);
}

void Driver::init() {
    m_ctx.m_window.on_init(m_ctx);
    if (m_ctx.m_closed || m_ctx.m_focused != 0) return;
    const int first = next_in_tab_order(m_ctx.m_form.controls, 0, Direction::forward);
    if (first != 0) m_ctx.focus(first);
}

void Driver::command(int id, Notify notify) {
    m_ctx.command(id, notify);
}

void Driver::run_posted() {
    m_ctx.run_posted();
}

void Driver::run_thread_posts() {
    for (int id : m_ctx.m_inbox->take()) {
        if (m_ctx.m_closed) return;
        m_ctx.m_posted.push_back(id);
    }
    m_ctx.run_posted();
}

void Driver::timer(int id) {
    if (!m_ctx.m_closed && m_ctx.m_timers.count(id)) m_ctx.m_window.on_timer(m_ctx, id);
}

namespace {
// A key letter: Alt and a character anywhere; a bare character where the focus is on a control
// that does not take characters itself (a button, check box or option).
char letter_of(const KeyStroke& stroke, const Control& focused) {
    if (stroke.key != Key::character || (stroke.modifiers & control)) return 0;
    if (stroke.modifiers & alt) return stroke.character;
    const bool presses = focused.kind == ControlKind::button || focused.kind == ControlKind::check_box ||
                         focused.kind == ControlKind::option;
    return presses ? stroke.character : 0;
}
} // namespace

bool Driver::takes_key(const KeyStroke& stroke) const {
    if (m_ctx.m_closed) return false;
    for (const Accelerator& a : m_ctx.m_form.accelerators)
        if (a.stroke == stroke) return true;
    if (stroke.modifiers == no_modifier && (stroke.key == Key::enter || stroke.key == Key::escape))
        return true;
    if (stroke.key == Key::tab && (stroke.modifiers & ~shift) == 0) return true;
    const Control* focused = m_ctx.find(m_ctx.m_focused);
    const char letter = letter_of(stroke, focused ? *focused : k_no_control);
    return letter != 0 && key_letter_target(m_ctx.m_form.controls, m_ctx.m_focused, letter).has_value();
}

bool Driver::key(const KeyStroke& stroke) {
    Context& ctx = m_ctx;
    if (ctx.m_closed) return false;
    for (const Accelerator& a : ctx.m_form.accelerators) {
        if (a.stroke == stroke) {
            ctx.command(a.command, Notify::clicked);
            return true;
        }
    }
    const Control* found = ctx.find(ctx.m_focused);
    const Control& focused = found ? *found : k_no_control;
    if (stroke.key == Key::enter && stroke.modifiers == no_modifier) {
        if (focused.kind == ControlKind::edit && (focused.style & multi_line)) return false;
        if (focused.kind == ControlKind::button && focused.enabled) {
            ctx.command(focused.id, Notify::clicked);
            return true;
        }
        for (const Control& c : ctx.m_form.controls) {
            if (c.kind == ControlKind::button && (c.style & default_button)) {
                if (c.enabled) ctx.command(c.id, Notify::clicked);
                return true;
            }
        }
        ctx.command(k_ok, Notify::clicked);
        return true;
    }
    if (stroke.key == Key::escape && stroke.modifiers == no_modifier) {
        ctx.m_window.on_cancel(ctx);
        return true;
    }
    if (stroke.key == Key::tab && (stroke.modifiers & ~shift) == 0) {
        ctx.focus_next((stroke.modifiers & shift) != 0);
        return true;
    }
    if (const char letter = letter_of(stroke, focused)) return key_letter(letter);
    return false;
}

bool Driver::key_letter(char letter) {
    Context& ctx = m_ctx;
    const auto target = key_letter_target(ctx.m_form.controls, ctx.m_focused, letter);
    if (!target) return false;
    if (target->press) {
        operator_focused(target->id, FocusBy::keyboard);
        if (ctx.m_view) ctx.m_view->focus_changed(target->id);
        operator_clicked(target->id);
    } else {
        ctx.focus(target->id);
    }
    return true;
}

bool Driver::type_character(char32_t character) {
    Control* box = m_ctx.find(m_ctx.m_focused);
    if (!box || !takes_typing(*box)) return false;
    EditText edit{box->text, box->selection};
    if (ui::type_character(*box, edit, character) == Typed::refused) return false;
    m_ctx.typed(*box, std::move(edit.text), edit.selection);
    return true;
}

void Driver::erase(bool forward) {
    Control* box = m_ctx.find(m_ctx.m_focused);
    if (!box || !takes_typing(*box)) return;
    EditText edit{box->text, box->selection};
    erase_character(edit, forward ? Erase::forward : Erase::back);
    m_ctx.typed(*box, std::move(edit.text), edit.selection);
}

bool Driver::move_caret(Key key, bool extend) {
    Control* box = m_ctx.find(m_ctx.m_focused);
    if (!box || !has_caret(*box)) return false;
    EditText edit{box->text, box->selection};
    if (!ui::move_caret(edit, key, extend)) return false;
    m_ctx.select_text(box->id, edit.selection);
    return true;
}

void Driver::operator_selected_text(int id, TextSelection selection) {
    Control* c = m_ctx.find(id);
    if (!c || !has_caret(*c)) return;
    const int size = static_cast<int>(c->text.size());
    c->selection = {std::clamp(selection.anchor, 0, size), std::clamp(selection.caret, 0, size)};
}

bool Driver::operator_typed(int id, std::string text) {
    Control* c = m_ctx.find(id);
    if (!c) return false;
    if (c->text == text) return true;
    std::optional<std::string> accepted = accept_text(*c, text);
    if (!accepted) {
        m_ctx.changed(*c, Change::text); // the host shows the box's own text again
        return false;
    }
    const bool adjusted = *accepted != text; // taken as the box holds it, in capitals say
    c->text = std::move(*accepted);
    c->selection = at_end(c->text);
    if (adjusted) m_ctx.changed(*c, Change::text);
    m_ctx.command(id, Notify::changed);
    return true;
}

void Driver::operator_focused(int id, FocusBy how) {
    m_ctx.move_focus(id, false, how == FocusBy::keyboard);
}

void Driver::operator_clicked(int id) {
    Control* c = m_ctx.find(id);
    if (!c || !c->enabled) return;
    if (c->kind == ControlKind::check_box) {
        c->checked = !c->checked;
        m_ctx.changed(*c, Change::checked);
    } else if (c->kind == ControlKind::option) {
        for (Control& other : m_ctx.m_form.controls) {
            if (other.kind == ControlKind::option && other.group == c->group && other.checked &&
                &other != c) {
                other.checked = false;
                m_ctx.changed(other, Change::checked);
            }
        }
        c = m_ctx.find(id);
        c->checked = true;
        m_ctx.changed(*c, Change::checked);
    }
    m_ctx.command(id, Notify::clicked);
}

void Driver::operator_scrolled(int id, int top_index) {
    if (Control* c = m_ctx.find(id)) c->top_index = std::max(0, top_index);
}

void Driver::operator_selected(int id, std::vector<bool> selected) {
    Control* c = m_ctx.find(id);
    if (!c) return;
    selected.resize(c->items.size(), false);
    c->selected = std::move(selected);
    if (c->kind == ControlKind::combo) {
        const int s = m_ctx.selection(id);
        if (s >= 0) c->text = c->items[s];
    }
    m_ctx.command(id, Notify::selection_changed);
}

} // namespace kestrel::ui
