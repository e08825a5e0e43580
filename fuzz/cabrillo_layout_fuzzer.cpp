// CABRILLO.FRM as an operator may have edited it. The first line of the input names the contest
// looked for, the rest is the file. There is no writer; the layout found must be usable on any
// QSO line without reading outside it.
#include "exchange/cabrillo_layout.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace kestrel;

void check_field(std::string_view line, const exchange::CabrilloLayout::Field& field) {
    const std::string text = exchange::field_text(line, field);
    if (field.column == 0) {
        fuzz::check(text == field.text, "a fixed report is given as written");
    } else {
        fuzz::check(text.size() <= line.size(), "a field is taken from inside the line");
        if (!text.empty())
            fuzz::check(line.find(text) != std::string_view::npos, "a field is a piece of the line");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::bytes_of(data, size);
    const std::size_t line_end = input.find('\n');
    const std::string_view contest = input.substr(0, line_end);
    const std::string_view file =
        line_end == std::string_view::npos ? std::string_view{} : input.substr(line_end + 1);

    const std::optional<exchange::CabrilloLayout> layout = exchange::find_layout(file, contest);
    if (contest.empty()) fuzz::check(!layout, "an empty name finds nothing");
    if (layout)
        fuzz::check(file.find(contest) != std::string_view::npos, "a layout is found only where the name is");

    // Every line of the file also stands in for a QSO line, under each layout it makes.
    const exchange::CabrilloLayout from_first = exchange::parse_layout_line(file.substr(0, file.find('\n')));
    for (const exchange::CabrilloLayout& l : {layout.value_or(from_first), from_first}) {
        for (std::string_view line : {input, file, contest}) {
            check_field(line, l.call);
            check_field(line, l.rst_sent);
            check_field(line, l.rst_received);
        }
    }
    return 0;
}
