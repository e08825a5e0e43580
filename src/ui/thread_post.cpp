#include "ui/thread_post.hpp"

namespace kestrel::ui {

void ThreadInbox::post(int command) {
    std::lock_guard lock(m_mutex);
    if (m_closed) return;
    m_commands.push_back(command);
    // One wake a batch: the window's thread takes everything that arrived when it wakes.
    if (!m_wake_pending && m_wake) {
        m_wake_pending = true;
        m_wake();
    }
}

void ThreadInbox::set_wake(std::function<void()> wake) {
    std::lock_guard lock(m_mutex);
    m_wake = std::move(wake);
    m_wake_pending = false;
    if (m_wake && !m_commands.empty()) {
        m_wake_pending = true;
        m_wake();
    }
}

std::deque<int> ThreadInbox::take() {
    std::lock_guard lock(m_mutex);
    m_wake_pending = false;
    return std::exchange(m_commands, {});
}

void ThreadInbox::close() {
    std::lock_guard lock(m_mutex);
    m_closed = true;
    m_commands.clear();
    m_wake = nullptr;
}

} // namespace kestrel::ui
