#include "keyer/keying_plan.hpp"

#include <gtest/gtest.h>

namespace kestrel::keyer {
namespace {

MorseTable table_of(std::initializer_list<std::pair<char, const char*>> codes) {
    MorseTable table;
    for (const auto& [c, pattern] : codes)
        table.set(static_cast<unsigned char>(c), pattern);
    return table;
}

TEST(KeyingPlan, TheStationBeingWorkedIsPutIntoTheMessage) {
    const struct {
        const char* message;
        const char* call;
        const char* report;
        const char* text;
    } cases[] = {
        {"CQ #HCALL", "G4ABC", "579", "CQ G4ABC"},
        {"#HCALL UR #RST #RST", "G4ABC", "579", "G4ABC UR 579 579"},
        {"#HCALL UR #RST", "G4ABC", "", "G4ABC UR 599"}, // no report yet
        {"#HCALL#RST", "", "", "599"},
        {"#HCAL #RS #hcall", "G4ABC", "5", "#HCAL #RS #hcall"}, // only the exact marks
        {"#HCALL", "#RST", "5", "#RST"},                        // what is put in is not searched again
        {"TU 73", "G4ABC", "5", "TU 73"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(substitute(c.message, c.call, c.report), c.text) << c.message;
}

TEST(KeyingPlan, SlotsKeepTheProportionsOfMorse) {
    const MorseTable table = table_of({{'E', "."}, {'T', "-"}, {'A', ".-"}});
    using S = std::vector<std::uint8_t>;
    const struct {
        const char* text;
        S slots;
    } cases[] = {
        {"E", {1, 0, 0, 0}},                           // a dot, then the letter gap
        {"T", {1, 1, 1, 0, 0, 0}},                     // a dash is three
        {"A", {1, 0, 1, 1, 1, 0, 0, 0}},               // one slot between elements
        {"E E", {1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}}, // seven between words
        {"EqE", {1, 0, 0, 0, 1, 0, 0, 0}},             // no code, not keyed, no gap
        {"q", {}},
        {" ", {0, 0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(build_slots(c.text, table), c.slots) << c.text;
}

TEST(KeyingPlan, ADotIsTwelveHundredMillisecondsOverTheSpeedWithNoDrift) {
    using namespace std::chrono;
    const struct {
        std::int64_t slot;
        int wpm;
        nanoseconds start;
    } cases[] = {
        {1, 20, 60ms},          {1, 40, 30ms},         {50, 20, 3s},
        {50, 40, 1500ms},       {1, 13, 92'307'692ns}, // rounded down to the nanosecond
        {13, 13, 1200ms},                              // ...but counted from the start, so exact again
        {130'000, 13, 12'000s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(slot_start(c.slot, c.wpm), c.start) << c.slot << " at " << c.wpm;
}

} // namespace
} // namespace kestrel::keyer
