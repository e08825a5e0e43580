#include "rig/rig_decoding.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace kestrel::rig {

namespace {

// The rigs that echo each command want this once the echo has come back, and are then asked
// with the second request for the frequency itself.
const io::Bytes k_echo_acknowledge = {0x00, 0x00, 0x00, 0x00, 0x0B};
const io::Bytes k_after_echo_request = {0x00, 0x00, 0x00, 0x01, 0x00};

// Bytes of the addressed protocol: each frame starts FE FE, then the address it goes to, the
// address it comes from and the command; byte 5 of a request is 03 (read the frequency) or 04
// (read the mode), and XOR 7 turns one into the other.
constexpr std::uint8_t k_preamble = 0xFE;
constexpr std::uint8_t k_read_frequency = 0x03;
constexpr std::uint8_t k_read_mode = 0x04;
constexpr std::uint8_t k_other_read = 0x07;

bool is_bcd_format(int format) {
    return format == k_bcd_forward || format == k_bcd_echoed || format == k_bcd_backward;
}

std::optional<double> big_endian_integer(std::span<const std::uint8_t> field) {
    if (field.empty()) return std::nullopt;
    double value = 0;
    for (const std::uint8_t byte : field)
        value = value * 256 + byte;
    return value;
}

std::optional<double> ascii_decimal(std::span<const std::uint8_t> field) {
    auto first = field.begin();
    auto last = field.end();
    while (first != last && *first == ' ')
        ++first;
    while (last != first && *(last - 1) == ' ')
        --last;
    if (first == last) return std::nullopt;
    double value = 0;
    for (auto it = first; it != last; ++it) {
        if (*it < '0' || *it > '9') return std::nullopt;
        value = value * 10 + (*it - '0');
    }
    return value;
}

// The part of the reply the description names as the frequency field; for packed BCD only its
// first four bytes count. Empty when the reply is too short to hold it.
std::span<const std::uint8_t> frequency_field(const RigDescription& rig,
                                              std::span<const std::uint8_t> reply) {
    const std::size_t start = static_cast<std::size_t>(rig.frequency_start) - 1;
    const std::size_t length =
        is_bcd_format(rig.frequency_format) ? 4 : static_cast<std::size_t>(rig.frequency_length);
    if (rig.frequency_start < 1 || start + length > reply.size()) return {};
    return reply.subspan(start, length);
}

// Where `header` starts in `reply`, to the end: the frame it begins.
std::optional<std::span<const std::uint8_t>> frame_from(std::span<const std::uint8_t> reply,
                                                        std::span<const std::uint8_t> header) {
    const auto found = std::search(reply.begin(), reply.end(), header.begin(), header.end());
    if (found == reply.end()) return std::nullopt;
    return reply.subspan(static_cast<std::size_t>(found - reply.begin()));
}

// The addressed protocol: each poll asks the other of the two questions, and the reply may hold
// the answer to either or both (a frame each, behind the echo of the request on a shared bus).
PollStep decode_frames(const RigDescription& rig, PollState& state, std::span<const std::uint8_t> reply) {
    io::Bytes& command = state.poll_command;
    command[4] ^= k_other_read;
    PollStep step;
    step.request = command;
    // A reply goes back to the address the request came from, from the rig's own.
    const std::array<std::uint8_t, 5> frequency_header = {k_preamble, k_preamble, command[3], command[2],
                                                          k_read_frequency};
    std::array<std::uint8_t, 5> mode_header = frequency_header;
    mode_header[4] = k_read_mode;

    if (const auto frame = frame_from(reply, mode_header))
        step.mode = mode_name(rig, *frame, state.mode_position);
    if (const auto frame = frame_from(reply, frequency_header)) {
        // The field is read from its last byte back to its first, and must be followed by the
        // end-of-frame byte: a frame cut short is no frequency.
        const auto start = static_cast<std::size_t>(rig.frequency_start);
        const auto length = static_cast<std::size_t>(rig.frequency_length);
        if (frame->size() > start && start >= length) {
            std::vector<std::uint8_t> digits(frame->begin() + static_cast<std::ptrdiff_t>(start - length),
                                             frame->begin() + static_cast<std::ptrdiff_t>(start));
            std::reverse(digits.begin(), digits.end());
            if (const auto hz = packed_bcd(digits)) step.frequency_text = frequency_text(*hz);
        }
    }
    return step;
}

} // namespace

