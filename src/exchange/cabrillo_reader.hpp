#pragma once

#include "exchange/cabrillo_layout.hpp"
#include "logstore/record.hpp"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::exchange {

// The two kinds of Cabrillo line the import uses; every other line (the rest of the header,
// END-OF-LOG:, X-QSO: lines, soapbox text) is passed over. Lines are upper-cased first.
enum class CabrilloLine { contest, qso, other };

[[nodiscard]] CabrilloLine kind_of_line(std::string_view upper_line);

// The name after "CONTEST:", without the blanks around it.
[[nodiscard]] std::string contest_name_of(std::string_view upper_line);

// What every imported entry gets from the import dialog.
struct EntryConstants {
    std::string power;   // cut to 5 when stored
    std::string comment; // cut to 40
};

// The entry a QSO line makes under a contest's layout: date and time on (and off) from the
// columns every QSO line shares, the band from the frequency, the mode, and the call and the
// reports from the layout. Nothing when the line holds no date and time the log can keep
// (a cut-off line, columns out of step, a date outside 1930 to 22 July 2029).
[[nodiscard]] std::optional<logstore::QsoRecord>
qso_of_line(std::string_view upper_line, const CabrilloLayout& layout, const EntryConstants& constants);

// The frequency columns as a text in MHz for the band lookup: kHz above 1700 are divided by
// 1000, GHz below 6 multiplied by 1000 (both written in single precision, with a leading blank),
// anything else (50, 144, 10G) kept as written.
[[nodiscard]] std::string megahertz_text(std::string_view frequency_columns);

// The stored mode of a two-letter Cabrillo mode: PH is SSB, RY is RTY, the rest as written.
[[nodiscard]] std::string mode_text(std::string_view mode_columns);

// Cuts text that arrives in pieces into lines at CR, LF or CR LF. Only the first bytes of a
// long line are kept (nothing the import reads lies that far out), so no line, however long,
// makes it hold more than that.
class LineSplitter {
  public:
    static constexpr std::size_t k_kept_bytes = 4096;
    using LineFn = std::function<void(std::string_view line)>;

    void feed(std::string_view piece, const LineFn& on_line);
    // The last line, when the text does not end with a line end.
    void finish(const LineFn& on_line);

  private:
    std::string m_line;
    bool m_has_text = false; // bytes of an unfinished line have been seen
    bool m_after_cr = false; // an LF straight after a CR ends nothing
};

} // namespace kestrel::exchange
