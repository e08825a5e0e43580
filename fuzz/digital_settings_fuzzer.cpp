// DIGITAL.LST: whether and where the program listens for digital-mode contacts. Read, written
// back as the set-up window saves it and read again, the same settings must come back; the
// port read is always one a socket can take.
#include "digital/digital_settings.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel;
    const digital::DigitalSettings first = digital::read_digital_settings(fuzz::bytes_of(data, size));
    fuzz::check(first.port >= 1 && first.port <= digital::k_highest_port, "the port is 1-65535");
    fuzz::check(!first.address.empty(), "there is always an address to listen on");
    fuzz::check(first.address.find_first_of("\r\n") == std::string::npos, "an address is one line");

    const std::string text = digital::digital_settings_text(first);
    fuzz::check(text.ends_with("\r\n") && text.find('\n') == text.size() - 1, "one line is written");
    const digital::DigitalSettings again = digital::read_digital_settings(text);
    fuzz::check(again == first, "written settings read back the same");

    const std::string directory = fuzz::scratch_dir().string();
    fuzz::check(digital::save_digital_settings(first, directory), "the settings are written");
    fuzz::check(digital::load_digital_settings(directory) == first, "the next start reads what was written");
    return 0;
}
