// The comma-separated items every side file is read with (station data, databases, the current
// log's name, Morse tables, rig descriptions), read from a side file as the program reads it.
// Every item ends the reading sooner or later, and every item join_items can store reads back the
// same when written.
#include "common/side_file.hpp"
#include "common/text_items.hpp"
#include "fuzz_support.hpp"

#include <vector>

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::bytes_of(data, size);
    const std::string path = fuzz::scratch_file("ITEMS.LST", bytes);
    const std::optional<std::string> read = read_side_file(path);
    fuzz::check(read && *read == bytes, "a side file is read whole");

    std::vector<std::string> items;
    TextItemReader reader(*read);
    while (const std::optional<std::string> item = reader.next_text()) {
        fuzz::check(items.size() <= size, "every item takes at least one byte");
        fuzz::check(item->find_first_of("\r\n") == std::string::npos, "an item stays on its line");
        items.push_back(*item);
    }
    fuzz::check(reader.at_end() && !reader.next_text(), "the end stays the end");

    TextItemReader numbers(*read);
    while (!numbers.at_end())
        (void)numbers.next_int();

    bool writable = true;
    for (const std::string& item : items)
        writable = writable && storable_item(item);
    if (writable && !items.empty()) {
        const std::string line = join_items(items);
        fuzz::check(write_side_file(path, line), "a side file is written");
        TextItemReader again(*read_side_file(path));
        for (const std::string& item : items)
            fuzz::check(again.next_text() == item, "a written item reads back");
    }
    return 0;
}
