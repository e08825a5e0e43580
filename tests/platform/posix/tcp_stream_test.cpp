// The TCP stream against a listening socket of this test on the loopback interface.
#include "platform/posix/posix_devices.hpp"
#include "platform/posix/tcp_stream.hpp"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kestrel::platform::posix {
namespace {

using namespace std::chrono_literals;
using io::Bytes;
using io::DeviceError;

class Listener {
  public:
    Listener() {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(m_fd, 4) != 0)
            return;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~Listener() {
        if (m_peer >= 0) ::close(m_peer);
        stop();
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    int port() const { return m_port; }
    void accept() { m_peer = ::accept(m_fd, nullptr, nullptr); }
    void send(const std::string& text) const {
        ASSERT_EQ(::write(m_peer, text.data(), text.size()), ssize_t(text.size()));
    }
    std::string receive(std::size_t count) const {
        std::string got(count, '\0');
        std::size_t have = 0;
        while (have < count) {
            const ssize_t n = ::read(m_peer, got.data() + have, count - have);
            if (n <= 0) break;
            have += static_cast<std::size_t>(n);
        }
        got.resize(have);
        return got;
    }
    void hang_up() {
        ::close(m_peer);
        m_peer = -1;
    }
    void stop() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

  private:
    int m_fd = -1;
    int m_peer = -1;
    int m_port = 0;
};

Bytes bytes_of(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST(TcpStream, CommandsGoOutAndAnswersComeBackAsTheyArrive) {
    Listener daemon;
    ASSERT_GT(daemon.port(), 0);
    PosixDevices devices;
    auto stream = devices.connect_stream("localhost", daemon.port(), 2s);
    ASSERT_TRUE(stream);
    daemon.accept();
    io::ByteStream& link = **stream;

    EXPECT_EQ(link.read(io::ReadRequest{}).value(), Bytes{}) << "nothing waiting: nothing, at once";
    ASSERT_TRUE(link.write(bytes_of("f\nm\n")));
    EXPECT_EQ(daemon.receive(4), "f\nm\n");
    daemon.send("14250000\nUSB\n2400\n");
    auto line = link.read(io::ReadRequest{2s, 0, '\n'});
    ASSERT_TRUE(line);
    EXPECT_EQ(*line, bytes_of("14250000\n"));
    line = link.read(io::ReadRequest{2s, 0, '\n'});
    ASSERT_TRUE(line);
    EXPECT_EQ(*line, bytes_of("USB\n"));

    // The far end goes: what it sent before is still read, then the stream is gone.
    daemon.hang_up();
    auto rest = link.read(io::ReadRequest{2s, 5, std::nullopt});
    ASSERT_TRUE(rest);
    EXPECT_EQ(*rest, bytes_of("2400\n"));
    auto after = link.read(io::ReadRequest{200ms});
    ASSERT_FALSE(after);
    EXPECT_EQ(after.error(), DeviceError::io_error);
    link.close();
    EXPECT_EQ(link.write(bytes_of("f\n")), io::Status(DeviceError::not_open));
}

TEST(TcpStream, NobodyListeningOrNoPortIsRefusedAtOnce) {
    int closed_port = 0;
    {
        Listener gone;
        closed_port = gone.port();
    }
    const struct {
        std::string host;
        int port;
        DeviceError error;
    } cases[] = {
        {"127.0.0.1", closed_port, DeviceError::no_such_port},
        {"localhost", 0, DeviceError::bad_port_name},
        {"localhost", 70000, DeviceError::bad_port_name},
        {"", 4532, DeviceError::bad_port_name},
    };
    for (const auto& c : cases) {
        const auto stream = TcpStream::connect(c.host, c.port, 2s);
        ASSERT_FALSE(stream) << c.host << ":" << c.port;
        EXPECT_EQ(stream.error(), c.error) << c.host << ":" << c.port;
    }
}

} // namespace
} // namespace kestrel::platform::posix
