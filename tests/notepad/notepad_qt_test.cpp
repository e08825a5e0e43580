// The note pad on Qt's offscreen platform: typing, Enter and the key letters reach the note
// through the real widget, and the file gets the same lines as through the test host.

#include "notepad/notepad_window.hpp"
#include "platform/qt/qt_host.hpp"
#include "ui/test_host.hpp"

#include "support/temp_dir.hpp"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace kestrel::notepad {
namespace {

QApplication& qt_app() {
    static int argc = 1;
    static char name[] = "kestrel_notepad_qt_test";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

// Runs the note pad on the Qt host; `keys` acts on its text box once it shows.
void run_on_qt(NotepadState& state, const std::string& path,
               const std::function<void(QPlainTextEdit*)>& keys) {
    qt_app();
    platform::QtHost host;
    NotepadWindow window({state, path, 1.0});
    QTimer::singleShot(0, [&] {
        auto* box = QApplication::activeModalWidget()->findChild<QPlainTextEdit*>();
        ASSERT_NE(box, nullptr);
        keys(box);
    });
    host.run_modal(window, nullptr);
}

TEST(NotepadOnQt, TypedLinesAreKeptAndSavedAsOnTheTestHost) {
    testing::TempDir dir;
    const std::string path = dir.file("NOTEPAD.TXT");
    NotepadState state;
    run_on_qt(state, path, [](QPlainTextEdit* box) {
        QTest::keyClicks(box, "QSY 20m");
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, "sked");
        EXPECT_EQ(box->toPlainText(), QStringLiteral("QSY 20m\nsked"));
        QTest::keyClick(box, Qt::Key_X, Qt::AltModifier);
    });
    EXPECT_EQ(state.note, "QSY 20m\r\nsked");
    const std::string typed_on_qt = state.note;

    // Opened again, the note is added to at its end.
    run_on_qt(state, path, [](QPlainTextEdit* box) {
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, "G4ABC\t");
        QTest::keyClick(box, Qt::Key_S, Qt::AltModifier);
        EXPECT_EQ(box->toPlainText(), QString());
        QTest::keyClick(box, Qt::Key_X, Qt::AltModifier);
    });
    const std::string saved = testing::read_file(path);
    ASSERT_EQ(saved.size(), 18u + 22u) << saved;
    EXPECT_EQ(saved.substr(18), "QSY 20m\r\nsked\r\nG4ABC\r\n") << "Tab moves the focus, it types nothing";

    // The same keys through the test host.
    NotepadState same;
    ui::TestHost host;
    auto run = host.open(NotepadWindow{{same, dir.file("OTHER.TXT"), 1.0}});
    run.type("QSY 20m").key(ui::Key::enter).type("sked").alt('x');
    EXPECT_EQ(same.note, typed_on_qt);
}

TEST(NotepadOnQt, ALoadedFileWithTabsCanStillBeTypedInto) {
    testing::TempDir dir;
    const std::string path = dir.file("NOTEPAD.TXT");
    testing::write_file(path, "01-12-25   09:00\r\ncall\tband\r\n");
    NotepadState state;
    run_on_qt(state, path, [](QPlainTextEdit* box) {
        QTest::keyClick(box, Qt::Key_L, Qt::AltModifier);
        QTest::keyClicks(box, "more");
        QTest::keyClick(box, Qt::Key_X, Qt::AltModifier);
    });
    EXPECT_EQ(state.note, "01-12-25   09:00\r\ncall\tband\r\nmore");
    EXPECT_TRUE(state.holds_file);
}

} // namespace
} // namespace kestrel::notepad
