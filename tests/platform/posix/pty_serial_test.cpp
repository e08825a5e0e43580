// The termios port against a pseudo-terminal pair: the test holds the far end (the master) and
// the port opens the near end by its path, as it would a real serial port.
#include "platform/posix/posix_devices.hpp"
#include "platform/posix/posix_serial_port.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace kestrel::platform::posix {
namespace {

using namespace std::chrono_literals;
using io::Bytes;
using io::DeviceError;
using io::ReadRequest;

class PtyPair {
  public:
    PtyPair() {
        char name[128] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) return;
        m_path = name;
        termios raw{};
        ::tcgetattr(m_master, &raw);
        cfmakeraw(&raw);
        ::tcsetattr(m_master, TCSANOW, &raw);
    }
    ~PtyPair() {
        hang_up();
        if (m_slave >= 0) ::close(m_slave);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& path() const { return m_path; }
    int near_end() const { return m_slave; }

    void send(const Bytes& bytes) const {
        ASSERT_EQ(::write(m_master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }

    // What the far end received, waiting up to two seconds for `count` bytes.
    Bytes receive(std::size_t count) const {
        Bytes got;
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd watched{m_master, POLLIN, 0};
            if (::poll(&watched, 1, 100) <= 0) continue;
            std::uint8_t chunk[512];
            const ssize_t n = ::read(m_master, chunk, std::min(sizeof chunk, count - got.size()));
            if (n > 0) got.insert(got.end(), chunk, chunk + n);
        }
        return got;
    }

    void hang_up() {
        if (m_master >= 0) ::close(m_master);
        m_master = -1;
    }

  private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

std::unique_ptr<io::SerialPort> open_port(const std::string& path) {
    auto port = PosixSerialPort::open(real_system_calls(), path);
    EXPECT_TRUE(port) << path;
    return port ? std::move(port).value() : nullptr;
}

Bytes every_byte_value() {
    Bytes all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<std::uint8_t>(i);
    return all;
}

TEST(PtySerialPort, BytesPassBothWaysUnchanged) {
    PtyPair pty;
    ASSERT_FALSE(pty.path().empty());
    auto port = open_port(pty.path());
    ASSERT_TRUE(port);

    // Raw mode: CR, LF, XON, XOFF, Ctrl-C and 0xFF arrive as sent, in both directions.
    const Bytes all = every_byte_value();
    ASSERT_TRUE(port->write(all));
    EXPECT_EQ(pty.receive(all.size()), all);
    pty.send(all);
    const auto back = port->read(ReadRequest{.timeout = 2s, .count = all.size()});
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, all);
}

TEST(PtySerialPort, AReadEndsAtItsCountOrTerminatorAndLeavesTheRest) {
    PtyPair pty;
    auto port = open_port(pty.path());
    ASSERT_TRUE(port);

    pty.send({'F', 'A', '0', '1', '4', ';', 'M', 'D', '2', ';', 0xFE});
    EXPECT_EQ(port->read(ReadRequest{.timeout = 2s, .terminator = ';'}).value(),
              (Bytes{'F', 'A', '0', '1', '4', ';'}));
    EXPECT_EQ(port->read(ReadRequest{.timeout = 2s, .count = 2}).value(), (Bytes{'M', 'D'}));
    // Whatever else comes within the time, possibly nothing.
    EXPECT_EQ(port->read(ReadRequest{.timeout = 300ms}).value(), (Bytes{'2', ';', 0xFE}));
    EXPECT_EQ(port->read(ReadRequest{.timeout = 0ms}).value(), Bytes{});
}

TEST(PtySerialPort, AnIncompleteReplyTimesOutInAboutTheTimeAskedAndIsNotLost) {
    PtyPair pty;
    auto port = open_port(pty.path());
    ASSERT_TRUE(port);

    pty.send({0x00, 0x14});
    const auto start = std::chrono::steady_clock::now();
    const auto reply = port->read(ReadRequest{.timeout = 300ms, .count = 5});
    const auto waited = std::chrono::steady_clock::now() - start;
    ASSERT_FALSE(reply);
    EXPECT_EQ(reply.error(), DeviceError::timeout);
    EXPECT_GE(waited, 290ms);
    EXPECT_LT(waited, 10s); // a loaded machine may be slow; a hang would not end at all

    pty.send({0x25, 0x00, 0x01});
    EXPECT_EQ(port->read(ReadRequest{.timeout = 2s, .count = 5}).value(),
              (Bytes{0x00, 0x14, 0x25, 0x00, 0x01}));
}

TEST(PtySerialPort, LineSettingsReachTheDriverAndOnesItDoesNotTakeAreRefused) {
    PtyPair pty;
    auto port = open_port(pty.path());
    ASSERT_TRUE(port);

    // A pseudo-terminal keeps eight data bits and no parity whatever it is asked; a port that
    // quietly kept other settings than the rig's would garble every reply, so it is refused.
    const struct {
        io::LineSettings line;
        bool accepted;
        speed_t speed;
        tcflag_t flags;
    } cases[] = {
        {{4800, 8, io::Parity::none, io::StopBits::two}, true, B4800, CS8 | CSTOPB},
        {{38400, 8, io::Parity::none, io::StopBits::one}, true, B38400, CS8},
        {{9600, 7, io::Parity::even, io::StopBits::one}, false, B38400, CS8},
        {{12345, 8, io::Parity::none, io::StopBits::one}, false, B38400, CS8},
        {{4800, 9, io::Parity::none, io::StopBits::one}, false, B38400, CS8},
        {{115200, 8, io::Parity::none, io::StopBits::one}, true, B115200, CS8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.baud);
        SCOPED_TRACE(c.line.data_bits);
        const io::Status done = port->configure(c.line);
        EXPECT_EQ(done.ok(), c.accepted);
        if (!done) {
            EXPECT_EQ(done.error(), DeviceError::bad_settings);
        }
        // A refused change leaves the port as it was.
        termios held{};
        ASSERT_EQ(::tcgetattr(pty.near_end(), &held), 0);
        EXPECT_EQ(cfgetospeed(&held), c.speed);
        EXPECT_EQ(held.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB), c.flags);
        EXPECT_NE(held.c_cflag & CLOCAL, 0u);
    }
}

TEST(PtySerialPort, APseudoTerminalRefusesRtsAndDtr) {
    PtyPair pty;
    auto port = open_port(pty.path());
    ASSERT_TRUE(port);
    for (const auto line : {io::ControlLine::rts, io::ControlLine::dtr}) {
        for (const auto level : {io::LineLevel::on, io::LineLevel::off}) {
            const io::Status done = port->set_line(line, level);
            ASSERT_FALSE(done);
            EXPECT_EQ(done.error(), DeviceError::line_change_refused);
        }
    }
    port.reset();

    // So it cannot be a key line, and saying so once at opening leaves the port free again.
    PosixDevices devices;
    const auto key = devices.open_key_line(pty.path());
    ASSERT_FALSE(key);
    EXPECT_EQ(key.error(), DeviceError::line_change_refused);
    EXPECT_TRUE(open_port(pty.path()));
}

TEST(PtySerialPort, APortIsOpenedOnceAtATime) {
    PtyPair pty;
    auto first = open_port(pty.path());
    ASSERT_TRUE(first);
    const auto second = PosixSerialPort::open(real_system_calls(), pty.path());
    ASSERT_FALSE(second);
    EXPECT_EQ(second.error(), DeviceError::busy);

    first->close();
    EXPECT_FALSE(first->is_open());
    EXPECT_TRUE(open_port(pty.path()));
}

TEST(PtySerialPort, AClosedOrHungUpPortFailsAtOnce) {
    PtyPair pty;
    auto port = open_port(pty.path());
    ASSERT_TRUE(port);
    pty.hang_up();
    const auto start = std::chrono::steady_clock::now();
    const auto reply = port->read(ReadRequest{.timeout = 5s, .count = 1});
    ASSERT_FALSE(reply);
    EXPECT_EQ(reply.error(), DeviceError::io_error);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
    EXPECT_EQ(port->write(Bytes{1, 2, 3}).error(), DeviceError::io_error);

    port->close();
    port->close();
    EXPECT_EQ(port->read(ReadRequest{}).error(), DeviceError::not_open);
    EXPECT_EQ(port->write(Bytes{1}).error(), DeviceError::not_open);
    EXPECT_EQ(port->configure({}).error(), DeviceError::not_open);
    EXPECT_EQ(port->set_line(io::ControlLine::rts, io::LineLevel::off).error(), DeviceError::not_open);
}

TEST(PosixDevices, PortsThatAreNotThereOrNotPortsAreReportedAsSuch) {
    testing::TempDir dir;
    testing::write_file(dir.file("notes.txt"), "not a port");
    PosixDevices devices;
    const struct {
        std::string text;
        DeviceError error;
    } cases[] = {
        {"201", DeviceError::no_such_port}, // /dev/ttyS200
        {"/dev/kestrel-no-such-port", DeviceError::no_such_port},
        {dir.file("notes.txt"), DeviceError::no_such_port},
        {dir.path().string(), DeviceError::no_such_port},
        {"/dev/null", DeviceError::no_such_port},
        {"COM1", DeviceError::bad_port_name},
        {"", DeviceError::bad_port_name},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto port = devices.open_serial_port(c.text);
        ASSERT_FALSE(port);
        EXPECT_EQ(port.error(), c.error);
        const auto key = devices.open_key_line(c.text);
        ASSERT_FALSE(key);
        EXPECT_EQ(key.error(), c.error);
    }
}

} // namespace
} // namespace kestrel::platform::posix
