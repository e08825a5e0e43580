// The two locator calculators as Qt draws them: every text of a label, option or button, and the
// caption in a title bar, shows whole in the room its window gives it.

#include "locator/latlong_window.hpp"
#include "locator/range_window.hpp"
#include "platform/qt/qt_host.hpp"
#include "ui/context.hpp"

#include "../platform/qt_app.hpp"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace kestrel::locator {
namespace {

// Runs the window on the Qt host and hands its widget to the check, then closes it.
template <class W> void look_at(W& window, const std::function<void(QWidget*)>& check) {
    platform::testing::qt_app();
    platform::QtHost host;
    struct Wrapper final : ui::Window {
        W& inner;
        platform::QtHost& host;
        const std::function<void(QWidget*)>& check;
        Wrapper(W& w, platform::QtHost& h, const std::function<void(QWidget*)>& c)
            : inner(w), host(h), check(c) {}
        ui::Form build() const override { return inner.build(); }
        void on_init(ui::Context& ctx) override {
            inner.on_init(ctx);
            QTimer::singleShot(0, [this, &ctx] {
                check(host.widget_of(&ctx));
                ctx.close(0);
            });
        }
        void on_command(ui::Context& ctx, int id, ui::Notify n) override { inner.on_command(ctx, id, n); }
    } wrapper(window, host, check);
    host.run_modal(wrapper, nullptr);
}

QString shown(QString text) {
    return text.remove('&');
}

void expect_every_text_whole(QWidget* top, const char* what) {
    ASSERT_NE(top, nullptr);
    for (QLabel* label : top->findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;
        const int needed = label->fontMetrics().horizontalAdvance(shown(label->text()));
        EXPECT_LE(needed, label->contentsRect().width()) << what << ": " << label->text().toStdString();
    }
    for (QAbstractButton* button : top->findChildren<QAbstractButton*>()) {
        int needed = button->fontMetrics().horizontalAdvance(shown(button->text()));
        if (qobject_cast<QRadioButton*>(button)) {
            QStyleOptionButton option;
            option.initFrom(button);
            needed += button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, button) +
                      button->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, button);
        }
        EXPECT_LE(needed, button->width()) << what << ": " << button->text().toStdString();
    }
    // The caption as a title bar commonly draws it, bold and a point larger than the window's
    // text, beside the window's icon and three buttons, with a margin at each end.
    QFont title_font = top->font();
    title_font.setBold(true);
    title_font.setPointSizeF(title_font.pointSizeF() + 1);
    const int caption = QFontMetrics(title_font).horizontalAdvance(top->windowTitle());
    const int bar = top->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, top);
    const int button = top->style()->pixelMetric(QStyle::PM_TitleBarButtonSize, nullptr, top);
    const int beside = bar + 3 * (button + bar / 4) + bar / 2;
    EXPECT_LE(caption + beside, top->width()) << what << ": the caption";
}

TEST(LocatorWindowsOnQt, EveryTextShowsWhole) {
    LocatorState state;
    RangeWindow range(state);
    look_at(range, [](QWidget* top) { expect_every_text_whole(top, "Range and Bearing"); });
    LatLongWindow latlong;
    look_at(latlong, [](QWidget* top) { expect_every_text_whole(top, "Lat/Long"); });
}

} // namespace
} // namespace kestrel::locator
