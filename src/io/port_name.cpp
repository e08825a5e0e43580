#include "io/port_name.hpp"

#include <algorithm>
#include <charconv>

namespace kestrel::io {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

bool all_digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

Result<std::string, DeviceError> serial_device_path(std::string_view port_text) {
    const std::string_view text = trimmed(port_text);
    if (!text.empty() && text.front() == '/') return std::string(text);
    if (!all_digits(text)) return DeviceError::bad_port_name;

    // Port numbers beyond four digits are typing slips, not ports; refusing them also keeps the
    // arithmetic far from overflow.
    unsigned number = 0;
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (fault != std::errc{} || end != text.data() + text.size() || number == 0 || number > 9999) {
        return DeviceError::bad_port_name;
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}

bool names_parallel_port(std::string_view port_text) {
    return trimmed(port_text) == k_parallel_port_text;
}

} // namespace kestrel::io
