#include "common/windows1252.hpp"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

TEST(Windows1252, ConvertsToAndFromUtf8) {
    const struct {
        std::string cp1252;
        std::string utf8;
    } cases[] = {
        {"G4ABC", "G4ABC"},     {"\xe9t\xe9", "\u00e9t\u00e9"},
        {"\x80 5", "\u20ac 5"}, {"\x93quoted\x94", "\u201cquoted\u201d"},
        {"\xb0", "\u00b0"},     {"\x9f\xff", "\u0178\u00ff"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8_from_windows1252(c.cp1252), c.utf8);
        EXPECT_EQ(windows1252_from_utf8(c.utf8), c.cp1252);
    }
}

TEST(Windows1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(windows1252_from_utf8(utf8_from_windows1252(all)), all);
}

TEST(Windows1252, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(windows1252_from_utf8("\u4e2d\u6587 ok"), "?? ok");
    EXPECT_EQ(windows1252_from_utf8("\U0001F600!"), "?!");
}

TEST(Windows1252, InvalidUtf8CostsOnlyTheBadBytes) {
    const struct {
        std::string utf8;
        std::string cp1252;
    } cases[] = {
        {"a\xff!", "a?!"},              // never valid
        {"a\xc3", "a?"},                // cut short at the end
        {"\xc3(x", "?(x"},              // lead byte without its continuation
        {"\xc0\xaf", "??"},             // overlong '/'
        {"\xed\xa0\x80z", "???z"},      // surrogate
        {"\xf4\x90\x80\x80.", "????."}, // beyond U+10FFFF
        {"\x80\x80\u00e9", "??\xe9"},   // stray continuation bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(windows1252_from_utf8(c.utf8), c.cp1252);
}

TEST(Utf8, SequenceLengthsAndWholeTexts) {
    const struct {
        std::string_view text;
        std::size_t first_length;
        bool valid;
    } cases[] = {
        {"G", 1, true},
        {"\xC3\xA9t\xC3\xA9", 2, true},
        {"\xE2\x82\xAC", 3, true},
        {"\xF0\x9F\x93\xBB", 4, true},
        {"\xE9t\xE9", 0, false},    // Windows-1252
        {"\xC3", 0, false},         // cut short
        {"\xC0\xAF", 0, false},     // overlong
        {"\xED\xA0\x80", 0, false}, // a surrogate
        {"\x80", 0, false},         // a stray continuation byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8_length_at(c.text, 0), c.first_length) << c.text;
        EXPECT_EQ(is_valid_utf8(c.text), c.valid) << c.text;
    }
    EXPECT_EQ(utf8_length_at("G", 5), 0u);
}

} // namespace
} // namespace kestrel