std::optional<double> packed_bcd(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return std::nullopt;
    double value = 0;
    for (const std::uint8_t byte : bytes) {
        const int high = byte >> 4;
        const int low = byte & 0x0F;
        if (high > 9 || low > 9) return std::nullopt;
        value = value * 100 + high * 10 + low;
    }
    return value;
}

std::optional<double> field_frequency(int format, std::span<const std::uint8_t> field) {
    std::optional<double> value;
    double scale = 1;
    switch (format) {
    case k_integer:
    case k_integer_with_vfo:
    case k_integer_5_8:
    case k_integer_10:
    case k_integer_320:
        value = big_endian_integer(field);
        scale = format == k_integer_5_8   ? 0.625
                : format == k_integer_10  ? 10
                : format == k_integer_320 ? 320
                                          : 1;
        // A three-byte field counts in units ten times larger.
        if (field.size() == 3) scale *= 10;
        break;
    case k_ascii_decimal: value = ascii_decimal(field); break;
    case k_bcd_forward:
        if (field.size() >= 4) value = packed_bcd(field.first(4));
        scale = 10;
        break;
    case k_bcd_echoed:
    case k_bcd_backward:
        if (field.size() >= 4) {
            const std::array<std::uint8_t, 4> backward = {field[3], field[2], field[1], field[0]};
            value = packed_bcd(backward);
        }
        scale = 10;
        break;
    default: break;
    }
    if (!value) return std::nullopt;
    return *value * scale;
}

std::optional<std::string> frequency_text(double hz) {
    if (!(hz >= k_lowest_frequency_hz && hz < k_highest_frequency_hz)) return std::nullopt;
    const auto khz = static_cast<unsigned long long>(std::floor(hz / 1000 + 0.5));
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%03llu", khz / 1000, khz % 1000);
    return std::string(text);
}

std::string mode_name(const RigDescription& rig, std::span<const std::uint8_t> reply, int position) {
    if (position < 1 || static_cast<std::size_t>(position) > reply.size()) return {};
    const unsigned index = reply[static_cast<std::size_t>(position) - 1] & rig.mode_mask;
    return index < rig.mode_names.size() ? rig.mode_names[index] : std::string{};
}

PollStep decode_reply(const RigDescription& rig, PollState& state, std::span<const std::uint8_t> reply) {
    PollStep step;
    step.request = state.poll_command;
    if (reply.empty()) return step;
    const int format = rig.frequency_format;
    // The two requests differ in byte 5 (a description with fewer bytes is refused when read).
    if (format == k_framed_bcd)
        return state.poll_command.size() < 5 ? step : decode_frames(rig, state, reply);

    if (format == k_bcd_echoed) {
        // Five bytes are the rig's echo of the request alone: acknowledge it, and read the
        // frequency at the next poll.
        if (reply.size() == 5) {
            step.request = k_echo_acknowledge;
            return step;
        }
        step.request = k_after_echo_request;
    }
    if (format == k_integer_with_vfo && reply.size() >= 6) {
        // Byte 6 names the VFO in use ('A' or 'B'); the request asks about that one, and the
        // mode sits where that VFO's status is.
        const std::uint8_t vfo = reply[5];
        if (step.request.size() >= 8) step.request[7] = vfo;
        state.mode_position = vfo == 'A' ? 12 : 13;
    }
    const auto hz = field_frequency(format, frequency_field(rig, reply));
    if (!hz) return step;
    step.frequency_text = frequency_text(*hz);
    if (step.frequency_text) step.mode = mode_name(rig, reply, state.mode_position);
    return step;
}

} // namespace kestrel::rig
