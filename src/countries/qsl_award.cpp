#include "countries/qsl_award.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "logstore/band_names.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"
#include "logstore/log_store.hpp"
#include "logstore/record.hpp"
#include "printer/printer.hpp"

#include <algorithm>

namespace kestrel::countries {

namespace {

constexpr int k_block = 4096;
constexpr std::uint8_t k_qsl_received = 2;

bool mode_passes(const AwardSelection& s, const logstore::RecordBytes& record) {
    if (s.fourth_mode == "ALL") return true;
    const std::string_view mode = logstore::mode_view(record);
    switch (logstore::mode_class_of(mode)) {
    case logstore::k_mode_cw: return s.cw;
    case logstore::k_mode_ssb: return s.ssb;
    case logstore::k_mode_fm: return s.fm;
    default:
        return s.fourth_mode.empty() || trim_trailing_spaces(mode) == trim_trailing_spaces(s.fourth_mode);
    }
}

struct Found {
    AwardEntry entry;
    int order; // of finding, so that calls alike keep it
};

} // namespace

Result<std::vector<AwardEntry>, logstore::LogError>
collect_award_list(const logstore::LogStore& log, const CountryTable& table,
                   const logstore::BandNameTable& band_names, const AwardSelection& selection) {
    std::vector<bool> open(static_cast<std::size_t>(std::max(table.highest_country(), 0)) + 1, true);
    std::vector<Found> found;
    // From the last entry back, so that each country keeps its latest contact.
    for (int last = log.record_count(); last >= 1; last -= k_block) {
        const int first = std::max(1, last - k_block + 1);
        auto block = log.read_records(first, last - first + 1);
        if (!block) return block.error();
        for (auto r = block->rbegin(); r != block->rend(); ++r) {
            const logstore::RecordBytes& record = *r;
            if (!logstore::is_contact(record)) continue;
            const std::uint8_t flags = record[logstore::record_layout::qsl_flags];
            if (selection.confirmed_only && !(flags & k_qsl_received)) continue;
            const int band = logstore::band_of_field(logstore::band_field(record));
            if (band < 0 || band >= k_award_bands || !selection.bands[static_cast<std::size_t>(band)])
                continue;
            if (!mode_passes(selection, record)) continue;
            const Resolution country = table.resolve_country(logstore::call_view(record));
            if (country.country < 1 || !open[static_cast<std::size_t>(country.country)]) continue;
            open[static_cast<std::size_t>(country.country)] = false;
            AwardEntry e{std::string(logstore::call_view(record)), logstore::record_date(record),
                         band_names.name(band), std::string(logstore::mode_view(record)),
                         table.row(country.row).name + ((flags & k_qsl_received) ? " 2" : " 0")};
            found.push_back({std::move(e), static_cast<int>(found.size())});
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.entry.call != b.entry.call ? a.entry.call < b.entry.call : a.order < b.order;
    });
    std::vector<AwardEntry> entries;
    entries.reserve(found.size());
    for (Found& f : found)
        entries.push_back(std::move(f.entry));
    return entries;
}

std::string award_heading() {
    return "       Date  |    Call    | Freq |Mode|   Country";
}

std::string award_summary(int entries) {
    return number_text(entries) + " Countries Found";
}

std::string award_print_line(const AwardEntry& e) {
    return "     " + logstore::date_text_of(e.date) + "|" + e.call + "|" + e.band_name + "|" + e.mode +
           "|    " + e.country;
}

std::string award_file_text(const std::vector<AwardEntry>& entries) {
    std::string heading = award_heading();
    std::replace(heading.begin(), heading.end(), '|', ' ');
    std::string text = "        QSL AWARD LIST\r\n" + heading + "\r\n";
    for (const AwardEntry& e : entries)
        text += "     " + logstore::date_text_of(e.date) + " " + e.call + " " + e.band_name + " " + e.mode +
                "    " + e.country + "\r\n";
    return text;
}

bool print_award_pages(printing::Printer& printer, const std::vector<AwardEntry>& entries,
                       const std::function<bool()>& continue_after_page) {
    const int margin = static_cast<int>(round_half_even(printer.dpi_y() / 4.0));
    // Courier New of 10 points, or smaller when a page's lines would not fit on the paper.
    for (int points = 10;; --points) {
        printer.set_font("Courier New", points);
        if (points <= 6 || margin + k_award_lines_per_page * printer.line_height() <= printer.page_height())
            break;
    }
    const std::size_t per_page = k_award_lines_per_page - 1;
    for (std::size_t first = 0, page = 1; first < entries.size(); first += per_page, ++page) {
        if (page > 1) {
            if (!continue_after_page()) return false;
            printer.new_page();
        }
        int y = margin;
        printer.text(margin, y, award_heading() + "      Page" + number_text(page));
        for (std::size_t i = first; i < std::min(entries.size(), first + per_page); ++i) {
            y += printer.line_height();
            printer.text(margin, y, award_print_line(entries[i]));
        }
    }
    return true;
}

} // namespace kestrel::countries
