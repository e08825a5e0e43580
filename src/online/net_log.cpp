#include "online/net_log.hpp"

#include "common/fixed_text.hpp"

#include <algorithm>
#include <cstdio>

namespace kestrel::online {

namespace {

std::string line_start(int number) {
    char text[8];
    std::snprintf(text, sizeof text, "%2d", number % 100);
    return std::string(1, k_line_marker) + text;
}

} // namespace

bool NetLog::holds_record(int record) const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [record](const NetEntry& e) { return e.record == record; });
}

void NetLog::record_inserted(int at) {
    for (NetEntry& e : m_entries)
        if (e.record >= at) ++e.record;
}

std::string net_line(int number, const NetEntry& entry) {
    return line_start(number) + " " + fixed_width(entry.call, 12) + " " + fixed_width(entry.time_on, 5) +
           " " + fixed_width(entry.rst_sent, 7) + " " + fixed_width(entry.rst_received, 7) + " " +
           fixed_width(entry.comment, 40);
}

std::string free_line(int number) {
    return line_start(number) + std::string(100, ' ');
}

std::string drawn_text(std::string_view line) {
    if (!line.empty() && line.front() == k_line_marker) line.remove_prefix(1);
    return std::string(line) + std::string(20, ' ');
}

std::string spoken_text(std::string_view line) {
    if (!line.empty() && line.front() == k_line_marker) line.remove_prefix(1);
    return std::string(trim_trailing_spaces(line));
}

int prefilled_lines(double scale_factor) {
    if (scale_factor > 1.3) return 20;
    if (scale_factor > 1.1) return 16;
    return 12;
}

} // namespace kestrel::online
