#include "keyer/morse_table.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <random>

namespace kestrel::keyer {
namespace {

// A character's code as a pattern again: "." and "-", empty when it has none.
std::string pattern_of(const MorseTable& table, unsigned char c) {
    std::string pattern;
    for (int j = 0; j < k_max_elements && table.element(c, j) != 0; ++j)
        pattern += table.element(c, j) == MorseTable::k_dash ? '-' : '.';
    return pattern;
}

TEST(MorseTable, FaultyLinesAreToldByTheirLineNumberAndSpoilOnlyThemselves) {
    const MorseTableLoad load = read_morse_table("65,.-\r\n"
                                                 "66,-...\r\n"
                                                 "300,.-\r\n"
                                                 "69,.\r\n"
                                                 "\r\n"
                                                 "84,-\r\n"
                                                 "70,..-.-.--.\r\n"
                                                 "-1,--\r\n"
                                                 "71\r\n"
                                                 "72,....");
    EXPECT_EQ(load.first_fault, "Faulty ASCII code on line 3");
    EXPECT_EQ(load.faulty_lines, 3); // lines 3, 7 and 8
    const struct {
        unsigned char character;
        std::string pattern;
    } expected[] = {
        {'A', ".-"},      {'B', "-..."}, {'E', "."}, {'T', "-"}, // after a blank line, still its own line
        {'F', "..-.-.-"},                                        // cut to seven elements
        {0, "--"},     // both faulty codes went to code 0, the later one last
        {'G', "."},    // a line without a pattern: one dot
        {'H', "...."}, // the last line needs no line end
        {'C', ""},     // never given
    };
    for (const auto& e : expected)
        EXPECT_EQ(pattern_of(load.table, e.character), e.pattern) << "code " << int(e.character);
}

TEST(MorseTable, AFileOfFaultyLinesGivesOneMessageNamingTheFirstAndHowManyThereWere) {
    const std::string many = " lines of DMORSE.CDE are faulty: a code outside 0-255 is read as code 0, "
                             "a pattern of more than 7 elements is cut to 7.";
    std::string garbage; // 5,000 lines: one good, then faulty codes and long patterns by turns
    garbage += "69,.\r\n";
    for (int i = 0; i < 4999; ++i)
        garbage += i % 2 == 0 ? "300,.-\r\n" : "65,.-.-.-.-\r\n";
    const struct {
        std::string bytes;
        std::optional<std::string> message;
    } cases[] = {
        {"65,.-\r\n", std::nullopt},
        {"65,.-\r\n300,.-\r\n", "Faulty ASCII code on line 2"},                      // one: as it always was
        {"\r\n65,.-.-.-.-\r\n", "Too many code elements on line 2"},                 // blank lines count
        {"300,.-.-.-.-\r\n", "Faulty ASCII code on line 1"},                         // both faults, one line
        {"65,.-.-.-.-\r\n-1,.\r\n", "Too many code elements on line 1\r\n2" + many}, // the first named
        {"256,.\r\n999,.-.-.-.-\n", "Faulty ASCII code on line 1\r\n2" + many},
        {garbage, "Faulty ASCII code on line 2\r\n4999" + many},
    };
    for (const auto& c : cases) {
        const MorseTableLoad load = read_morse_table(c.bytes);
        EXPECT_EQ(fault_message(load), c.message) << c.bytes.substr(0, 40);
    }
    const MorseTableLoad load = read_morse_table(garbage);
    EXPECT_EQ(pattern_of(load.table, 'E'), ".") << "the good line is read";
    EXPECT_EQ(pattern_of(load.table, 'A'), ".-.-.-.") << "a long pattern is cut, not left out";
}

TEST(MorseTable, APatternReadsDashesAndTakesEverythingElseForADot) {
    const struct {
        std::string line;
        std::string pattern;
    } cases[] = {
        {"65,.-", ".-"},
        {"65,  x-y", ".-."},        // leading blanks skipped, any other character a dot
        {"65,\"-.-\" rest", "-.-"}, // a quoted item
        {"65,", "."},               // an empty pattern is one dot
        {"65,-.-.\r\n65,.", "."},   // a later line replaces the whole code
        {"65.4,--", "--"},          // the code is rounded
    };
    for (const auto& c : cases) {
        const MorseTableLoad load = read_morse_table(c.line);
        EXPECT_FALSE(fault_message(load)) << c.line;
        EXPECT_EQ(pattern_of(load.table, 'A'), c.pattern) << c.line;
    }
}

TEST(MorseTable, TheShippedTableHasTheInternationalCodeAndTheFourProsigns) {
    const MorseTableLoad load = read_morse_table(testing::read_file(KESTREL_SHIPPED_MORSE_TABLE));
    EXPECT_FALSE(fault_message(load));
    for (char c = 'A'; c <= 'Z'; ++c) {
        EXPECT_TRUE(load.table.has_code(static_cast<unsigned char>(c))) << c;
        EXPECT_EQ(pattern_of(load.table, static_cast<unsigned char>(c - 'A' + 'a')),
                  pattern_of(load.table, static_cast<unsigned char>(c)))
            << "small letters are keyed as capitals";
    }
    const struct {
        char character;
        const char* pattern;
    } samples[] = {{'P', ".--."},  {'Q', "--.-"},  {'0', "-----"}, {'9', "----."}, {'?', "..--.."},
                   {'/', "-..-."}, {'=', "-...-"}, {'+', "-.-.-"}, {'@', ".-.-."}, {'!', "...-.-"}};
    for (const auto& s : samples)
        EXPECT_EQ(pattern_of(load.table, static_cast<unsigned char>(s.character)), s.pattern) << s.character;
    EXPECT_FALSE(load.table.has_code('#'));
}

TEST(MorseTable, HostileBytesNeverGiveAnElementThatIsNeitherDotNorDash) {
    std::mt19937 random(1677);
    const std::string alphabet = "0123456789-.,\"\r\n -+x";
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 64, ' ');
        for (char& b : bytes)
            b = random() % 4 == 0 ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];
        const MorseTableLoad load = read_morse_table(bytes);
        for (int c = 0; c < 256; ++c) {
            bool ended = false;
            for (int j = 0; j < k_max_elements; ++j) {
                const int e = load.table.element(static_cast<unsigned char>(c), j);
                ASSERT_TRUE(e == 0 || e == MorseTable::k_dot || e == MorseTable::k_dash);
                ASSERT_FALSE(ended && e != 0) << "an element after the code's end";
                ended = ended || e == 0;
            }
        }
    }
}

} // namespace
} // namespace kestrel::keyer
