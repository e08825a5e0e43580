#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::databases {

inline constexpr int k_database_count = 4;
inline constexpr const char* k_names_file = "DBNAMES.LST";

// The callbooks the set-up dialog offers, by the number DBNAMES.LST keeps.
enum class CallbookKind { none = 0, buckmaster = 1, flying_horse = 2, qrz = 3 };
inline constexpr std::array<const char*, 4> k_callbook_names = {"No Callbook", "Buckmaster", "Flying Horse",
                                                                "QRZ"};
// What the dialog offers when no place for the callbook has been given.
inline constexpr const char* k_default_drive = "D";

// What DBNAMES.LST holds, for the whole run: the callbook chosen, where it is (a drive letter on
// the old system; here the place a callbook source understands, such as a directory), and the
// names of the four databases (empty: no database in that slot). DBNAMES.LST is read as
// comma-separated items, so none of these texts can hold a comma, and it is a plain file in the
// station directory: nothing secret (a callbook's user name or password) belongs here.
struct DatabaseSettings {
    CallbookKind callbook = CallbookKind::none;
    std::string drive;
    std::array<std::string, k_database_count> names;
    friend bool operator==(const DatabaseSettings&, const DatabaseSettings&) = default;
};

// DBNAMES.LST's text: the callbook's number, the drive and the four names, a line each.
[[nodiscard]] std::string settings_text(const DatabaseSettings& settings);
// Reads that text back: the number, then five texts as comma-separated items. A number outside
// the callbooks offered is no callbook; items the file lacks are empty.
[[nodiscard]] DatabaseSettings read_settings_text(std::string_view bytes);

// At start-up, from DBNAMES.LST in the directory (given with or without its final "/"). Absent:
// no callbook and no databases. A file there that cannot be read gives the same, with a notice
// for the operator.
struct SettingsLoad {
    DatabaseSettings settings;
    std::optional<std::string> notice;
};
[[nodiscard]] SettingsLoad load_callbook_settings(const std::string& directory);

// Replaces DBNAMES.LST in one go; false when it could not be written.
[[nodiscard]] bool write_callbook_settings(const DatabaseSettings& settings, const std::string& directory);

// A file of the station directory by its name; a name that is a path from "/" stands as it is.
[[nodiscard]] std::string station_file(const std::string& directory, const std::string& name);

// The file of a database name. Names were written where letter case did not matter (club.edb
// for CLUB.EDB): when no file has the name exactly, the one whose name differs only in case is
// taken, so a station directory brought across keeps its databases.
[[nodiscard]] std::string database_file(const std::string& directory, const std::string& name);

} // namespace kestrel::databases
