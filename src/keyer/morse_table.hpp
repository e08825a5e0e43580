#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// A Morse table read from the text of DMORSE.CDE, and what the operator is to be told about its
// faulty lines (each shown in a box with an empty title).
struct MorseTableLoad {
    MorseTable table;
    std::vector<std::string> messages;
};

// DMORSE.CDE holds a line per character: its code (decimal 0-255) and its pattern, two items
// read by the usual rules of the side files (".-" for A). A code outside 0-255 is reported and
// the pattern goes to code 0; a pattern of more than seven elements is reported and cut to seven.
// Each line is read on its own, so a line missing an item or a blank line spoils only itself.
[[nodiscard]] MorseTableLoad read_morse_table(std::string_view bytes);

} // namespace kestrel::keyer
