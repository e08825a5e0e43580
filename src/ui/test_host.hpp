#pragma once

#include "printer/recording_printer.hpp"
#include "ui/canvas.hpp"
#include "ui/context.hpp"
#include "ui/host.hpp"
#include "ui/window.hpp"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::ui {

class TestHost;

// A canvas that remembers what was painted, for tests of owner-drawn lists.
class RecordingCanvas final : public Canvas {
  public:
    enum class OpKind { fill, text, line };
    struct Op {
        OpKind kind;
        Rect area; // a line's start, and its extent as width and height
        std::string words;
        Colour colour;
    };
    void fill(Rect area, Colour colour) override { ops.push_back({OpKind::fill, area, {}, colour}); }
    void text(Rect area, std::string_view text, Colour colour, Align) override {
        ops.push_back({OpKind::text, area, std::string(text), colour});
    }
    void line(Point from, Point to, Colour colour) override {
        ops.push_back({OpKind::line, {from.x, from.y, to.x - from.x, to.y - from.y}, {}, colour});
    }
    int char_width() const override { return 6; }
    int line_height() const override { return 13; }
    std::string all_text() const;
    std::vector<Op> ops;
};

// One window run by the test host: the operator's keys and clicks by control number,
// and what the window shows.
class TestRun {
  public:
    TestRun(TestHost& host, Context& ctx) : m_host(&host), m_ctx(&ctx) {}

    // Typing, one key a character (the text is UTF-8, as the keyboard gives it): each goes to the
    // window's keys first, then into the focused box by the boxes' rules; a refused one beeps.
    TestRun& type(std::string_view text);
    TestRun& type_into(int id, std::string_view text); // focus from the keyboard, then type
    TestRun& replace(int id, std::string_view text);   // the same: the focus selects the old text
    TestRun& key(Key key, unsigned modifiers = no_modifier);
    TestRun& alt(char letter);          // Alt and a key letter
    TestRun& click(int id);             // a button, check box or option
    TestRun& command(int id);           // a menu item
    TestRun& focus(int id);             // from the keyboard
    TestRun& click_into(int id);        // with the mouse: the text stays as it was
    TestRun& select(int id, int index); // the operator picks one line
    TestRun& select_many(int id, std::vector<int> indexes);
    TestRun& double_click(int id, int index);
    TestRun& close_box();
    TestRun& mouse_up(Point where);

    std::string text(int id) const { return m_ctx->text(id); }
    bool checked(int id) const { return m_ctx->checked(id); }
    bool enabled(int id) const { return m_ctx->enabled(id); }
    bool visible(int id) const { return m_ctx->visible(id); }
    bool exists(int id) const { return m_ctx->exists(id); }
    int focused() const { return m_ctx->focused(); }
    TextSelection text_selection(int id) const { return m_ctx->control(id).selection; }
    std::string caption() const { return m_ctx->caption(); }
    std::vector<std::string> items(int id) const { return m_ctx->control(id).items; }
    bool is_open() const { return !m_ctx->is_closed(); }
    int result() const { return m_ctx->result(); }
    RecordingCanvas draw(int id, int index, bool selected = false);
    Context& context() { return *m_ctx; }

  private:
    TestRun& settle();
    void beep();
    TestHost* m_host;
    Context* m_ctx;
};

// Runs windows with no display. Message boxes, input boxes, file dialogs and nested
// windows are answered from scripts queued by the test; everything shown is recorded.
class TestHost final : public Host {
  public:
    explicit TestHost(int screen_height = 480);
    ~TestHost() override;

    template <class W> TestRun open(W&& window) {
        m_owned.push_back(std::make_unique<std::decay_t<W>>(std::forward<W>(window)));
        return open_window(*m_owned.back());
    }
    TestRun open_window(Window& window);

    // Scripts, used in order.
    void answer(Answer answer) { m_answers.push_back({answer, {}}); }
    // The operator presses Enter: the message's default button.
    void answer_enter() { m_answers.push_back({Answer::ok, {}, true}); }
    void answer_file(std::optional<std::string> path) { m_files.push_back(std::move(path)); }
    void answer_input(std::optional<std::string> text) { m_inputs.push_back(std::move(text)); }
    void answer_directory(std::optional<std::string> path) { m_directories.push_back(std::move(path)); }
    void on_modal(std::function<void(TestRun&)> script) { m_scripts.push_back(std::move(script)); }
    // How the next print dialogs end: a recording printer (that may fail at the end of the job),
    // or the operator's cancel. With nothing queued a working printer is given.
    enum class PrinterAnswer { give, cancel, fail_at_end };
    void answer_printer(PrinterAnswer answer) { m_printer_answers.push_back(answer); }

