// The real main window on Qt's offscreen platform: its menu bar, its bitmaps, its size.

#include "platform/qt/qt_host.hpp"
#include "shell/application.hpp"
#include "shell/main_window.hpp"
#include "support/temp_dir.hpp"
#include "ui/context.hpp"

#include "qt_app.hpp"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <gtest/gtest.h>

namespace kestrel::platform {
namespace {

// Runs the main window and looks at it from inside its own event loop.
class Watched final : public ui::Window {
  public:
    Watched(shell::Application& app, std::function<void(ui::Context&)> look)
        : m_main(app), m_look(std::move(look)) {}
    ui::Form build() const override { return m_main.build(); }
    void on_init(ui::Context& ctx) override {
        QTimer::singleShot(0, [this, &ctx] {
            m_look(ctx);
            ctx.close(0);
        });
    }
    void on_command(ui::Context& ctx, int id, ui::Notify n) override { m_main.on_command(ctx, id, n); }

  private:
    shell::MainWindow m_main;
    std::function<void(ui::Context&)> m_look;
};

TEST(MainFrame, ShowsTheMenusTheLogosAndTheCaption) {
    testing::qt_app();
    kestrel::testing::TempDir dir;
    kestrel::testing::ScopedCurrentDir cwd(dir.path());
    QtHost host;
    shell::Application state;
    state.shell.scale_factor = 1.0;
    QStringList menus, import_items;
    QString caption;
    int pictures_with_bitmaps = 0;
    QSize size;
    Watched watched(state, [&](ui::Context& ctx) {
        auto* frame = qobject_cast<QMainWindow*>(host.widget_of(&ctx));
        ASSERT_NE(frame, nullptr);
        caption = frame->windowTitle();
        size = frame->size();
        for (QAction* a : frame->menuBar()->actions()) {
            menus << a->text();
            if (a->text() == QStringLiteral("&Tools"))
                for (QAction* t : a->menu()->actions())
                    if (t->menu())
                        for (QAction* i : t->menu()->actions())
                            import_items << i->text();
        }
        for (QLabel* l : frame->findChildren<QLabel*>())
            if (!l->pixmap().isNull()) ++pictures_with_bitmaps;
    });
    host.run_modal(watched, nullptr);
    EXPECT_EQ(menus, (QStringList{"&Files", "&Logging", "&Printing", "&DXCC", "&Set Up", "&Tools", "&Help"}));
    EXPECT_EQ(import_items, (QStringList{"&ADIF", "&Cabrillo"}));
    EXPECT_EQ(pictures_with_bitmaps, 2) << "KEST6 and G9QQQ are compiled into the program";
    EXPECT_TRUE(caption.startsWith(QStringLiteral("Kestrel v6.44      ")));
    EXPECT_EQ(size, QSize(630, 415));
}

} // namespace
} // namespace kestrel::platform

#include "log_windows/load_log.hpp"

namespace kestrel::platform {
namespace {

TEST(LoadLogOnQt, TheIndexIsBuiltBehindTheWindowAndTheWindowCloses) {
    testing::qt_app();
    kestrel::testing::TempDir dir;
    std::string bytes;
    for (int i = 0; i < 3000; ++i) {
        logstore::QsoRecord q;
        q.date = 18036;
        q.time_on = q.time_off = static_cast<std::int16_t>(i % 1440);
        q.call = "G" + std::to_string(i % 10) + "ABC";
        q.rst_received = "59";
        q.band = logstore::coded_band_field(4);
        const auto r = q.encode();
        bytes.append(r.begin(), r.end());
    }
    kestrel::testing::write_file(dir.path() / "BIG.LOG", bytes);
    logstore::LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("BIG.LOG")));
    QtHost host;
    EXPECT_TRUE(log_windows::build_index_with_progress(host, nullptr, log));
    EXPECT_TRUE(log.index_loaded());
    EXPECT_EQ(log.contact_count(), 3000);
}

} // namespace
} // namespace kestrel::platform
