#include "support/fake_datagram_port.hpp"

namespace kestrel::testing {

// The receiver handed to the code under test.
class FakeDatagramSocket final : public io::DatagramSocket {
  public:
    FakeDatagramSocket(std::shared_ptr<FakeDatagramPort> port, int number)
        : m_port(std::move(port)), m_number(number) {}
    ~FakeDatagramSocket() override { close(); }

    Result<std::optional<io::Bytes>, io::DeviceError> receive(std::chrono::milliseconds timeout) override {
        if (!m_open) return io::DeviceError::not_open;
        return m_port->take(timeout);
    }
    int port() const override { return m_number; }
    void close() override {
        if (!m_open) return;
        m_open = false;
        m_port->release();
    }

  private:
    std::shared_ptr<FakeDatagramPort> m_port;
    int m_number;
    bool m_open = true;
};

Result<std::unique_ptr<io::DatagramSocket>, io::DeviceError> FakeDatagramPort::open() {
    std::lock_guard lock(m_mutex);
    if (m_open || m_held_elsewhere) return io::DeviceError::busy;
    m_open = true;
    m_datagrams.clear();
    return std::unique_ptr<io::DatagramSocket>(new FakeDatagramSocket(shared_from_this(), m_port));
}

void FakeDatagramPort::set_held_elsewhere(bool held) {
    std::lock_guard lock(m_mutex);
    m_held_elsewhere = held;
}

void FakeDatagramPort::send(io::Bytes datagram) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_open) return;
        m_datagrams.push_back(std::move(datagram));
    }
    m_arrived.notify_all();
}

bool FakeDatagramPort::receiver_open() const {
    std::lock_guard lock(m_mutex);
    return m_open;
}

std::optional<io::Bytes> FakeDatagramPort::take(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    // Real time, as the receiver's own wait is: the thread that reads keeps no fake clock.
    if (!m_arrived.wait_for(lock, timeout, [this] { return !m_datagrams.empty(); })) return std::nullopt;
    io::Bytes datagram = std::move(m_datagrams.front());
    m_datagrams.pop_front();
    return datagram;
}

void FakeDatagramPort::release() {
    std::lock_guard lock(m_mutex);
    m_open = false;
    m_datagrams.clear();
}

} // namespace kestrel::testing