    // What was shown.
    const std::vector<Message>& messages() const { return m_messages; }
    std::vector<std::string> message_texts() const;
    const std::vector<FileRequest>& file_requests() const { return m_file_requests; }
    const std::vector<InputRequest>& input_requests() const { return m_input_requests; }
    const std::vector<std::string>& modal_captions() const { return m_modal_captions; }
    int beeps() const { return m_beeps; }
    // Every job printed on the printers given, in order.
    const std::vector<std::shared_ptr<printing::PrintedJob>>& print_jobs() const { return m_print_jobs; }
    // Things a test did not plan for: a message with no answer queued, a window with no script or
    // left open, a control a window does not have. Each is handed to the surprise handler as it
    // happens (the tests' handler fails the test) unless the test expects surprises.
    const std::vector<std::string>& surprises() const { return m_surprises; }
    void expect_surprises() { m_surprises_expected = true; }
    using SurpriseHandler = void (*)(const std::string& what);
    static void set_surprise_handler(SurpriseHandler handler);
    // An OK message the test expects, by its text; the same as answer(Answer::ok) but checked.
    void expect_message(std::string text) { m_answers.push_back({Answer::ok, std::move(text)}); }

    // Time. Steady time drives timers and commands posted from other threads; the wall clock is
    // what the windows read as "now". Advancing moves both; setting the wall clock fires nothing.
    void set_now(Clock::time_point t) { m_now = t; }
    void advance(std::chrono::milliseconds by);
    std::chrono::steady_clock::time_point steady_now() const { return m_steady; }
    void set_screen_height(int pixels) { m_screen_height = pixels; }
    void set_available_screen(Size area) { m_available = area; }

    int run_modal(Window& window, Context* parent) override;
    Answer message_box(Context* owner, const Message& message) override;
    std::optional<std::string> input_box(Context* owner, const InputRequest& request) override;
    std::optional<std::string> open_file(Context* owner, const FileRequest& request) override;
    std::optional<std::string> choose_directory(Context* owner, const std::string& title,
                                                const std::string& start) override;
    std::unique_ptr<printing::Printer> choose_printer(Context* owner) override;
    void beep() override { ++m_beeps; }
    void wait_cursor(bool) override {}
    int screen_height() const override { return m_screen_height; }
    Size available_screen() const override { return m_available; }
    Clock::time_point now() const override { return m_now; }
    void fault(std::string_view what) override { surprise(std::string(what)); }

  private:
    struct Running;
    struct Expected {
        Answer answer;
        std::string text;   // empty: any text
        bool enter = false; // the default button, whatever it is
    };
    Running& start(Window& window, Context* parent);
    void surprise(std::string what);
    void take_thread_posts();

    int m_screen_height;
    Size m_available{};
    // The wall clock starts on a fixed day of the program's time, so that a two-digit year a test
    // types names the same year as the operator's would (the window of years follows "now").
    Clock::time_point m_now =
        std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} + std::chrono::hours(12);
    std::chrono::steady_clock::time_point m_steady{};
    std::vector<std::unique_ptr<Window>> m_owned;
    std::vector<std::unique_ptr<Running>> m_running;
    std::deque<Expected> m_answers;
    std::deque<std::optional<std::string>> m_files;
    std::deque<std::optional<std::string>> m_inputs;
    std::deque<std::optional<std::string>> m_directories;
    std::deque<std::function<void(TestRun&)>> m_scripts;
    std::deque<PrinterAnswer> m_printer_answers;
    std::vector<std::shared_ptr<printing::PrintedJob>> m_print_jobs;
    std::vector<Message> m_messages;
    std::vector<FileRequest> m_file_requests;
    std::vector<InputRequest> m_input_requests;
    std::vector<std::string> m_modal_captions;
    std::vector<std::string> m_surprises;
    int m_beeps = 0;
    bool m_surprises_expected = false;
};

} // namespace kestrel::ui
