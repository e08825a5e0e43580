// SQUARES.EDB, the worked squares the operator keeps (and edits) beside the log. The first input
// byte picks a line whose square is looked up and recorded, the rest is the file. After a Log
// On the square is worked, and nothing else in the file has changed: a new line is added after
// the old bytes, a listed line is filled in where it stands.
#include "fuzz_support.hpp"
#include "online/squares.hpp"

#include <algorithm>
#include <vector>

namespace {

using namespace kestrel;

std::vector<std::string_view> lines_of(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        lines.push_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

// The square a line is about, as the locator box would give it (four characters at most).
std::string square_in(std::string_view line) {
    return std::string(online::square_of(line.substr(0, line.find_first_of(" :\r"))));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view file = fuzz::bytes_of(data + 1, size - 1);
    const std::vector<std::string_view> lines = lines_of(file);
    std::string square = lines.empty() ? "IO91" : square_in(lines[data[0] % lines.size()]);
    if (data[0] >= 128 || square.empty()) square = "JO01"; // a square the file may lack
    const std::string path = fuzz::scratch_file(online::k_squares_file, file);

    const online::SquareCheck check = online::check_square(path, square);
    fuzz::check(check.status != online::SquareCheck::Status::none, "a square in a file there is checked");
    fuzz::check(check.square == square, "the check is about the square asked");
    if (check.status == online::SquareCheck::Status::fill_in)
        fuzz::check(check.line_start >= 0 && static_cast<std::size_t>(check.line_start) <= file.size(),
                    "a listed line starts inside the file");

    fuzz::check(online::record_square(path, check, "G9QQQ", "07-12-26"), "the square is recorded");
    const std::string after = fuzz::file_bytes(path);
    switch (check.status) {
    case online::SquareCheck::Status::got:
        fuzz::check(after == file, "a worked square leaves the file alone");
        break;
    case online::SquareCheck::Status::new_line:
        fuzz::check(after.starts_with(file), "a new line goes after every old byte");
        fuzz::check(after.ends_with(online::square_line(square, "G9QQQ", "07-12-26") + "\r\n"),
                    "the new line is the square's");
        break;
    case online::SquareCheck::Status::fill_in: {
        const auto start = static_cast<std::size_t>(check.line_start);
        fuzz::check(after.substr(0, start) == file.substr(0, start), "the lines before stay");
        fuzz::check(lines_of(after).size() == lines.size(), "filling a line in adds none");
        const std::size_t old_end = std::min(file.find('\n', start), file.size());
        const std::size_t new_end = std::min(after.find('\n', start), after.size());
        fuzz::check(after.substr(new_end) == file.substr(old_end), "the lines after stay");
        break;
    }
    case online::SquareCheck::Status::none: break;
    }
    const online::SquareCheck again = online::check_square(path, square);
    fuzz::check(again.status == online::SquareCheck::Status::got, "a square recorded is worked");
    return 0;
}
