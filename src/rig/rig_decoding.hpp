#pragma once

#include "io/byte_stream.hpp"
#include "rig/rig_description.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kestrel::rig {

// Below this a reading is no frequency (an empty or garbled reply, a rig still waking up); from
// 100 GHz up no rig is tuned there, so that too is a garbled reply.
inline constexpr double k_lowest_frequency_hz = 100'000.0;
inline constexpr double k_highest_frequency_hz = 100e9;

// Decimal digits two to a byte, high nibble first, most significant byte first. A nibble above 9
// means the bytes are not a frequency at all.
[[nodiscard]] std::optional<double> packed_bcd(std::span<const std::uint8_t> bytes);

// The frequency in Hz a reply's field holds in the given format, or nothing when the field does
// not hold one (too short, a digit that is not one). The framed format (3) needs the whole
// reply: see decode_reply.
[[nodiscard]] std::optional<double> field_frequency(int format, std::span<const std::uint8_t> field);

// The frequency as the band list shows it: MHz with three decimals ("14.250"), rounded to the
// nearest kHz; nothing outside the range of a rig's frequencies.
[[nodiscard]] std::optional<std::string> frequency_text(double hz);

// The name of the mode byte at a 1-based position of a reply, masked; "" when the position is 0
// or past the reply, or no name is given for the masked value.
[[nodiscard]] std::string mode_name(const RigDescription& rig, std::span<const std::uint8_t> reply,
                                    int position);

// What one poll changes between polls: the request sent each time (the addressed protocol
// alternates two) and the mode position (a rig that names its VFO moves it).
struct PollState {
    io::Bytes poll_command;
    int mode_position = 0;

    explicit PollState(const RigDescription& rig)
        : poll_command(rig.poll_command), mode_position(rig.mode_position) {}
};

// The outcome of one poll's reply.
struct PollStep {
    std::optional<std::string> frequency_text; // a frequency of at least 100 kHz was read
    std::string mode;                          // "" when the reply named none
    io::Bytes request;                         // what to send the rig now
};

// Decodes everything that arrived since the last poll (possibly nothing) and says what to send
// next. An empty, short or garbled reply gives neither frequency nor mode.
[[nodiscard]] PollStep decode_reply(const RigDescription& rig, PollState& state,
                                    std::span<const std::uint8_t> reply);

} // namespace kestrel::rig
