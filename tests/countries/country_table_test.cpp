#include "countries/country_table.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace kestrel::countries {
namespace {

CountryTable table_of(std::string_view text) {
    auto load = parse_country_list(text);
    EXPECT_FALSE(load.bad_line);
    return std::move(load.table);
}

TEST(CountryTable, TheFirstMatchingLineDecides) {
    const auto special_first = table_of("KH6,KH6,Island,7,21,-158\r\nK,K,Mainland,9,38,-97\r\n");
    EXPECT_EQ(special_first.resolve_country("KH6XX").country, 7);
    EXPECT_EQ(special_first.resolve_country("K1ABC").country, 9);
    const auto general_first = table_of("K,K,Mainland,9,38,-97\r\nKH6,KH6,Island,7,21,-158\r\n");
    EXPECT_EQ(general_first.resolve_country("KH6XX").country, 9);
    EXPECT_EQ(general_first.resolve_country("KH6XX").row, 0);
}

TEST(CountryTable, CallsCompareByteByByte) {
    const auto t = table_of("G,G,England,1,52,-1\r\nKH6,KH6,Hawaii,7,21,-158\r\nKA,KZ,USA,9,38,-97\r\n"
                            "F,F,France,5,46,2\r\n");
    struct Case {
        std::string_view call;
        int country;
    } cases[] = {
        {"G", 1},      {"G3ABC", 1},   {"G3ABC/P", 1}, {"G3ABC       ", 1}, {"H", -1},
        {"g3abc", -1}, {"KH", 9},      {"KH6", 7},     {"KH7", 9},          {"KZ9ZZZ", 9},
        {"K1ABC", -1}, {"F/G3ABC", 5}, {"", -1},       {"\xFF", -1},        {"KH6\xFF", 9},
    };
    for (const Case& c : cases)
        EXPECT_EQ(t.resolve_country(c.call).country, c.country) << c.call;
    EXPECT_EQ(t.resolve_country("ZZ").row, 4) << "one past the last row when nothing matches";
}

TEST(CountryTable, TheLookupAgreesWithAScanOfEveryRow) {
    // Overlapping blocks in an awkward order, and calls made of the same few characters.
    const auto t =
        table_of("KH6,KH6,a,1,0,0\r\nK,K,b,2,0,0\r\nKA,KC,c,3,0,0\r\nA,Z,d,4,0,0\r\n"
                 "KB,KB,e,5,0,0\r\nK1,K9,f,6,0,0\r\n/,/,g,7,0,0\r\n,,h,8,0,0\r\nZ9,A1,i,9,0,0\r\n");
    auto scan = [&](std::string_view call) {
        for (int r = 0; r < t.entry_count(); ++r)
            if (!(call > std::string_view(t.row(r).high_prefix)) &&
                !(call < std::string_view(t.row(r).low_prefix)))
                return t.row(r).number;
        return -1;
    };
    std::mt19937 random(1);
    const std::string alphabet = "AKHBZ16/9[ ";
    for (int i = 0; i < 20000; ++i) {
        std::string call(random() % 6, ' ');
        for (char& c : call)
            c = alphabet[random() % alphabet.size()];
        ASSERT_EQ(t.resolve_country(call).country, scan(call)) << "'" << call << "'";
    }
}

// Many random blocks, nested, overlapping and empty, in random order: the lookup still gives
// the first row in file order that holds the call.
TEST(CountryTable, TheLookupOfRandomListsAgreesWithAScan) {
    std::mt19937 random(2);
    const std::string alphabet = "AKZ19/[ ";
    const auto random_text = [&](std::size_t longest) {
        std::string text(random() % (longest + 1), ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        return text;
    };
    for (int list = 0; list < 40; ++list) {
        std::string text;
        const int rows = 1 + static_cast<int>(random() % 300);
        for (int r = 0; r < rows; ++r) {
            std::string low = random_text(3), high = random_text(3);
            // Mostly blocks that hold something, the way a country list is written.
            if (random() % 4 != 0 && high < low) std::swap(low, high);
            // No blank fields at the ends: the reader would trim them.
            text += "X" + low + ",X" + high + ",n," + std::to_string(1 + r) + ",0,0\r\n";
        }
        const CountryTable t = table_of(text);
        ASSERT_EQ(t.entry_count(), rows);
        for (int i = 0; i < 500; ++i) {
            const std::string call = "X" + random_text(5);
            int expected = -1;
            for (int r = 0; r < t.entry_count() && expected < 0; ++r)
                if (!(call > std::string_view(t.row(r).high_prefix)) &&
                    !(call < std::string_view(t.row(r).low_prefix)))
                    expected = t.row(r).number;
            ASSERT_EQ(t.resolve_country(call).country, expected) << "list " << list << " '" << call << "'";
        }
    }
}

TEST(CountryTable, FieldsAreTrimmedUnquotedAndNumbersRead) {
    const auto t =
        table_of(" G , G , Home ,5,52,-1\r\n\"M\",\"M\" x,\"Home\",4.6,51.5,-0.1\r\nXX,XX,Odd,abc,n,s\r\n");
    EXPECT_EQ(t.row(0).low_prefix, "G");
    EXPECT_EQ(t.row(0).high_prefix, "G[");
    EXPECT_EQ(t.row(0).name, "Home");
    EXPECT_EQ(t.row(1).number, 5) << "4.6 rounds to 5";
    EXPECT_FLOAT_EQ(t.row(1).latitude, 51.5f);
    EXPECT_FLOAT_EQ(t.row(1).longitude, -0.1f);
    EXPECT_EQ(t.row(2).number, 0);
    EXPECT_EQ(t.highest_country(), 5);
    const auto p = t.prefixes_of_country(5);
    EXPECT_EQ(p.list, "G,M");
    EXPECT_EQ(p.name, "Home");
}

// A caption names a country's prefixes; rows written "X,X/" hold one exact call each and are
// left out, unless the country has nothing else.
TEST(CountryTable, CaptionsListPrefixesNotExactCalls) {
    const struct {
        const char* rows;
        const char* list;
    } cases[] = {
        {"G,G|2Q0ABC,2Q0ABC/|M,M|2O0XY/P,2O0XY/P/", "G,M"},
        {"KG4AA,KG4AA/|W1AW/KG4,W1AW/KG4/|KG4,KG4/|KG44WW,KG44WW/|KG4ZZ,KG4ZZ/", "W1AW/KG4,KG4"},
        {"4U60UN,4U60UN/|4U1UN,4U1UN/|4U1UN/A,4U1UN/A/", "4U60UN,4U1UN"},
        {"3D2C,3D2C/|3D2C,3D2C/", "3D2C"},
        // blocks, whatever they look like, stay
        {"KG4,KG4|KG4AA,KG4AA/", "KG4"},
        {"G,G0/|G1,G1/X|H,H/A", "G,G1,H"},
    };
    for (const auto& c : cases) {
        std::string text = "DL,DL,Germany,2,51,10\r\n";
        std::string rows = c.rows;
        for (std::size_t at = 0; at <= rows.size();) {
            const std::size_t end = std::min(rows.find('|', at), rows.size());
            text += rows.substr(at, end - at) + ",Home,1,0,0\r\n";
            at = end + 1;
        }
        const auto p = table_of(text).prefixes_of_country(1);
        EXPECT_EQ(p.list, c.list) << c.rows;
        EXPECT_EQ(p.name, "Home");
    }
}

TEST(CountryTable, ABadLineStopsLoadingAndKeepsTheRowsBefore) {
    struct Case {
        std::string_view text;
        int rows;
        int bad_line;
    } cases[] = {
        {"A,A,a,1,0,0\r\nB,B,b,2,0,0\r\n\r\nC,C,c,3,0,0\r\n", 2, 3}, // a blank line
        {"A,A,a,1,0,0\r\nB,B,\"b,c\",2,0,0\r\n", 1, 2},              // a comma even inside quotes
        {"A,A,a,401,0,0\r\n", 0, 1},                                 // no row of the chart for it
        {"A,A,a,-1,0,0\r\n", 0, 1},
        {"A,A,a,400.6,0,0\r\n", 0, 1}, // rounds to 401
        // numbers that do not fit in 32 bits are refused, not wrapped round into the chart
        {"A,A,a,400,0,0\r\nB,B,b,4294967297,0,0\r\n", 1, 2},
        {"A,A,a,4294967296,0,0\r\n", 0, 1},
        {"A,A,a,-4294967295,0,0\r\n", 0, 1},
        {"A,A,a,18446744073709551617,0,0\r\n", 0, 1},
        {"A,A,a,99999999999999999999999999999999999999999,0,0\r\n", 0, 1},
        {"A,A,a,400,0,0\nB,B,b,0,0,0", 2, 0}, // LF ends and no last line end
    };
    for (const Case& c : cases) {
        const auto load = parse_country_list(c.text);
        EXPECT_EQ(load.table.entry_count(), c.rows) << c.text;
        EXPECT_EQ(load.bad_line.value_or(0), c.bad_line) << c.text;
    }
    EXPECT_EQ(bad_line_message(7), "Line 7 of COUNTRY.LST");
}

TEST(CountryTable, PrefixOrNumberEntries) {
    const auto t = table_of("9A,9A,Croatia,5,45,16\r\nG,G,England,1,52,-1\r\n");
    EXPECT_EQ(t.resolve_prefix_or_number("5"), 5);
    EXPECT_EQ(t.resolve_prefix_or_number("0"), std::nullopt);
    EXPECT_EQ(t.resolve_prefix_or_number(""), std::nullopt);
    EXPECT_EQ(t.resolve_prefix_or_number("6"), std::nullopt);
    EXPECT_EQ(t.resolve_prefix_or_number("99999999999999999999"), std::nullopt);
    EXPECT_EQ(t.resolve_prefix_or_number("9A"), 5);
    EXPECT_EQ(t.resolve_prefix_or_number("XX"), -1);
}

} // namespace
} // namespace kestrel::countries
