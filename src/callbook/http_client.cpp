#include "callbook/http_client.hpp"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kestrel::callbook {

namespace {

using Clock = std::chrono::steady_clock;

struct Address {
    std::string host;
    std::string port;
    std::string path;
};

std::optional<Address> parse_http_address(const std::string& address) {
    constexpr std::string_view scheme = "http://";
    if (address.compare(0, scheme.size(), scheme) != 0) return std::nullopt;
    const std::string rest = address.substr(scheme.size());
    const std::size_t slash = rest.find('/');
    Address out;
    std::string authority = rest.substr(0, slash);
    out.path = slash == std::string::npos ? "/" : rest.substr(slash);
    out.port = "80";
    if (const std::size_t colon = authority.rfind(':'); colon != std::string::npos) {
        out.port = authority.substr(colon + 1);
        authority.resize(colon);
    }
    out.host = authority;
    if (out.host.empty() || out.port.empty()) return std::nullopt;
    return out;
}

int milliseconds_left(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for the socket; false when the time is up.
bool wait_for(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int ready = ::poll(&p, 1, milliseconds_left(deadline));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

class Socket {
  public:
    explicit Socket(int fd) : m_fd(fd) {}
    ~Socket() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int get() const { return m_fd; }

  private:
    int m_fd;
};

Result<std::string, HttpError> connected_socket_get(int fd, const Address& to, Clock::time_point deadline) {
    // HTTP/1.0: the server ends the body by closing, never in chunks.
    const std::string request = "GET " + to.path + " HTTP/1.0\r\nHost: " + to.host +
                                "\r\nUser-Agent: Kestrel\r\nConnection: close\r\n\r\n";
    std::size_t sent = 0;
    while (sent < request.size()) {
        if (!wait_for(fd, POLLOUT, deadline)) return HttpError::timeout;
        const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR && errno != EAGAIN) return HttpError::no_connection;
        if (n > 0) sent += static_cast<std::size_t>(n);
    }
    std::string answer;
    char buffer[4096];
    for (;;) {
        if (!wait_for(fd, POLLIN, deadline)) return HttpError::timeout;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n == 0) break;
        if (n < 0 && errno != EINTR && errno != EAGAIN) return HttpError::no_connection;
        if (n > 0) answer.append(buffer, static_cast<std::size_t>(n));
    }
    const std::size_t head_end = answer.find("\r\n\r\n");
    if (answer.compare(0, 5, "HTTP/") != 0 || head_end == std::string::npos) return HttpError::bad_answer;
    const std::size_t space = answer.find(' ');
    if (space == std::string::npos || answer.compare(space + 1, 3, "200") != 0) return HttpError::bad_answer;
    return answer.substr(head_end + 4);
}

Result<std::string, HttpError> plain_get(const Address& to, Clock::time_point deadline) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(to.host.c_str(), to.port.c_str(), &hints, &found) != 0) return HttpError::no_connection;
    HttpError last = HttpError::no_connection;
    for (addrinfo* a = found; a; a = a->ai_next) {
        Socket socket(::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol));
        if (socket.get() < 0) continue;
        if (::connect(socket.get(), a->ai_addr, a->ai_addrlen) != 0) {
            if (errno != EINPROGRESS) continue;
            if (!wait_for(socket.get(), POLLOUT, deadline)) {
                last = HttpError::timeout;
                continue;
            }
            int error = 0;
            socklen_t size = sizeof error;
            if (::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) continue;
        }
        ::freeaddrinfo(found);
        return connected_socket_get(socket.get(), to, deadline);
    }
    ::freeaddrinfo(found);
    return last;
}

// Writes to a pipe whose reader may be gone without the signal that would end the program.
void write_without_sigpipe(int fd, const std::string& bytes) {
    sigset_t pipe_signal;
    sigset_t before;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &pipe_signal, &before);
    const bool failed = ::write(fd, bytes.data(), bytes.size()) < 0 && errno == EPIPE;
    if (failed) {
        const timespec none{0, 0};
        ::sigtimedwait(&pipe_signal, nullptr, &none);
    }
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

// curl reads its address from a config text on standard input ("-K -").
Result<std::string, HttpError> curl_get(const std::string& address, std::chrono::milliseconds timeout) {
    if (address.find_first_of("\"\\\r\n") != std::string::npos) return HttpError::bad_address;
    int to_child[2];
    int from_child[2];
    if (::pipe2(to_child, O_CLOEXEC) != 0) return HttpError::no_https;
    if (::pipe2(from_child, O_CLOEXEC) != 0) {
        ::close(to_child[0]);
        ::close(to_child[1]);
        return HttpError::no_https;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, to_child[0], 0);
    posix_spawn_file_actions_adddup2(&actions, from_child[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::string seconds = std::to_string(std::max<long long>(1, timeout.count() / 1000));
    const char* argv[] = {"curl", "-s", "-f", "--max-time", seconds.c_str(), "-K", "-", nullptr};
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, "curl", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(to_child[0]);
    ::close(from_child[1]);
    Socket output(from_child[0]);
    if (spawned != 0) {
        ::close(to_child[1]);
        return HttpError::no_https;
    }
    // curl reads the whole config before it starts, so its input is closed at once.
    write_without_sigpipe(to_child[1], "url = \"" + address + "\"\n");
    ::close(to_child[1]);
    const Clock::time_point deadline = Clock::now() + timeout + std::chrono::seconds(1);
    std::string body;
    char buffer[4096];
    bool timed_out = false;
    for (;;) {
        if (!wait_for(output.get(), POLLIN, deadline)) {
            timed_out = true;
            ::kill(child, SIGKILL);
            break;
        }
        const ssize_t n = ::read(output.get(), buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0 && errno != EINTR) break;
        if (n > 0) body.append(buffer, static_cast<std::size_t>(n));
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (timed_out) return HttpError::timeout;
    if (!WIFEXITED(status)) return HttpError::no_connection;
    switch (WEXITSTATUS(status)) {
    case 0: return body;
    case 127: return HttpError::no_https; // some systems' posix_spawn report a program not found so
    case 28: return HttpError::timeout;
    case 22: return HttpError::bad_answer;
    default: return HttpError::no_connection;
    }
}

} // namespace

Result<std::string, HttpError> http_get(const std::string& address, std::chrono::milliseconds timeout) {
    if (address.compare(0, 8, "https://") == 0) {
        return curl_get(address, timeout);
    }
    const std::optional<Address> to = parse_http_address(address);
    if (!to) return HttpError::bad_address;
    return plain_get(*to, Clock::now() + timeout);
}

std::string url_encoded(const std::string& text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '_' || c == '.' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 15];
        }
    }
    return out;
}

} // namespace kestrel::callbook
