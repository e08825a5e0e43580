#pragma once

#include "exchange/cabrillo_layout.hpp"
#include "exchange/left_out.hpp"
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

// What a QSO line makes: the entry, or why the line is left out.
struct QsoLine {
    std::optional<logstore::QsoRecord> entry;
    LeftOut why = LeftOut::unreadable;
};

// The entry a QSO line makes under a contest's layout: date and time on (and off), the band from
// the frequency, the mode, and the call and the reports the layout names.
//
// A line is read by its columns when its fields stand where the template puts them: date, time,
// frequency and mode in the columns every QSO line shares, and a call (and each report) at the
// layout's column, whole, with a blank before and after it. Failing that it is read field by
// field, the fields parted by any number of blanks or tabs, as the Cabrillo format allows and
// hand-edited logs do: frequency, mode, date, time, our call, then in the layout's order the
// reports that follow a call and, after the sent exchange, the worked station's call (the first
// field after our part that is a call sign: letters and digits, both, perhaps a '/'). A report
// right-aligned in its column (" 59") is stored without the blank.
//
// A line that fits neither way is unreadable; one whose date, time or band the log cannot hold
// exactly is left out for that.
[[nodiscard]] QsoLine read_qso_line(std::string_view upper_line, const CabrilloLayout& layout,
                                    const EntryConstants& constants);
// The entry alone.
[[nodiscard]] std::optional<logstore::QsoRecord>
qso_of_line(std::string_view upper_line, const CabrilloLayout& layout, const EntryConstants& constants);

// Whether a text can be a call sign: three or more letters, digits and '/', with at least one
// letter and one digit, and no '/' first.
[[nodiscard]] bool looks_like_call(std::string_view text);

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
