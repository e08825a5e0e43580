// The Qt host on Qt's offscreen platform: widgets where the form puts them, keys to the
// accelerators first, the operator's typing back into the form.

#include "platform/qt/fonts.hpp"
#include "platform/qt/qt_host.hpp"
#include "platform/qt/text.hpp"
#include "ui/context.hpp"
#include "ui/progress_window.hpp"

#include "qt_app.hpp"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <functional>

namespace kestrel::platform {
namespace {

class Sample final : public ui::Window {
  public:
    enum { k_call = 10, k_save = 20, k_name = 30, k_bar = 40, k_f12 = 124 };
    ui::Form build() const override {
        ui::Form f;
        f.caption = "Sample";
        f.frame = {10, 10, 200, 100};
        f.font = ui::Font{"Courier", 8};
        f.add(ui::edit(k_call, {70, 18, 52, 12}, ui::upper_case));
        f.add(ui::button(k_save, "&Save", {125, 80, 35, 14}));
        f.add(ui::label(k_name, "Call Sign", {5, 20, 60, 8}, ui::right_aligned));
        f.add(ui::progress(k_bar, {5, 60, 100, 10}));
        f.accelerators = {{{ui::Key::f12}, k_f12}};
        return f;
    }
    void on_init(ui::Context& ctx) override {
        ctx.set_progress_range(k_bar, 0, 10);
        if (script) QTimer::singleShot(0, [this, &ctx] { script(ctx); });
    }
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override {
        if (id == k_f12) saves.push_back(ctx.text(k_call));
        if (id == k_save && notify == ui::Notify::clicked) ctx.close(5);
        if (id == ui::k_cancel) ctx.close(ui::k_cancel);
    }
    std::function<void(ui::Context&)> script;
    std::vector<std::string> saves;
};

void press(QWidget* target, int key, const QString& text = {}) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &up);
}

TEST(QtHost, ControlsStandWhereTheirDialogUnitsSay) {
    testing::qt_app();
    QtHost host;
    Sample sample;
    QRect edit_geometry, label_geometry;
    DialogUnits units;
    sample.script = [&](ui::Context& ctx) {
        QWidget* top = host.widget_of(&ctx);
        ASSERT_NE(top, nullptr);
        units = dialog_units_of(font_of(ui::Font{"Courier", 8}));
        edit_geometry = top->findChild<QLineEdit*>()->geometry();
        label_geometry = top->findChild<QLabel*>()->geometry();
        EXPECT_EQ(top->windowTitle(), QStringLiteral("Sample"));
        ctx.close(0);
    };
    host.run_modal(sample, nullptr);
    EXPECT_GT(units.x, 0.5);
    EXPECT_EQ(edit_geometry.x(), std::lround(70 * units.x));
    EXPECT_EQ(edit_geometry.y(), std::lround(18 * units.y));
    EXPECT_EQ(edit_geometry.width(), std::lround(52 * units.x));
    EXPECT_EQ(label_geometry.height(), std::lround(8 * units.y));
}

TEST(QtHost, AcceleratorsWinOverTheFocusedBoxAndTypingReachesTheForm) {
    testing::qt_app();
    QtHost host;
    Sample sample;
    sample.script = [&](ui::Context& ctx) {
        auto* edit = host.widget_of(&ctx)->findChild<QLineEdit*>();
        press(edit, Qt::Key_G, QStringLiteral("g"));
        press(edit, Qt::Key_4, QStringLiteral("4"));
        press(edit, Qt::Key_Home);
        press(edit, Qt::Key_F12);
        EXPECT_EQ(edit->text(), QStringLiteral("G4")) << "upper case as typed";
        ctx.set_text(Sample::k_call, "M0XYZ");
        EXPECT_EQ(edit->text(), QStringLiteral("M0XYZ"));
        ctx.step_progress(Sample::k_bar);
        EXPECT_EQ(host.widget_of(&ctx)->findChild<QProgressBar*>()->value(), 1);
        host.widget_of(&ctx)->findChild<QPushButton*>()->click();
    };
    EXPECT_EQ(host.run_modal(sample, nullptr), 5);
    EXPECT_EQ(sample.saves, std::vector<std::string>{"G4"});
}

// A list whose lines start with a byte the window keeps for itself, as the on-line window's net does.
class Marked final : public ui::Window {
  public:
    enum { k_lines = 10 };
    ui::Form build() const override {
        ui::Form f;
        f.frame = {10, 10, 200, 100};
        f.add(ui::list(k_lines, {5, 5, 150, 60}, ui::owner_drawn));
        return f;
    }
    void on_init(ui::Context& ctx) override {
        ctx.set_items(k_lines, {"\xff 1 G4AAA", "\xff 2"});
        if (script) QTimer::singleShot(0, [this, &ctx] { script(ctx); });
    }
    void on_command(ui::Context&, int, ui::Notify) override {}
    std::optional<std::string> spoken_item(const ui::Context& ctx, int, int index) const override {
        return ctx.item(k_lines, index).substr(1);
    }
    std::function<void(ui::Context&)> script;
};

// A screen reader is given the line as the window says it, whether the list was filled or one
// line changed in place; the line's own text is left whole.
TEST(QtHost, AListLineIsSpokenAsTheWindowSaysIt) {
    testing::qt_app();
    QtHost host;
    Marked marked;
    marked.script = [&](ui::Context& ctx) {
        auto* list = host.widget_of(&ctx)->findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(0)->data(Qt::AccessibleTextRole).toString(), QStringLiteral(" 1 G4AAA"));
        EXPECT_EQ(list->item(1)->data(Qt::AccessibleTextRole).toString(), QStringLiteral(" 2"));
        ctx.set_item(Marked::k_lines, 1, "\xff 2 K1ABC");
        EXPECT_EQ(list->item(1)->data(Qt::AccessibleTextRole).toString(), QStringLiteral(" 2 K1ABC"));
        EXPECT_EQ(list->item(1)->text(), to_qt("\xff 2 K1ABC"));
        ctx.close(0);
    };
    host.run_modal(marked, nullptr);
}

