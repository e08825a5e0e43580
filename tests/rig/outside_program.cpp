#include "rig/outside_program.hpp"

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace kestrel::testing {

namespace {

using namespace std::chrono_literals;

pid_t spawn(const std::vector<std::string>& arguments, const std::string& log_path) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log_path.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Ends the process: politely first, then for certain; always waited for.
void end(pid_t pid) {
    ::kill(pid, SIGTERM);
    int status = 0;
    const bool gone = wait_until([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 2000ms);
    if (gone) return;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
}

} // namespace

std::optional<std::string> find_program(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string directories = path ? path : "/usr/bin:/bin";
    std::size_t at = 0;
    while (at <= directories.size()) {
        std::size_t end = directories.find(':', at);
        if (end == std::string::npos) end = directories.size();
        const std::string candidate = directories.substr(at, end - at) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        at = end + 1;
    }
    return std::nullopt;
}

OutsideProgram::OutsideProgram(const std::vector<std::string>& arguments, const std::string& log_path)
    : m_pid(spawn(arguments, log_path)) {}

OutsideProgram::~OutsideProgram() {
    if (m_pid > 0 && !m_ended) end(m_pid);
}

bool OutsideProgram::running() {
    if (m_pid <= 0 || m_ended) return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) m_ended = true;
    return !m_ended;
}

std::optional<int> run_program(const std::vector<std::string>& arguments, std::chrono::milliseconds limit) {
    const pid_t pid = spawn(arguments, "/dev/null");
    if (pid <= 0) return std::nullopt;
    int status = 0;
    if (!wait_until([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, limit)) {
        end(pid);
        return std::nullopt;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool wait_until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(50ms);
    }
}

int free_local_port() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

} // namespace kestrel::testing
