#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::rig {

inline constexpr int k_station_rows = 19; // band indexes 0 (1.8 MHz) to 18 (24 GHz)
inline constexpr const char* k_settings_file = "RIG.LST";

// What the operator uses on one band.
struct StationRow {
    std::string transceiver;
    std::string antenna;
    std::string power;
    std::string mode;
    std::string operator_name;
    friend bool operator==(const StationRow&, const StationRow&) = default;
};

// The station as described in RIG.LST: a row per band, the station's position as typed, and
// where the log is copied at exit (a directory; empty for no copy).
struct StationSettings {
    std::array<StationRow, k_station_rows> rows;
    std::string latitude;
    std::string longitude;
    std::string backup;
    friend bool operator==(const StationSettings&, const StationSettings&) = default;

    // The row the on-line window uses for a band: 5 MHz (19) has none of its own and takes 7 MHz's.
    const StationRow& row_for_band(int band_index) const;
};

// RIG.LST: 19 lines of transceiver, power, antenna, operator and mode, then the latitude, the
// longitude and the back-up directory, a line each. Absent: everything empty.
[[nodiscard]] StationSettings read_settings_file(const std::string& path);
[[nodiscard]] std::string settings_file_text(const StationSettings& settings);
// Rewrites RIG.LST in one go; false when it could not be written.
[[nodiscard]] bool write_settings_file(const StationSettings& settings, const std::string& path);

// Where the back-up copy of a log goes: the back-up folder, "/", the log's file name.
[[nodiscard]] std::string backup_destination(const std::string& backup_folder, const std::string& log_path);

// True for a back-up text from the old platform that names a drive ("A", "A:", "A:\\"), which
// means nothing here: back-ups need a folder.
[[nodiscard]] bool backup_is_drive_letter(std::string_view backup);

// The rig link's port and speed as the set-up window edits them. They live in the rig
// description file; a change is written there when the window closes, and takes effect at the
// next start.
struct RigLinkSettings {
    std::optional<std::string> description_path; // the rig description loaded at start-up, if any
    std::string port;
    std::string rate;
    bool changed = false;
};

// Line 1 of a rig description with a new port and speed: port ":" rate, then the old line's items
// after its first (parity, data bits and stop bits, as in ",N,8,2") as they were written. For a
// rig daemon the port is its host and the rate its TCP port.
[[nodiscard]] std::string rig_line_with_link(const std::string& old_line, const std::string& port,
                                             const std::string& rate);
// Writes a marked change into the rig description (line 1 replaced, every other byte kept, the
// file replaced in one go) and clears the mark. False when the file could not be read or written
// (the mark then stays).
[[nodiscard]] bool apply_rig_link_change(RigLinkSettings& link);

} // namespace kestrel::rig
