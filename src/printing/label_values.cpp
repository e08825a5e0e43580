#include "printing/label_values.hpp"

#include "common/fixed_text.hpp"
#include "logstore/band_names.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"

#include <array>

namespace kestrel::printing {

namespace {

constexpr std::array<std::string_view, 12> k_months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The status chart's band rows give the HF and VHF bands; the microwave bands and 5 MHz, which
// have no row there, go by their own wavelengths.
constexpr std::array<std::string_view, logstore::k_band_count> k_metres = {
    "160m", " 80m", " 40m", " 30m", " 20m", " 17m", " 15m", " 12m", " 10m",  "  6m",
    "  4m", "  2m", "70cm", "23cm", "13cm", " 9cm", " 6cm", " 3cm", "1.2cm", " 60m"};

// "dd?mm?yy" as "dd Mon yy".
// The year's last two digits, whether it was given with two or four.
std::string with_month_name(std::string_view dd_mm_yy) {
    const int month = (dd_mm_yy[3] - '0') * 10 + (dd_mm_yy[4] - '0');
    const std::string_view name =
        month >= 1 && month <= 12 ? k_months[static_cast<std::size_t>(month - 1)] : "   ";
    return std::string(dd_mm_yy.substr(0, 2)) + " " + std::string(name) + " " +
           std::string(dd_mm_yy.substr(dd_mm_yy.size() - 2));
}

std::string trimmed(std::string_view text) {
    return std::string(trim_trailing_spaces(text));
}

} // namespace

Placeholders LabelValues::placeholders() const {
    Placeholders p;
    p.set('A', call);
    p.set('B', date);
    p.set('C', time);
    p.set('D', rst_sent);
    p.set('E', mode);
    p.set('F', band_name);
    p.set('G', band_metres);
    p.set('H', request);
    p.set('I', transceiver);
    p.set('J', antenna);
    p.set('K', power);
    p.set('L', operator_name);
    p.set('M', extra_line);
    return p;
}

std::string month_date_text(int day_number) {
    return with_month_name(logstore::date_text_of(day_number));
}

std::string month_date_of_typed(std::string_view typed, int this_year) {
    const logstore::NormalisedDate date = logstore::normalise_date_entry(typed, this_year);
    if (!date.ok()) return std::string(typed);
    return with_month_name(date.text);
}

std::string band_in_metres(int band_index) {
    if (band_index < 0 || band_index >= logstore::k_band_count) return "    ";
    return std::string(k_metres[static_cast<std::size_t>(band_index)]);
}

std::string call_with_manager(std::string_view call, std::string_view comment) {
    std::string label = trimmed(call);
    const std::string upper = upper_case(comment);
    // "VIA" as a word of its own: OLIVIA, a mode, names no manager.
    std::size_t at = upper.find("VIA ");
    while (at != std::string::npos && at > 0 && upper[at - 1] != ' ')
        at = upper.find("VIA ", at + 1);
    if (at == std::string::npos) return label;
    std::size_t start = at + 4;
    while (start < comment.size() && comment[start] == ' ')
        ++start;
    const std::size_t end = std::min(comment.find(' ', start), comment.size());
    if (end > start) label += " via " + std::string(comment.substr(start, end - start));
    return label;
}

LabelValues contact_label(const logstore::QsoRecord& contact, const StationTexts& station,
                          const logstore::BandNameTable& band_names) {
    LabelValues v;
    v.call = call_with_manager(contact.call, contact.comment);
    v.date = month_date_text(contact.date);
    v.time = logstore::time_text_of(contact.time_on);
    v.rst_sent = fixed_width(contact.rst_sent, logstore::k_report_width);
    v.mode = fixed_width(contact.mode, logstore::k_mode_width);
    v.band = logstore::band_of_field(contact.band);
    v.band_name = band_names.name(v.band);
    v.band_metres = band_in_metres(v.band);
    v.received = (contact.qsl_flags & 2) != 0;
    v.request = std::string(v.received ? k_thanks_for_qsl : k_please_qsl);
    v.transceiver = trimmed(station.transceiver);
    v.antenna = trimmed(station.antenna);
    v.power = fixed_width(contact.power, logstore::k_power_width);
    v.operator_name = trimmed(station.operator_name);
    return v;
}

LabelValues test_label(const logstore::BandNameTable& band_names) {
    LabelValues v;
    v.call = "G9QQQ.......";
    v.date = "01 Jan 09";
    v.time = "23:59";
    v.band = 4;
    v.band_name = band_names.name(v.band);
    v.band_metres = band_in_metres(v.band);
    v.rst_sent = "599001";
    v.mode = "A1A";
    v.power = "100w";
    v.antenna = "G5RV";
    v.operator_name = "Ann.......";
    v.transceiver = "Kenwood TS50";
    v.extra_line = "Extra comment line..............";
    v.request = std::string(k_thanks_for_qsl);
    v.received = true;
    return v;
}

std::string label_station(std::string_view label_call) {
    std::string station = std::string(label_call) + " ";
    for (std::string_view suffix : {"/M ", "/P ", "/MM "})
        replace_all(station, suffix, " ");
    std::erase(station, ' ');
    return station;
}

} // namespace kestrel::printing
