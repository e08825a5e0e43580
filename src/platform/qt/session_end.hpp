#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace kestrel::platform {

// Tells the program, in its event loop, that it is asked to end: SIGTERM (the system shutting
// down, `kill`), SIGHUP (the terminal or the session gone), SIGINT (Ctrl+C where it was started)
// and the desktop session ending (log-out, shut-down). A signal handler may do almost nothing, so
// it only writes the signal's number into a pipe, which the event loop watches.
class SessionEnd final : public QObject {
  public:
    explicit SessionEnd(std::function<void()> on_end);
    ~SessionEnd() override;
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

  private:
    void take_signals();

    std::function<void()> m_on_end;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace kestrel::platform