// Counts the times a widget is painted.
class PaintCounter final : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Long work runs on the window thread behind a progress window: the window is on screen while it
// runs, and its bar is painted now and then, not for every step it grows.
TEST(QtHost, AProgressBarIsShownButPaintedOnlyNowAndThen) {
    testing::qt_app();
    QtHost host;
    bool shown = false;
    PaintCounter counter;
    QElapsedTimer clock;
    ui::run_with_progress(host, nullptr, "Work", [&](ui::Progress& progress) {
        auto* bar = QApplication::activeModalWidget()
                        ? QApplication::activeModalWidget()->findChild<QProgressBar*>()
                        : nullptr;
        ASSERT_NE(bar, nullptr);
        shown = bar->isVisible();
        bar->installEventFilter(&counter);
        progress.set_total(10000);
        clock.start();
        for (int done = 1; done <= 10000; ++done) {
            progress.advance_to(done);
            // About 120 ms of work in all.
            while (clock.nsecsElapsed() < std::int64_t{12000} * done) {
            }
        }
        bar->removeEventFilter(&counter);
    });
    EXPECT_TRUE(shown);
    EXPECT_GE(counter.paints, 1);
    EXPECT_LE(counter.paints, clock.elapsed() / 50 + 2) << "100 steps in " << clock.elapsed() << " ms";
}

// A key letter presses its button at once, as a click does: Qt's own shortcut for the letter,
// which would press it only after showing it pressed for 100 ms, is not left to act.
TEST(QtHost, AKeyLetterPressesItsButtonAtOnce) {
    testing::qt_app();
    QtHost host;
    Sample sample;
    bool pressed_at_once = false;
    QString shortcut = QStringLiteral("unset");
    sample.script = [&](ui::Context& ctx) {
        auto* save = host.widget_of(&ctx)->findChild<QPushButton*>();
        shortcut = save->shortcut().toString();
        QTest::keyClick(host.widget_of(&ctx)->findChild<QLineEdit*>(), Qt::Key_S, Qt::AltModifier);
        pressed_at_once = ctx.is_closed();
        if (!ctx.is_closed()) ctx.close(0);
    };
    EXPECT_EQ(host.run_modal(sample, nullptr), 5);
    EXPECT_TRUE(pressed_at_once);
    EXPECT_EQ(shortcut, QString()) << "the window's key handling owns Alt+S";
}

TEST(QtHost, EscapeGoesToTheWindow) {
    testing::qt_app();
    QtHost host;
    Sample sample;
    sample.script = [&](ui::Context& ctx) {
        press(host.widget_of(&ctx)->findChild<QLineEdit*>(), Qt::Key_Escape);
    };
    EXPECT_EQ(host.run_modal(sample, nullptr), ui::k_cancel);
}

// Asked to end, the host closes every window from the top down as its close box would, a message
// box first; the windows' own closing still runs, and nothing new opens meanwhile.
TEST(QtHost, ASignalOrTheSessionEndingClosesEveryWindowAsItsCloseBoxWould) {
    testing::qt_app();
    for (const bool by_signal : {false, true}) {
        QtHost host;
        Sample outer, inner;
        ui::Answer answered = ui::Answer::ok;
        bool later_window_shown = false, dialog_after = true;
        inner.script = [&](ui::Context& ctx) {
            if (by_signal)
                QTimer::singleShot(50, [] { ::raise(SIGTERM); });
            else
                QTimer::singleShot(50, [&host] { host.request_quit(); });
            ui::Message question{"Save?", "Sample", ui::Icon::question, ui::Buttons::yes_no};
            question.default_answer = ui::Answer::no;
            answered = host.message_box(&ctx, question); // shown until the end is asked for
            Sample later;
            later.script = [&](ui::Context&) { later_window_shown = true; };
            host.run_modal(later, &ctx);
            dialog_after = host.open_file(&ctx, ui::FileRequest{}).has_value();
        };
        outer.script = [&](ui::Context& ctx) { host.run_modal(inner, &ctx); };
        const int result = host.run_modal(outer, nullptr);
        EXPECT_EQ(result, ui::k_cancel) << "closed by its close box";
        EXPECT_TRUE(host.quitting());
        EXPECT_EQ(answered, ui::Answer::no) << "the box was closed as cancelled";
        EXPECT_FALSE(later_window_shown);
        EXPECT_FALSE(dialog_after);
    }
}

TEST(QtText, RecordTextsAndPathsBothReadRight) {
    EXPECT_EQ(to_qt("Caf\xE9"), QString::fromUtf8("Caf\xC3\xA9"));                     // Windows-1252
    EXPECT_EQ(to_qt("/home/j\xC3\xBCrgen"), QString::fromUtf8("/home/j\xC3\xBCrgen")); // UTF-8 path
    EXPECT_EQ(from_qt(QString::fromUtf8("\xE2\x82\xAC 5")), "\x80 5");
    EXPECT_EQ(to_qt("\xC3"), QString::fromUtf8("\xC3\x83")) << "a cut UTF-8 sequence is Windows-1252";
}

} // namespace
} // namespace kestrel::platform
