#pragma once

#include "cty_file.hpp"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::country_list {

// Country numbers index the operator's DXCC chart, so an entity keeps its number from one
// release of the country file to the next. The numbers live in a small table of our own,
// country_numbers.csv: "adif,number,prefix,name", one entity a line; only the first two fields
// are read, the rest is there for the reader.
inline constexpr int k_highest_number = 400; // the chart has rows for 1 to 400
inline constexpr int k_england_adif = 223;

struct NumberTable {
    std::map<int, int> number_of;       // entity code -> our number
    std::map<int, std::string> note_of; // entity code -> "prefix,name" as last written
};

struct NumberTableParse {
    NumberTable table;
    int bad_line = 0; // 1-based; 0 when the whole table was read
    std::string why;
};
[[nodiscard]] NumberTableParse parse_number_table(std::string_view text);
[[nodiscard]] std::string format_number_table(const NumberTable& table);

struct NewEntity {
    int adif = 0;
    int number = 0;
    std::string name;
};

// Gives every DXCC entity of the file its number: the table's, or for an entity the table lacks
// the next number above every number in use (a number once given is never given again, even
// when its entity has gone from the file). Adds the new ones to the table and lists them.
// nullopt when a new number would pass k_highest_number.
[[nodiscard]] std::optional<std::vector<NewEntity>> number_new_entities(NumberTable& table,
                                                                        const CtyFile& file);

// The entity code of a --home text: a code given as digits, a primary prefix ("G", "KH6") or any
// call or prefix the file resolves. nullopt when none of these names an entity of the file.
[[nodiscard]] std::optional<int> home_entity(std::string_view text, const CtyFile& file);

// The operator's own country becomes number 1; the entity that was 1 takes its number, so
// every other entity keeps its number.
void make_home(std::map<int, int>& number_of, int home_adif);

} // namespace kestrel::country_list
