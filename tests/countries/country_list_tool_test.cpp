// The generator of COUNTRY.LST (tools/make_country_list), on a small country file of its format.

#include "country_numbers.hpp"
#include "cty_file.hpp"
#include "cty_lookup.hpp"
#include "list_builder.hpp"
#include "list_check.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace kestrel::country_list {
namespace {

constexpr std::string_view k_cty =
    "G,England,223,EU,14,27,52.77,1.47,0.0,G M 2E =2Q0XYZ =2Q0XYZ/70;\n"
    "GM,Scotland,279,EU,14,27,56.82,4.18,0.0,GM MM 2M;\n"
    "*GM/s,Shetland Islands,279,EU,14,27,60.50,1.50,0.0,=GB0SI =GB0SI/P;\n"
    "K,United States,291,NA,05,08,37.60,91.87,5.0,AA AB AD AF K N W AA0(4)[7] =KH6XX/W6 =KG4WX;\n"
    "AC,Elsewhere,901,NA,05,08,10.00,10.00,5.0,AC;\n"
    "KH6,Hawaii,110,OC,31,61,21.12,157.48,10.0,KH6 KH7 AH6 =AA2TT;\n"
    "KH7K,Kure Island,138,OC,31,61,29.00,178.00,10.0,KH7K;\n"
    "KG4,Guantanamo Bay,105,NA,08,11,20.00,75.00,5.0,KG4 =KG4AC =KG44WW =W1AW/KG4;\n"
    "3A,Monaco,260,EU,14,27,43.73,-7.40,-1.0,3A;\n"
    "4U1U,United Nations HQ,289,NA,05,08,40.75,73.97,5.0,=4U1UN =4U1UN/A;\n";

struct Built {
    CtyFile file;
    LineCountries countries;
    BuiltList list;
    std::string text;
    countries::CountryTable table;
    CheckReport report;
};

Built build(ExactCalls exact, int home_adif = k_england_adif) {
    Built b;
    const CtyParse parse = parse_cty_csv(k_cty);
    EXPECT_EQ(parse.bad_line, 0) << parse.why;
    b.file = parse.file;
    NumberTable numbers;
    EXPECT_TRUE(number_new_entities(numbers, b.file));
    make_home(numbers.number_of, home_adif);
    b.countries = line_countries(b.file, numbers.number_of);
    b.list = build_country_list(b.file, b.countries, exact);
    b.text = format_country_list(b.list, b.countries);
    auto load = countries::parse_country_list(b.text);
    EXPECT_FALSE(load.bad_line);
    b.table = std::move(load.table);
    std::vector<int> number_of_line;
    for (int c : b.countries.country_of_line)
        number_of_line.push_back(b.countries.countries[std::size_t(c)].number);
    b.report = check_country_list(b.table, b.file, number_of_line);
    return b;
}

std::string name_of(const Built& b, std::string_view call) {
    const auto found = b.table.resolve_country(call);
    return found.country < 0 ? "(none)" : b.table.row(found.row).name;
}

TEST(CountryListTool, ReadsTheCountryFile) {
    const CtyParse parse = parse_cty_csv(k_cty);
    ASSERT_EQ(parse.bad_line, 0);
    const CtyLine& usa = parse.file.lines[3];
    EXPECT_EQ(usa.prefixes.back(), "AA0") << "zone overrides are dropped";
    EXPECT_EQ(usa.exact_calls, (std::vector<std::string>{"KH6XX/W6", "KG4WX"}));
    EXPECT_DOUBLE_EQ(usa.east_longitude(), -91.87);
    EXPECT_DOUBLE_EQ(parse.file.lines[8].east_longitude(), 7.40) << "Monaco lies east";
    EXPECT_FALSE(parse.file.lines[2].is_dxcc());

    EXPECT_EQ(parse_cty_csv("G,England,223,EU,14,27,52.77,1.47,0.0,G;\nGM,Scotland,279,EU,14,27;\n").bad_line,
              2);
    EXPECT_EQ(parse_cty_csv("G,England,223,EU,14,27,52.77,1.47,0.0,G g;\n").bad_line, 1);
    EXPECT_EQ(parse_cty_csv("G,England,223,EU,14,27,north,1.47,0.0,G;\n").bad_line, 1);
}

TEST(CountryListTool, TheFileAnswersByExactCallThenLongestPrefix) {
    const CtyFile file = parse_cty_csv(k_cty).file;
    const CtyLookup lookup(file);
    EXPECT_EQ(lookup.line_of("KH7KAB"), 6);
    EXPECT_EQ(lookup.line_of("KH7ABC"), 5);
    EXPECT_EQ(lookup.line_of("AA2TT"), 5);
    EXPECT_EQ(lookup.line_of("AA2TTX"), 3);
    EXPECT_EQ(lookup.line_of("ZZ1A"), std::nullopt);
}

TEST(CountryListTool, EveryPrefixAndExactCallAgreesWhenAllExactCallsAreKept) {
    const Built b = build(ExactCalls::all);
    for (const CheckPart* part : {&b.report.prefixes, &b.report.calls_from_prefixes,
                                  &b.report.calls_in_ranges, &b.report.exact_calls}) {
        EXPECT_EQ(part->agree, part->total);
        for (const Disagreement& d : part->disagreements)
            ADD_FAILURE() << d.call;
    }
    EXPECT_EQ(b.report.exact_calls.total, 12);
    EXPECT_EQ(b.report.calls_in_ranges.total, 4) << "AA to AB, KH6 to KH7";
}

TEST(CountryListTool, ByDefaultOnlyCallsThatNoPrefixFindsGetRows) {
    const Built b = build(ExactCalls::unreachable_entities);
    EXPECT_EQ(b.report.prefixes.agree, b.report.prefixes.total);
    EXPECT_EQ(b.report.calls_from_prefixes.agree, b.report.calls_from_prefixes.total);
    ASSERT_EQ(b.report.exact_calls.disagreements.size(), 2u);
    EXPECT_EQ(b.report.exact_calls.disagreements[0].call, "KH6XX/W6") << "a resident elsewhere: left out";
    EXPECT_EQ(b.report.exact_calls.disagreements[1].call, "AA2TT");

    struct Case {
        std::string_view call, country;
    } cases[] = {
        {"4U1UN", "United Nations HQ"}, {"4U1UN/P", "United Nations HQ"},
        {"4U1UNA", "(none)"},           {"GB0SI", "Scotland"},
        {"GB0SIX", "England"},          {"KH7KAB", "Kure Island"},
        {"KH7ABC", "Hawaii"},           {"F/G3ABC", "(none)"},
        {"G3ABC       ", "England"},    {"KG4AB", "Guantanamo Bay"},
        {"KG4AB/P", "Guantanamo Bay"},  {"KG4ABC", "United States"},
        {"KG4A", "United States"},      {"KG4", "Guantanamo Bay"},
        {"KG44WW", "Guantanamo Bay"},   {"W1AW/KG4", "Guantanamo Bay"},
        {"2Q0XYZ", "England"},          {"2Q0XYZ/70", "England"},
        {"2Q0XYZ/P", "England"},        {"2Q0XY", "(none)"},
        {"KG4WX", "United States"}, // the file lists it
    };
    for (const Case& c : cases)
        EXPECT_EQ(name_of(b, c.call), c.country) << c.call;
}

TEST(CountryListTool, SiblingsMergeOnlyWhereNoCallChangesCountry) {
    const Built b = build(ExactCalls::unreachable_entities);
    const auto has_row = [&](std::string_view start) {
        return b.text.starts_with(start) || b.text.find("\n" + std::string(start)) != std::string::npos;
    };
    EXPECT_TRUE(has_row("KH6,KH7,Hawaii,"));
    EXPECT_TRUE(has_row("AA,AB,United States,")) << "AC is another country";
    EXPECT_TRUE(has_row("AD,AD,United States,")) << "AE belongs to no country";
    EXPECT_FALSE(has_row("AA0,")) << "AA0 gives what AA gives";
    EXPECT_TRUE(has_row("3A,3A,Monaco,8,43.73,7.40\r\n"));
    EXPECT_LT(b.text.find("KH7K,"), b.text.find("KH6,KH7,"));
    EXPECT_LT(b.text.find("KH6,KH7,"), b.text.find("K,K,"));
}

TEST(CountryListTool, NumbersStayAndTheHomeCountryIsOne) {
    const CtyFile file = parse_cty_csv(k_cty).file;
    NumberTableParse parse =
        parse_number_table("adif,number,prefix,name\n291,7,K,United States\n223,1,G,England\n");
    ASSERT_EQ(parse.bad_line, 0);
    const auto added = number_new_entities(parse.table, file);
    ASSERT_TRUE(added);
    EXPECT_EQ(added->front().adif, 279) << "new entities in file order";
    EXPECT_EQ(added->front().number, 8) << "above every number in use";
    EXPECT_EQ(parse.table.number_of.at(291), 7);

    const NumberTableParse again = parse_number_table(format_number_table(parse.table));
    EXPECT_EQ(again.table.number_of, parse.table.number_of);

    std::map<int, int> numbers = parse.table.number_of;
    make_home(numbers, *home_entity("kh6xx", file));
    EXPECT_EQ(numbers.at(110), 1);
    EXPECT_EQ(numbers.at(223), parse.table.number_of.at(110)) << "England takes Hawaii's number";
    EXPECT_EQ(home_entity("291", file), 291);
    EXPECT_EQ(home_entity("GM", file), 279);
    EXPECT_EQ(home_entity("Q", file), std::nullopt);

    EXPECT_EQ(parse_number_table("223,1\n230,1\n").bad_line, 2);
    EXPECT_EQ(parse_number_table("223,401\n").bad_line, 1);
    EXPECT_EQ(parse_number_table("223\n").bad_line, 1);
}

TEST(CountryListTool, NamesFitTheList) {
    EXPECT_EQ(list_name("St. Kitts, Nevis"), "St. Kitts; Nevis");
    EXPECT_EQ(list_name(" \"Odd\" \xE9 "), "'Odd' ?");
}

} // namespace
} // namespace kestrel::country_list
