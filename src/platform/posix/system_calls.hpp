#pragma once

#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <termios.h>

namespace kestrel::platform::posix {

// The system calls the device layer makes, behind one interface so tests can make any of them
// fail or answer as hardware this machine lacks would. Every call returns a negative errno value
// on failure and retries by itself when a signal interrupts it.
class SystemCalls {
  public:
    virtual ~SystemCalls() = default;

    virtual int open(const std::string& path, int flags) = 0; // the descriptor
    virtual int close(int fd) = 0;
    virtual long read(int fd, std::span<std::uint8_t> buffer) = 0;       // bytes read
    virtual long write(int fd, std::span<const std::uint8_t> bytes) = 0; // bytes written
    // Waits for `events` on one descriptor: the events that occurred, or 0 when the time ran out
    // (or a signal cut the wait short: callers keep their own deadline).
    virtual int poll(int fd, short events, int timeout_ms) = 0;
    virtual int tcgetattr(int fd, termios& settings) = 0;
    virtual int tcsetattr(int fd, const termios& settings) = 0; // takes effect now
    virtual int ioctl(int fd, unsigned long request, void* argument) = 0;
    virtual int flock(int fd, int operation) = 0;
    virtual int clock_gettime(clockid_t clock, timespec& time) = 0;
    virtual int clock_settime(clockid_t clock, const timespec& time) = 0;
};

// The real calls. Holds no state, so one instance serves the whole program.
[[nodiscard]] SystemCalls& real_system_calls();

} // namespace kestrel::platform::posix
