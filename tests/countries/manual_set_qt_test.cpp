// The manual set on real widgets (Qt's offscreen platform): a click on the count before or after
// the "/" of a cell, where the operator sees it drawn, switches that mark.
#include "countries/manual_set_window.hpp"
#include "platform/qt/fonts.hpp"
#include "platform/qt/qt_host.hpp"
#include "platform/qt_app.hpp"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace kestrel::countries {
namespace {

void press(QWidget* target, int key, const QString& text = {}) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &up);
}

// A click as the operator makes it: pressed and released over whatever is drawn at the point.
void click_at(QWidget* window, QPoint at) {
    QWidget* under = window->childAt(at);
    QWidget* target = under ? under : window;
    const QPointF local = target->mapFrom(window, at);
    const QPointF global = window->mapToGlobal(at);
    QMouseEvent down(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &up);
}

QWidget* window_titled(const QString& prefix) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle().startsWith(prefix)) return w;
    return nullptr;
}

TEST(ManualSetOnScreen, AClickOnEitherCountOfACellSwitchesItsMark) {
    platform::testing::qt_app();
    const CountryTable table = parse_country_list("K,K,United States,9,38,-97\r\n").table;
    StatusChart chart;
    const BandLabels labels = standard_band_labels();
    ManualSetState state;
    ManualSetWindow window({table, chart, labels, state});
    platform::QtHost host;
    const platform::DialogUnits du = platform::dialog_units_of(platform::font_of(ui::Font{"Courier", 8}));
    // The middle of a character of 20 m SSB's cell, whose text starts at x 84, y 85.
    const auto character = [&](int n) {
        return QPoint(static_cast<int>(std::lround((84 + 4 * n + 2) * du.x)),
                      static_cast<int>(std::lround(89 * du.y)));
    };
    std::vector<std::uint8_t> after;
    QString cell_text;
    QTimer::singleShot(0, [&] {
        QWidget* top = window_titled(QStringLiteral("Manual DXCC Set"));
        ASSERT_NE(top, nullptr);
        auto* box = top->findChild<QLineEdit*>();
        press(box, Qt::Key_K, QStringLiteral("k"));
        press(box, Qt::Key_Return);
        QWidget* client = top->findChild<QLineEdit*>()->parentWidget();
        click_at(client, character(2)); // the worked count
        after.push_back(chart.byte(9, 4));
        click_at(client, character(4)); // the confirmed count
        after.push_back(chart.byte(9, 4));
        if (auto* label = qobject_cast<QLabel*>(client->childAt(character(2)))) cell_text = label->text();
        click_at(client, character(3)); // the "/" between them
        after.push_back(chart.byte(9, 4));
        click_at(client, character(2));
        after.push_back(chart.byte(9, 4));
        press(box, Qt::Key_Escape);
    });
    host.run_modal(window, nullptr);
    EXPECT_EQ(after, (std::vector<std::uint8_t>{0x04, 0x0C, 0x0C, 0x00}));
    EXPECT_EQ(cell_text, QStringLiteral("  1/1"));
}

} // namespace
} // namespace kestrel::countries
