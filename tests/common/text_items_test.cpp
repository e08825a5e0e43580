#include "common/text_items.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel {
namespace {

std::vector<std::string> all_items(const std::string& bytes) {
    TextItemReader reader(bytes);
    std::vector<std::string> items;
    while (auto item = reader.next_text())
        items.push_back(*item);
    return items;
}

TEST(TextItems, SplitsAtCommasAndEveryKindOfLineEnd) {
    using Items = std::vector<std::string>;
    const struct {
        std::string bytes;
        Items items;
    } cases[] = {
        {"A,B\r\nC\r\n", {"A", "B", "C"}},
        {"A\nB\rC", {"A", "B", "C"}},
        {"  IC-7300 ,  dipole\r\n", {"IC-7300", "dipole"}},
        {"\"C:\\LOGS\\HOME.LOG\"\r\n", {"C:\\LOGS\\HOME.LOG"}},
        {"\"quoted, with comma\",next\r\n", {"quoted, with comma", "next"}},
        {"\"ab\"cd,ef\r\n", {"ab", "ef"}},
        {"  \"  keeps inner blanks \"  ,x", {"  keeps inner blanks ", "x"}},
        {"\"open quote\r\nnext line", {"open quote", "next line"}},
        {"A,,B", {"A", "", "B"}},
        {"A\r\n\r\nB", {"A", "", "B"}},
        {"A,\r\nB", {"A", "", "B"}},
        {"", {}},
        {"\r\n", {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(all_items(c.bytes), c.items) << c.bytes;
}

TEST(TextItems, NumbersAreTheLeadingNumberOfTheirItem) {
    TextItemReader reader("12, 3.5MHz ,abc,\"7\",-2.5,2.5,1e3\r\n");
    EXPECT_EQ(reader.next_int(), 12);
    EXPECT_DOUBLE_EQ(reader.next_number(), 3.5);
    EXPECT_EQ(reader.next_int(), 0);
    EXPECT_EQ(reader.next_int(), 7);
    EXPECT_EQ(reader.next_int(), -2);
    EXPECT_EQ(reader.next_int(), 2);
    EXPECT_EQ(reader.next_int(), 1000);
    EXPECT_TRUE(reader.at_end());
}

TEST(TextItems, ReadingPastTheEndGivesNothingAndStaysAtTheEnd) {
    TextItemReader reader("only\r\n");
    EXPECT_FALSE(reader.at_end());
    EXPECT_EQ(reader.next_text(), "only");
    EXPECT_TRUE(reader.at_end());
    EXPECT_EQ(reader.next_text(), std::nullopt);
    EXPECT_EQ(reader.next_number(), 0.0);
    EXPECT_EQ(reader.next_int(), 0);
    EXPECT_TRUE(reader.at_end());
}

TEST(TextItems, HugeNumbersAreClampedToInt) {
    TextItemReader reader("1e20,-1e20");
    EXPECT_EQ(reader.next_int(), std::numeric_limits<int>::max());
    EXPECT_EQ(reader.next_int(), std::numeric_limits<int>::min());
}

TEST(TextItems, JoinedItemsReadBack) {
    const std::vector<std::string> items = {"IC-7300", "G5RV", "100", ""};
    const std::string line = join_items(items);
    EXPECT_EQ(line, "IC-7300,G5RV,100,\r\n");
    EXPECT_EQ(all_items(line), items);
}

TEST(TextItems, WhatTheWriterStoresReadsBackAsStored) {
    // Texts a box or a dialog may give; a double quote or a line end cannot be stored and is left
    // out, and nothing ever shifts the items after it.
    const struct {
        std::string text;
        std::string stored;
    } cases[] = {
        {"IC-7300", "IC-7300"},
        {"a,b", "a,b"},
        {" lead", " lead"},
        {"trail\t", "trail\t"},
        {"say \"hi\"", "say \"hi\""}, // a quote inside an item as it stands is kept
        {"5\" dish, 3 el", "5 dish, 3 el"},
        {"\"quoted, comma\"", "quoted, comma"},
        {"\"lead", "lead"},
        {"two\r\nlines", "twolines"},
        {"\"", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(all_items(join_items({c.text, "NEXT"})), (std::vector<std::string>{c.stored, "NEXT"}))
            << c.text;
        EXPECT_EQ(storable_item(c.text), c.text == c.stored) << c.text;
    }
}

TEST(TextItems, HostileBytesNeverBreakTheReader) {
    // Every short string over a small alphabet of the characters that matter.
    const std::string alphabet = "\",\r\n a1.";
    std::string bytes;
    for (int n = 0; n < 8 * 8 * 8 * 8 * 8; ++n) {
        bytes.clear();
        for (int k = n, i = 0; i < 5; ++i, k /= 8)
            bytes += alphabet[static_cast<std::size_t>(k % 8)];
        TextItemReader reader(bytes);
        int items = 0;
        while (reader.next_text())
            ASSERT_LE(++items, 6) << bytes;
        EXPECT_TRUE(reader.at_end());
    }
}

} // namespace
} // namespace kestrel
