#include "online/squares.hpp"

#include "common/fixed_text.hpp"
#include "common/side_file.hpp"

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::online {

namespace {

constexpr std::size_t k_square_width = 4;
constexpr std::size_t k_call_at = 7; // after "IO91  :"

std::string_view square_field(std::string_view line) {
    const auto end = line.find_first_of(" :");
    return line.substr(0, end);
}

bool has_call(std::string_view line) {
    if (line.size() <= k_call_at) return false;
    const std::string_view call = line.substr(k_call_at, 12);
    return call.find_first_not_of(' ') != std::string_view::npos;
}

bool append_bytes(const std::string& path, std::string_view bytes) {
    // Opened without waiting, and only a plain file written: a named pipe in the file's place
    // would block the open, or the write, for good.
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    while (ok && !bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put <= 0) {
            ok = false;
            break;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    ok = ::fsync(fd) == 0 && ok;
    return ::close(fd) == 0 && ok;
}

} // namespace

std::string_view square_of(std::string_view locator) {
    return locator.substr(0, std::min(locator.size(), k_square_width));
}

SquareCheck check_square(const std::string& path, std::string_view square) {
    SquareCheck check;
    if (square.empty()) return check;
    const auto file = load_side_file(path);
    if (!file && file.error() != SideFileProblem::missing) return check;
    const std::string text = file ? *file : std::string();
    check.square = std::string(square);
    check.status = SquareCheck::Status::new_line;
    check.label = "New";
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (square_field(line) == square) {
            if (has_call(line)) {
                check.status = SquareCheck::Status::got;
                check.label = "Got";
            } else {
                check.status = SquareCheck::Status::fill_in;
                check.line_start = static_cast<long>(start);
            }
            break;
        }
        start = end + 1;
    }
    return check;
}

std::string square_line(std::string_view square, std::string_view call, std::string_view date_text) {
    return std::string(square) + "  :" + fixed_width(call, 12) + ":" + std::string(date_text) + ":";
}

bool record_square(const std::string& path, const SquareCheck& check, std::string_view call,
                   std::string_view date_text) {
    const std::string line = square_line(check.square, call, date_text);
    switch (check.status) {
    case SquareCheck::Status::none:
    case SquareCheck::Status::got: return true;
    case SquareCheck::Status::new_line: {
        const auto text = load_side_file(path);
        const std::string header = std::string(k_squares_header) + "\r\n";
        // The first square of a directory that never had the file: made whole in one go.
        if (!text && text.error() == SideFileProblem::missing)
            return write_side_file(path, header + line + "\r\n");
        if (!text) return false;
        // A last line the operator left without its line end gets one first, so the new line
        // stands on its own.
        const bool needs_break = !text->empty() && text->back() != '\n';
        return append_bytes(path, (text->empty() ? header : needs_break ? "\r\n" : "") + line + "\r\n");
    }
    case SquareCheck::Status::fill_in: {
        auto text = read_side_file(path);
        if (!text) return false;
        const auto start = static_cast<std::size_t>(check.line_start);
        if (start > text->size()) return false;
        auto end = text->find('\n', start);
        if (end == std::string::npos) end = text->size();
        if (end > start && (*text)[end - 1] == '\r') --end;
        // The line's first characters are written over; whatever the operator keeps after them
        // (more fields of his own) stays. A shorter line is replaced whole, never the next one.
        text->replace(start, std::min(end - start, line.size()), line);
        return write_side_file(path, *text);
    }
    }
    return false;
}

} // namespace kestrel::online
