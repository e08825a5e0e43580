#pragma once

#include "io/devices.hpp"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace kestrel::digital {

class Spool;

// What the listener has met since it started, for the set-up window and for tests.
struct ListenerCounts {
    int datagrams = 0; // every datagram read, of whatever kind
    int contacts = 0;  // contacts added to the spool (or held)
    int repeated = 0;  // contacts that were waiting already: sent twice, or sent again
    int set_aside = 0; // contacts the log cannot hold, kept in a file of their own
};

// Listens for the datagrams of digital-mode programs on a thread of its own and puts every
// contact they report into the spool; the spool tells the on-line window. Everything else in
// the datagrams, and every datagram that is no message of theirs, is passed over.
class Listener {
  public:
    Listener(io::Devices& devices, Spool& spool) : m_devices(devices), m_spool(spool) {}
    ~Listener() { stop(); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // Opens the port on the calling thread, so that a port that cannot be had is known at once,
    // then reads it on the listener's thread. Listening already, it stops first. A multicast
    // group is joined where `join` says.
    [[nodiscard]] io::Status start(const std::string& address, int port, io::GroupJoin join);
    // Lets the port go; returns once the thread has ended.
    void stop();

    bool listening() const { return m_thread.joinable(); }
    // The port listened on (the system's choice when 0 was asked for); 0 when not listening.
    int port() const { return m_port; }
    ListenerCounts counts() const;

  private:
    void run(std::stop_token stop, std::unique_ptr<io::DatagramSocket> socket);

    io::Devices& m_devices;
    Spool& m_spool;
    int m_port = 0;
    std::atomic<int> m_datagrams = 0;
    std::atomic<int> m_contacts = 0;
    std::atomic<int> m_repeated = 0;
    std::atomic<int> m_set_aside = 0;
    std::jthread m_thread;
};

} // namespace kestrel::digital
