#include "io/port_name.hpp"

#include <gtest/gtest.h>

#include <string>

namespace kestrel::io {
namespace {

TEST(PortName, DigitsNameTheSerialPortsFromOneAndPathsStandAsTheyAre) {
    const struct {
        std::string text;
        std::string path; // empty: a bad port name
    } cases[] = {
        {"1", "/dev/ttyS0"},
        {"10", "/dev/ttyS9"},
        {"201", "/dev/ttyS200"},
        {"01", "/dev/ttyS0"},
        {" 3 ", "/dev/ttyS2"}, // from a fixed-width field
        {"9999", "/dev/ttyS9998"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"/dev/serial/by-id/usb-FTDI_FT232R-if00", "/dev/serial/by-id/usb-FTDI_FT232R-if00"},
        {"/", "/"}, // a path, if a useless one: opening it reports there is no such port
        {"", ""},
        {"0", ""},
        {"-1", ""},
        {"1a", ""},
        {"COM1", ""},
        {"ttyS0", ""},
        {"P", ""}, // the parallel port is a key line, not a serial port
        {"1 2", ""},
        {"10000", ""},
        {"99999999999999999999", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("port text \"" + c.text + "\"");
        const auto path = serial_device_path(c.text);
        if (c.path.empty()) {
            ASSERT_FALSE(path);
            EXPECT_EQ(path.error(), DeviceError::bad_port_name);
        } else {
            ASSERT_TRUE(path);
            EXPECT_EQ(*path, c.path);
        }
    }
}

} // namespace
} // namespace kestrel::io
