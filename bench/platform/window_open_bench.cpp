// How long the operator waits for windows to open, on Qt (the offscreen platform unless
// QT_QPA_PLATFORM names another, as xvfb-run's xcb):
// - the first Browse of a 1,000,000-entry log builds the record index behind the "Load Log"
//   progress window, beside a plain modal Qt dialog opening and closing, timed in the same run;
// - a window opened from the main window by its key letter (Alt+B), beside the same window opened
//   by a click on its button.
#include "log_windows/load_log.hpp"
#include "logstore/dates.hpp"
#include "logstore/log_store.hpp"
#include "platform/qt/qt_host.hpp"
#include "support/temp_dir.hpp"
#include "ui/context.hpp"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>

namespace {

using namespace kestrel;
using namespace kestrel::logstore;

constexpr int k_records = 1000000;

// A log of k_records contacts in a directory removed afterwards.
class BigLog {
  public:
    BigLog() {
        std::ofstream out(path(), std::ios::binary);
        const std::int16_t first_day = day_number_of("01-01-00");
        for (int i = 0; i < k_records; ++i) {
            QsoRecord qso;
            qso.date = static_cast<std::int16_t>(first_day + i / 400);
            qso.time_on = static_cast<std::int16_t>(i % 400 * 3);
            qso.time_off = qso.time_on;
            qso.call = (i % 3 == 0 ? "G4" : "K1") + std::to_string(i % 5000) + (i % 7 == 0 ? "/P" : "");
            qso.rst_sent = "59";
            qso.rst_received = "57";
            qso.band = coded_band_field(4);
            qso.mode = "SSB";
            qso.comment = "benchmark entry";
            const RecordBytes record = qso.encode();
            out.write(reinterpret_cast<const char*>(record.data()), k_record_size);
        }
    }
    std::string path() const { return m_dir.file("BIG.LOG"); }

  private:
    testing::TempDir m_dir;
};

// A dialog the size of the progress window, with a bar, that closes once it is on screen and
// painted.
class SelfClosingDialog final : public QDialog {
  public:
    SelfClosingDialog() {
        setWindowTitle(QStringLiteral("Reference"));
        setFixedSize(300, 65);
        auto* bar = new QProgressBar(this);
        bar->setGeometry(8, 20, 284, 20);
        bar->setTextVisible(false);
    }

  protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        QTimer::singleShot(0, this, [this] {
            repaint();
            accept();
        });
    }
};

void BM_Reference_ModalDialog(benchmark::State& state) {
    for (auto _ : state) {
        SelfClosingDialog dialog;
        dialog.exec();
    }
}

void BM_FirstBrowseOpen_LoadLog(benchmark::State& state) {
    BigLog big;
    platform::QtHost host;
    LogStore log;
    for (auto _ : state) {
        state.PauseTiming();
        if (!log.open_log(big.path())) state.SkipWithError("log not opened");
        state.ResumeTiming();
        if (!log_windows::ensure_record_index(host, nullptr, log)) state.SkipWithError("not indexed");
    }
}

// The window the main window's button opens: it closes itself once on screen, as a window does
// that posts itself its first work.
class Opened final : public ui::Window {
  public:
    explicit Opened(int& count) : m_count(count) {}
    ui::Form build() const override {
        ui::Form form;
        form.caption = "Opened";
        form.frame = {20, 20, 120, 40};
        form.add(ui::label(10, "Opened", {5, 5, 100, 10}));
        return form;
    }
    void on_init(ui::Context& ctx) override { ctx.post(k_done); }
    void on_command(ui::Context& ctx, int id, ui::Notify) override {
        if (id != k_done) return;
        ++m_count;
        ctx.close(0);
    }

  private:
    static constexpr int k_done = 1024 + 7;
    int& m_count;
};

// A main window like the program's: a menu bar whose menus have key letters too, and buttons.
class Opener final : public ui::Window {
  public:
    enum { k_browse = 100, k_online = 101, k_exit = 102 };
    Opener(bool main_window, std::function<void(ui::Context&)> run)
        : m_main_window(main_window), m_run(std::move(run)) {}
    ui::Form build() const override {
        using M = ui::MenuItem;
        ui::Form form;
        form.main_window = m_main_window;
        form.units = ui::Units::pixels;
        form.caption = "Opener";
        form.frame = {0, 0, 630, 415};
        form.menu = {M{"&Files", 0, {M{"E&xit", k_exit, {}}}},
                     M{"&Logging", 0, {M{"&On Line", k_online, {}}, M{"&Browse", k_browse, {}}}}};
        form.add(ui::button(k_online, "O&n Line", {125, 60, 55, 45}));
        form.add(ui::button(k_browse, "&Browse", {189, 60, 55, 45}));
        form.add(ui::button(k_exit, "E&xit", {253, 60, 55, 45}));
        return form;
    }
    void on_init(ui::Context& ctx) override {
        QTimer::singleShot(0, [this, &ctx] {
            m_run(ctx);
            ctx.close(0);
        });
    }
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override {
        if (id != k_browse || notify != ui::Notify::clicked) return;
        Opened window(opened);
        ctx.run_modal(window);
    }
    int opened = 0;

  private:
    bool m_main_window;
    std::function<void(ui::Context&)> m_run;
};

QPushButton* button_of(QWidget* frame, const QString& text) {
    for (QPushButton* b : frame->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

// range(0): 0 a click on the button, 1 its key letter; range(1): 1 from a main window, 0 from a
// dialog.
void BM_OpenWindow(benchmark::State& state) {
    const bool by_key = state.range(0) == 1;
    const bool from_main = state.range(1) == 1;
    platform::QtHost host;
    Opener* opener = nullptr;
    Opener window(from_main, [&](ui::Context& ctx) {
        QWidget* frame = host.widget_of(&ctx);
        QPushButton* button = button_of(frame, QStringLiteral("&Browse"));
        if (!button) {
            state.SkipWithError("no button");
            return;
        }
        frame->activateWindow();
        QApplication::processEvents();
        for (auto _ : state) {
            const int before = opener->opened;
            if (by_key) {
                QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : frame;
                QTest::keyClick(target, Qt::Key_B, Qt::AltModifier);
            } else {
                QTest::mouseClick(button, Qt::LeftButton);
            }
            while (opener->opened == before)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    });
    opener = &window;
    host.run_modal(window, nullptr);
    state.SetLabel(std::string(by_key ? "Alt+B" : "click") +
                   (from_main ? " on the main window" : " on a dialog"));
}

BENCHMARK(BM_Reference_ModalDialog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstBrowseOpen_LoadLog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenWindow)->ArgsProduct({{0, 1}, {1, 0}})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
