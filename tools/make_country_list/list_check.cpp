#include "list_check.hpp"

#include "cty_lookup.hpp"

namespace kestrel::country_list {

namespace {

constexpr std::size_t k_call_field_width = 12;

void compare(CheckPart& part, const std::string& call, int ours, int expected) {
    ++part.total;
    if (ours == expected) {
        ++part.agree;
        return;
    }
    part.disagreements.push_back({call, ours, expected});
}

} // namespace

std::string call_from_prefix(const std::string& prefix, const CtyLookup& lookup) {
    std::string call = prefix;
    if (call.empty() || call.back() < '0' || call.back() > '9') call += '9';
    call += "ZZ";
    while (lookup.is_exact_call(call))
        call += 'Z';
    if (call.size() < k_call_field_width) call.resize(k_call_field_width, ' ');
    return call;
}

CheckReport check_country_list(const countries::CountryTable& table, const CtyFile& file,
                               const std::vector<int>& number_of_line) {
    const CtyLookup lookup(file);
    const auto expected = [&](const std::string& call) {
        const std::size_t end = call.find_last_not_of(' ');
        const auto line = lookup.line_of(call.substr(0, end == std::string::npos ? 0 : end + 1));
        return line ? number_of_line[static_cast<std::size_t>(*line)] : -1;
    };
    CheckReport report;
    for (const CtyLine& line : file.lines) {
        for (const std::string& prefix : line.prefixes) {
            compare(report.prefixes, prefix, table.resolve_country(prefix).country, expected(prefix));
            const std::string call = call_from_prefix(prefix, lookup);
            compare(report.calls_from_prefixes, call, table.resolve_country(call).country, expected(call));
        }
        for (const std::string& call : line.exact_calls) {
            if (call == k_version_marker) continue;
            compare(report.exact_calls, call, table.resolve_country(call).country, expected(call));
        }
    }
    for (int r = 0; r < table.entry_count(); ++r) {
        const std::string& low = table.row(r).low_prefix;
        const std::string high = table.row(r).high_prefix.substr(0, table.row(r).high_prefix.size() - 1);
        if (low.empty() || low == high || low.size() != high.size()) continue; // no range
        const std::string parent = low.substr(0, low.size() - 1);
        for (char c = low.back(); c <= high.back(); ++c) {
            if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) continue;
            const std::string call = call_from_prefix(parent + c, lookup);
            compare(report.calls_in_ranges, call, table.resolve_country(call).country, expected(call));
        }
    }
    return report;
}

} // namespace kestrel::country_list
