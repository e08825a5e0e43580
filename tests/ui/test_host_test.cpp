#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

namespace kestrel::ui {
namespace {

// A window that asks things of its host when its buttons are pressed.
class Asker final : public Window {
  public:
    enum { k_ask = 10, k_child = 11, k_file = 12, k_tick = 20, k_shown = 30 };
    Form build() const override {
        Form f;
        f.caption = caption;
        f.frame = {0, 0, 100, 50};
        f.add(button(k_ask, "Ask", {0, 0, 20, 10}));
        f.add(button(k_child, "Child", {0, 10, 20, 10}));
        f.add(button(k_file, "File", {0, 20, 20, 10}));
        f.add(label(k_shown, "", {30, 0, 60, 10}));
        return f;
    }
    void on_init(Context& ctx) override {
        if (with_clock) ctx.start_timer(k_tick, 1000);
    }
    void on_command(Context& ctx, int id, Notify) override {
        switch (id) {
        case k_ask: answer = ctx.message("Delete it?", "Question", Icon::question, Buttons::yes_no); break;
        case k_child: {
            Asker child;
            child.caption = "Child";
            child_result = ctx.run_modal(child);
            child_answer = child.answer;
            break;
        }
        case k_file: {
            auto path =
                ctx.host().open_file(&ctx, FileRequest{"Pick", "Any (*.*)", "*.*", "", ".", true, {}});
            ctx.set_text(k_shown, path.value_or("none"));
            break;
        }
        case k_cancel: ctx.close(7); break;
        }
    }
    void on_timer(Context& ctx, int) override { ctx.set_text(k_shown, std::to_string(++ticks)); }

    std::string caption = "Asker";
    bool with_clock = false;
    Answer answer = Answer::ok;
    Answer child_answer = Answer::ok;
    int child_result = -1;
    int ticks = 0;
};

TEST(TestHost, AnswersComeFromTheScriptAndAnUnplannedQuestionChangesNothing) {
    TestHost host;
    host.expect_surprises();
    Asker asker;
    auto run = host.open_window(asker);
    host.answer(Answer::yes);
    run.click(Asker::k_ask);
    EXPECT_EQ(asker.answer, Answer::yes);
    run.click(Asker::k_ask);
    EXPECT_EQ(asker.answer, Answer::no);
    ASSERT_EQ(host.messages().size(), 2u);
    EXPECT_EQ(host.messages()[0].title, "Question");
    EXPECT_EQ(host.surprises().size(), 1u);
}

TEST(TestHost, NestedWindowsRunTheirScriptsWhileTheParentWaits) {
    TestHost host;
    host.expect_surprises();
    Asker asker;
    auto run = host.open_window(asker);
    host.on_modal([&](TestRun& child) {
        EXPECT_EQ(child.caption(), "Child");
        host.answer(Answer::yes);
        child.click(Asker::k_ask).key(Key::escape);
    });
    run.click(Asker::k_child);
    EXPECT_EQ(asker.child_result, 7);
    EXPECT_EQ(asker.child_answer, Answer::yes);
    EXPECT_TRUE(host.surprises().empty());

    run.click(Asker::k_child); // no script: the window is noted and closed
    EXPECT_EQ(asker.child_result, 7);
    EXPECT_EQ(host.surprises().size(), 1u);
}

TEST(TestHost, FileDialogsAreAnsweredAndRecorded) {
    TestHost host;
    Asker asker;
    auto run = host.open_window(asker);
    host.answer_file("/tmp/A.LOG");
    host.answer_file(std::nullopt);
    run.click(Asker::k_file);
    EXPECT_EQ(run.text(Asker::k_shown), "/tmp/A.LOG");
    run.click(Asker::k_file);
    EXPECT_EQ(run.text(Asker::k_shown), "none");
    ASSERT_EQ(host.file_requests().size(), 2u);
    EXPECT_TRUE(host.file_requests()[0].must_exist);
}

TEST(TestHost, TimersFireAsTheClockIsAdvanced) {
    TestHost host;
    Asker asker;
    asker.with_clock = true;
    auto run = host.open_window(asker);
    host.advance(std::chrono::milliseconds(999));
    EXPECT_EQ(asker.ticks, 0);
    host.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(asker.ticks, 1);
    host.advance(std::chrono::milliseconds(2500));
    EXPECT_EQ(asker.ticks, 3);
    host.set_now(host.now() + std::chrono::hours(24 * 365 * 30));
    EXPECT_EQ(asker.ticks, 3) << "a new date fires no timer";
    host.advance(std::chrono::milliseconds(1000));
    EXPECT_EQ(asker.ticks, 4) << "and the timers keep their own pace";
    run.key(Key::escape);
    host.advance(std::chrono::milliseconds(5000));
    EXPECT_EQ(asker.ticks, 4) << "a closed window's timers stop";
}

} // namespace
} // namespace kestrel::ui

#include "ui/progress_window.hpp"

namespace kestrel::ui {
namespace {

// Opens a progress window from a button, as the log tools do.
class Worker final : public Window {
  public:
    Form build() const override {
        Form f;
        f.add(button(10, "Go", {0, 0, 20, 10}));
        return f;
    }
    void on_command(Context& ctx, int id, Notify) override {
        if (id != 10) return;
        run_with_progress(ctx, "Working", [this](Progress& p) {
            p.set_total(1000);
            for (int i = 1; i <= 1000; ++i)
                p.advance_to(i);
            done = true;
        });
    }
    bool done = false;
};

TEST(ProgressWindow, RunsTheWorkAndClosesByItself) {
    TestHost host;
    Worker worker;
    host.open_window(worker).click(10);
    EXPECT_TRUE(worker.done);
    EXPECT_EQ(host.modal_captions(), std::vector<std::string>{"Working"});
    EXPECT_TRUE(host.surprises().empty()) << "no script needed: the window closes itself";
}

} // namespace
} // namespace kestrel::ui

namespace kestrel::ui {
namespace {

TEST(TestHost, KeysInAWindowWithNothingToFocusAreNoFault) {
    struct Empty final : Window {
        Form build() const override { return Form{}; }
        void on_command(Context&, int, Notify) override {}
    } empty;
    TestHost host;
    auto run = host.open_window(empty);
    run.key(Key::down).key(Key::backspace).type("x");
    EXPECT_TRUE(host.surprises().empty());
}

} // namespace
} // namespace kestrel::ui
