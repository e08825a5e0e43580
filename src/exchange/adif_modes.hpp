#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::exchange {

// A mode as ADIF names it: a MODE, and a SUBMODE when the mode belongs to a family (MFSK with
// FT4). An empty mode means the text names no ADIF mode at all.
struct AdifMode {
    std::string mode;
    std::string submode;
    friend bool operator==(const AdifMode&, const AdifMode&) = default;
};

// The ADIF mode of a mode text as the log stores it (at most three characters, any case):
// the emission codes the program writes ("A1A" CW, "J3E" SSB, "F3E" FM, "RTY" RTTY, ...), an
// ADIF mode or submode named in full, or the start of a name that leaves no doubt ("SST" is
// SSTV, "RTT" is RTTY rather than RTTYM, "QPS" is some PSK submode, so PSK). Anything else gives
// an empty mode: other programs would refuse it as a MODE.
[[nodiscard]] AdifMode adif_mode_of(std::string_view stored_mode);

// The MODE a contact is exported with. A stored mode ADIF has no name for (blank, the Cabrillo
// DG, CQC, J2B or anything typed) still counts in the log's "other" class, the data modes of the
// awards, so it goes out as PSK: the keyboard data mode whose designator ends in J2B and the one
// Cabrillo's DG has stood for longest. The exact text travels beside it in our own field.
inline constexpr std::string_view k_data_mode_fallback = "PSK";
[[nodiscard]] AdifMode exported_mode_of(std::string_view stored_mode);

// Every mode and submode name of the table, modes first.
[[nodiscard]] std::vector<std::string_view> adif_mode_names();

// The mode text a contact read from ADIF is kept with: the submode when there is one (FT4 rather
// than MFSK), except under CW, SSB and FM, whose submodes (PCW, USB, LSB) would cost the
// contact its mode class. RTTY is kept as RTY, the program's own name for it. Nothing is cut or
// changed in case here.
[[nodiscard]] std::string stored_mode_of(std::string_view mode, std::string_view submode);

} // namespace kestrel::exchange
