#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

namespace kestrel::ui {

// Commands another thread hands to a window. The window's thread takes them in the order they
// were posted; the host is woken once for each batch. Everything here is safe from any thread.
class ThreadInbox {
  public:
    void post(int command);
    // The host's way to be woken on the window's thread soon; called from the posting thread.
    void set_wake(std::function<void()> wake);
    // On the window's thread: every command waiting, oldest first.
    [[nodiscard]] std::deque<int> take();
    // The window has closed: later posts are dropped.
    void close();

  private:
    std::mutex m_mutex;
    std::deque<int> m_commands;
    std::function<void()> m_wake;
    bool m_wake_pending = false;
    bool m_closed = false;
};

// What a worker thread holds to post to one window: a command posted after the window closed
// goes nowhere. Copies may be used from several threads at once.
class ThreadPost {
  public:
    ThreadPost() = default;
    explicit ThreadPost(std::shared_ptr<ThreadInbox> inbox) : m_inbox(std::move(inbox)) {}
    void post(int command) const {
        if (m_inbox) m_inbox->post(command);
    }

  private:
    std::shared_ptr<ThreadInbox> m_inbox;
};

} // namespace kestrel::ui
