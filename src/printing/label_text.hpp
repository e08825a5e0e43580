#pragma once

#include "common/colour.hpp"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::printing {

class Printer;

// The texts a label's placeholders stand for, by letter: "$A$" is set('A', ...). A placeholder
// with no text set stays in the label as it is written.
class Placeholders {
  public:
    void set(char letter, std::string text);
    // Every placeholder replaced in one pass; a text put in is not searched again, so a comment
    // holding "$B$" prints as typed.
    [[nodiscard]] std::string expand(std::string_view label) const;

  private:
    std::array<std::optional<std::string>, 26> m_texts;
};

// A label template is text with commands: "#S" n ";" adds n blanks, "#F" n ";" prints what is
// on the line and takes Courier New of n points, "#C" n ";" prints the line and takes colour n
// (0 black, 1 red, 2 blue, 3 green, 4 yellow, others black), "#L" and every line end print the
// line and go to the label's left edge a line lower; numbers above 30 count as 30; "#" before
// any other character is text. The letters may be small.
struct LabelPiece {
    enum Kind { text, blanks, font, colour, new_line };
    Kind kind = text;
    std::string_view words; // text
    int number = 0;         // blanks, font, colour
};
[[nodiscard]] std::vector<LabelPiece> label_pieces(std::string_view label);

// The first command of a template that cannot be read ("#F" with no number and ";" after it),
// said for the operator with its line; nothing when every command is whole. When a filled-in
// label has such a command (a comment holding "#F", say) it prints as text.
[[nodiscard]] std::optional<std::string> first_bad_command(std::string_view label);

[[nodiscard]] Colour label_colour(int number);

// Where the next text of a label goes, in printer dots.
struct LabelPen {
    int left = 0; // the label's left edge, where each line starts
    int x = 0;
    int y = 0;
};

// The font and colour every label starts with.
void start_label_font(Printer& printer);
// Prints a filled-in label from the pen, leaving the pen where the text ended.
void render_label(Printer& printer, std::string_view label, LabelPen& pen);

} // namespace kestrel::printing
