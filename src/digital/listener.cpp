#include "digital/listener.hpp"

#include "digital/spool.hpp"
#include "digital/wsjtx_messages.hpp"

namespace kestrel::digital {

namespace {

// How long the thread waits for a datagram before it looks whether it should stop: the most a
// closing program waits for it.
constexpr std::chrono::milliseconds k_wait{200};

} // namespace

io::Status Listener::start(const std::string& address, int port, io::GroupJoin join) {
    stop();
    auto socket = m_devices.open_datagram_receiver(address, port, join);
    if (!socket) return socket.error();
    m_port = (*socket)->port();
    m_thread = std::jthread(
        [this, s = std::move(*socket)](std::stop_token stop) mutable { run(stop, std::move(s)); });
    return {};
}

void Listener::stop() {
    if (!m_thread.joinable()) return;
    m_thread.request_stop();
    m_thread.join();
    m_port = 0;
}

ListenerCounts Listener::counts() const {
    return {m_datagrams.load(), m_contacts.load(), m_repeated.load(), m_set_aside.load()};
}

// On the listener's thread; the socket is its alone.
void Listener::run(std::stop_token stop, std::unique_ptr<io::DatagramSocket> socket) {
    while (!stop.stop_requested()) {
        const auto got = socket->receive(k_wait);
        if (!got) {
            // A socket that fails (the interface went away) is tried again after a pause rather
            // than read in a tight loop.
            std::this_thread::sleep_for(k_wait);
            continue;
        }
        if (!got->has_value()) continue;
        ++m_datagrams;
        for (const ContactFields& contact : contacts_of_datagram(**got)) {
            switch (m_spool.add(contact)) {
            case Spooled::added:
            case Spooled::held: ++m_contacts; break;
            case Spooled::set_aside: ++m_set_aside; break;
            case Spooled::already_waiting: ++m_repeated; break;
            case Spooled::not_a_contact: break;
            }
        }
    }
    socket->close();
}

} // namespace kestrel::digital
