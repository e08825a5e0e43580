#include "countries/country_stats.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "logstore/log_store.hpp"
#include "logstore/record.hpp"

#include <algorithm>

namespace kestrel::countries {

namespace {

constexpr int k_block = 4096;
constexpr std::uint8_t k_confirmed_bits = 0xAA;
constexpr std::uint8_t k_qsl_sent = 1;

std::uint8_t all_bands(const StatusChart& chart, int country) {
    std::uint8_t combined = 0;
    for (int b = 0; b < k_chart_bands; ++b)
        combined |= chart.byte(country, b);
    return combined;
}

// The first contact of the log with each country asked for.
struct FirstContact {
    bool found = false;
    std::string call; // the call field with its padding
    std::uint8_t qsl_flags = 0;
    std::string name; // of the line the call fell in
};

Result<std::vector<FirstContact>, logstore::LogError>
first_contacts(const logstore::LogStore& log, const CountryTable& table, const std::vector<bool>& wanted) {
    std::vector<FirstContact> first(wanted.size());
    auto left = std::count(wanted.begin(), wanted.end(), true);
    const int total = log.record_count();
    for (int from = 1; from <= total && left > 0; from += k_block) {
        const int count = std::min(k_block, total - from + 1);
        auto block = log.read_records(from, count);
        if (!block) return block.error();
        for (const logstore::RecordBytes& r : *block) {
            // Notes, station data and CQ calls are no contacts, whatever their text resolves to.
            if (!logstore::is_contact(r)) continue;
            const Resolution found = table.resolve_country(logstore::call_view(r));
            if (found.country < 1 || static_cast<std::size_t>(found.country) >= wanted.size()) continue;
            FirstContact& f = first[static_cast<std::size_t>(found.country)];
            if (!wanted[static_cast<std::size_t>(found.country)] || f.found) continue;
            f = {true, std::string(logstore::call_view(r)), r[logstore::record_layout::qsl_flags],
                 table.row(found.row).name};
            if (--left == 0) break;
        }
    }
    return first;
}

} // namespace

std::vector<ListedCountry> sorted_countries(const CountryTable& table) {
    const int highest = table.highest_country();
    std::vector<ListedCountry> by_number(static_cast<std::size_t>(std::max(highest, 0)) + 1);
    for (int r = 0; r < table.entry_count(); ++r) {
        const CountryEntry& e = table.row(r);
        if (e.number < 1) continue; // a block of no country
        ListedCountry& c = by_number[static_cast<std::size_t>(e.number)];
        if (c.number == 0) c = {e.name, e.number}; // the name of the first line counts
    }
    std::vector<ListedCountry> sorted;
    for (ListedCountry& c : by_number)
        if (c.number != 0) sorted.push_back(std::move(c));
    std::sort(sorted.begin(), sorted.end(), [](const ListedCountry& a, const ListedCountry& b) {
        return a.name != b.name ? a.name < b.name : a.number < b.number;
    });
    return sorted;
}

std::vector<std::string> countries_wanted(const std::vector<ListedCountry>& countries,
                                          const StatusChart& chart) {
    std::vector<std::string> lines;
    for (const ListedCountry& c : countries)
        if (all_bands(chart, c.number) == 0) lines.push_back(c.name);
    return lines;
}

Result<std::vector<std::string>, logstore::LogError> qsls_needed(const logstore::LogStore& log,
                                                                 const CountryTable& table,
                                                                 const std::vector<ListedCountry>& countries,
                                                                 const StatusChart& chart) {
    std::vector<bool> wanted(static_cast<std::size_t>(std::max(table.highest_country(), 0)) + 1, false);
    for (const ListedCountry& c : countries) {
        const std::uint8_t marks = all_bands(chart, c.number);
        wanted[static_cast<std::size_t>(c.number)] = marks != 0 && (marks & k_confirmed_bits) == 0;
    }
    auto first = first_contacts(log, table, wanted);
    if (!first) return first.error();
    std::vector<std::string> lines;
    for (const ListedCountry& c : countries) {
        if (!wanted[static_cast<std::size_t>(c.number)]) continue;
        const FirstContact& f = (*first)[static_cast<std::size_t>(c.number)];
        if (!f.found) {
            // Marked by hand: there is no contact, so no card to have sent either.
            lines.push_back("NONE FOUND  , not in log  , " + c.name);
            continue;
        }
        lines.push_back(f.call + ((f.qsl_flags & k_qsl_sent) ? ", QSL sent    " : ", QSL not sent") + ", " +
                        f.name);
    }
    return lines;
}

std::vector<std::string> bands_by_country(const std::vector<ListedCountry>& countries,
                                          const StatusChart& chart) {
    std::vector<std::string> lines;
    lines.reserve(countries.size());
    for (const ListedCountry& c : countries) {
        std::string line = fixed_width(c.name, 35);
        for (int b = 0; b < k_chart_bands; ++b) {
            const std::uint8_t marks = chart.byte(c.number, b);
            line += marks == 0 ? "-   " : (marks & k_confirmed_bits) ? "C   " : "W   ";
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string wanted_heading(int count) {
    return "Countries wanted" + number_text(count);
}

std::string qsls_heading(int count) {
    return "Countries not confirmed, QSLs needed" + number_text(count);
}

std::string entities_heading(int entities) {
    return "Status for all" + number_text(entities) + " DXCC Entities";
}

std::string stats_file_text(std::string_view first_line, const std::vector<std::string>& lines) {
    std::string text(first_line);
    text += "\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace kestrel::countries
