// CWTEXT.TXT: the keyer's settings are read, written back as the CW Set Up window saves them,
// and read again; the same settings must come back, in a file of the same seven lines.
#include "fuzz_support.hpp"
#include "keyer/keyer_settings.hpp"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel;
    const keyer::KeyerSettings first = keyer::read_keyer_settings(fuzz::bytes_of(data, size));
    fuzz::check(first.words_per_minute >= keyer::k_minimum_speed, "never slower than the keyer goes");

    const std::string text = keyer::keyer_settings_text(first);
    fuzz::check(std::count(text.begin(), text.end(), '\n') == 7 && text.ends_with("\r\n"),
                "seven lines, each ended by CR LF");
    // The port is written twice; quotes and the speed add a few bytes.
    fuzz::check(text.size() <= 2 * size + 64, "the text written grows no more than the port's second copy");
    const keyer::KeyerSettings again = keyer::read_keyer_settings(text);
    fuzz::check(again == first, "written settings read back the same");
    fuzz::check(keyer::keyer_settings_text(again) == text, "and are written the same again");

    const std::string path = (fuzz::scratch_dir() / keyer::k_settings_file).string();
    fuzz::check(keyer::write_keyer_settings(first, path), "the settings are written");
    fuzz::check(keyer::load_keyer_files(fuzz::scratch_dir().string()).settings == first,
                "start-up reads what was written");
    return 0;
}
