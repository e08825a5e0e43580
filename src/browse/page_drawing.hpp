#pragma once

#include "ui/canvas.hpp"

#include <string_view>

namespace kestrel::browse {

// Paints one page line: black on white; the date again in white on navy when the line is
// selected; a grey rule under the line, one after the date and, on a contact's line, one between
// each pair of columns. The rules stand where the columns of the line's font fall.
void draw_page_line(ui::Canvas& canvas, const ui::DrawItem& item, std::string_view visible);

} // namespace kestrel::browse
