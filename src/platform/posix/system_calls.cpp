#include "platform/posix/system_calls.hpp"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace kestrel::platform::posix {

namespace {

// Runs a call again while a signal interrupts it; the result, or the negative errno value.
template <class Call> auto retried(Call call) -> decltype(call()) {
    decltype(call()) result = 0;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result < 0 ? -errno : result;
}

class RealSystemCalls final : public SystemCalls {
  public:
    int open(const std::string& path, int flags) override {
        return retried([&] { return ::open(path.c_str(), flags | O_CLOEXEC); });
    }
    // A close interrupted by a signal has still let the descriptor go on Linux: never retry it.
    int close(int fd) override { return ::close(fd) < 0 ? -errno : 0; }
    long read(int fd, std::span<std::uint8_t> buffer) override {
        return retried([&] { return static_cast<long>(::read(fd, buffer.data(), buffer.size())); });
    }
    long write(int fd, std::span<const std::uint8_t> bytes) override {
        return retried([&] { return static_cast<long>(::write(fd, bytes.data(), bytes.size())); });
    }
    int poll(int fd, short events, int timeout_ms) override {
        pollfd watched{fd, events, 0};
        const int ready = ::poll(&watched, 1, timeout_ms);
        if (ready < 0) return errno == EINTR ? 0 : -errno; // the caller's loop waits again
        return ready == 0 ? 0 : watched.revents;
    }
    int tcgetattr(int fd, termios& settings) override {
        return retried([&] { return ::tcgetattr(fd, &settings); });
    }
    int tcsetattr(int fd, const termios& settings) override {
        return retried([&] { return ::tcsetattr(fd, TCSANOW, &settings); });
    }
    int ioctl(int fd, unsigned long request, void* argument) override {
        return retried([&] { return ::ioctl(fd, request, argument); });
    }
    int flock(int fd, int operation) override {
        return retried([&] { return ::flock(fd, operation); });
    }
    int clock_gettime(clockid_t clock, timespec& time) override {
        return ::clock_gettime(clock, &time) < 0 ? -errno : 0;
    }
    int clock_settime(clockid_t clock, const timespec& time) override {
        return ::clock_settime(clock, &time) < 0 ? -errno : 0;
    }
};

} // namespace

SystemCalls& real_system_calls() {
    static RealSystemCalls calls;
    return calls;
}

} // namespace kestrel::platform::posix
