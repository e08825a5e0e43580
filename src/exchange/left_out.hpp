#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kestrel::exchange {

// Why an import left a contact out of the new log. Each one is kept, as it was in the file read,
// in a file beside the new log, so the operator loses none.
enum class LeftOut {
    no_call,        // no call, or one that would make the entry a note or station data
    date,           // no date, no date of the calendar, or one before 1930 or after 31-01-2061
    time,           // no time, or one that is no time of day (2400, 2561)
    band,           // on no band the log has a place for (2190 m, 8 m, 222 MHz, 6 mm)
    unreadable,     // a Cabrillo QSO line whose fields fit neither the columns nor the order
    before_contest, // a Cabrillo QSO line before any CONTEST: line named its layout
};

// How many contacts an import left out, by reason.
class LeftOutTally {
  public:
    void add(LeftOut why) { ++m_counts[static_cast<std::size_t>(why)]; }
    int count(LeftOut why) const { return m_counts[static_cast<std::size_t>(why)]; }
    int total() const;
    void add(const LeftOutTally& other) {
        for (std::size_t i = 0; i < m_counts.size(); ++i)
            m_counts[i] += other.m_counts[i];
    }

  private:
    std::array<int, 6> m_counts{};
};

// The lines the closing message of an import adds, each after CR LF: how many were left out for
// each reason (`noun` names them: "entries", "QSO lines"), then where they are kept, or that
// they could not be written there (nothing when `kept_in` is empty: none was worth keeping).
[[nodiscard]] std::string left_out_text(const LeftOutTally& tally, std::string_view noun,
                                        std::string_view kept_in, bool kept);

// The file that keeps what an import into the log at `log_path` left out: beside the log, named
// after it without its ".LOG" and with ".REJECTED." and the extension added (CONTEST.LOG gives
// CONTEST.REJECTED.ADI).
[[nodiscard]] std::string rejected_file_name(std::string_view log_path, std::string_view extension);

} // namespace kestrel::exchange
