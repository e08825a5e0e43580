#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel::logstore {

// Band index 0–19 into the band name table; 19 (5 MHz) is also where unknown frequencies go.
inline constexpr int k_band_count = 20;
inline constexpr int k_fallback_band = 19;

// The 3-byte band field of a contact: 0x00 0x00 index (coded form), or up to three characters
// of a frequency in MHz ("14.", " 15", "1.2G") left by imports and older logs (text form).
using BandField = std::array<std::uint8_t, 3>;

[[nodiscard]] BandField coded_band_field(int band_index);
[[nodiscard]] BandField text_band_field(std::string_view frequency_text);

// Band index of a frequency text in MHz ("G" anywhere means GHz). A text that is no number, or
// zero, gives 19. Each threshold belongs to the lower band: 14 gives 4, 14.025 gives 4.
[[nodiscard]] int band_of_frequency(std::string_view frequency_text);

// Band index of either form of the band field. A coded field can hold any byte; readers treat
// values outside 0–19 as no band.
[[nodiscard]] int band_of_field(const BandField& field);

// Mode class: 0 CW, 1 SSB, 2 FM, 3 anything else.
enum ModeClass : int { k_mode_cw = 0, k_mode_ssb = 1, k_mode_fm = 2, k_mode_other = 3 };
[[nodiscard]] int mode_class_of(std::string_view mode_text);

// "--", "S-", "-R" or "SR" for bits 0 (sent) and 1 (received); the other bits are ignored.
[[nodiscard]] std::string qsl_tag_of(std::uint8_t qsl_flags);

// The key of worked-before searches: the call without /P, /M, /MM or /A and without the UK
// regional letter (GW4ABC and GM4ABC become G4ABC; GB and GR, MB and MR stay). The call must be
// followed by at least one space so that a suffix at its end is found; the padding is kept.
[[nodiscard]] std::string base_call(std::string_view call);
// The same made in the `size` bytes at `call`, without a string; the size of the result.
[[nodiscard]] std::size_t base_call_in_place(char* call, std::size_t size);

// The report used when the operator leaves one empty: "599" for CW and data modes, "N" for
// "CQC", "59" otherwise. The mode is compared as entered.
[[nodiscard]] std::string default_report(std::string_view mode_text);

} // namespace kestrel::logstore
