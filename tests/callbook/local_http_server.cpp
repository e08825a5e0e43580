#include "local_http_server.hpp"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kestrel::testing {

LocalHttpServer::LocalHttpServer(Answer answer) : m_answer(std::move(answer)) {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    at.sin_port = 0;
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&at), sizeof at);
    ::listen(m_listener, 8);
    socklen_t size = sizeof at;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&at), &size);
    m_port = ntohs(at.sin_port);
    [[maybe_unused]] const int piped = ::pipe(m_stop);
    m_thread = std::thread([this] { serve(); });
}

LocalHttpServer::~LocalHttpServer() {
    [[maybe_unused]] const ssize_t n = ::write(m_stop[1], "x", 1);
    m_thread.join();
    ::close(m_listener);
    ::close(m_stop[0]);
    ::close(m_stop[1]);
}

std::vector<std::string> LocalHttpServer::paths() const {
    const std::lock_guard lock(m_mutex);
    return m_paths;
}

void LocalHttpServer::serve() {
    std::vector<int> held; // connections left unanswered until the server goes
    for (;;) {
        pollfd waits[2] = {{m_listener, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
        if (::poll(waits, 2, -1) <= 0 || (waits[1].revents & POLLIN)) break;
        const int connection = ::accept(m_listener, nullptr, nullptr);
        if (connection < 0) continue;
        std::string request;
        char buffer[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            request.append(buffer, static_cast<std::size_t>(n));
        }
        const std::size_t space = request.find(' ');
        const std::string path = request.substr(space + 1, request.find(' ', space + 1) - space - 1);
        {
            const std::lock_guard lock(m_mutex);
            m_paths.push_back(path);
        }
        const std::string answer = m_answer(path);
        if (answer.empty()) {
            held.push_back(connection);
            continue;
        }
        [[maybe_unused]] const ssize_t sent = ::send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
        ::close(connection);
    }
    for (const int connection : held)
        ::close(connection);
}

std::string ok_xml(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n<?xml version=\"1.0\"?>\n" + body;
}

} // namespace kestrel::testing
