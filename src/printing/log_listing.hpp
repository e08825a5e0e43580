#pragma once

#include "logstore/record.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::logstore {
class BandNameTable;
}

namespace kestrel::printing {

// What the operator asked the printed log to hold.
struct LogFilter {
    std::optional<int> start_date{}; // entries dated earlier are left out
    std::string from_call{};         // the listing starts at the first call holding this
    std::string prefix{};            // only contacts whose call begins with this
    std::optional<int> band{};       // only contacts of this band
    std::string comment_key{};       // only contacts whose comment holds this (any case)
};

// The band box of the window: empty, or a text that is no frequency, means every band.
[[nodiscard]] std::optional<int> band_filter_of(std::string_view typed);

enum class LineKind { heading, contact, station_data, text };

struct ListingLine {
    LineKind kind = LineKind::contact;
    std::string text;
};

// How the fields of a line are parted: "," in a file, blanks on paper.
enum class ListingStyle { file, landscape, portrait };
[[nodiscard]] std::string_view separator_of(ListingStyle style);

// The widths of a contact line's fields, in order: date, call, time on, time off, the two reports,
// band, mode, power, comment and the QSL tag; each but the last is followed by the separator.
inline constexpr int k_listing_fields = 11;
inline constexpr int k_field_widths[k_listing_fields] = {8, 12, 5, 5, 7, 7, 6, 3, 5, 40, 2};

// The line at the top of each page; its columns stand over those of the contact lines.
[[nodiscard]] std::string listing_heading(ListingStyle style);

// The entries of the log that pass the filter, one line each, in log order. The start date and
// the starting call hold until the first entry whose call holds the starting call: from there
// on every entry passes them.
class LogListing {
  public:
    LogListing(LogFilter filter, ListingStyle style, const logstore::BandNameTable& band_names);

    // The entry's line, or nothing when the filter leaves it out.
    [[nodiscard]] std::optional<ListingLine> line_for(const logstore::RecordBytes& record);
    // Contacts listed, not counting CQ calls.
    int qso_count() const { return m_qsos; }

  private:
    bool passes(const logstore::RecordBytes& record);
    std::string contact_line(const logstore::RecordBytes& record);
    std::string station_line(const logstore::RecordBytes& record) const;
    std::string text_line(const logstore::RecordBytes& record) const;
    std::string free_text(std::string_view field, std::size_t width) const;

    LogFilter m_filter;
    ListingStyle m_style;
    std::string m_separator;
    const logstore::BandNameTable& m_band_names;
    int m_qsos = 0;
};

} // namespace kestrel::printing
