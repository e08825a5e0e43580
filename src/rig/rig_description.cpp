#include "rig/rig_description.hpp"

#include "common/number_text.hpp"
#include "common/text_items.hpp"
#include "io/port_name.hpp"

#include <algorithm>
#include <filesystem>

namespace kestrel::rig {

namespace {

constexpr int k_highest_speed = 4'000'000;

std::vector<std::string> split_lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(at, end - at));
        at = end;
        if (at < text.size() && text[at] == '\r') ++at;
        if (at < text.size() && text[at] == '\n') ++at;
    }
    return lines;
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

bool all_digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string upper_case(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), upper);
    return text;
}

// Line 1: "port:speed", parity, data bits, stop bits. The port and speed split at the last ':',
// so a device path holding colons (/dev/serial/by-path/...) stays whole.
std::optional<DescriptionProblem> read_link_line(const std::string& line, RigDescription& rig) {
    TextItemReader items(line);
    const std::string first = items.next_text().value_or("");
    const auto colon = first.rfind(':');
    if (colon == std::string::npos)
        return DescriptionProblem{1, "the port and speed are not written as port:speed"};
    rig.port_text = trimmed(std::string_view(first).substr(0, colon));
    rig.rate_text = trimmed(std::string_view(first).substr(colon + 1));
    if (rig.port_text.empty()) return DescriptionProblem{1, "the port is missing before the ':'"};
    if (!io::serial_device_path(rig.port_text) && !daemon_address(rig))
        return DescriptionProblem{1, "the port is not a port number, a device path or a host name"};
    if (daemon_address(rig)) {
        const double port = all_digits(rig.rate_text) ? leading_number(rig.rate_text) : 0.0;
        if (port < 1 || port > 65535)
            return DescriptionProblem{
                1, "the rig daemon's TCP port after the ':' is not a number from 1 to 65535"};
        return std::nullopt;
    }

    const double speed = leading_number(rig.rate_text);
    if (speed < 1 || speed > k_highest_speed)
        return DescriptionProblem{1, "the speed after the ':' is not a number"};
    rig.line.baud = static_cast<int>(speed);
    // N is no parity. The old meaning of any other letter was "parity checking on" with whatever
    // parity the port had; E and O say which, and anything else keeps the usual none.
    const std::string parity = upper_case(items.next_text().value_or(""));
    rig.line.parity = parity.starts_with("E")   ? io::Parity::even
                      : parity.starts_with("O") ? io::Parity::odd
                                                : io::Parity::none;
    const int data_bits = items.next_int();
    if (data_bits != 0 && (data_bits < 5 || data_bits > 8))
        return DescriptionProblem{1, "the data bits are not 5, 6, 7 or 8"};
    rig.line.data_bits = data_bits == 0 ? 8 : data_bits;
    rig.line.stop_bits = items.next_int() == 2 ? io::StopBits::two : io::StopBits::one;
    return std::nullopt;
}

// Line 3: where the frequency sits in the reply and how it is written.
std::optional<DescriptionProblem> read_frequency_line(const std::string& line, RigDescription& rig) {
    TextItemReader items(line);
    rig.frequency_start = items.next_int();
    rig.frequency_length = items.next_int();
    rig.frequency_format = items.next_int();
    if (rig.frequency_format < 0 || rig.frequency_format > 9)
        return DescriptionProblem{3, "the frequency format is not one of 0 to 9"};
    if (rig.frequency_start < 1 || rig.frequency_length < 1)
        return DescriptionProblem{3, "the frequency's start and length in the reply are not given"};
    const int format = rig.frequency_format;
    if ((format == k_bcd_forward || format == k_bcd_echoed || format == k_bcd_backward) &&
        rig.frequency_length < 4)
        return DescriptionProblem{3, "a packed BCD frequency of this format takes 4 bytes"};
    if (format == k_framed_bcd && rig.frequency_start < rig.frequency_length)
        return DescriptionProblem{3, "the frequency ends before the start of the frame"};
    // The two requests of that protocol differ in byte 5, and its replies name the rig by byte 3.
    if (format == k_framed_bcd && rig.poll_command.size() < 5)
        return DescriptionProblem{2, "the poll command of an addressed rig has at least five bytes"};
    return std::nullopt;
}

