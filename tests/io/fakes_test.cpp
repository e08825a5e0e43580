// The fakes other tests lean on: if they lied, those tests would pass for nothing.
#include "support/fake_devices.hpp"

#include <gtest/gtest.h>

#include <thread>

namespace kestrel::testing {
namespace {

using namespace std::chrono_literals;
using io::Bytes;
using io::DeviceError;
using io::ReadRequest;

TEST(FakeSteadyClock, SleepingJumpsToTheDeadlineUnlessStopped) {
    FakeSteadyClock clock;
    const auto t0 = clock.now();
    EXPECT_TRUE(clock.sleep_until(t0 + 60ms, {}));
    EXPECT_EQ(clock.now(), t0 + 60ms);
    EXPECT_TRUE(clock.sleep_until(t0, {})); // a deadline already past does not turn time back
    EXPECT_EQ(clock.now(), t0 + 60ms);

    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(clock.sleep_until(t0 + 1s, stop.get_token()));
    EXPECT_EQ(clock.now(), t0 + 60ms);
}

TEST(FakeSteadyClock, ASleeperWaitsForTheTestToAdvanceTimeOrToStopIt) {
    FakeSteadyClock clock(FakeSteadyClock::Sleep::waits_for_advance);
    const auto deadline = clock.now() + 60ms;
    std::atomic<int> woke{0};
    std::jthread sleeper([&](std::stop_token stop) {
        woke = clock.sleep_until(deadline, stop) ? 1 : 2;
        woke.notify_one();
        woke = clock.sleep_until(deadline + 1h, stop) ? 3 : 4;
        woke.notify_one();
    });
    clock.advance(59ms);
    std::this_thread::sleep_for(20ms); // a sleeper that woke early would show by now
    EXPECT_EQ(woke.load(), 0);
    clock.advance(1ms);
    woke.wait(0);
    EXPECT_EQ(woke.load(), 1);
    sleeper.request_stop();
    woke.wait(1);
    EXPECT_EQ(woke.load(), 4);
}

TEST(FakeWallClock, RecordsEverySettingAndCanRefuseThem) {
    FakeWallClock clock;
    const auto start = clock.now();
    ASSERT_TRUE(clock.shift(1min));
    EXPECT_EQ(clock.now(), start + 1min);
    clock.refuse_sets();
    const auto refused = clock.shift(-1min);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), DeviceError::not_permitted);
    EXPECT_EQ(clock.now(), start + 1min);
    EXPECT_EQ(clock.sets(), (std::vector{start + 1min, start}));
}

TEST(FakeSerialLine, AnswersCommandsInTurnAndKeepsWhatWasNotRead) {
    FakeSerialLine line;
    const Bytes frequency{0x01}, mode{0x02};
    line.answer(frequency, {'F', '1', ';'});
    line.answer(frequency, {'F', '2', ';'});
    line.answer(mode, {'M', ';'});
    auto port = std::move(line.open()).value();
    const ReadRequest reply{.timeout = 100ms, .terminator = ';'};

    ASSERT_TRUE(port->write(frequency));
    EXPECT_EQ(port->read(reply).value(), (Bytes{'F', '1', ';'}));
    ASSERT_TRUE(port->write(mode));
    ASSERT_TRUE(port->write(frequency));
    ASSERT_TRUE(port->write(frequency));
    EXPECT_EQ(port->read(reply).value(), (Bytes{'M', ';'}));
    EXPECT_EQ(port->read(ReadRequest{.timeout = 0ms, .count = 2}).value(), (Bytes{'F', '2'}));
    EXPECT_EQ(line.unread(), (Bytes{';', 'F', '2', ';'})); // the last answer repeats
    EXPECT_EQ(line.clock().elapsed(), 0ms);                // nothing had to be waited for

    const auto late = port->read(ReadRequest{.timeout = 1s, .count = 9});
    EXPECT_EQ(late.error(), DeviceError::timeout);
    EXPECT_EQ(line.clock().elapsed(), 1s);
    EXPECT_EQ(port->read(ReadRequest{.timeout = 1s}).value(), (Bytes{';', 'F', '2', ';'}));
    EXPECT_EQ(line.written(), (Bytes{0x01, 0x02, 0x01, 0x01}));
}

TEST(FakeSerialLine, FailsWhereItIsToldToAndIsOpenedOnceAtATime) {
    FakeSerialLine line;
    line.fail_open(DeviceError::permission_denied);
    EXPECT_EQ(line.open().error(), DeviceError::permission_denied);
    line.fail_open(std::nullopt);

    auto port = std::move(line.open()).value();
    EXPECT_EQ(line.open().error(), DeviceError::busy);
    line.fail_settings(DeviceError::bad_settings);
    EXPECT_EQ(port->configure({}).error(), DeviceError::bad_settings);
    EXPECT_FALSE(line.settings());
    line.fail_line_changes(DeviceError::line_change_refused);
    EXPECT_EQ(port->set_line(io::ControlLine::rts, io::LineLevel::on).error(),
              DeviceError::line_change_refused);
    EXPECT_EQ(line.level(io::ControlLine::rts), io::LineLevel::off);
    EXPECT_EQ(line.line_changes().size(), 1u); // the attempt is recorded all the same

    port->close();
    EXPECT_EQ(port->write(Bytes{1}).error(), DeviceError::not_open);
    EXPECT_TRUE(line.open());
}

TEST(FakeDevices, APortTextAndItsDevicePathAreOneLine) {
    FakeDevices devices;
    auto port = std::move(devices.open_serial_port("1")).value();
    EXPECT_TRUE(devices.serial_line("/dev/ttyS0").is_open());
    EXPECT_EQ(devices.open_serial_port(" 1").error(), DeviceError::busy);
    EXPECT_EQ(devices.open_serial_port("COM1").error(), DeviceError::bad_port_name);
    EXPECT_EQ(&devices.serial_line("1").clock(), &devices.steady_clock());
}

} // namespace
} // namespace kestrel::testing
