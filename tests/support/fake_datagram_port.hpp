#pragma once

#include "common/result.hpp"
#include "io/datagram_socket.hpp"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace kestrel::testing {

// A UDP port of the made-up machine: a test sends datagrams to it, and the receiver the code
// under test opened there takes them, from whatever thread it reads on. A port may be held by
// another program, and is held by the first receiver opened on it until that one closes. It
// outlives its receivers (they share its state). Everything here is safe from any thread.
class FakeDatagramPort : public std::enable_shared_from_this<FakeDatagramPort> {
  public:
    explicit FakeDatagramPort(int port) : m_port(port) {}

    // A receiver on this port; busy while another program or receiver holds it.
    [[nodiscard]] Result<std::unique_ptr<io::DatagramSocket>, io::DeviceError> open();
    // Another program takes the port, or lets it go.
    void set_held_elsewhere(bool held);

    // A datagram as another program sends it: lost when no receiver is open, as on the network.
    void send(io::Bytes datagram);
    bool receiver_open() const;

  private:
    friend class FakeDatagramSocket;
    [[nodiscard]] std::optional<io::Bytes> take(std::chrono::milliseconds timeout);
    void release();

    const int m_port;
    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::deque<io::Bytes> m_datagrams;
    bool m_open = false;
    bool m_held_elsewhere = false;
};

} // namespace kestrel::testing
