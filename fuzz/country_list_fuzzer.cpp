// COUNTRY.LST, which operators update from other sources. There is no writer; the table read is
// checked against its own rule instead: a call belongs to the first row whose block holds it.
// The quick lookup built from the rows must give that row for every call tried, and the calls
// tried are the rows' own bounds and their neighbours, where a lookup goes wrong first.
#include "countries/country_table.hpp"
#include "fuzz_support.hpp"

#include <vector>

namespace {

using namespace kestrel;

int first_row_holding(const countries::CountryTable& table, std::string_view call) {
    for (int r = 0; r < table.entry_count(); ++r) {
        const countries::CountryEntry& e = table.row(r);
        if (call >= std::string_view(e.low_prefix) && call <= std::string_view(e.high_prefix)) return r;
    }
    return -1;
}

void check_call(const countries::CountryTable& table, std::string_view call) {
    const countries::Resolution got = table.resolve_country(call);
    const int row = first_row_holding(table, call);
    fuzz::check(got.row == (row < 0 ? table.entry_count() : row), "the first row holding a call is found");
    fuzz::check(got.country == (row < 0 ? -1 : table.row(row).number), "a call gets its row's country");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::bytes_of(data, size);
    const countries::CountryListLoad load = countries::parse_country_list(text);
    const countries::CountryTable& table = load.table;
    if (load.bad_line) fuzz::check(*load.bad_line >= 1, "lines count from 1");

    int highest = 0;
    std::vector<std::string> calls{"", "A", "ZZZZ", std::string(text.substr(0, 16))};
    for (int r = 0; r < table.entry_count() && r < 64; ++r) {
        const countries::CountryEntry& e = table.row(r);
        fuzz::check(e.number >= 0 && e.number <= countries::k_highest_chartable_country,
                    "a country fits the chart");
        highest = std::max(highest, e.number);
        for (const std::string& bound : {e.low_prefix, e.high_prefix}) {
            calls.push_back(bound);
            calls.push_back(bound + "A");
            if (!bound.empty()) {
                calls.push_back(bound.substr(0, bound.size() - 1));
                std::string below = bound;
                --below.back();
                calls.push_back(below);
            }
        }
    }
    if (table.entry_count() <= 64)
        fuzz::check(table.highest_country() == highest, "the highest country is known");
    for (const std::string& call : calls)
        check_call(table, call);

    for (int n = 0; n <= std::min(table.highest_country(), 8); ++n)
        (void)table.prefixes_of_country(n);
    (void)table.resolve_prefix_or_number(text.substr(0, 8));
    return 0;
}
