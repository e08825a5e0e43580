#include "notepad/notepad_file.hpp"

#include "common/side_file.hpp"

#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::notepad {

namespace {

std::string two_digits(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02u", value % 100);
    return text;
}

// The last byte of the file, if it has one.
std::optional<char> last_byte(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size == 0) return std::nullopt;
    char byte = 0;
    if (::pread(fd, &byte, 1, info.st_size - 1) != 1) return std::nullopt;
    return byte;
}

bool append(const std::string& path, std::string bytes) {
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    if (const auto last = last_byte(fd); last && *last != '\n') bytes.insert(0, "\r\n");
    bool ok = true;
    for (std::string_view rest = bytes; ok && !rest.empty();) {
        const ssize_t put = ::write(fd, rest.data(), rest.size());
        if (put <= 0)
            ok = false;
        else
            rest.remove_prefix(static_cast<std::size_t>(put));
    }
    ok = ok && ::fsync(fd) == 0;
    return (::close(fd) == 0) && ok;
}

} // namespace

std::string stamp_line(std::chrono::system_clock::time_point utc) {
    const auto day = std::chrono::floor<std::chrono::days>(utc);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss time{std::chrono::floor<std::chrono::seconds>(utc - day)};
    const int year = static_cast<int>(date.year());
    return two_digits(static_cast<unsigned>(date.day())) + "-" +
           two_digits(static_cast<unsigned>(date.month())) + "-" +
           two_digits(static_cast<unsigned>(((year % 100) + 100) % 100)) + "   " +
           two_digits(static_cast<unsigned>(time.hours().count())) + ":" +
           two_digits(static_cast<unsigned>(time.minutes().count())) + "\r\n";
}

std::string note_text(std::string_view box_text) {
    std::string out;
    out.reserve(box_text.size() + 2);
    for (std::size_t i = 0; i < box_text.size(); ++i) {
        const char c = box_text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < box_text.size() && box_text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else {
            out += c;
        }
    }
    if (!out.empty() && !out.ends_with("\r\n")) out += "\r\n";
    return out;
}

bool save_note(const std::string& path, std::string_view stamp, std::string_view note, SaveMode mode) {
    std::string bytes = std::string(stamp) + std::string(note);
    if (mode == SaveMode::replace) return write_side_file(path, bytes);
    return append(path, std::move(bytes));
}

} // namespace kestrel::notepad
