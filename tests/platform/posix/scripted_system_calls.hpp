#pragma once

#include "platform/posix/system_calls.hpp"

#include <linux/ppdev.h>
#include <map>
#include <optional>
#include <string>
#include <sys/ioctl.h>
#include <vector>

namespace kestrel::testing {

// The real system calls with failures and stand-ins on demand: a path may open another file in
// its place (/dev/parport0 opens /dev/null on a machine without one), an ioctl may be answered
// without reaching the driver, any call may fail with an errno value. The clock is never set:
// clock_settime is recorded and answered from the script, so no test moves this machine's clock.
class ScriptedSystemCalls final : public platform::posix::SystemCalls {
  public:
    std::map<std::string, std::string> stand_ins; // path asked for -> path opened
    std::map<std::string, int> open_errors;       // path -> errno
    std::map<unsigned long, int> ioctl_errors;    // request -> errno
    std::vector<unsigned long> pretended_ioctls;  // answered 0 without reaching the driver
    int tcsetattr_error = 0;
    int write_error = 0;
    int read_error = 0;
    int settime_error = 0;
    // A driver that takes a change but keeps its old speed, as some USB adapters do.
    bool keep_old_speed = false;

    struct Ioctl {
        unsigned long request;
        int value; // the byte or int the argument points to, -1 for none
    };
    std::vector<Ioctl> ioctls;
    std::vector<timespec> clock_sets;

    int open(const std::string& path, int flags) override {
        if (auto error = open_errors.find(path); error != open_errors.end()) return -error->second;
        auto stand_in = stand_ins.find(path);
        return m_real.open(stand_in == stand_ins.end() ? path : stand_in->second, flags);
    }
    int close(int fd) override { return m_real.close(fd); }
    long read(int fd, std::span<std::uint8_t> buffer) override {
        return read_error != 0 ? -read_error : m_real.read(fd, buffer);
    }
    long write(int fd, std::span<const std::uint8_t> bytes) override {
        return write_error != 0 ? -write_error : m_real.write(fd, bytes);
    }
    int poll(int fd, short events, int timeout_ms) override { return m_real.poll(fd, events, timeout_ms); }
    int tcgetattr(int fd, termios& settings) override {
        const int got = m_real.tcgetattr(fd, settings);
        if (got == 0 && keep_old_speed && m_kept_speed) {
            cfsetispeed(&settings, *m_kept_speed);
            cfsetospeed(&settings, *m_kept_speed);
        }
        return got;
    }
    int tcsetattr(int fd, const termios& settings) override {
        if (tcsetattr_error != 0) return -tcsetattr_error;
        if (keep_old_speed && !m_kept_speed) {
            termios old{};
            (void)m_real.tcgetattr(fd, old);
            m_kept_speed = cfgetospeed(&old);
        }
        return m_real.tcsetattr(fd, settings);
    }
    int ioctl(int fd, unsigned long request, void* argument) override {
        ioctls.push_back({request, value_of(request, argument)});
        if (auto error = ioctl_errors.find(request); error != ioctl_errors.end()) return -error->second;
        for (const unsigned long pretended : pretended_ioctls) {
            if (pretended == request) return 0;
        }
        return m_real.ioctl(fd, request, argument);
    }
    int flock(int fd, int operation) override { return m_real.flock(fd, operation); }
    int clock_gettime(clockid_t clock, timespec& time) override { return m_real.clock_gettime(clock, time); }
    int clock_settime(clockid_t, const timespec& time) override {
        clock_sets.push_back(time);
        return -settime_error;
    }

    // The requests made, in order.
    std::vector<unsigned long> requests() const {
        std::vector<unsigned long> made;
        for (const auto& call : ioctls)
            made.push_back(call.request);
        return made;
    }

  private:
    static int value_of(unsigned long request, void* argument) {
        if (request == PPWCONTROL) return *static_cast<unsigned char*>(argument);
        if (request == TIOCMBIS || request == TIOCMBIC) return *static_cast<int*>(argument);
        return -1;
    }

    platform::posix::SystemCalls& m_real = platform::posix::real_system_calls();
    std::optional<speed_t> m_kept_speed;
};

} // namespace kestrel::testing
