#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::online {

// A station logged on and not yet logged off. Its contact is already in the log (record); what
// the operator may still change is kept here until Log Off completes the record.
struct NetEntry {
    int record = 0;
    std::uint8_t qsl_mark = 0;
    // The band the record was written with: closing the window completes the record on it, since
    // the rig may have moved on long since without the station.
    int band = 0;
    std::string call;         // 12 places
    std::string time_on;      // hh:mm
    std::string rst_sent;     // 7 places
    std::string rst_received; // 7 places
    std::string comment;      // 40 places
};

inline constexpr int k_net_capacity = 50;
// Every line of the list starts with this byte, which is never drawn.
inline constexpr char k_line_marker = '\xff';

// The stations on the net, oldest first; entry i is shown on line i + 1.
class NetLog {
  public:
    int count() const { return static_cast<int>(m_entries.size()); }
    bool full() const { return count() >= k_net_capacity; }
    const NetEntry& entry(int i) const { return m_entries.at(static_cast<std::size_t>(i)); }
    NetEntry& entry(int i) { return m_entries.at(static_cast<std::size_t>(i)); }
    const std::vector<NetEntry>& entries() const { return m_entries; }

    void add(NetEntry entry) { m_entries.push_back(std::move(entry)); }
    void remove(int i) { m_entries.erase(m_entries.begin() + i); }
    void clear() { m_entries.clear(); }
    bool holds_record(int record) const;
    // A record was put into the log at `at`, before some of the net's own: theirs are one further on.
    void record_inserted(int at);

  private:
    std::vector<NetEntry> m_entries;
};

// The text of list line `number` (1-based) for an entry: the marker, the number in two places,
// then call, time on, reports and comment, a blank between each.
[[nodiscard]] std::string net_line(int number, const NetEntry& entry);
// A line with no station: the marker, its number and blanks.
[[nodiscard]] std::string free_line(int number);
// The line's text as drawn: the marker dropped, 20 blanks after it.
[[nodiscard]] std::string drawn_text(std::string_view line);
// The line's text as a screen reader should say it: what is drawn, without the trailing blanks.
[[nodiscard]] std::string spoken_text(std::string_view line);
// The character columns the grid separates: after the number, the call, the time and each report.
inline constexpr int k_grid_columns[] = {2, 15, 21, 29, 37};

// The lines the list starts with: 12, or 16 and 20 on larger screens.
[[nodiscard]] int prefilled_lines(double scale_factor);

} // namespace kestrel::online
