#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestrel::testing {

// An HTTP server on a free loopback port, answering each GET from a function of its path (a
// full answer: status line, head and body) until it goes. An empty answer is never sent: the
// connection is held open, as a server that does not answer.
class LocalHttpServer {
  public:
    using Answer = std::function<std::string(const std::string& path)>;
    explicit LocalHttpServer(Answer answer);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    std::string address() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    std::vector<std::string> paths() const;

  private:
    void serve();
    Answer m_answer;
    int m_listener = -1;
    int m_port = 0;
    int m_stop[2] = {-1, -1};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_paths;
    std::thread m_thread;
};

// A "200" answer with an XML body.
std::string ok_xml(const std::string& body);

} // namespace kestrel::testing
