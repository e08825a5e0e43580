// Commands posted from a worker thread reach a window of the Qt host on the window's thread,
// in order, while its event loop runs.

#include "platform/qt/qt_host.hpp"
#include "ui/context.hpp"

#include "qt_app.hpp"

#include <QTimer>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace kestrel::platform {
namespace {

constexpr int k_first = 1000;
constexpr int k_count = 10'000;

class Receiver final : public ui::Window {
  public:
    ui::Form build() const override {
        ui::Form f;
        f.caption = "Receiver";
        f.frame = {0, 0, 50, 20};
        return f;
    }
    void on_init(ui::Context& ctx) override {
        const ui::ThreadPost post = ctx.thread_post();
        worker = std::thread([post] {
            for (int i = 0; i < k_count; ++i)
                post.post(k_first + i);
        });
        // Should the commands never come, the test ends rather than hanging.
        QTimer::singleShot(10'000, [&ctx] { ctx.close(1); });
    }
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override {
        if (notify != ui::Notify::posted) return;
        received.push_back(id);
        if (std::this_thread::get_id() != window_thread) ++on_other_threads;
        if (static_cast<int>(received.size()) == k_count) ctx.close(0);
    }
    std::thread worker;
    std::thread::id window_thread = std::this_thread::get_id();
    std::vector<int> received;
    int on_other_threads = 0;
};

TEST(QtThreadPost, TenThousandCommandsArriveInOrderOnTheWindowsThread) {
    testing::qt_app();
    QtHost host;
    Receiver receiver;
    EXPECT_EQ(host.run_modal(receiver, nullptr), 0);
    receiver.worker.join();
    ASSERT_EQ(receiver.received.size(), static_cast<std::size_t>(k_count));
    for (int i = 0; i < k_count; ++i)
        ASSERT_EQ(receiver.received[i], k_first + i) << "out of order at " << i;
    EXPECT_EQ(receiver.on_other_threads, 0);
}

} // namespace
} // namespace kestrel::platform
