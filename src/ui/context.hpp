#pragma once

#include "ui/form.hpp"
#include "ui/host.hpp"
#include "ui/window.hpp"

#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::ui {

enum class Change { text, checked, enabled, visible, items, selection, top_index, progress, redraw, geometry };

// How a host shows a running form. Every change a window makes to its controls is told here.
class FormView {
public:
    virtual ~FormView() = default;
    virtual void control_added(const Control& control) = 0;
    virtual void control_removed(int id) = 0;
    virtual void control_changed(const Control& control, Change what) = 0;
    virtual void focus_changed(int id) = 0;
    virtual void caption_changed(const std::string& caption) = 0;
    virtual void menu_changed(int id, const std::string& text) = 0;
    virtual void timer_started(int id, int milliseconds) = 0;
    virtual void timer_stopped(int id) = 0;
    virtual void command_posted() = 0; // run the queue soon, after the current handler
    virtual void closed() = 0;
};

// A running window: the live state of its form, the services of its host, and the
// operations its controller calls. Reading a control reads this state; the host keeps
// it in step with what the operator does.
class Context {
public:
    Context(Host& host, Window& window, Context* parent);
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    Host& host() { return m_host; }
    Context* parent() { return m_parent; }
    Window& window() { return m_window; }
    const Form& form() const { return m_form; }
    void attach(FormView* view) { m_view = view; }

    // Controls.
    bool exists(int id) const;
    const Control& control(int id) const;
    std::string text(int id) const;
    void set_text(int id, std::string_view text);
    bool checked(int id) const;
    void set_checked(int id, bool on);
    bool enabled(int id) const;
    void enable(int id, bool on = true);
    bool visible(int id) const;
    void show(int id, bool on = true);
    int focused() const { return m_focused; }
    void focus(int id);
    void add_control(Control control);
    void remove_control(int id);
    void move_control(int id, Rect rect);

    // Lists and combos.
    void clear_items(int id);
    void add_item(int id, std::string text);
    void insert_item(int id, int index, std::string text);
    void remove_item(int id, int index);
    void set_items(int id, std::vector<std::string> items);
    int item_count(int id) const;
    std::string item(int id, int index) const;
    int selection(int id) const; // the first selected line, -1 for none
    std::vector<int> selections(int id) const;
    void select(int id, int index); // the only selected line; -1 clears
    void set_selected(int id, int index, bool on);
    int top_index(int id) const;
    void set_top_index(int id, int index);
    void redraw(int id);

    // Progress bars.
    void set_progress_range(int id, int minimum, int maximum, int step = 1);
    void step_progress(int id);
    void set_progress(int id, int value);

    // The window as a whole.
    const std::string& caption() const { return m_form.caption; }
    void set_caption(std::string caption);
    void set_menu_text(int id, std::string text);
    void post(int command);
    void start_timer(int id, int milliseconds);
    void stop_timer(int id);
    const std::map<int, int>& timers() const { return m_timers; }
    void close(int result = 0);
    bool is_closed() const { return m_closed; }
    int result() const { return m_result; }

    // Services of the host, with this window as owner.
    Answer message(std::string_view text, std::string_view title, Icon icon = Icon::none,
                   Buttons buttons = Buttons::ok);
    void beep() { m_host.beep(); }
    int run_modal(Window& child) { return m_host.run_modal(child, this); }

    // Called by hosts.
    void start();                              // builds the form; call once before init
    void init();                               // runs on_init and gives the first control the focus
    void command(int id, Notify notify);       // runs the handler
    void run_posted();                         // runs the posted commands in order
    bool key(const KeyStroke& stroke);         // false when the key is left to the focused control
    void operator_typed(int id, std::string text); // an edit's new text, typed by the operator
    void operator_focused(int id);
    void operator_clicked(int id);
    void operator_selected(int id, std::vector<bool> selected);
    void operator_scrolled(int id, int top_index); // the list's first visible line, as scrolled
    void timer(int id);
    std::string filter_typed(const Control& control, std::string_view typed) const;
    static bool takes_focus(const Control& control);

private:
    Control& mutable_control(int id);
    Control* find(int id);
    const Control* find(int id) const;
    void changed(const Control& control, Change what);
    void move_focus(int id, bool tell_view);

    Host& m_host;
    Window& m_window;
    Context* m_parent;
    FormView* m_view = nullptr;
    Form m_form;
    int m_focused = 0;
    std::deque<int> m_posted;
    std::map<int, int> m_timers;
    bool m_closed = false;
    int m_result = 0;
};

} // namespace kestrel::ui
