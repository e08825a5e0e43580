// The COUNTRY.LST that comes with the program, read as the program reads it.

#include "countries/country_table.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace kestrel::countries {
namespace {

const CountryListLoad& shipped() {
    static const CountryListLoad load = load_country_list(KESTREL_SHIPPED_COUNTRY_LIST);
    return load;
}

TEST(ShippedCountryList, LoadsWholeWithRoomInTheChart) {
    EXPECT_FALSE(shipped().bad_line);
    EXPECT_GT(shipped().table.entry_count(), 340);
    EXPECT_LE(shipped().table.highest_country(), k_highest_chartable_country);
    EXPECT_GE(shipped().table.highest_country(), 340) << "one number per current DXCC entity";
}

TEST(ShippedCountryList, IsPlainAsciiWithCrLfLineEnds) {
    std::ifstream in(KESTREL_SHIPPED_COUNTRY_LIST, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            ASSERT_EQ(text[i - 1], '\r') << "at byte " << i;
        } else if (c != '\r') {
            ASSERT_TRUE(c >= 0x20 && c < 0x7F) << "byte " << int(c) << " at " << i;
        }
    }
}

TEST(ShippedCountryList, RealCallsFindTheirCountry) {
    struct Case {
        const char* call;
        const char* country;
    } cases[] = {
        // Blocks inside bigger blocks: the special one must come first.
        {"KH6XX", "Hawaii"},
        {"KH7KAB", "Kure Island"},
        {"KL7ABC", "Alaska"},
        {"AL7A", "Alaska"},
        {"KP4ABC", "Puerto Rico"},
        {"KH2ABC", "Guam"},
        {"K1ABC", "United States"},
        {"W1AW", "United States"},
        {"VP2MAA", "Montserrat"},
        {"VP2VAB", "British Virgin Islands"},
        {"VP2EAB", "Anguilla"},
        {"EA8ABC", "Canary Islands"},
        {"EA6ABC", "Balearic Islands"},
        {"EA9ABC", "Ceuta & Melilla"},
        {"EA1ABC", "Spain"},
        {"VK9XX", "Christmas Island"},
        {"VK9CA", "Cocos (Keeling) Islands"},
        {"VK9LA", "Lord Howe Island"},
        {"VK9NA", "Norfolk Island"},
        {"VK9MA", "Mellish Reef"},
        {"VK9WA", "Willis Island"},
        {"VK2ABC", "Australia"},
        {"R2FM", "Kaliningrad"},
        {"UA2FAA", "Kaliningrad"},
        {"UA3ABC", "European Russia"},
        {"UA9ABC", "Asiatic Russia"},
        {"SV9ABC", "Crete"},
        {"SV5ABC", "Dodecanese"},
        {"SV2ABC", "Greece"},
        {"IS0ABC", "Sardinia"},
        {"IT9ABC", "Italy"},
        {"HB0ABC", "Liechtenstein"},
        {"HB9ABC", "Switzerland"},
        {"OH0A", "Aland Islands"},
        {"OJ0A", "Market Reef"},
        // The British Isles.
        {"G3ABC", "England"},
        {"M0ABC", "England"},
        {"2E0ABC", "England"},
        {"GM4ABC", "Scotland"},
        {"MM0ABC", "Scotland"},
        {"GW4ABC", "Wales"},
        {"MW0ABC", "Wales"},
        {"GI4ABC", "Northern Ireland"},
        {"GD4ABC", "Isle of Man"},
        {"GJ4ABC", "Jersey"},
        {"GU4ABC", "Guernsey"},
        // As the log holds calls: portable, foreign prefix first, padded to 12 characters.
        {"G3ABC/P", "England"},
        {"F/G3ABC", "France"},
        {"G3ABC       ", "England"},
        {"GM4ABC/M", "Scotland"},
        // Stations found only by their exact call, and the "/" forms of those calls.
        {"4U1UN", "United Nations HQ"},
        {"4U1UN/P", "United Nations HQ"},
        {"4U1ITU", "ITU HQ"},
        {"SV2ASP/A", "Mount Athos"},
        {"SV2ASP", "Mount Athos"},
        {"3D2C", "Conway Reef"},
        {"3D2ABC", "Fiji"},
        {"JD1BME", "Minami Torishima"},
        {"4U1VIC", "Austria"},
        {"GB0SI", "Scotland"},
        {"GB0ABC", "England"},
        // Calls no prefix of any country begins: without rows of their own they would be none.
        {"VF0X", "Canada"},
        {"CY7DP", "Canada"},
        {"4Y1CAO", "Canada"},
        {"2Q0DAA/M", "Wales"},
        {"2Q0GUI/70", "Scotland"},
        {"VP400BO/P", "Bermuda"},
        {"3D5X", "Fiji"},
        // KG4 with a two-letter suffix is Guantanamo Bay; with one or three letters the United States.
        {"KG4AB", "Guantanamo Bay"},
        {"KG4AB/P", "Guantanamo Bay"},
        {"KG4", "Guantanamo Bay"},
        {"W1AW/KG4", "Guantanamo Bay"},
        {"KG4ABC", "United States"},
        {"KG4A", "United States"},
        // A call the file lists apart from the prefix written the same.
        {"EF6", "Spain"},
        {"EF6ABC", "Balearic Islands"},
        {"DL1ABC", "Fed. Rep. of Germany"},
        {"JA1ABC", "Japan"},
        {"VE3ABC", "Canada"},
        {"3A2ABC", "Monaco"},
    };
    const CountryTable& table = shipped().table;
    for (const Case& c : cases) {
        const Resolution found = table.resolve_country(c.call);
        ASSERT_GT(found.country, 0) << c.call;
        EXPECT_EQ(table.row(found.row).name, c.country) << c.call;
    }
    EXPECT_EQ(table.resolve_country("g3abc").country, -1) << "calls are compared as written";
    EXPECT_EQ(table.resolve_country("Q1ABC").country, -1) << "no country issues Q calls";
}

