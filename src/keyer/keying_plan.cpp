#include "keyer/keying_plan.hpp"

#include <algorithm>

namespace kestrel::keyer {

namespace {

constexpr std::string_view k_call_mark = "#HCALL";
constexpr std::string_view k_report_mark = "#RST";
constexpr std::string_view k_default_report = "599";

constexpr int k_letter_gap = 3; // key-up slots after each character
constexpr int k_space_gap = 4;  // and after a space, making seven between words

void add(std::vector<std::uint8_t>& slots, std::uint8_t value, int count) {
    slots.insert(slots.end(), static_cast<std::size_t>(count), value);
}

} // namespace

std::string substitute(std::string_view message, std::string_view call, std::string_view report) {
    if (report.empty()) report = k_default_report;
    std::string text;
    std::size_t at = 0;
    while (at < message.size()) {
        const std::string_view rest = message.substr(at);
        if (rest.starts_with(k_call_mark)) {
            text += call;
            at += k_call_mark.size();
        } else if (rest.starts_with(k_report_mark)) {
            text += report;
            at += k_report_mark.size();
        } else {
            text += message[at++];
        }
    }
    return text;
}

std::vector<std::uint8_t> build_slots(std::string_view text, const MorseTable& table) {
    std::vector<std::uint8_t> slots;
    for (const char ch : text) {
        if (ch == ' ') {
            add(slots, 0, k_space_gap);
            continue;
        }
        const auto c = static_cast<unsigned char>(ch);
        if (!table.has_code(c)) continue;
        for (int j = 0; j < k_max_elements && table.element(c, j) != 0; ++j) {
            if (j > 0) add(slots, 0, 1);
            add(slots, 1, table.element(c, j));
        }
        add(slots, 0, k_letter_gap);
    }
    return slots;
}

KeyingPlan plan_of(const std::vector<std::uint8_t>& slots) {
    KeyingPlan plan;
    plan.slots = static_cast<std::int64_t>(slots.size());
    bool down = false; // the line is up when a message starts
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const bool slot_down = slots[i] != 0;
        if (slot_down != down) plan.edges.push_back({static_cast<std::int64_t>(i), slot_down});
        down = slot_down;
    }
    // Every character ends with key-up slots, so the line is up again by the end.
    return plan;
}

std::chrono::nanoseconds slot_start(std::int64_t slot, int words_per_minute) {
    constexpr std::int64_t k_nanoseconds_per_dot_at_one_wpm = 1'200'000'000;
    return std::chrono::nanoseconds(slot * k_nanoseconds_per_dot_at_one_wpm / std::max(words_per_minute, 1));
}

} // namespace kestrel::keyer
