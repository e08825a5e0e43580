#include "ui/test_host.hpp"

#include "common/windows1252.hpp"
#include "ui/key_letters.hpp"
#include "ui/typing.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace kestrel::ui {

namespace {

using Steady = std::chrono::steady_clock;

// Keeps what a window asks of the screen that matters without one: its timers, on steady time.
class TestView final : public FormView {
  public:
    struct Timer {
        int interval = 0;
        Steady::time_point due;
    };
    explicit TestView(const TestHost& host) : m_host(host) {}
    void control_added(const Control&) override {}
    void control_removed(int) override {}
    void control_changed(const Control&, Change) override {}
    void line_changed(const Control&, int) override {}
    void focus_changed(int) override {}
    void caption_changed(const std::string&) override {}
    void menu_changed(int, const std::string&) override {}
    void timer_started(int id, int ms) override {
        timers[id] = Timer{ms, m_host.steady_now() + std::chrono::milliseconds(std::max(ms, 1))};
    }
    void timer_stopped(int id) override { timers.erase(id); }
    void command_posted() override {}
    void closed() override {}
    std::map<int, Timer> timers;

  private:
    const TestHost& m_host;
};

void print_and_abort(const std::string& what) {
    std::fprintf(stderr, "test host: %s\n", what.c_str());
    std::abort();
}

TestHost::SurpriseHandler g_surprise_handler = &print_and_abort;

// The key a character is on, for the window's keys to see first.
std::optional<KeyStroke> stroke_of(char32_t ch) {
    if (ch < 0x20 || ch >= 0x7F) return std::nullopt;
    const char c = static_cast<char>(ch);
    return KeyStroke{Key::character, no_modifier, (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c};
}

} // namespace

struct TestHost::Running {
    Running(TestHost& host, Window& window, Context* parent)
        : view(host), ctx(host, window, parent), driver(ctx) {
        driver.attach(&view);
    }
    TestView view;
    Context ctx;
    Driver driver;
};

std::string RecordingCanvas::all_text() const {
    std::string out;
    for (const Op& op : ops)
        if (op.kind == OpKind::text) out += op.words;
    return out;
}

TestHost::TestHost(int screen_height) : m_screen_height(screen_height) {}
TestHost::~TestHost() = default;

void TestHost::set_surprise_handler(SurpriseHandler handler) {
    g_surprise_handler = handler ? handler : &print_and_abort;
}

void TestHost::surprise(std::string what) {
    m_surprises.push_back(what);
    if (!m_surprises_expected) g_surprise_handler(what);
}

TestHost::Running& TestHost::start(Window& window, Context* parent) {
    m_running.push_back(std::make_unique<Running>(*this, window, parent));
    Running& r = *m_running.back();
    r.driver.start();
    r.driver.init();
    r.driver.run_posted();
    return r;
}

TestRun TestHost::open_window(Window& window) {
    Running& r = start(window, nullptr);
    return TestRun(*this, r.ctx);
}

int TestHost::run_modal(Window& window, Context* parent) {
    Running& r = start(window, parent);
    m_modal_captions.push_back(r.ctx.caption());
    if (!r.ctx.is_closed()) {
        if (m_scripts.empty()) {
            surprise("no script for window \"" + r.ctx.caption() + "\"");
        } else {
            auto script = std::move(m_scripts.front());
            m_scripts.pop_front();
            TestRun run(*this, r.ctx);
            script(run);
            if (!r.ctx.is_closed()) surprise("window \"" + r.ctx.caption() + "\" left open");
        }
        // A window nobody closed goes as the operator would close it: with Escape.
        if (!r.ctx.is_closed()) r.ctx.window().on_cancel(r.ctx);
        r.ctx.close(k_cancel);
    }
    const int result = r.ctx.result();
    auto it = std::find_if(m_running.begin(), m_running.end(), [&](const auto& p) { return p.get() == &r; });
    m_running.erase(it);
    return result;
}

namespace {

Answer first_answer(Buttons buttons) {
    switch (buttons) {
    case Buttons::ok:
    case Buttons::ok_cancel: return Answer::ok;
    case Buttons::retry_cancel: return Answer::retry;
    default: return Answer::yes;
    }
}

} // namespace

Answer TestHost::message_box(Context*, const Message& message) {
    m_messages.push_back(message);
    if (!m_answers.empty()) {
        const Expected e = m_answers.front();
        m_answers.pop_front();
        if (!e.text.empty() && e.text != message.text)
            surprise("message \"" + message.text + "\" where \"" + e.text + "\" was expected");
        if (e.enter) return message.default_answer.value_or(first_answer(message.buttons));
        return e.answer;
    }
    // A message nobody planned for is answered with the choice that changes nothing.
    surprise("unexpected message \"" + message.text + "\"");
    switch (message.buttons) {
    case Buttons::ok: return Answer::ok;
    case Buttons::ok_cancel:
    case Buttons::retry_cancel: return Answer::cancel;
    default: return Answer::no;
    }
}
std::optional<std::string> TestHost::input_box(Context*, const InputRequest& request) {
    m_input_requests.push_back(request);
    if (m_inputs.empty()) {
        surprise("unanswered input box \"" + request.title + "\"");
        return std::nullopt;
    }
    auto text = std::move(m_inputs.front());
    m_inputs.pop_front();
    return text;
}

std::optional<std::string> TestHost::open_file(Context*, const FileRequest& request) {
    m_file_requests.push_back(request);
    if (m_files.empty()) {
        surprise("unanswered file dialog \"" + request.title + "\"");
        return std::nullopt;
    }
    auto path = std::move(m_files.front());
    m_files.pop_front();
    return path;
}

std::unique_ptr<printing::Printer> TestHost::choose_printer(Context*) {
    PrinterAnswer answer = PrinterAnswer::give;
    if (!m_printer_answers.empty()) {
        answer = m_printer_answers.front();
        m_printer_answers.pop_front();
    }
    if (answer == PrinterAnswer::cancel) return nullptr;
    m_print_jobs.push_back(std::make_shared<printing::PrintedJob>());
    return std::make_unique<printing::RecordingPrinter>(m_print_jobs.back(),
                                                        answer == PrinterAnswer::fail_at_end);
}

std::optional<std::string> TestHost::choose_directory(Context*, const std::string& title,
                                                      const std::string&) {
    if (m_directories.empty()) {
        surprise("unanswered directory dialog \"" + title + "\"");
        return std::nullopt;
    }
    auto path = std::move(m_directories.front());
    m_directories.pop_front();
    return path;
}

std::vector<std::string> TestHost::message_texts() const {
    std::vector<std::string> out;
    for (const Message& m : m_messages)
        out.push_back(m.text);
    return out;
}

void TestHost::take_thread_posts() {
    for (std::size_t i = 0; i < m_running.size(); ++i)
        if (!m_running[i]->ctx.is_closed()) m_running[i]->driver.run_thread_posts();
}

void TestHost::advance(std::chrono::milliseconds by) {
    const Steady::time_point end = m_steady + by;
    const Clock::time_point wall_start = m_now;
    const Steady::time_point steady_start = m_steady;
    take_thread_posts();
    for (;;) {
        Running* next = nullptr;
        int next_id = 0;
        Steady::time_point due = Steady::time_point::max();
        for (auto& r : m_running) {
            if (r->ctx.is_closed()) continue;
            for (auto& [id, t] : r->view.timers) {
                if (t.due < due) {
                    due = t.due;
                    next = r.get();
                    next_id = id;
                }
            }
        }
        if (!next || due > end) break;
        m_steady = due;
        m_now = wall_start + std::chrono::duration_cast<Clock::duration>(due - steady_start);
        auto& timer = next->view.timers[next_id];
        timer.due = due + std::chrono::milliseconds(std::max(timer.interval, 1));
        next->driver.timer(next_id);
        next->driver.run_posted();
        take_thread_posts();
    }
    m_steady = end;
    m_now = wall_start + std::chrono::duration_cast<Clock::duration>(end - steady_start);
    take_thread_posts();
}

void TestRun::beep() {
    m_host->beep();
}

TestRun& TestRun::settle() {
    Driver(*m_ctx).run_posted();
    return *this;
}

TestRun& TestRun::type(std::string_view text) {
    Driver driver(*m_ctx);
    for (char32_t ch : code_points_of_utf8(text)) {
        if (m_ctx->is_closed()) break;
        if (const auto stroke = stroke_of(ch); stroke && driver.key(*stroke)) {
            settle();
            continue;
        }
        if (!driver.type_character(ch)) beep();
        settle();
    }
    return *this;
}

TestRun& TestRun::type_into(int id, std::string_view text) {
    focus(id);
    return type(text);
}

TestRun& TestRun::replace(int id, std::string_view text) {
    focus(id);
    if (text.empty()) {
        Driver(*m_ctx).erase(false);
        settle();
    }
    return type(text);
}

TestRun& TestRun::key(Key key, unsigned modifiers) {
    Driver driver(*m_ctx);
    const KeyStroke stroke{key, modifiers, 0};
    if (driver.key(stroke)) return settle();
    const Control c = m_ctx->exists(m_ctx->focused()) ? m_ctx->control(m_ctx->focused()) : Control{};
    switch (key) {
    case Key::enter:
        // The window left Enter to a multi-line box, where it starts a new line.
        if (takes_typing(c) && !driver.type_character(U'\r')) beep();
        break;
    case Key::backspace:
    case Key::del: driver.erase(key == Key::del); break;
    case Key::left:
    case Key::right:
    case Key::home:
    case Key::end: driver.move_caret(key, (modifiers & shift) != 0); break;
    case Key::up:
    case Key::down:
        if (c.kind == ControlKind::list || c.kind == ControlKind::combo) {
            const int count = static_cast<int>(c.items.size());
            const int now = m_ctx->selection(c.id);
            const int next = std::clamp(now + (key == Key::down ? 1 : -1), 0, count - 1);
            if (count > 0 && next != now) select(c.id, next);
        }
        break;
    default: break;
    }
    return settle();
}

TestRun& TestRun::alt(char letter) {
    Driver(*m_ctx).key(KeyStroke{Key::character, ui::alt, windows1252_upper(letter)});
    return settle();
}

TestRun& TestRun::click(int id) {
    const Control& c = m_ctx->control(id);
    if (!c.enabled || !c.visible) return *this;
    Driver driver(*m_ctx);
    if (takes_focus(c)) driver.operator_focused(id, FocusBy::mouse);
    driver.operator_clicked(id);
    return settle();
}

TestRun& TestRun::command(int id) {
    Driver(*m_ctx).command(id, Notify::clicked);
    return settle();
}

TestRun& TestRun::focus(int id) {
    m_ctx->focus(id);
    return settle();
}

TestRun& TestRun::click_into(int id) {
    Driver(*m_ctx).operator_focused(id, FocusBy::mouse);
    return settle();
}

TestRun& TestRun::select(int id, int index) {
    std::vector<bool> selected(m_ctx->item_count(id), false);
    if (index >= 0 && index < static_cast<int>(selected.size())) selected[index] = true;
    Driver(*m_ctx).operator_selected(id, std::move(selected));
    return settle();
}

TestRun& TestRun::select_many(int id, std::vector<int> indexes) {
    std::vector<bool> selected(m_ctx->item_count(id), false);
    for (int i : indexes)
        if (i >= 0 && i < static_cast<int>(selected.size())) selected[i] = true;
    Driver(*m_ctx).operator_selected(id, std::move(selected));
    return settle();
}

TestRun& TestRun::double_click(int id, int index) {
    select(id, index);
    Driver(*m_ctx).command(id, Notify::double_clicked);
    return settle();
}
TestRun& TestRun::close_box() {
    m_ctx->window().on_close_box(*m_ctx);
    return settle();
}

TestRun& TestRun::mouse_up(Point where) {
    m_ctx->window().on_mouse_up(*m_ctx, where);
    return settle();
}

RecordingCanvas TestRun::draw(int id, int index, bool selected) {
    RecordingCanvas canvas;
    const Control& c = m_ctx->control(id);
    const int h = c.item_height > 0 ? c.item_height : canvas.line_height() + c.item_height;
    DrawItem item{id, index, Rect{0, (index - c.top_index) * h, c.rect.w * 2, h}, selected, false};
    m_ctx->window().draw_item(*m_ctx, item, canvas);
    return canvas;
}

} // namespace kestrel::ui
