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
