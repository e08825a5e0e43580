// A QSL label template (*.DTA) and its settings file (*.DAT), both of which operators edit or
// bring from elsewhere. The first input byte says how many of the following bytes are the
// settings file (0-15), the rest is the template.
// - A template is loaded, or refused with one short message that names it; never both.
// - Loaded settings are the file's, and written back they read the same; a file that does not
//   hold settings is left as it was.
// - Printed, a template puts no line end on the page, every font is 1-30 points, and every line
//   goes one line height lower than the one before.
// - Its placeholders are filled in one pass: each filled with its own name gives the template back.
#include "fuzz_support.hpp"
#include "printer/recording_printer.hpp"
#include "printing/label_layout.hpp"
#include "printing/label_text.hpp"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using namespace kestrel;
using namespace kestrel::printing;

void check_pieces(std::string_view label) {
    std::size_t text_bytes = 0;
    for (const LabelPiece& piece : label_pieces(label)) {
        if (piece.kind == LabelPiece::text) {
            fuzz::check(!piece.words.empty(), "a text piece holds something");
            fuzz::check(piece.words.find_first_of("\r\n") == std::string_view::npos,
                        "text holds no line end");
            text_bytes += piece.words.size();
        } else {
            fuzz::check(piece.number >= 0 && piece.number <= 30, "a command's number is 0-30");
        }
    }
    fuzz::check(text_bytes <= label.size(), "no more text than the template holds");
}

void check_printed(std::string_view label) {
    auto job = std::make_shared<PrintedJob>();
    RecordingPrinter printer(job);
    start_label_font(printer);
    LabelPen pen{100, 100, 100};
    render_label(printer, label, pen);
    const std::vector<LabelPiece> pieces = label_pieces(label);
    const auto lines = std::count_if(pieces.begin(), pieces.end(),
                                     [](const LabelPiece& p) { return p.kind == LabelPiece::new_line; });
    fuzz::check(pen.y == 100 + lines * printer.line_height(), "each line goes one line lower");
    for (const PrintedJob::Text& text : job->pages.back().texts) {
        fuzz::check(text.text.find_first_of("\r\n") == std::string::npos, "no line end is printed");
        fuzz::check(text.points >= 1 && text.points <= 30, "every font is 1-30 points");
        fuzz::check(!text.text.empty(), "nothing empty is printed");
    }
}

void check_placeholders(std::string_view label) {
    Placeholders own_names;
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        own_names.set(letter, std::string{'$', letter, '$'});
    fuzz::check(own_names.expand(label) == label, "placeholders filled with their own names change nothing");
    fuzz::check(Placeholders{}.expand(label) == label, "placeholders with nothing set stay");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t settings_size = std::min<std::size_t>(data[0] % 16, size - 1);
    const std::string_view settings_bytes = fuzz::bytes_of(data + 1, settings_size);
    const std::string_view label = fuzz::bytes_of(data + 1 + settings_size, size - 1 - settings_size);

    check_pieces(label);
    check_printed(label);
    check_placeholders(label);
    const auto bad = first_bad_command(label);

    const std::string template_path = fuzz::scratch_file("FUZZ.DTA", label);
    const std::string settings_path = fuzz::scratch_file("FUZZ.DAT", settings_bytes);
    const LayoutLoad load = load_label_layout(template_path);
    fuzz::check(load.layout.has_value() == load.problem.empty(), "loaded, or refused with a message");
    fuzz::check(load.problem.size() <= 200, "the message is short whatever the files");
    fuzz::check(load.problem.empty() || load.problem.find("FUZZ.D") != std::string::npos,
                "the message names the file");
    if (bad) fuzz::check(!load.layout, "a template with a bad command is refused");

    const std::string settings_after = fuzz::file_bytes(settings_path);
    if (!load.layout) {
        fuzz::check(settings_after == settings_bytes || settings_bytes.empty(),
                    "a refused sheet is left alone");
        return 0;
    }
    fuzz::check(load.layout->template_text == label, "the template is the file's bytes");
    fuzz::check(load.layout->settings_path() == settings_path, "the settings are the template's own");
    const LabelSettings& settings = load.layout->settings;
    if (settings_bytes.empty()) {
        fuzz::check(settings == LabelSettings{}, "a new sheet is all zeros");
        fuzz::check(settings_after == std::string(k_settings_size, '\0'), "and is written as ten zero bytes");
    } else {
        fuzz::check(decode_settings(settings_bytes) == settings, "the sheet is the file's");
        fuzz::check(settings_after == settings_bytes, "reading a sheet changes nothing");
    }
    fuzz::check(decode_settings(encode_settings(settings)) == settings,
                "written settings read back the same");
    return 0;
}
