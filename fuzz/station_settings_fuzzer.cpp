// RIG.LST: read the station settings, write them as the set-up windows do, read again; the
// settings must be the same.
#include "fuzz_support.hpp"
#include "rig/station_settings.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel;
    const std::string path = fuzz::scratch_file("RIG.LST", fuzz::bytes_of(data, size));
    const rig::StationSettings first = rig::read_settings_file(path);

    fuzz::check(rig::write_settings_file(first, path), "the settings are written");
    fuzz::check(fuzz::file_bytes(path) == rig::settings_file_text(first),
                "the file holds the settings' text");
    const rig::StationSettings again = rig::read_settings_file(path);
    fuzz::check(again == first, "written settings read back the same");
    return 0;
}
