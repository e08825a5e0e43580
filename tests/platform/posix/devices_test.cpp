// The parallel port, the clocks and the failure paths of the serial port, through the system-call
// seam: this machine has no parallel port, and no test may move its clock.
#include "platform/posix/parallel_key_line.hpp"
#include "platform/posix/posix_clocks.hpp"
#include "platform/posix/posix_devices.hpp"
#include "platform/posix/posix_serial_port.hpp"
#include "platform/posix/termios_settings.hpp"
#include "scripted_system_calls.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <pty.h>
#include <thread>
#include <unistd.h>

namespace kestrel::platform::posix {
namespace {

using namespace std::chrono_literals;
using io::DeviceError;
using testing::ScriptedSystemCalls;

// /dev/parport0 stands in as /dev/null, whose ioctls the script answers for the driver.
ScriptedSystemCalls parallel_port_calls() {
    ScriptedSystemCalls calls;
    calls.stand_ins[k_first_parallel_port] = "/dev/null";
    calls.pretended_ioctls = {PPCLAIM, PPRELEASE, PPWCONTROL};
    return calls;
}

TEST(ParallelKeyLine, ClaimsThePortKeysWithControlValuesFourAndZeroAndReleasesIt) {
    auto calls = parallel_port_calls();
    {
        PosixDevices devices(calls);
        auto key = devices.open_key_line("P");
        ASSERT_TRUE(key);
        ASSERT_TRUE((*key)->key_down());
        ASSERT_TRUE((*key)->key_up());
        ASSERT_TRUE((*key)->key_down());
    } // let go with the key down
    const std::vector<std::pair<unsigned long, int>> expected{
        {PPCLAIM, -1},   {PPWCONTROL, 0}, {PPWCONTROL, 4}, {PPWCONTROL, 0},
        {PPWCONTROL, 4}, {PPWCONTROL, 0}, {PPRELEASE, -1},
    };
    std::vector<std::pair<unsigned long, int>> made;
    for (const auto& call : calls.ioctls)
        made.emplace_back(call.request, call.value);
    EXPECT_EQ(made, expected);
}

TEST(ParallelKeyLine, FailuresComeBackAsValues) {
    const struct {
        const char* name;
        void (*arrange)(ScriptedSystemCalls&);
        DeviceError error;
    } cases[] = {
        {"no such device", [](ScriptedSystemCalls& c) { c.open_errors[k_first_parallel_port] = ENOENT; },
         DeviceError::no_such_port},
        {"no ppdev driver", [](ScriptedSystemCalls& c) { c.open_errors[k_first_parallel_port] = ENXIO; },
         DeviceError::no_such_port},
        {"not in the lp group", [](ScriptedSystemCalls& c) { c.open_errors[k_first_parallel_port] = EACCES; },
         DeviceError::permission_denied},
        {"not a parallel port", [](ScriptedSystemCalls& c) { c.pretended_ioctls.clear(); },
         DeviceError::no_such_port},
        {"claimed elsewhere", [](ScriptedSystemCalls& c) { c.ioctl_errors[PPCLAIM] = EBUSY; },
         DeviceError::busy},
        {"control refused", [](ScriptedSystemCalls& c) { c.ioctl_errors[PPWCONTROL] = EINVAL; },
         DeviceError::line_change_refused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto calls = parallel_port_calls();
        c.arrange(calls);
        const auto key = PosixDevices(calls).open_parallel_key_line();
        ASSERT_FALSE(key);
        EXPECT_EQ(key.error(), c.error);
    }

    auto calls = parallel_port_calls();
    auto key = PosixDevices(calls).open_parallel_key_line();
    ASSERT_TRUE(key);
    calls.ioctl_errors[PPWCONTROL] = EIO;
    EXPECT_EQ((*key)->key_down().error(), DeviceError::io_error);
}

TEST(ParallelKeyLine, AMachineWithoutOneSaysSo) {
    if (std::filesystem::exists(k_first_parallel_port)) GTEST_SKIP() << "this machine has a parallel port";
    const auto key = PosixDevices().open_key_line("P");
    ASSERT_FALSE(key);
    EXPECT_EQ(key.error(), DeviceError::no_such_port);
}

TEST(PosixSerialPort, SystemCallFailuresComeBackAsValues) {
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    {
        ScriptedSystemCalls calls;
        calls.open_errors[name] = EACCES; // not in the dialout group
        EXPECT_EQ(PosixSerialPort::open(calls, name).error(), DeviceError::permission_denied);
        calls.open_errors[name] = EBUSY;
        EXPECT_EQ(PosixSerialPort::open(calls, name).error(), DeviceError::busy);
        calls.open_errors.clear();
        calls.tcsetattr_error = EIO;
        EXPECT_EQ(PosixSerialPort::open(calls, name).error(), DeviceError::io_error);
    }
    {
        ScriptedSystemCalls calls;
        auto port = std::move(PosixSerialPort::open(calls, name)).value();
        calls.tcsetattr_error = EINVAL;
        EXPECT_EQ(port->configure({}).error(), DeviceError::bad_settings);
        calls.write_error = EIO;
        EXPECT_EQ(port->write(io::Bytes{1}).error(), DeviceError::io_error);
        calls.read_error = EIO;
        EXPECT_EQ(port->read(io::ReadRequest{.timeout = 1s, .count = 1}).error(), DeviceError::io_error);
        calls.ioctl_errors[TIOCMBIS] = EIO; // a USB adapter pulled out
        EXPECT_EQ(port->set_line(io::ControlLine::rts, io::LineLevel::on).error(), DeviceError::io_error);

        // Exclusive use ends with the port, though the test still holds the terminal open (as
        // root, the one who runs these tests in CI, a leftover would go unseen).
        port->close();
        EXPECT_EQ(calls.requests().back(), static_cast<unsigned long>(TIOCNXCL));
    }
    {
        ScriptedSystemCalls calls;
        calls.keep_old_speed = true; // tcsetattr says yes to a speed the driver did not take
        auto port = std::move(PosixSerialPort::open(calls, name)).value();
        EXPECT_EQ(port->configure({.baud = 1200}).error(), DeviceError::bad_settings);
    }
    ::close(slave);
    ::close(master);
}

// What a pseudo-terminal cannot show: the bits for every kind of line a rig may want.
TEST(TermiosSettings, EachLineSettingBecomesItsFlags) {
    const struct {
        io::LineSettings line;
        speed_t speed;
        tcflag_t flags;
        bool parity_checked;
    } cases[] = {
        {{4800, 8, io::Parity::none, io::StopBits::two}, B4800, CS8 | CSTOPB, false},
        {{9600, 7, io::Parity::even, io::StopBits::one}, B9600, CS7 | PARENB, true},
        {{1200, 5, io::Parity::odd, io::StopBits::one}, B1200, CS5 | PARENB | PARODD, true},
        {{57600, 6, io::Parity::none, io::StopBits::one}, B57600, CS6, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.baud);
        termios settings{};
        make_raw(settings);
        settings.c_cflag |= CS8 | PARENB | PARODD | CSTOPB; // whatever the port held before
        settings.c_iflag |= INPCK;
        ASSERT_TRUE(apply(settings, c.line));
        EXPECT_EQ(settings.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB), c.flags);
        EXPECT_EQ((settings.c_iflag & INPCK) != 0, c.parity_checked);
        EXPECT_EQ(cfgetispeed(&settings), c.speed);
        EXPECT_EQ(cfgetospeed(&settings), c.speed);
        EXPECT_NE(settings.c_cflag & (CLOCAL | CREAD), 0u);
        EXPECT_EQ(settings.c_cflag & CRTSCTS, 0u);
    }
    termios untouched{};
    EXPECT_FALSE(apply(untouched, {.baud = 14400}));
    EXPECT_FALSE(apply(untouched, {.data_bits = 9}));
}

TEST(PosixWallClock, SettingGoesToTheSystemAndARefusalIsNotPermitted) {
    ScriptedSystemCalls calls;
    PosixWallClock clock(calls);
    const auto before = std::chrono::system_clock::now();
    ASSERT_TRUE(clock.shift(1min));
    ASSERT_EQ(calls.clock_sets.size(), 1u);
    const auto asked = time_point_of(calls.clock_sets[0]);
    EXPECT_GE(asked, before + 1min);
    EXPECT_LT(asked, before + 1min + 10s);

    calls.settime_error = EPERM;
    const io::Status refused = clock.shift(-1min);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), DeviceError::not_permitted);
}

