#include "ui/test_host.hpp"

#include <algorithm>
#include <limits>

namespace kestrel::ui {

namespace {

// Keeps what a window asks of the screen that matters without one: its timers.
class TestView final : public FormView {
public:
    struct Timer {
        int interval = 0;
        Clock::time_point due;
    };
    explicit TestView(const TestHost& host) : m_host(host) {}
    void control_added(const Control&) override {}
    void control_removed(int) override {}
    void control_changed(const Control&, Change) override {}
    void focus_changed(int) override {}
    void caption_changed(const std::string&) override {}
    void menu_changed(int, const std::string&) override {}
    void timer_started(int id, int ms) override {
        timers[id] = Timer{ms, m_host.now() + std::chrono::milliseconds(std::max(ms, 1))};
    }
    void timer_stopped(int id) override { timers.erase(id); }
    void command_posted() override {}
    void closed() override {}
    std::map<int, Timer> timers;

private:
    const TestHost& m_host;
};

bool edits_text(const Control& c) {
    return (c.kind == ControlKind::edit && !(c.style & read_only)) ||
           (c.kind == ControlKind::combo && (c.style & editable));
}

} // namespace

struct TestHost::Running {
    Running(TestHost& host, Window& window, Context* parent) : view(host), ctx(host, window, parent) {
        ctx.attach(&view);
    }
    TestView view;
    Context ctx;
};

std::string RecordingCanvas::all_text() const {
    std::string out;
    for (const Op& op : ops)
        if (op.kind == OpKind::text) out += op.words;
    return out;
}

TestHost::TestHost(int screen_height) : m_screen_height(screen_height) {}
TestHost::~TestHost() = default;

TestHost::Running& TestHost::start(Window& window, Context* parent) {
    m_running.push_back(std::make_unique<Running>(*this, window, parent));
    Running& r = *m_running.back();
    r.ctx.start();
    r.ctx.init();
    r.ctx.run_posted();
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
            m_surprises.push_back("no script for window \"" + r.ctx.caption() + "\"");
        } else {
            auto script = std::move(m_scripts.front());
            m_scripts.pop_front();
            TestRun run(*this, r.ctx);
            script(run);
            if (!r.ctx.is_closed()) m_surprises.push_back("window \"" + r.ctx.caption() + "\" left open");
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

Answer TestHost::message_box(Context*, const Message& message) {
    m_messages.push_back(message);
    if (!m_answers.empty()) {
        const Answer a = m_answers.front();
        m_answers.pop_front();
        return a;
    }
    switch (message.buttons) {
    case Buttons::ok: return Answer::ok;
    case Buttons::ok_cancel: return Answer::ok;
    default:
        // A question nobody planned for is answered with the choice that changes nothing.
        m_surprises.push_back("unanswered question \"" + message.text + "\"");
        return message.buttons == Buttons::retry_cancel ? Answer::cancel : Answer::no;
    }
}

std::optional<std::string> TestHost::input_box(Context*, const InputRequest& request) {
    m_input_requests.push_back(request);
    if (m_inputs.empty()) {
        m_surprises.push_back("unanswered input box \"" + request.title + "\"");
        return std::nullopt;
    }
    auto text = std::move(m_inputs.front());
    m_inputs.pop_front();
    return text;
}

std::optional<std::string> TestHost::open_file(Context*, const FileRequest& request) {
    m_file_requests.push_back(request);
    if (m_files.empty()) {
        m_surprises.push_back("unanswered file dialog \"" + request.title + "\"");
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
    return std::make_unique<printing::RecordingPrinter>(m_print_jobs.back(), answer == PrinterAnswer::fail_at_end);
}

std::optional<std::string> TestHost::choose_directory(Context*, const std::string& title, const std::string&) {
    if (m_directories.empty()) {
        m_surprises.push_back("unanswered directory dialog \"" + title + "\"");
        return std::nullopt;
    }
    auto path = std::move(m_directories.front());
    m_directories.pop_front();
    return path;
}

std::vector<std::string> TestHost::message_texts() const {
    std::vector<std::string> out;
    for (const Message& m : m_messages) out.push_back(m.text);
    return out;
}

void TestHost::advance(std::chrono::milliseconds by) {
    const Clock::time_point end = m_now + by;
    for (;;) {
        Running* next = nullptr;
        int next_id = 0;
        Clock::time_point due = Clock::time_point::max();
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
        m_now = due;
        next->view.timers[next_id].due = due + std::chrono::milliseconds(std::max(next->view.timers[next_id].interval, 1));
        next->ctx.timer(next_id);
        next->ctx.run_posted();
    }
    m_now = end;
}

void TestRun::beep() { m_host->beep(); }

TestRun& TestRun::settle() {
    m_ctx->run_posted();
    return *this;
}

TestRun& TestRun::type(std::string_view text) {
    for (char ch : text) {
        const Control c = m_ctx->control(m_ctx->focused());
        if (!edits_text(c) || !c.enabled) continue;
        const std::string taken = m_ctx->filter_typed(c, std::string_view(&ch, 1));
        if (taken.empty()) {
            beep();
            continue;
        }
        std::string now = c.text + taken;
        if (c.text_limit > 0 && static_cast<int>(now.size()) > c.text_limit) continue;
        m_ctx->operator_typed(c.id, std::move(now));
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
    m_ctx->operator_typed(id, "");
    settle();
    return type(text);
}

TestRun& TestRun::key(Key key, unsigned modifiers) {
    const KeyStroke stroke{key, modifiers, 0};
    if (m_ctx->key(stroke)) return settle();
    const Control c = m_ctx->control(m_ctx->focused());
    const auto& controls = m_ctx->form().controls;
    switch (key) {
    case Key::tab: {
        if (controls.empty()) break;
        auto at = std::find_if(controls.begin(), controls.end(), [&](const Control& x) { return x.id == c.id; });
        int i = at == controls.end() ? -1 : static_cast<int>(at - controls.begin());
        const int n = static_cast<int>(controls.size());
        for (int step = 0; step < n; ++step) {
            i = (modifiers & shift) ? (i - 1 + n) % n : (i + 1) % n;
            if (Context::takes_focus(controls[i])) {
                m_ctx->focus(controls[i].id);
                break;
            }
        }
        break;
    }
    case Key::backspace:
        if (edits_text(c) && !c.text.empty()) m_ctx->operator_typed(c.id, c.text.substr(0, c.text.size() - 1));
        break;
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

TestRun& TestRun::click(int id) {
    const Control& c = m_ctx->control(id);
    if (!c.enabled || !c.visible) return *this;
    if (Context::takes_focus(c)) m_ctx->operator_focused(id);
    m_ctx->operator_clicked(id);
    return settle();
}

TestRun& TestRun::command(int id) {
    m_ctx->command(id, Notify::clicked);
    return settle();
}

TestRun& TestRun::focus(int id) {
    m_ctx->focus(id);
    return settle();
}

TestRun& TestRun::select(int id, int index) {
    std::vector<bool> selected(m_ctx->item_count(id), false);
    if (index >= 0 && index < static_cast<int>(selected.size())) selected[index] = true;
    m_ctx->operator_selected(id, std::move(selected));
    return settle();
}

TestRun& TestRun::select_many(int id, std::vector<int> indexes) {
    std::vector<bool> selected(m_ctx->item_count(id), false);
    for (int i : indexes)
        if (i >= 0 && i < static_cast<int>(selected.size())) selected[i] = true;
    m_ctx->operator_selected(id, std::move(selected));
    return settle();
}

TestRun& TestRun::double_click(int id, int index) {
    select(id, index);
    m_ctx->command(id, Notify::double_clicked);
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
    const int h = c.item_height > 0 ? c.item_height : canvas.line_height();
    DrawItem item{id, index, Rect{0, (index - c.top_index) * h, c.rect.w * 2, h}, selected, false};
    m_ctx->window().draw_item(*m_ctx, item, canvas);
    return canvas;
}

} // namespace kestrel::ui
