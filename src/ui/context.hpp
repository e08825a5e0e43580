#pragma once

#include "ui/form.hpp"
#include "ui/host.hpp"
#include "ui/thread_post.hpp"
#include "ui/window.hpp"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::ui {

enum class Change {
    text,
    checked,
    enabled,
    visible,
    items,
    selection, // a list's selected lines, or a text box's caret and selected characters
    top_index,
    progress,
    redraw,
    geometry,
};

// How a host shows a running form. Every change a window makes to its controls is told here.
class FormView {
  public:
    virtual ~FormView() = default;
    virtual void control_added(const Control& control) = 0;
    virtual void control_removed(int id) = 0;
    virtual void control_changed(const Control& control, Change what) = 0;
    virtual void line_changed(const Control& control, int index) = 0; // one line of a list, in place
    virtual void focus_changed(int id) = 0;
    virtual void caption_changed(const std::string& caption) = 0;
    virtual void menu_changed(int id, const std::string& text) = 0;
    virtual void timer_started(int id, int milliseconds) = 0;
    virtual void timer_stopped(int id) = 0;
    virtual void command_posted() = 0; // run the queue soon, after the current handler
    virtual void closed() = 0;
};

// A running window as its controller sees it: the live state of its form, the operations on
// its controls, and the services of its host. Hosts drive it through `Driver`.
class Context {
  public:
    Context(Host& host, Window& window, Context* parent);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    Host& host() { return m_host; }
    Context* parent() { return m_parent; }
    Window& window() { return m_window; }
    const Form& form() const { return m_form; }

    // Controls. A control number the form does not have is a fault of the window: the host is
    // told (a test fails), reading gives an empty control and changing it does nothing.
    bool exists(int id) const;
    const Control& control(int id) const;
    std::string text(int id) const;
    void set_text(int id, std::string_view text); // a picture's text is its bitmap's name
    bool checked(int id) const;
    void set_checked(int id, bool on);
    bool enabled(int id) const;
    void enable(int id, bool on = true);
    bool visible(int id) const;
    void show(int id, bool on = true);
    int focused() const { return m_focused; }
    // Moves the focus as the keyboard would: a one-line text box given the focus has its text
    // selected; a multi-line box keeps its caret.
    void focus(int id);
    // Moves the focus on as Tab does, forward or back in the tab order (from the keyboard).
    void focus_next(bool backward = false);
    void select_text(int id, TextSelection selection);
    void add_control(Control control);
    void remove_control(int id);
    void move_control(int id, Rect rect);

    // Lists and combos.
    void clear_items(int id);
    void add_item(int id, std::string text);
    void insert_item(int id, int index, std::string text);
    void remove_item(int id, int index);
    void set_item(int id, int index, std::string text); // one line, keeping selection and scroll
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
    // A handle for another thread: its commands arrive here, in order, as posted commands.
    ThreadPost thread_post() const { return ThreadPost(m_inbox); }
    void start_timer(int id, int milliseconds);
    void stop_timer(int id);
    const std::map<int, int>& timers() const { return m_timers; }
    void close(int result = 0);
    bool is_closed() const { return m_closed; }
    int result() const { return m_result; }

    // Services of the host, with this window as owner.
    Answer message(std::string_view text, std::string_view title, Icon icon = Icon::none,
                   Buttons buttons = Buttons::ok);
    // A Yes/No question whose Yes loses the operator's data (records, a typed note): No is the
    // default button, so a hasty Enter loses nothing. True only for Yes.
    bool confirm_loss(std::string_view text, std::string_view title);
    void beep() { m_host.beep(); }
    int run_modal(Window& child) { return m_host.run_modal(child, this); }

  private:
    friend class Driver;

    Control* find(int id);
    const Control* find(int id) const;
    Control* find_or_report(int id);
    const Control* find_or_report(int id) const;
    void changed(const Control& control, Change what);
    void move_focus(int id, bool tell_view, bool select_all);
    void command(int id, Notify notify);
    void run_posted();
    void typed(Control& box, std::string text, TextSelection selection);

    Host& m_host;
    Window& m_window;
    Context* m_parent;
    FormView* m_view = nullptr;
    Form m_form;
    int m_focused = 0;
    std::deque<int> m_posted;
    std::shared_ptr<ThreadInbox> m_inbox = std::make_shared<ThreadInbox>();
    std::map<int, int> m_timers;
    bool m_closed = false;
    int m_result = 0;
};

// How the operator moved the focus.
enum class FocusBy { keyboard, mouse };

// What a host does to a running window: start it, and hand it what the operator did. The rules
// (keys, typing, focus) are decided here, the same for every host.
class Driver {
  public:
    explicit Driver(Context& ctx) : m_ctx(ctx) {}

    void attach(FormView* view) { m_ctx.m_view = view; }
    void start();                        // builds the form; call once before init
    void init();                         // runs on_init and gives the first control the focus
    void command(int id, Notify notify); // runs the handler
    void run_posted();                   // runs the posted commands in order
    void run_thread_posts();             // takes what other threads posted, then runs the queue
    ThreadInbox& inbox() { return *m_ctx.m_inbox; }
    void timer(int id);

    // A key, before the focused control sees it: the window's accelerators, Enter, Escape, Tab
    // and key letters. False when the key is left to the focused control.
    bool key(const KeyStroke& stroke);
    // Whether key() would take the stroke (a host asks before its own shortcuts act).
    bool takes_key(const KeyStroke& stroke) const;

    // Typing into the focused text box: true when taken, false when refused (the host beeps).
    bool type_character(char32_t character);
    void erase(bool forward);
    // The caret keys; false when the focus is not in a text box.
    bool move_caret(Key key, bool extend);
    // What the host's own box reports: the caret and selection the operator set with the mouse or
    // keys, or a whole text put in at once (pasted). A refused text gives false and changes nothing.
    void operator_selected_text(int id, TextSelection selection);
    bool operator_typed(int id, std::string text);

    void operator_focused(int id, FocusBy how);
    void operator_clicked(int id);
    void operator_selected(int id, std::vector<bool> selected);
    void operator_scrolled(int id, int top_index); // the list's first visible line, as scrolled

  private:
    bool key_letter(char letter);
    Context& m_ctx;
};

} // namespace kestrel::ui
