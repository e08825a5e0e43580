#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::country_list {

// One line of the public country file cty.csv (country-files.com): an entity, where it lies and
// the calls that belong to it. The file lists calls two ways: prefixes, where the longest prefix
// of a call decides, and exact calls (written "=CALL"), which win over any prefix.
struct CtyLine {
    std::string primary; // "G", "KH6", "*IT9": a leading "*" marks a line that is no DXCC entity
    std::string name;
    int adif = 0;              // the DXCC entity code; on a "*" line, the entity it counts for
    double latitude = 0;       // north positive
    double west_longitude = 0; // as the file has it: WEST positive
    std::vector<std::string> prefixes;
    std::vector<std::string> exact_calls; // without the "="

    bool is_dxcc() const { return primary.empty() || primary[0] != '*'; }
    double east_longitude() const { return west_longitude == 0 ? 0 : -west_longitude; }
};

struct CtyFile {
    std::vector<CtyLine> lines;
};

struct CtyParse {
    CtyFile file;
    int bad_line = 0; // 1-based; 0 when every line was understood
    std::string why;  // what was wrong with it
};

// Reads cty.csv: ten comma-separated fields a line (primary prefix, name, entity code,
// continent, CQ zone, ITU zone, latitude, longitude, time offset, calls). The calls are separated
// by spaces and end with ";"; zone, position, continent and time overrides written after a call
// in (), [], <>, {} or ~~ are dropped, since the country list has no room for them.
[[nodiscard]] CtyParse parse_cty_csv(std::string_view text);

// The file lists "=VERSION" among the exact calls of one entity; it is a marker, not a call.
inline constexpr std::string_view k_version_marker = "VERSION";

} // namespace kestrel::country_list