// Line 4: mode position, mask, and the names of the masked values 0 to 15.
std::optional<DescriptionProblem> read_mode_line(const std::string& line, RigDescription& rig) {
    TextItemReader items(line);
    rig.mode_position = items.next_int();
    const int mask = items.next_int();
    if (rig.mode_position < 0) return DescriptionProblem{4, "the mode position is below 0"};
    if (mask < 0 || mask > 255) return DescriptionProblem{4, "the mode mask is not 0 to 255"};
    rig.mode_mask = static_cast<unsigned>(mask);
    while (rig.mode_names.size() < k_mode_name_count) {
        auto name = items.next_text();
        if (!name) break;
        rig.mode_names.push_back(std::move(*name));
    }
    return std::nullopt;
}

} // namespace

std::optional<io::Bytes> hex_command(std::string_view text) {
    io::Bytes bytes;
    std::size_t at = 0;
    for (;;) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
            ++at;
        if (at >= text.size()) return bytes;
        if (at + 1 >= text.size()) return std::nullopt;
        const int high = hex_digit(text[at]);
        const int low = hex_digit(text[at + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        at += 2;
    }
}

std::optional<DaemonAddress> daemon_address(const RigDescription& rig) {
    if (rig.port_text.empty() || io::serial_device_path(rig.port_text)) return std::nullopt;
    DaemonAddress address;
    address.host = rig.port_text;
    // An IPv6 address is written in brackets, [::1]:4532, as in a URL.
    const bool bracketed =
        address.host.size() > 2 && address.host.front() == '[' && address.host.back() == ']';
    if (bracketed) address.host = address.host.substr(1, address.host.size() - 2);
    const auto host_character = [bracketed](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
               c == '-' || c == '_' || (bracketed && c == ':');
    };
    if (!std::all_of(address.host.begin(), address.host.end(), host_character)) return std::nullopt;
    address.port = all_digits(rig.rate_text) && rig.rate_text.size() <= 5 ? std::stoi(rig.rate_text) : 0;
    return address;
}

DescriptionReading read_rig_description(std::string_view text, std::string file_name) {
    DescriptionReading reading;
    RigDescription& rig = reading.rig;
    rig.file_name = upper_case(std::move(file_name));
    std::vector<std::string> lines = split_lines(text);
    lines.resize(std::max<std::size_t>(lines.size(), 6));

    reading.problem = read_link_line(lines[0], rig);
    if (reading.problem || daemon_address(rig)) return reading;

    auto command = hex_command(lines[1]);
    if (!command) {
        reading.problem = DescriptionProblem{2, "the poll command is not pairs of hexadecimal digits"};
        return reading;
    }
    rig.poll_command = std::move(*command);
    reading.problem = read_frequency_line(lines[2], rig);
    if (!reading.problem) reading.problem = read_mode_line(lines[3], rig);
    // Lines 5 and 6 hold a second command and two numbers that nothing uses.
    return reading;
}

std::optional<std::string> find_rig_description(const std::string& directory) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code kind_error;
        if (name.size() > 4 && upper_case(name.substr(name.size() - 4)) == ".RIG" &&
            it->is_regular_file(kind_error))
            names.push_back(name);
    }
    if (names.empty()) return std::nullopt;
    // The directory's own order differs from one file system to the next; by name it is the same
    // every time, so the operator can tell which of several descriptions is in use.
    std::sort(names.begin(), names.end());
    return (std::filesystem::path(directory) / names.front()).string();
}

} // namespace kestrel::rig