TEST(ShippedCountryList, EnglandIsOneAndLongitudesRunEast) {
    const CountryTable& t = shipped().table;
    const auto row_of = [&](const char* call) { return t.row(t.resolve_country(call).row); };
    EXPECT_EQ(row_of("G3ABC").number, 1);
    EXPECT_EQ(t.prefixes_of_country(1).name, "England");
    struct Case {
        const char* call;
        float latitude;
        float longitude;
    } cases[] = {{"G3ABC", 52.77f, -1.47f},  {"3A2ABC", 43.73f, 7.40f},    {"JA1ABC", 36.40f, 138.38f},
                 {"K1ABC", 37.60f, -91.87f}, {"VK2ABC", -23.70f, 132.33f}, {"PY1ABC", -10.00f, -53.00f}};
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(row_of(c.call).latitude, c.latitude) << c.call;
        EXPECT_FLOAT_EQ(row_of(c.call).longitude, c.longitude) << c.call;
    }
}

TEST(ShippedCountryList, CaptionsListPrefixesNotExactCalls) {
    const CountryTable& t = shipped().table;
    const struct {
        const char* call;
        const char* list;
    } cases[] = {
        {"KG4AB", "W1AW/KG4,KG4"}, // not its 676 two-letter calls
        {"4U1UN", "4U50SPACE,4U60UN,4U64UN,4U70UN,4U75UN,4U1UN"},
        {"G3ABC", "23C,2E,2R,G,M"}, // not 2Q0XYL/P and the like
        {"GB0SI", "2A,2M,GM,GS,MA,MM,MS"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(t.prefixes_of_country(t.resolve_country(c.call).country).list, c.list) << c.call;
}

TEST(ShippedCountryList, EveryNumberHasOneNameAndPlace) {
    const CountryTable& t = shipped().table;
    std::map<int, int> first_row;
    for (int r = 0; r < t.entry_count(); ++r) {
        const auto [it, fresh] = first_row.emplace(t.row(r).number, r);
        if (fresh) continue;
        const CountryEntry& a = t.row(it->second);
        const CountryEntry& b = t.row(r);
        ASSERT_EQ(a.name, b.name) << "rows " << it->second << " and " << r;
        ASSERT_EQ(a.latitude, b.latitude) << b.name;
        ASSERT_EQ(a.longitude, b.longitude) << b.name;
    }
}

TEST(ShippedCountryList, NoRowIsHiddenBehindAnEarlierOne) {
    // A row whose whole block lies inside an earlier row's block could never be chosen: the
    // sign of a general block written before a special one.
    const CountryTable& t = shipped().table;
    for (int r = 0; r < t.entry_count(); ++r) {
        const CountryEntry& later = t.row(r);
        for (int e = 0; e < r; ++e) {
            const CountryEntry& earlier = t.row(e);
            ASSERT_FALSE(earlier.low_prefix <= later.low_prefix && later.high_prefix <= earlier.high_prefix)
                << later.low_prefix << " (row " << r << ") behind " << earlier.low_prefix << " (row " << e
                << ")";
        }
    }
}

} // namespace
} // namespace kestrel::countries
