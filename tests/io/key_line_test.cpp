#include "io/devices.hpp"
#include "support/fake_devices.hpp"

#include <gtest/gtest.h>

namespace kestrel::io {
namespace {

using namespace std::chrono_literals;
using testing::FakeDevices;
using testing::KeyEdge;
using testing::KeyEvent;
using testing::LineChange;

constexpr auto rts = ControlLine::rts;
constexpr auto dtr = ControlLine::dtr;
constexpr auto on = LineLevel::on;
constexpr auto off = LineLevel::off;

TEST(SerialKeyLine, KeysOnRtsWithDtrHeldOffAndLeavesTheKeyUp) {
    FakeDevices devices;
    auto& line = devices.serial_line("2");
    auto& clock = devices.steady_clock();
    const auto t0 = clock.now();
    {
        auto key = devices.open_key_line("2");
        ASSERT_TRUE(key);
        clock.advance(60ms);
        ASSERT_TRUE((*key)->key_down());
        clock.advance(60ms);
        ASSERT_TRUE((*key)->key_up());
        clock.advance(180ms);
        ASSERT_TRUE((*key)->key_down());
        EXPECT_EQ(line.level(rts), on);
    } // let go with the key down: the line must not stay keyed

    const std::vector<LineChange> expected{
        {dtr, off, t0},         {rts, off, t0},        {rts, on, t0 + 60ms},
        {rts, off, t0 + 120ms}, {rts, on, t0 + 300ms}, {rts, off, t0 + 300ms},
    };
    EXPECT_EQ(line.line_changes(), expected);
    EXPECT_FALSE(line.is_open());
    EXPECT_TRUE(line.written().empty());
}

TEST(SerialKeyLine, APortThatCannotSwitchItsLinesIsRefusedAtOpeningAndLetGo) {
    FakeDevices devices;
    auto& line = devices.serial_line("/dev/pts/7");
    line.fail_line_changes(DeviceError::line_change_refused);

    const auto key = devices.open_key_line("/dev/pts/7");
    ASSERT_FALSE(key);
    EXPECT_EQ(key.error(), DeviceError::line_change_refused);
    EXPECT_FALSE(line.is_open()); // so the operator can pick another port and try again

    line.fail_line_changes(std::nullopt);
    EXPECT_TRUE(devices.open_key_line("/dev/pts/7"));
}

TEST(KeyLine, ThePortTextChoosesTheLineAndItsFailuresComeBack) {
    FakeDevices devices;
    devices.serial_line("3").fail_open(DeviceError::no_such_port);

    const struct {
        const char* text;
        std::optional<DeviceError> error;
    } cases[] = {
        {"P", std::nullopt},
        {"1", std::nullopt},
        {"/dev/ttyUSB0", std::nullopt},
        {"3", DeviceError::no_such_port},
        {"", DeviceError::bad_port_name},
        {"LPT1", DeviceError::bad_port_name},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto key = devices.open_key_line(c.text);
        EXPECT_EQ(key.ok(), !c.error);
        if (c.error && !key) {
            EXPECT_EQ(key.error(), *c.error);
        }
    }
}

TEST(KeyLine, TheParallelPortIsOpenedThroughTheDevices) {
    FakeDevices devices;
    auto& clock = devices.steady_clock();
    {
        auto key = devices.open_key_line("P");
        ASSERT_TRUE(key);
        ASSERT_TRUE((*key)->key_down());
        clock.advance(180ms);
        ASSERT_TRUE((*key)->key_up());
        EXPECT_EQ(devices.open_key_line("P").error(), DeviceError::busy);
    }
    const auto t0 = testing::FakeSteadyClock::k_start;
    const std::vector<KeyEvent> expected{{KeyEdge::down, t0}, {KeyEdge::up, t0 + 180ms}};
    EXPECT_EQ(devices.parallel_port().events(), expected);
    EXPECT_FALSE(devices.parallel_port().is_open());
}

} // namespace
} // namespace kestrel::io
