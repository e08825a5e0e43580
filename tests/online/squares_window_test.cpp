// Worked squares as the operator meets them in the on-line window: a square checked with Enter on
// the Locator box is recorded in SQUARES.EDB by the Log On of that station only.

#include "online/online_fixture.hpp"

#include "support/temp_dir.hpp"

#include <filesystem>
#include <functional>

namespace kestrel::online {
namespace {

using testing::OnlineTest;
using ui::Key;
using ui::TestRun;
using W = OnlineWindow;

constexpr int k_50_mhz = 9;
constexpr int k_144_mhz = 11;
constexpr int k_14_mhz = 4;
const std::string k_worked = "IO91  :G4AAA       :01-12-26:\r\n";

class SquaresWindowTest : public OnlineTest {
  protected:
    std::string squares() const { return testing::read_file(m_dir.file("SQUARES.EDB")); }
    static void clear_call(TestRun& run) { run.focus(W::k_call).key(Key::del); }
};

// Whatever happens between the check and the Log On that ends a contact decides whether the
// square goes with that contact.
TEST_F(SquaresWindowTest, ACheckIsRecordedOnlyWithTheContactItWasMadeFor) {
    struct Case {
        const char* what;
        const char* call_at_check;
        std::function<void(TestRun&)> between;
        const char* recorded; // the line added, or nothing
    };
    const Case cases[] = {
        {"the station checked", "PA0AAA", [](TestRun&) {}, "JO22  :PA0AAA      :07-12-26:\r\n"},
        {"the locator typed before the call", "", [](TestRun& run) { run.type_into(W::k_call, "PA0AAA"); },
         "JO22  :PA0AAA      :07-12-26:\r\n"},
        {"the call cleared, 14 MHz, another station", "PA0AAA",
         [](TestRun& run) {
             clear_call(run);
             run.select(W::k_band, k_14_mhz);
             run.type_into(W::k_call, "W2BBB");
         },
         nullptr},
        {"another station", "PA0AAA", [](TestRun& run) { run.replace(W::k_call, "W2BBB"); }, nullptr},
        {"the call cleared and typed again", "PA0AAA",
         [](TestRun& run) {
             clear_call(run);
             run.type_into(W::k_call, "PA0AAA");
         },
         nullptr},
        {"another square not checked", "PA0AAA", [](TestRun& run) { run.replace(W::k_locator, "JO33"); },
         nullptr},
        {"another VHF band", "PA0AAA", [](TestRun& run) { run.select(W::k_band, k_50_mhz); }, nullptr},
    };
    open_log({});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::write_file(m_dir.file("SQUARES.EDB"), k_worked);
        m_log.set_last_band(k_144_mhz);
        run_window([&](TestRun& run) {
            if (*c.call_at_check) run.type_into(W::k_call, c.call_at_check).key(Key::enter);
            run.type_into(W::k_locator, "JO22").key(Key::enter);
            ASSERT_EQ(run.text(W::k_square_label), "New");
            c.between(run);
            EXPECT_EQ(run.text(W::k_square_label), c.recorded ? "New" : "");
            run.key(Key::f1);
            run.key(Key::escape);
        });
        EXPECT_EQ(squares(), k_worked + (c.recorded ? c.recorded : ""));
    }
}

TEST_F(SquaresWindowTest, ACheckLeftWhenTheWindowClosedIsNotCreditedAtTheNextOpening) {
    open_log({});
    testing::write_file(m_dir.file("SQUARES.EDB"), k_worked);
    m_log.set_last_band(k_144_mhz);
    run_window([&](TestRun& run) {
        run.type_into(W::k_call, "PA0AAA").key(Key::enter);
        run.type_into(W::k_locator, "JO22").key(Key::enter);
        ASSERT_EQ(run.text(W::k_square_label), "New");
        run.key(Key::escape);
    });
    run_window([&](TestRun& run) {
        run.type_into(W::k_call, "PA0AAA");
        run.type_into(W::k_locator, "JO22");
        run.key(Key::f1).key(Key::escape);
    });
    EXPECT_EQ(squares(), k_worked);
}

// The Locator box takes what the grid has: fields A to R, squares 0 to 9, sub-squares A to X. A
// locator past them is told and never reaches SQUARES.EDB.
TEST_F(SquaresWindowTest, TheLocatorBoxTakesOnlyCellsOfTheGrid) {
    const struct {
        const char* locator;
        bool taken;
    } cases[] = {
        {"JO22", true},  {"RR99", true},  {"AA00XX", true},  {"RR99XX", true}, {"ZZ99", false},
        {"SA00", false}, {"AS00", false}, {"IO91WY", false}, {"IO9", false},   {"IO91YA", false},
    };
    open_log({});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locator);
        testing::write_file(m_dir.file("SQUARES.EDB"), k_worked);
        m_log.set_last_band(k_144_mhz);
        run_window([&](TestRun& run) {
            run.type_into(W::k_call, "PA0AAA").key(Key::enter);
            if (!c.taken)
                m_host.expect_message(std::string(c.locator) +
                                      " is not a Maidenhead locator: two letters A to R, two digits, and "
                                      "perhaps two letters A to X (IO91 or IO91WM).");
            run.type_into(W::k_locator, c.locator).key(Key::enter);
            EXPECT_EQ(run.text(W::k_square_label), c.taken ? "New" : "");
            EXPECT_EQ(run.focused(), c.taken ? W::k_comment : W::k_locator);
            run.key(Key::f1).key(Key::escape);
        });
        const std::string square = std::string(c.locator).substr(0, 4);
        EXPECT_EQ(squares(), k_worked + (c.taken ? square + "  :PA0AAA      :07-12-26:\r\n" : ""));
    }
}

// A new data directory is given the SQUARES.EDB that comes with the program, which holds only
// the names of its fields; a directory made before that has none. Either way the first square
// worked is "New" and recorded, and the next contact in it is "Got".
TEST_F(SquaresWindowTest, WorkedSquaresStartWithTheShippedFileOrWithNone) {
    const std::filesystem::path shipped = std::filesystem::path(KESTREL_SHIPPED_DATA) / "SQUARES.EDB";
    const std::string header = testing::read_file(shipped);
    ASSERT_EQ(header, "SQUARE:CALL        :DATE    :\r\n");
    open_log({});
    for (const bool seeded : {true, false}) {
        SCOPED_TRACE(seeded ? "seeded" : "no file");
        std::filesystem::remove(m_dir.path() / "SQUARES.EDB");
        if (seeded) std::filesystem::copy_file(shipped, m_dir.path() / "SQUARES.EDB");
        m_log.set_last_band(k_144_mhz);
        run_window([&](TestRun& run) {
            run.type_into(W::k_call, "G4AAA").key(Key::enter);
            run.type_into(W::k_locator, "IO91").key(Key::enter);
            EXPECT_EQ(run.text(W::k_square_label), "New");
            run.key(Key::f1);
            run.type_into(W::k_call, "G4BBB").key(Key::enter);
            run.type_into(W::k_locator, "IO91").key(Key::enter);
            EXPECT_EQ(run.text(W::k_square_label), "Got");
            run.key(Key::f1).key(Key::escape);
        });
        EXPECT_EQ(squares(), header + "IO91  :G4AAA       :07-12-26:\r\n");
    }
}

} // namespace
} // namespace kestrel::online
