#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Reads the comma-separated items of the program's side files (station data, databases, the
// current log's name, Morse tables, rig descriptions), in the way those files have always been read:
// - an item ends at a comma or at a line end (CR LF, LF or CR);
// - leading blanks are skipped, and trailing blanks of an unquoted item are dropped;
// - an item that starts with a double quote ends at the closing quote, the quotes are removed and
//   whatever follows up to the comma or line end is skipped (a quote left open ends at the line
//   end, so one stray quote cannot swallow the rest of the file);
// - a numeric item is the number its text starts with, 0 when it starts with none.
// Reading past the last item gives nothing (or 0) and leaves the reader at its end.
class TextItemReader {
  public:
    explicit TextItemReader(std::string bytes);

    // The next item as text; std::nullopt once every item has been read.
    std::optional<std::string> next_text();
    // The next item's leading number (0 when there is no item or no number).
    double next_number();
    // The same, rounded to the nearest integer (halves to even) and clamped to int.
    int next_int();

    bool at_end() const { return m_at >= m_bytes.size(); }

  private:
    void skip_line_end();

    std::string m_bytes;
    std::size_t m_at = 0;
};

// A text as one item the reader above gives back: quoted when it holds a comma, starts or ends
// with a blank or starts with a double quote. Line ends, and the double quotes of a text that must
// be quoted, cannot be stored and are left out, so one bad text never shifts the items after it.
// Boxes whose text goes into a side file refuse double quotes.
[[nodiscard]] std::string side_file_item(std::string_view text);

// True when side_file_item keeps the text whole (a double quote inside a text that needs no
// quotes is kept).
[[nodiscard]] bool storable_item(std::string_view text);

// One line for the reader above: the items (each as side_file_item) joined by "," and ended by
// CR LF.
[[nodiscard]] std::string join_items(const std::vector<std::string>& items);

} // namespace kestrel
