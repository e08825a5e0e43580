#include "printing/label_text.hpp"

#include "printer/recording_printer.hpp"

#include <gtest/gtest.h>

#include <random>

namespace kestrel::printing {
namespace {

TEST(Placeholders, EveryOccurrenceOfASetLetterIsReplacedOnceAndNothingElse) {
    Placeholders p;
    p.set('A', "G4ABC");
    p.set('B', "01 Feb 24");
    p.set('M', "$B$ typed in a comment");
    const struct {
        const char* label;
        const char* expanded;
    } cases[] = {
        {"QSL $A$ $A$", "QSL G4ABC G4ABC"},
        {"$a$ and $C$ stay", "$a$ and $C$ stay"}, // small letters are no placeholder; C has no text
        {"$M$", "$B$ typed in a comment"},        // a text put in is not searched again
        {"$$A$$", "$G4ABC$"},
        {"$A", "$A"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(p.expand(c.label), c.expanded) << c.label;
}

struct Printed {
    int x;
    int y;
    std::string text;
    int points;
    Colour colour;
};

std::vector<Printed> render(std::string_view label) {
    auto job = std::make_shared<PrintedJob>();
    RecordingPrinter printer(job);
    start_label_font(printer);
    LabelPen pen{1000, 1000, 2000};
    render_label(printer, label, pen);
    std::vector<Printed> out;
    for (const auto& t : job->pages[0].texts)
        out.push_back({t.x, t.y, t.text, t.points, t.colour});
    return out;
}

// The recording printer's characters are 50 dots wide and its lines 100 dots apart.
TEST(LabelText, CommandsAndLineEndsPlaceTheTextOfALabel) {
    const Colour black{0, 0, 0};
    const Colour red{255, 0, 0};
    const struct {
        const char* label;
        std::vector<Printed> printed;
    } cases[] = {
        {"QSL G4ABC\r\n01 Feb 24 12:34",
         {{1000, 2000, "QSL G4ABC", 10, black}, {1000, 2100, "01 Feb 24 12:34", 10, black}}},
        // A new font prints what is on the line first, and what follows goes on from its end.
        {"To #F12;G4ABC", {{1000, 2000, "To ", 10, black}, {1150, 2000, "G4ABC", 12, black}}},
        {"#F40;big", {{1000, 2000, "big", 30, black}}},
        {"#f8;small#l#s2;x", {{1000, 2000, "small", 8, black}, {1000, 2100, "  x", 8, black}}},
        {"a#C1;red#C0;b",
         {{1000, 2000, "a", 10, black}, {1050, 2000, "red", 10, red}, {1200, 2000, "b", 10, black}}},
        {"#C9;dark", {{1000, 2000, "dark", 10, black}}},
        {"100#% #X", {{1000, 2000, "100#% #X", 10, black}}},
        {"#S40;|", {{1000, 2000, std::string(30, ' ') + "|", 10, black}}},
        // A line break of a file written on Linux, and a CR on its own, which is dropped.
        {"one\ntwo\rthree", {{1000, 2000, "one", 10, black}, {1000, 2100, "twothree", 10, black}}},
        {"a\r\n\r\nb", {{1000, 2000, "a", 10, black}, {1000, 2200, "b", 10, black}}},
        // A command without its number and ";" (a comment holding "#F") prints as it is.
        {"QSO #F2 ok#", {{1000, 2000, "QSO #F2 ok#", 10, black}}},
    };
    for (const auto& c : cases) {
        const auto printed = render(c.label);
        ASSERT_EQ(printed.size(), c.printed.size()) << c.label;
        for (std::size_t i = 0; i < printed.size(); ++i) {
            EXPECT_EQ(printed[i].x, c.printed[i].x) << c.label << " #" << i;
            EXPECT_EQ(printed[i].y, c.printed[i].y) << c.label << " #" << i;
            EXPECT_EQ(printed[i].text, c.printed[i].text) << c.label << " #" << i;
            EXPECT_EQ(printed[i].points, c.printed[i].points) << c.label << " #" << i;
            EXPECT_EQ(printed[i].colour, c.printed[i].colour) << c.label << " #" << i;
        }
    }
}

TEST(LabelText, TheFirstCommandThatCannotBeReadIsNamedWithItsLine) {
    const struct {
        const char* label;
        std::optional<std::string> problem;
    } cases[] = {
        {"#F12;$A$\r\n#S3;#C1;x#L#Zy", std::nullopt},
        {"#F 9;x", std::nullopt},
        {"line one\r\n#F12 $A$", "line 2 has \"#F\" without a number and \";\" after it"},
        {"#S;", "line 1 has \"#S\" without a number and \";\" after it"},
        {"#cx;", "line 1 has \"#c\" without a number and \";\" after it"},
        {"\n\n#C1", "line 3 has \"#C\" without a number and \";\" after it"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(first_bad_command(c.label), c.problem) << c.label;
}

// Templates are the operator's own text files: whatever they hold, rendering ends, lines only go
// down the label, fonts stay within their sizes and no line end is printed as a character.
TEST(LabelText, AnyTemplateRendersWithoutHarm) {
    using namespace std::string_literals;
    const std::string alphabet = "#SFCLsfcl;0123456789 $ABM\r\n\x00\xff"s;
    std::mt19937 random(73);
    for (int round = 0; round < 2000; ++round) {
        std::string label(random() % 40, ' ');
        for (char& c : label)
            c = alphabet[random() % alphabet.size()];
        const auto printed = render(label);
        int y = 0;
        std::size_t characters = 0;
        for (const Printed& p : printed) {
            EXPECT_GE(p.y, y) << label;
            y = p.y;
            characters += p.text.size();
            EXPECT_GE(p.points, 1);
            EXPECT_LE(p.points, 30);
        }
        EXPECT_LE(characters, label.size() * 30) << label;
        for (const LabelPiece& piece : label_pieces(label))
            if (piece.kind == LabelPiece::text) {
                EXPECT_EQ(piece.words.find_first_of("\r\n"), std::string_view::npos) << label;
            }
    }
}

} // namespace
} // namespace kestrel::printing
