// DMORSE.CDE, which operators extend by hand. Whatever it holds, the table read must be one that
// the file's own format can state: written back a line per character and read again, it is the
// same table with no faulty line. The faults found are told in one message of bounded size that
// names a line the file has.
#include "fuzz_support.hpp"
#include "keyer/morse_table.hpp"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel;
    const std::string_view bytes = fuzz::bytes_of(data, size);
    const keyer::MorseTableLoad load = keyer::read_morse_table(bytes);

    const auto line_ends =
        std::count(bytes.begin(), bytes.end(), '\n') + std::count(bytes.begin(), bytes.end(), '\r');
    fuzz::check(load.faulty_lines >= 0 && load.faulty_lines <= line_ends + 1,
                "no more faulty lines than lines");
    fuzz::check(load.first_fault.has_value() == (load.faulty_lines > 0),
                "a fault is named when there is one");
    const auto message = keyer::fault_message(load);
    fuzz::check(message.has_value() == (load.faulty_lines > 0),
                "a message when, and only when, a line is faulty");
    if (message) {
        fuzz::check(message->size() <= 200, "the message is short whatever the file");
        fuzz::check(message->starts_with(*load.first_fault), "the message starts with the first fault");
    }

    std::string text;
    for (int c = 0; c < 256; ++c) {
        const auto character = static_cast<unsigned char>(c);
        if (!load.table.has_code(character)) continue;
        text += std::to_string(c) + ",";
        for (int j = 0; j < keyer::k_max_elements && load.table.element(character, j) != 0; ++j)
            text += load.table.element(character, j) == keyer::MorseTable::k_dash ? '-' : '.';
        text += "\r\n";
    }
    const keyer::MorseTableLoad again = keyer::read_morse_table(text);
    fuzz::check(again.faulty_lines == 0, "the table written back has no faulty line");
    fuzz::check(again.table == load.table, "the table written back reads the same");
    return 0;
}
