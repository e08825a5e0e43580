#pragma once

#include "cty_file.hpp"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::country_list {

// What a line of COUNTRY.LST says about its calls.
struct Country {
    int number = 0; // 1 and up a DXCC entity; 0 calls that count for none
    std::string name;
    double latitude = 0;  // north positive
    double longitude = 0; // east positive
};

// The country of every line of the file: a DXCC line's own (numbered from number_of, by entity
// code), and for a "*" line the DXCC entity it counts for (Sicily is Italy, Shetland Scotland);
// a "*" line whose entity the file does not list counts for none (number 0, its own name).
struct LineCountries {
    std::vector<Country> countries;   // distinct countries
    std::vector<int> country_of_line; // index into countries, per line of the file
};
[[nodiscard]] LineCountries line_countries(const CtyFile& file, const std::map<int, int>& number_of);

// Which exact calls of the file get a line of their own.
enum class ExactCalls {
    // only those without which a call would be no country: the calls of entities that have no
    // prefix at all (4U1UN, SV2ASP/A, 3D2C ...), calls that no prefix of any entity begins
    // (2Q0ABC, VF0X, CY7DP), and calls written the same as a prefix
    unreachable_entities,
    // every exact call whose country differs from what its prefix gives
    all,
};

struct ListRow {
    std::string low;
    std::string high;
    int country = 0; // index into LineCountries::countries
};

struct BuiltList {
    std::vector<ListRow> rows; // in file order
    int prefix_rows = 0;
    int exact_rows = 0;
    int redundant_prefixes = 0; // prefixes that give what a shorter prefix gives anyway
};

// The rows of COUNTRY.LST. A row for the prefix P is "P,P" and holds every call that starts with
// P; sibling prefixes of one country merge into a range "P0,P9" where no call changes country by
// it. A row for an exact call X is "X,X/": it holds X, X with trailing blanks and X followed by
// "/..." (X/P), and no other call. Rows go longest first, so the first row that holds a call is
// the row of its longest prefix, which is the country file's own rule.
[[nodiscard]] BuiltList build_country_list(const CtyFile& file, const LineCountries& countries,
                                           ExactCalls exact);

// The text of COUNTRY.LST: six fields a line, CR LF line ends, plain ASCII.
[[nodiscard]] std::string format_country_list(const BuiltList& list, const LineCountries& countries);

// A name fit for the list: commas (which would split the line) become ";", double quotes
// (which the reader would remove) become "'", and anything outside printable ASCII "?".
[[nodiscard]] std::string list_name(std::string_view name);

// Prefixes the file gives for the calls with a two-letter suffix only: KG4 is Guantanamo Bay for
// KG4AB, and the United States for KG4A and KG4ABC. A range of calls cannot tell a two-letter
// suffix from a longer one (KG4AB sorts among the KG4ABx), so such a prefix becomes a row for
// each two-letter suffix (KG4AA,KG4AA/ ... KG4ZZ,KG4ZZ/) and one for the bare prefix and its "/"
// forms (KG4, KG4/W1AW); every other call with it goes by the shorter prefix (K).
inline constexpr std::string_view k_two_letter_suffix_prefixes[] = {"KG4"};

} // namespace kestrel::country_list
