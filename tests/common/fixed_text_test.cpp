#include "common/fixed_text.hpp"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(FixedText, CutsAndPadsToTheWidth) {
    EXPECT_EQ(fixed_width("G4ABC", 12), "G4ABC       ");
    EXPECT_EQ(fixed_width("A VERY LONG CALL", 12), "A VERY LONG ");
    EXPECT_EQ(fixed_width("", 3), "   ");
    EXPECT_EQ(fixed_width(std::string("59\0", 3), 7), std::string("59\0    ", 7));
}

TEST(FixedText, ReplaceAllReplacesEveryMatchOfTheTextAsItWas) {
    const struct {
        std::string text;
        std::string from;
        std::string to;
        std::string replaced;
    } cases[] = {
        {"HOME.ADI", ".ADI", ".LOG", "HOME.LOG"},
        {"A,B,,C", ",", ";", "A;B;;C"},
        {"a$$$b", "$$", "", "a$b"},                   // matches do not overlap
        {"aabb", "ab", "", "ab"},                     // pieces that join into a match stay
        {"G4ABC/P/P", "/P", "/P/P", "G4ABC/P/P/P/P"}, // a replacement is not searched again
        {"NONE", "X", "Y", "NONE"},
        {"ABC", "", "X", "ABC"}, // an empty text matches nothing
        {std::string(100'000, '$'), "$", "$$", std::string(200'000, '$')},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        replace_all(text, c.from, c.to);
        EXPECT_EQ(text, c.replaced) << c.text.substr(0, 20) << " " << c.from;
    }
}

TEST(FixedText, TrimsOnlyTrailingSpaces) {
    EXPECT_EQ(trim_trailing_spaces("  G4ABC   "), "  G4ABC");
    EXPECT_EQ(trim_trailing_spaces("     "), "");
    EXPECT_EQ(trim_trailing_spaces(""), "");
}

TEST(FixedText, UpperCaseTouchesAsciiLettersOnly) {
    EXPECT_EQ(upper_case("cw 1.2g"), "CW 1.2G");
    EXPECT_EQ(upper_case("\xe9t\xe9"), "\xe9T\xe9");
}

} // namespace
} // namespace kestrel
