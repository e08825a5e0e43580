#include "printing/log_listing.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "logstore/band_names.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"

namespace kestrel::printing {

namespace {

bool is_marker(const logstore::RecordBytes& record) {
    return !logstore::has_contact_fields(record);
}

} // namespace

std::optional<int> band_filter_of(std::string_view typed) {
    // Only a number picks a band; 5 MHz (the band of everything unknown) is a band like the others.
    if (leading_number(typed) == 0) return std::nullopt;
    return logstore::band_of_frequency(typed);
}

std::string_view separator_of(ListingStyle style) {
    switch (style) {
    case ListingStyle::file: return ",";
    case ListingStyle::landscape: return "  ";
    case ListingStyle::portrait: return " ";
    }
    return " ";
}

std::string listing_heading(ListingStyle style) {
    const std::string s(separator_of(style));
    return " Date   " + s + "Call        " + s + "Time On/Off" +
           (style == ListingStyle::landscape ? " " : "") + s + "RST tx " + s + "RST rx " + s + " Freq " + s +
           "Mde" + s + " Pwr " + s + std::string(16, ' ') + "Details" + std::string(17, ' ') + s + "QSL";
}

LogListing::LogListing(LogFilter filter, ListingStyle style, const logstore::BandNameTable& band_names)
    : m_filter(std::move(filter)), m_style(style), m_separator(separator_of(style)),
      m_band_names(band_names) {
    m_filter.comment_key = upper_case(m_filter.comment_key);
}

bool LogListing::passes(const logstore::RecordBytes& record) {
    if (m_filter.start_date && logstore::record_date(record) < *m_filter.start_date) return false;
    const std::string_view call = logstore::call_view(record);
    if (!m_filter.from_call.empty()) {
        if (call.find(m_filter.from_call) == std::string_view::npos) return false;
        m_filter.from_call.clear();
        m_filter.start_date.reset();
    }
    const bool marker = is_marker(record);
    // Notes and station-data entries stay among the contacts of a prefix.
    if (!m_filter.prefix.empty() && !marker && !call.starts_with(m_filter.prefix)) return false;
    if (m_filter.band) {
        if (marker || logstore::band_of_field(logstore::band_field(record)) != *m_filter.band) return false;
    }
    if (!m_filter.comment_key.empty()) {
        if (marker ||
            upper_case(logstore::comment_view(record)).find(m_filter.comment_key) == std::string::npos)
            return false;
    }
    return true;
}

std::optional<ListingLine> LogListing::line_for(const logstore::RecordBytes& record) {
    if (!passes(record)) return std::nullopt;
    switch (logstore::kind_of(record)) {
    case logstore::RecordKind::station_data: return ListingLine{LineKind::station_data, station_line(record)};
    case logstore::RecordKind::text: return ListingLine{LineKind::text, text_line(record)};
    case logstore::RecordKind::qso:
    case logstore::RecordKind::cq: break;
    }
    return ListingLine{LineKind::contact, contact_line(record)};
}

// A text of the operator's, cut or padded to its width. In a file every comma becomes ";", so
// that the columns stay where a spreadsheet looks for them.
std::string LogListing::free_text(std::string_view field, std::size_t width) const {
    std::string text = fixed_width(field, width);
    if (m_style == ListingStyle::file) replace_all(text, ",", ";");
    return text;
}

std::string LogListing::contact_line(const logstore::RecordBytes& record) {
    const logstore::QsoRecord c = logstore::QsoRecord::decode(record);
    if (c.call.find("CQ ") == std::string::npos) ++m_qsos;
    std::string comment = fixed_width(c.comment, logstore::k_comment_width);
    replace_all(comment, ",", ";");
    const std::string& s = m_separator;
    return logstore::date_text_of(c.date) + s + free_text(c.call, logstore::k_call_width) + s +
           logstore::time_text_of(c.time_on) + s + logstore::time_text_of(c.time_off) + s +
           free_text(c.rst_sent, logstore::k_report_width) + s +
           free_text(c.rst_received, logstore::k_report_width) + s +
           m_band_names.name(logstore::band_of_field(c.band)) + s +
           free_text(c.mode, logstore::k_mode_width) + s + free_text(c.power, logstore::k_power_width) + s +
           comment + s + logstore::qsl_tag_of(c.qsl_flags);
}

std::string LogListing::station_line(const logstore::RecordBytes& record) const {
    const logstore::StationDataRecord d = logstore::StationDataRecord::decode(record);
    const int band = d.band_index > logstore::k_fallback_band ? logstore::k_fallback_band : d.band_index;
    return logstore::date_text_of(d.date) + m_separator + "   " + logstore::time_text_of(d.time) +
           " Op: " + free_text(d.operator_name, logstore::k_station_text_width) +
           " Tcvr: " + free_text(d.transceiver, logstore::k_station_text_width) +
           " Ant: " + free_text(d.antenna, logstore::k_station_text_width) +
           " Band: " + m_band_names.name(band);
}

std::string LogListing::text_line(const logstore::RecordBytes& record) const {
    const logstore::TextRecord t = logstore::TextRecord::decode(record);
    return logstore::date_text_of(t.date) + m_separator + free_text(t.text, logstore::k_note_width);
}

} // namespace kestrel::printing
