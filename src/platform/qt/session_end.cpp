#include "platform/qt/session_end.hpp"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kestrel::platform {

namespace {

// One pipe for the process: signals are per process, and so is the host that ends it.
int g_pipe[2] = {-1, -1};

extern "C" void on_signal(int number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t put = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

constexpr std::array k_signals{SIGTERM, SIGHUP, SIGINT};

bool install_handlers() {
    if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : k_signals)
        ::sigaction(number, &action, nullptr);
    return true;
}

void restore_handlers() {
    for (const int number : k_signals)
        ::signal(number, SIG_DFL);
}

} // namespace

SessionEnd::SessionEnd(std::function<void()> on_end) : m_on_end(std::move(on_end)) {
    if (install_handlers()) {
        m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { take_signals(); });
    }
#ifndef QT_NO_SESSIONMANAGER
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // The session manager asks each program to save before it ends the session; this program
        // saves by ending as Files/Exit does.
        connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
            if (m_on_end) m_on_end();
        });
    }
#endif
}

SessionEnd::~SessionEnd() {
    restore_handlers();
}

void SessionEnd::take_signals() {
    unsigned char byte = 0;
    bool any = false;
    while (::read(g_pipe[0], &byte, 1) == 1)
        any = true;
    if (any && m_on_end) m_on_end();
}

} // namespace kestrel::platform
