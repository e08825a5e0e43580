#include "printing/label_text.hpp"

#include "printer/printer.hpp"

#include <algorithm>

namespace kestrel::printing {

namespace {

constexpr int k_largest_number = 30;
constexpr std::string_view k_label_font = "Courier New";
constexpr int k_label_points = 10;

// A command's number: blanks, digits, then ";". The length read, or nothing when it is not there.
std::optional<std::pair<int, std::size_t>> number_at(std::string_view text, std::size_t at) {
    std::size_t i = at;
    while (i < text.size() && text[i] == ' ')
        ++i;
    const std::size_t digits = i;
    int value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = std::min(value * 10 + (text[i] - '0'), 1000);
        ++i;
    }
    if (i == digits || i >= text.size() || text[i] != ';') return std::nullopt;
    return std::pair{std::min(value, k_largest_number), i + 1 - at};
}

LabelPiece::Kind kind_of_letter(char letter) {
    switch (letter) {
    case 'S':
    case 's': return LabelPiece::blanks;
    case 'F':
    case 'f': return LabelPiece::font;
    case 'C':
    case 'c': return LabelPiece::colour;
    case 'L':
    case 'l': return LabelPiece::new_line;
    default: return LabelPiece::text;
    }
}

// Walks the label; `bad` hears of every numbered command without its number (it then counts as text).
template <class Bad> std::vector<LabelPiece> scan(std::string_view label, Bad&& bad) {
    std::vector<LabelPiece> pieces;
    std::size_t start = 0; // of the text not yet made a piece
    auto text_up_to = [&](std::size_t end) {
        if (end > start) pieces.push_back({LabelPiece::text, label.substr(start, end - start), 0});
    };
    std::size_t i = 0;
    while (i < label.size()) {
        const char c = label[i];
        if (c == '\r' || c == '\n') {
            text_up_to(i);
            // CR LF and a lone LF end a line; a lone CR is dropped.
            if (c == '\n' || (i + 1 < label.size() && label[i + 1] == '\n')) {
                pieces.push_back({LabelPiece::new_line, {}, 0});
                i += c == '\r' ? 2 : 1;
            } else {
                ++i;
            }
            start = i;
            continue;
        }
        if (c != '#' || i + 1 >= label.size() || label[i + 1] == '\r' || label[i + 1] == '\n') {
            ++i;
            continue;
        }
        const LabelPiece::Kind kind = kind_of_letter(label[i + 1]);
        if (kind == LabelPiece::text) {
            i += 2; // "#" and the letter stay text
            continue;
        }
        if (kind == LabelPiece::new_line) {
            text_up_to(i);
            pieces.push_back({LabelPiece::new_line, {}, 0});
            i += 2;
            start = i;
            continue;
        }
        const auto number = number_at(label, i + 2);
        if (!number) {
            bad(i);
            i += 2;
            continue;
        }
        text_up_to(i);
        pieces.push_back({kind, {}, number->first});
        i += 2 + number->second;
        start = i;
    }
    text_up_to(label.size());
    return pieces;
}

} // namespace

void Placeholders::set(char letter, std::string text) {
    if (letter >= 'A' && letter <= 'Z') m_texts[static_cast<std::size_t>(letter - 'A')] = std::move(text);
}

std::string Placeholders::expand(std::string_view label) const {
    std::string out;
    out.reserve(label.size() + 64);
    std::size_t i = 0;
    while (i < label.size()) {
        if (label[i] == '$' && i + 2 < label.size() && label[i + 2] == '$' && label[i + 1] >= 'A' &&
            label[i + 1] <= 'Z') {
            const auto& text = m_texts[static_cast<std::size_t>(label[i + 1] - 'A')];
            if (text) {
                out += *text;
                i += 3;
                continue;
            }
        }
        out += label[i++];
    }
    return out;
}

std::vector<LabelPiece> label_pieces(std::string_view label) {
    return scan(label, [](std::size_t) {});
}

std::optional<std::string> first_bad_command(std::string_view label) {
    std::optional<std::size_t> first;
    (void)scan(label, [&](std::size_t at) {
        if (!first) first = at;
    });
    if (!first) return std::nullopt;
    const auto line =
        1 + std::count(label.begin(), label.begin() + static_cast<std::ptrdiff_t>(*first), '\n');
    const std::string command(label.substr(*first, 2));
    return "line " + std::to_string(line) + " has \"" + command + "\" without a number and \";\" after it";
}

Colour label_colour(int number) {
    switch (number) {
    case 1: return {255, 0, 0};
    case 2: return {0, 0, 255};
    case 3: return {0, 255, 0};
    case 4: return {255, 255, 0};
    default: return {0, 0, 0};
    }
}

void start_label_font(Printer& printer) {
    printer.set_font(k_label_font, k_label_points);
    printer.set_colour(label_colour(0));
}

void render_label(Printer& printer, std::string_view label, LabelPen& pen) {
    std::string line;
    auto print_line = [&] {
        if (line.empty()) return;
        printer.text(pen.x, pen.y, line);
        pen.x += static_cast<int>(line.size()) * printer.char_width();
        line.clear();
    };
    for (const LabelPiece& piece : label_pieces(label)) {
        switch (piece.kind) {
        case LabelPiece::text: line += piece.words; break;
        case LabelPiece::blanks: line.append(static_cast<std::size_t>(piece.number), ' '); break;
        case LabelPiece::font:
            print_line();
            printer.set_font(k_label_font, piece.number > 0 ? piece.number : k_label_points);
            break;
        case LabelPiece::colour:
            print_line();
            printer.set_colour(label_colour(piece.number));
            break;
        case LabelPiece::new_line:
            print_line();
            pen.x = pen.left;
            pen.y += printer.line_height();
            break;
        }
    }
    print_line();
}

} // namespace kestrel::printing
