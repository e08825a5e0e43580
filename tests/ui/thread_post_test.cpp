// Work on another thread hands its results to a window as posted commands: in order, on the
// window's thread, never after the window has closed. Run under the thread sanitizer in CI.

#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace kestrel::ui {
namespace {

constexpr int k_first = 1000;
constexpr int k_count = 10'000;

class Receiver final : public Window {
  public:
    Form build() const override { return Form{}; }
    void on_command(Context&, int id, Notify notify) override {
        if (notify != Notify::posted) return;
        received.push_back(id);
        if (std::this_thread::get_id() != window_thread) ++on_other_threads;
    }
    std::thread::id window_thread = std::this_thread::get_id();
    std::vector<int> received;
    int on_other_threads = 0;
};

TEST(ThreadPost, TenThousandCommandsArriveInOrderOnTheWindowsThread) {
    TestHost host;
    Receiver receiver;
    auto run = host.open_window(receiver);
    const ThreadPost post = run.context().thread_post();
    std::thread worker([post] {
        for (int i = 0; i < k_count; ++i)
            post.post(k_first + i);
    });
    // The host takes what arrived each time its time moves on.
    for (int spins = 0; spins < 1'000'000 && static_cast<int>(receiver.received.size()) < k_count; ++spins)
        host.advance(std::chrono::milliseconds(1));
    worker.join();
    host.advance(std::chrono::milliseconds(1));

    ASSERT_EQ(receiver.received.size(), static_cast<std::size_t>(k_count));
    for (int i = 0; i < k_count; ++i)
        ASSERT_EQ(receiver.received[i], k_first + i) << "out of order at " << i;
    EXPECT_EQ(receiver.on_other_threads, 0);
}

TEST(ThreadPost, NothingArrivesAfterTheWindowCloses) {
    TestHost host;
    Receiver receiver;
    auto run = host.open_window(receiver);
    const ThreadPost post = run.context().thread_post();
    post.post(k_first);
    run.context().close();
    std::thread([post] { post.post(k_first + 1); }).join();
    host.advance(std::chrono::milliseconds(10));
    EXPECT_TRUE(receiver.received.empty());
}

} // namespace
} // namespace kestrel::ui
