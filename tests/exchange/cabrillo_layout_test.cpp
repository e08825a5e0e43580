#include "exchange/cabrillo_layout.hpp"

#include <gtest/gtest.h>

namespace kestrel::exchange {
namespace {

struct Expected {
    int call_column, call_length;
    int sent_column, sent_length;
    std::string sent_text;
    int received_column, received_length;
    std::string received_text;
};

void expect_layout(const CabrilloLayout& l, const Expected& e) {
    EXPECT_EQ(l.call.column, e.call_column);
    EXPECT_EQ(l.call.length, e.call_length);
    EXPECT_EQ(l.rst_sent.column, e.sent_column);
    EXPECT_EQ(l.rst_sent.length, e.sent_length);
    EXPECT_EQ(l.rst_sent.text, e.sent_text);
    EXPECT_EQ(l.rst_received.column, e.received_column);
    EXPECT_EQ(l.rst_received.length, e.received_length);
    EXPECT_EQ(l.rst_received.text, e.received_text);
}

TEST(CabrilloLayoutLine, ItemsAreReadAsTheProgramsSideFilesAre) {
    const struct {
        const char* line;
        Expected layout;
    } cases[] = {
        {"CQ-WW-CW,56,13,45,3,70,3", {56, 13, 45, 3, "", 70, 3, ""}},
        {"\"CQ-WW-SSB\",  56 , 13,45,3,70,3\r\n", {56, 13, 45, 3, "", 70, 3, ""}},
        {"ARRL-SS-CW,56,10,0,599,0,\"59 A\"", {56, 10, 0, 0, "599", 0, 0, "59 A"}},
        {"X,abc,13,4x5,3,70,3", {0, 13, 4, 3, "", 70, 3, ""}},
        {"X,56.4,12.6", {56, 13, 0, 0, "", 0, 0, ""}},
        {"X,56", {56, 0, 0, 0, "", 0, 0, ""}},
        {"", {0, 0, 0, 0, "", 0, 0, ""}},
        {"X,99999999999999999999,5,-3,2,1,1", {INT32_MAX, 5, -3, 2, "", 1, 1, ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        expect_layout(parse_layout_line(c.line), c.layout);
    }
}

TEST(CabrilloLayoutFile, TheFirstLineNamingTheContestIsTaken) {
    const std::string file = "CQ-WW-CW,56,13,45,3,70,3\r\n"
                             "CQ-WPX-CW,50,13,0,599,0,599\r\n"
                             "CQ-WW-CW,1,1,1,1,1,1\r\n"
                             "ALL OF CQ-WW-SSB AND MORE,40,12,0,59,0,59\n"
                             "lower-case,30,12,0,1,0,2";
    const auto ww = find_layout(file, "CQ-WW-CW");
    ASSERT_TRUE(ww);
    EXPECT_EQ(ww->call.column, 56);
    const auto wpx = find_layout(file, "CQ-WPX-CW");
    ASSERT_TRUE(wpx);
    EXPECT_EQ(wpx->rst_sent.text, "599");
    // The name may stand anywhere in the line: the first item is read as the contest name all
    // the same, so the layout is still the line's.
    const auto ssb = find_layout(file, "CQ-WW-SSB");
    ASSERT_TRUE(ssb);
    EXPECT_EQ(ssb->call.column, 40);
    // Layout lines are compared as they stand: the Cabrillo side is upper-cased, the file is not.
    EXPECT_FALSE(find_layout(file, "LOWER-CASE"));
    EXPECT_FALSE(find_layout(file, "IARU-HF"));
    // An empty name would match the first line of any file.
    EXPECT_FALSE(find_layout(file, ""));
    EXPECT_FALSE(find_layout("", "CQ-WW-CW"));
}

TEST(CabrilloLayoutField, ColumnsAreTakenAsFarAsTheLineGoes) {
    const std::string line = "QSO: 14025";
    const struct {
        CabrilloLayout::Field field;
        const char* text;
    } cases[] = {
        {{1, 4, {}}, "QSO:"},
        {{6, 5, {}}, "14025"},
        {{6, 50, {}}, "14025"},
        {{10, 1, {}}, "5"},
        {{11, 3, {}}, ""},
        {{500, 3, {}}, ""},
        {{-1, 3, {}}, ""},
        {{3, 0, {}}, ""},
        {{3, -2, {}}, ""},
        {{0, 3, "599"}, "599"},
        {{0, 0, ""}, ""},
        {{INT32_MAX, INT32_MAX, {}}, ""},
        {{1, INT32_MAX, {}}, "QSO: 14025"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.field.column) + "," + std::to_string(c.field.length));
        EXPECT_EQ(field_text(line, c.field), c.text);
    }
}

} // namespace
} // namespace kestrel::exchange
