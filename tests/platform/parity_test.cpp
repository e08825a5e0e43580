// The same keys through the test host and through the Qt host (offscreen): the boxes hold the
// same texts and the same control has the focus. The window layer decides; Qt only shows.

#include "platform/qt/qt_host.hpp"
#include "platform/qt/text.hpp"
#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include "qt_app.hpp"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

namespace kestrel::platform {
namespace {

// A call, a report and a comment box under labels with key letters, and two buttons, one
// sharing the comment's letter.
class Logging final : public ui::Window {
  public:
    enum { k_call = 10, k_report = 11, k_comment = 12, k_select = 20, k_go = 21 };
    static constexpr int k_boxes[] = {k_call, k_report, k_comment};

    ui::Form build() const override {
        ui::Form f;
        f.caption = "Parity";
        f.frame = {10, 10, 200, 90};
        f.add(ui::label(1, "C&all", {5, 5, 40, 8}));
        ui::Control call = ui::edit(k_call, {50, 4, 60, 12}, ui::upper_case);
        call.text_limit = 12;
        f.add(call);
        f.add(ui::label(2, "&Report", {5, 20, 40, 8}));
        ui::Control report = ui::edit(k_report, {50, 19, 30, 12}, ui::digits_only);
        report.text_limit = 3;
        f.add(report);
        f.add(ui::label(3, "&Comment", {5, 35, 40, 8}));
        ui::Control comment = ui::edit(k_comment, {50, 34, 140, 12});
        comment.text_limit = 40;
        comment.refused = ",";
        f.add(comment);
        f.add(ui::button(k_select, "Select &Cabrillo Log", {5, 60, 80, 14}));
        f.add(ui::button(k_go, "&Go", {100, 60, 40, 14}));
        return f;
    }
    void on_init(ui::Context& ctx) override {
        if (on_shown) QTimer::singleShot(0, [this, &ctx] { on_shown(ctx); });
    }
    void on_command(ui::Context&, int id, ui::Notify notify) override {
        if (notify == ui::Notify::clicked) pressed.push_back(id);
    }
    std::function<void(ui::Context&)> on_shown;
    std::vector<int> pressed;
};

struct Step {
    enum Kind { text, press, alt } kind;
    std::string typed; // UTF-8
    ui::Key key = ui::Key::enter;
    unsigned modifiers = ui::no_modifier;
};
Step typed(std::string t) {
    return {Step::text, std::move(t)};
}
Step key(ui::Key k, unsigned m = ui::no_modifier) {
    return {Step::press, {}, k, m};
}
Step alt(char letter) {
    return {Step::alt, std::string(1, letter)};
}

struct Outcome {
    std::map<int, std::string> texts;
    int focused = 0;
    std::vector<int> pressed;
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

Outcome through_test_host(const std::vector<Step>& steps) {
    ui::TestHost host;
    Logging window;
    auto run = host.open_window(window);
    for (const Step& s : steps) {
        if (s.kind == Step::text) run.type(s.typed);
        if (s.kind == Step::press) run.key(s.key, s.modifiers);
        if (s.kind == Step::alt) run.alt(s.typed[0]);
    }
    Outcome out{{}, run.focused(), window.pressed};
    for (int id : Logging::k_boxes)
        out.texts[id] = run.text(id);
    return out;
}

Qt::Key qt_key(ui::Key k) {
    switch (k) {
    case ui::Key::tab: return Qt::Key_Tab;
    case ui::Key::backspace: return Qt::Key_Backspace;
    case ui::Key::del: return Qt::Key_Delete;
    case ui::Key::home: return Qt::Key_Home;
    case ui::Key::end: return Qt::Key_End;
    case ui::Key::left: return Qt::Key_Left;
    case ui::Key::right: return Qt::Key_Right;
    default: return Qt::Key_Return;
    }
}

Outcome through_qt_host(const std::vector<Step>& steps) {
    testing::qt_app();
    QtHost host;
    Logging window;
    Outcome out;
    window.on_shown = [&](ui::Context& ctx) {
        QWidget* top = host.widget_of(&ctx);
        const auto target = [top] { return top->focusWidget() ? top->focusWidget() : top; };
        for (const Step& s : steps) {
            if (s.kind == Step::text) {
                for (const QChar c : QString::fromUtf8(s.typed.c_str())) {
                    if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
                        QTest::keyClick(target(), static_cast<char>(c.unicode()));
                    } else {
                        // A character beyond ASCII comes as the text of a key with no code of its own.
                        QTest::sendKeyEvent(QTest::Click, target(), Qt::Key_unknown, QString(c),
                                            Qt::NoModifier);
                    }
                }
            }
            if (s.kind == Step::press) {
                const bool back = s.key == ui::Key::tab && (s.modifiers & ui::shift);
                QTest::keyClick(target(), back ? Qt::Key_Backtab : qt_key(s.key),
                                (s.modifiers & ui::shift) ? Qt::ShiftModifier : Qt::NoModifier);
            }
            if (s.kind == Step::alt)
                QTest::keyClick(target(), static_cast<Qt::Key>(Qt::Key_A + (s.typed[0] - 'a')),
                                Qt::AltModifier);
        }
        out.focused = ctx.focused();
        for (int id : Logging::k_boxes)
            out.texts[id] = ctx.text(id);
        // What the screen shows is what the window holds.
        std::vector<std::string> shown;
        for (QLineEdit* e : top->findChildren<QLineEdit*>())
            shown.push_back(from_qt(e->text()));
        EXPECT_EQ(shown, (std::vector<std::string>{out.texts[Logging::k_call], out.texts[Logging::k_report],
                                                   out.texts[Logging::k_comment]}));
        ctx.close(0);
    };
    host.run_modal(window, nullptr);
    out.pressed = window.pressed;
    return out;
}

TEST(Parity, TheSameKeysGiveTheSameTextsAndFocusOnBothHosts) {
    struct Script {
        const char* what;
        std::vector<Step> steps;
    };
    const std::vector<Script> scripts = {
        {"a 13th character is refused", {typed("g4abcdefghijklm")}},
        {"capitals of the code page", {typed("\xC3\xA9t\xC3\xA9")}},
        {"digits only, three at most", {alt('r'), typed("59x9a7")}},
        {"outside the code page and refused characters",
         {alt('c'), typed("\xC5\x81\xC3\xB3"
                          "d\xC5\xBA, ok")}},
        {"a shared letter moves the focus in turn", {alt('c'), alt('c')}},
        {"an own letter presses", {alt('g')}},
        {"the keyboard selects, typing replaces",
         {typed("g4abc"), key(ui::Key::tab), key(ui::Key::tab, ui::shift), typed("m0xyz")}},
        {"a letter again selects again", {alt('r'), typed("59"), alt('r'), typed("57")}},
        {"caret keys and erasing",
         {typed("g4abc"), key(ui::Key::home), typed("x"), key(ui::Key::end), key(ui::Key::backspace),
          key(ui::Key::left), key(ui::Key::del)}},
    };
    for (const Script& s : scripts) {
        const Outcome tests = through_test_host(s.steps);
        const Outcome screen = through_qt_host(s.steps);
        EXPECT_EQ(screen.texts, tests.texts) << s.what;
        EXPECT_EQ(screen.focused, tests.focused) << s.what;
        EXPECT_EQ(screen.pressed, tests.pressed) << s.what;
    }
    // The outcomes themselves, so that both hosts cannot agree on a fault.
    EXPECT_EQ(through_test_host(scripts[0].steps).texts.at(Logging::k_call), "G4ABCDEFGHIJ");
    EXPECT_EQ(through_test_host(scripts[1].steps).texts.at(Logging::k_call), "\xC9T\xC9");
    EXPECT_EQ(through_test_host(scripts[3].steps).texts.at(Logging::k_comment), "\xF3"
                                                                                "d ok");
    EXPECT_EQ(through_test_host(scripts[4].steps).focused, Logging::k_select);
    EXPECT_EQ(through_test_host(scripts[5].steps).pressed, std::vector<int>{Logging::k_go});
    EXPECT_EQ(through_test_host(scripts[6].steps).texts.at(Logging::k_call), "M0XYZ");
    EXPECT_EQ(through_test_host(scripts[7].steps).texts.at(Logging::k_report), "57");
    EXPECT_EQ(through_test_host(scripts[8].steps).texts.at(Logging::k_call), "XG4A");
}

TEST(Parity, ARecordTextThatLooksLikeUtf8IsEditedByteForByte) {
    testing::qt_app();
    QtHost host;
    Logging window;
    std::string held;
    QString shown;
    window.on_shown = [&](ui::Context& ctx) {
        ctx.set_text(Logging::k_comment, "Caf\xC3\xA9"); // Windows-1252 bytes "CafÃ©" from an old log
        QTest::keyClick(host.widget_of(&ctx), Qt::Key_C, Qt::AltModifier);
        QWidget* box = host.widget_of(&ctx)->focusWidget();
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, '!');
        shown = qobject_cast<QLineEdit*>(box)->text();
        held = ctx.text(Logging::k_comment);
        ctx.close(0);
    };
    host.run_modal(window, nullptr);
    EXPECT_EQ(shown, QString::fromUtf8("Caf\xC3\x83\xC2\xA9!"));
    EXPECT_EQ(held, "Caf\xC3\xA9!");
}

// A clock face: its digit pictures change every tick.
class Clock final : public ui::Window {
  public:
    ui::Form build() const override {
        ui::Form f;
        f.caption = "Clock";
        f.frame = {10, 10, 60, 30};
        f.add(ui::picture(1, "F0", {5, 5, 20, 20}));
        return f;
    }
    void on_init(ui::Context& ctx) override { ctx.start_timer(1, 20); }
    void on_command(ui::Context&, int, ui::Notify) override {}
    void on_timer(ui::Context& ctx, int) override {
        if (++ticks == 3) {
            shown = host->widget_of(&ctx)->findChild<QLabel*>()->grab().toImage();
            ctx.close(0);
            return;
        }
        ctx.set_text(1, "F" + std::to_string(ticks));
    }
    QtHost* host = nullptr;
    int ticks = 0;
    QImage shown;
};

TEST(Parity, APictureThatChangesIsShownAnew) {
    testing::qt_app();
    QtHost host;
    Clock clock;
    clock.host = &host;
    host.run_modal(clock, nullptr);
    const QImage f2 = QPixmap(QStringLiteral(":/bitmaps/F2.png")).toImage();
    ASSERT_FALSE(f2.isNull());
    ASSERT_FALSE(clock.shown.isNull());
    EXPECT_EQ(clock.shown.convertToFormat(QImage::Format_RGB32), f2.convertToFormat(QImage::Format_RGB32));
}

} // namespace
} // namespace kestrel::platform