// True when this process could really set the clock: root, or holding CAP_SYS_TIME.
bool may_set_clock() {
    if (geteuid() == 0) return true;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("CapEff:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> 25) & 1;
    }
    return true; // unknown: assume it could, and leave the clock alone
}

TEST(PosixWallClock, AnOrdinaryUserMayNotSetTheClock) {
    if (may_set_clock())
        GTEST_SKIP() << "this process may set the clock; the refusal is tested through the seam";
    PosixWallClock clock(real_system_calls());
    const io::Status done = clock.set(clock.now());
    ASSERT_FALSE(done);
    EXPECT_EQ(done.error(), DeviceError::not_permitted);
}

TEST(PosixSteadyClock, SleepsToTheDeadlineOrUntilStopped) {
    PosixSteadyClock clock;
    const auto start = clock.now();
    EXPECT_TRUE(clock.sleep_until(start - 1s, {}));
    EXPECT_TRUE(clock.sleep_until(start + 50ms, {}));
    EXPECT_GE(clock.now(), start + 50ms);

    std::stop_source stop;
    std::thread stopper([&] {
        std::this_thread::sleep_for(50ms);
        stop.request_stop();
    });
    const auto before = clock.now();
    EXPECT_FALSE(clock.sleep_until(before + 1h, stop.get_token()));
    EXPECT_LT(clock.now() - before, 30s);
    stopper.join();
}

} // namespace
} // namespace kestrel::platform::posix
