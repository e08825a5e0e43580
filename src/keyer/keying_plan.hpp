#pragma once

#include "keyer/morse_table.hpp"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::keyer {

// A stored message with the station being worked put in: every "#HCALL" becomes his call and
// every "#RST" his report, "599" when he has none. What is put in is not searched again.
[[nodiscard]] std::string substitute(std::string_view message, std::string_view call,
                                     std::string_view report);

// The message as dot-length time slots, 1 for key down and 0 for key up: a dot is one slot down,
// a dash three, the gap between elements one slot up, after each character three and for a
// space four more (seven between words). Characters without a code are left out altogether.
[[nodiscard]] std::vector<std::uint8_t> build_slots(std::string_view text, const MorseTable& table);

// Where the key line changes: at the start of slot `slot`, down or up.
struct SlotEdge {
    std::int64_t slot = 0;
    bool down = false;
    friend bool operator==(const SlotEdge&, const SlotEdge&) = default;
};

// What the keying thread plays: the changes of the line, starting up, and the length of the
// whole message in slots (its last gap included, so the next message keeps its distance).
struct KeyingPlan {
    std::vector<SlotEdge> edges;
    std::int64_t slots = 0;

    // A message that never keys down has nothing to send.
    [[nodiscard]] bool keys_anything() const { return !edges.empty(); }
};

[[nodiscard]] KeyingPlan plan_of(const std::vector<std::uint8_t>& slots);

// How long after a message's start slot `slot` begins at a speed: a dot lasts 1.2 s divided by
// the words a minute ("PARIS " is 50 dots). Each is computed from the start, so rounding never
// adds up over a long message.
[[nodiscard]] std::chrono::nanoseconds slot_start(std::int64_t slot, int words_per_minute);

} // namespace kestrel::keyer
