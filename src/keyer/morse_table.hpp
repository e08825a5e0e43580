#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::keyer {

inline constexpr const char* k_morse_file = "DMORSE.CDE";

// The most elements one character may have.
inline constexpr int k_max_elements = 7;

// The Morse code of every character code 0-255. An element's value is its length in dots:
// 1 for a dot, 3 for a dash, 0 where the character's code has ended. A character whose first
// element is 0 has no code and is never keyed.
class MorseTable {
  public:
    static constexpr int k_dot = 1;
    static constexpr int k_dash = 3;

    [[nodiscard]] int element(unsigned char character, int index) const {
        return m_codes[character][static_cast<std::size_t>(index)];
    }
    [[nodiscard]] bool has_code(unsigned char character) const { return element(character, 0) != 0; }

    // Gives a character its code: "-" is a dash and any other character a dot, at most
    // k_max_elements of them (the rest is ignored). An empty pattern is one dot.
    void set(unsigned char character, std::string_view pattern);

    friend bool operator==(const MorseTable&, const MorseTable&) = default;

  private:
    std::array<std::array<std::uint8_t, k_max_elements>, 256> m_codes{};
};

// A Morse table read from the text of DMORSE.CDE, and what was wrong with it: the first faulty
// line's message and how many lines were faulty in all. A file of garbage may have thousands,
// and the operator is told of them in one box, not a box a line.
struct MorseTableLoad {
    MorseTable table;
    std::optional<std::string> first_fault; // "Faulty ASCII code on line 12"
    int faulty_lines = 0;
};

// DMORSE.CDE holds a line per character: its code (decimal 0-255) and its pattern, two items
// read by the usual rules of the side files (".-" for A). A code outside 0-255 is faulty and the
// pattern goes to code 0; a pattern of more than seven elements is faulty and cut to seven.
// Each line is read on its own, so a line missing an item or a blank line spoils only itself.
[[nodiscard]] MorseTableLoad read_morse_table(std::string_view bytes);

// The one message for the operator (shown in a box with an empty title), nothing when no line
// was faulty. One faulty line is told as it always was ("Faulty ASCII code on line 3"); more add
// how many there were and what became of them.
[[nodiscard]] std::optional<std::string> fault_message(const MorseTableLoad& load);

} // namespace kestrel::keyer
