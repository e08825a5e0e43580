#pragma once

#include "io/serial_port.hpp"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::rig {

inline constexpr std::size_t k_mode_name_count = 16;

// The frequency format codes a description may give in line 3.
enum FrequencyFormat : int {
    k_integer = 0,         // unsigned, most significant byte first, in Hz
    k_ascii_decimal = 1,   // decimal digits, in Hz
    k_integer_5_8 = 2,     // unsigned, in steps of 0.625 Hz
    k_framed_bcd = 3,      // addressed frames, packed BCD least significant byte first
    k_bcd_forward = 4,     // packed BCD over four bytes, most significant first, in 10 Hz
    k_bcd_echoed = 5,      // packed BCD over four bytes backwards, in 10 Hz; the rig echoes commands
    k_integer_10 = 6,      // unsigned, in 10 Hz
    k_bcd_backward = 7,    // packed BCD over four bytes backwards, in 10 Hz
    k_integer_320 = 8,     // unsigned, in steps of 320 Hz
    k_integer_with_vfo = 9 // unsigned, in Hz; the reply names the VFO in use
};

// A rig description (a *.RIG file of the data directory): how to reach the rig and how to read
// its replies. Six lines:
//   1  port:speed, parity letter, data bits, stop bits      e.g. 1:4800,N,8,2
//   2  the poll command in hexadecimal pairs                e.g. 0000000003
//   3  frequency start (1-based), length, format code       e.g. 1,4,4
//   4  mode position (0: none), mode mask, up to 16 names   e.g. 5,15,SSB,SSB,CW
//   5  a second command (not used)
//   6  two numbers (not used)
// Line 1 may name a rig daemon instead of a serial port: host:tcp-port (localhost:4532); the
// other lines then do not matter, the daemon says frequency and mode in words.
struct RigDescription {
    std::string file_name; // upper case, as the name rules compare it
    std::string port_text; // before the last ':' of line 1: what the CAT Port box shows
    std::string rate_text; // after it: the speed, or the rig daemon's TCP port
    io::LineSettings line;
    io::Bytes poll_command;
    int frequency_start = 0;
    int frequency_length = 0;
    int frequency_format = 0;
    int mode_position = 0; // 1-based; 0 when the reply carries no mode
    unsigned mode_mask = 0;
    std::vector<std::string> mode_names; // at most k_mode_name_count

    friend bool operator==(const RigDescription&, const RigDescription&) = default;
};

// Where a rig daemon listens.
struct DaemonAddress {
    std::string host;
    int port = 0;
    friend bool operator==(const DaemonAddress&, const DaemonAddress&) = default;
};

// The daemon line 1 names, or nothing when its port text names a serial port (digits, or a
// device path beginning with "/").
[[nodiscard]] std::optional<DaemonAddress> daemon_address(const RigDescription& rig);

// Why a description cannot be used: the line (1-6) and what is wrong with it.
struct DescriptionProblem {
    int line = 0;
    std::string what;
    friend bool operator==(const DescriptionProblem&, const DescriptionProblem&) = default;
};

// A description as far as it could be read, and what keeps it from being used, if anything. The
// port and rate are known whenever line 1 is readable, so the set-up window can still mend them.
struct DescriptionReading {
    RigDescription rig;
    std::optional<DescriptionProblem> problem;
};

// Reads the six lines of a description's text. Lines are split at CR LF, LF or CR, and each line
// is read on its own, so a line with an item too many or too few never shifts the lines after it.
[[nodiscard]] DescriptionReading read_rig_description(std::string_view text, std::string file_name);

// A command written as pairs of hexadecimal digits ("0000000003", blanks between pairs
// allowed), or nothing when the text is not that.
[[nodiscard]] std::optional<io::Bytes> hex_command(std::string_view text);

// The description the program loads: the first file of the directory whose name ends in .RIG (in
// any case), by name in byte order; nothing when there is none.
[[nodiscard]] std::optional<std::string> find_rig_description(const std::string& directory);

// The name rules: an FT-767GX wants RTS and DTR off, an FT-847 a CAT-on command first.
inline constexpr std::string_view k_ft767gx_name = "FT767GX.RIG";
inline constexpr std::string_view k_ft847_name = "FT847.RIG";

} // namespace kestrel::rig
