// DBNAMES.LST: the callbook choice and database names are read, written back as Set Up/Databases
// saves them, and read again; the same settings must come back, and the file written is six
// lines whatever was read.
#include "databases/database_settings.hpp"
#include "fuzz_support.hpp"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel;
    const databases::DatabaseSettings first = databases::read_settings_text(fuzz::bytes_of(data, size));
    const int kind = static_cast<int>(first.callbook);
    fuzz::check(kind >= 0 && kind < static_cast<int>(databases::k_callbook_names.size()),
                "the callbook is one the dialog offers");

    const std::string text = databases::settings_text(first);
    fuzz::check(std::count(text.begin(), text.end(), '\n') == 6, "six lines are written");
    const databases::DatabaseSettings again = databases::read_settings_text(text);
    fuzz::check(again == first, "written settings read back the same");

    const std::string directory = fuzz::scratch_dir().string();
    fuzz::check(databases::write_callbook_settings(first, directory), "the settings are written");
    const databases::SettingsLoad load = databases::load_callbook_settings(directory);
    fuzz::check(!load.notice && load.settings == first, "start-up reads what was written");
    return 0;
}
