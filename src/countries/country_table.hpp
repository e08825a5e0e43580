#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::countries {

inline constexpr int k_highest_chartable_country = 400;

// One line of COUNTRY.LST: a block of calls from low_prefix to high_prefix and its country.
struct CountryEntry {
    std::string low_prefix;
    std::string high_prefix; // as written, with "[" appended so that every call of the block sorts below it
    std::string name;
    int number = 0;      // 1 and up a DXCC country, 0 a block that is no country
    float latitude = 0;  // north positive
    float longitude = 0; // east positive
};

struct Resolution {
    int country = -1; // -1 when no block holds the call
    int row = 0;      // the matching row; the entry count when none matched
};

// The country list in file order. A call belongs to the first row whose block holds it, the
// texts compared byte by byte. The answer is looked up in a table built once from the rows.
class CountryTable {
  public:
    void add(CountryEntry entry);

    int entry_count() const { return static_cast<int>(m_rows.size()); }
    int highest_country() const { return m_highest; }
    const CountryEntry& row(int r) const { return m_rows.at(static_cast<std::size_t>(r)); }

    [[nodiscard]] Resolution resolve_country(std::string_view call) const;
    // A country number typed as digits (1 to the highest), or a prefix to resolve; nullopt for a
    // number out of range or an empty text, which callers ignore.
    [[nodiscard]] std::optional<int> resolve_prefix_or_number(std::string_view text) const;
    // What a caption shows of a country: its prefixes, not its exact calls. A row written
    // "X,X/" holds the one call X (with its blanks and "/" forms) and is left out, unless the
    // country is known by such calls alone (4U1UN); then those that begin with another of them
    // are left out instead (KG4AB after KG4).
    struct Prefixes {
        std::string list; // the low prefixes of the rows shown, in file order, joined by ","
        std::string name; // the name of the country's last row
    };
    [[nodiscard]] Prefixes prefixes_of_country(int number) const;

  private:
    void build_lookup() const;
    int first_match_by_scan(std::string_view call) const;

    std::vector<CountryEntry> m_rows;
    int m_highest = 0;

    // Every low and high prefix, sorted; between two neighbours (and at each of them) the first
    // matching row cannot change, so it is kept for each stretch and each point.
    mutable bool m_lookup_built = false;
    mutable std::vector<std::string> m_bounds;
    mutable std::vector<int> m_at_bound;    // first row matching the bound itself
    mutable std::vector<int> m_below_bound; // first row matching calls between bound i-1 and bound i
    mutable std::vector<std::uint32_t>
        m_first_byte; // m_bounds index of the first bound starting with each byte
};

// Reading COUNTRY.LST. A line that is not six comma-separated fields, or whose country number
// has no place in the status chart (0 to 400), stops the reading; the rows before it stay.
struct CountryListLoad {
    CountryTable table;
    std::optional<int> bad_line; // 1-based
};
[[nodiscard]] CountryListLoad load_country_list(const std::string& path);
[[nodiscard]] CountryListLoad parse_country_list(std::string_view text);

// "Line 7 of COUNTRY.LST", titled "File Error".
[[nodiscard]] std::string bad_line_message(int line);
inline constexpr std::string_view k_bad_line_title = "File Error";

} // namespace kestrel::countries
