// The keyer's thread keys against the fake steady clock, so every edge's time is exact. Run under
// the thread sanitizer in CI.
#include "keyer/keyer.hpp"

#include "support/fake_devices.hpp"
#include "support/temp_dir.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <thread>

namespace kestrel::keyer {
namespace {

using namespace std::chrono_literals;
using testing::FakeDevices;
using testing::FakeSteadyClock;
using testing::KeyEdge;
using testing::KeyEvent;

constexpr KeyerCommands k_commands{510, 511};

// Stands in for the on-line window: hands the keyer's posts back, as that window does.
struct Posts {
    Keyer* keyer = nullptr;
    std::vector<int> commands;
};

class PostingWindow final : public ui::Window {
  public:
    explicit PostingWindow(Posts& posts) : m_posts(&posts) {}
    ui::Form build() const override {
        ui::Form form;
        form.caption = "On Line";
        form.frame = {0, 0, 100, 40};
        return form;
    }
    void on_command(ui::Context& ctx, int id, ui::Notify) override {
        if (id != k_commands.done && id != k_commands.failed) return;
        m_posts->commands.push_back(id);
        m_posts->keyer->on_posted(ctx, id);
    }

  private:
    Posts* m_posts;
};

// Waits, in real time, for the keying thread to get somewhere; false after five seconds.
template <class Done> bool eventually(Done done) {
    for (int i = 0; i < 5000; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

class KeyerFixture {
  public:
    explicit KeyerFixture(FakeSteadyClock::Sleep sleep = FakeSteadyClock::Sleep::jumps) : devices(sleep) {
        table = read_morse_table(testing::read_file(KESTREL_SHIPPED_MORSE_TABLE)).table;
        settings.port = "P";
        posts.keyer = &keyer;
    }

    ui::Context& window() { return run.context(); }
    std::vector<KeyEvent> events() { return devices.parallel_port().events(); }
    // The edges as (down?, milliseconds from the fake clock's start).
    std::vector<std::pair<bool, long>> edges() {
        std::vector<std::pair<bool, long>> out;
        for (const KeyEvent& e : events())
            out.emplace_back(e.edge == KeyEdge::down, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                          e.at - FakeSteadyClock::k_start)
                                                          .count());
        return out;
    }
    void send(int message, const std::string& call = "", const std::string& report = "") {
        keyer.send(window(), message, call, report);
    }
    void finish() {
        ASSERT_TRUE(eventually([&] { return !keyer.sending(); }));
        host.advance(0ms); // the window takes the keyer's posts
    }

    FakeDevices devices;
    MorseTable table;
    KeyerSettings settings;
    Posts posts;
    ui::TestHost host;
    ui::TestRun run = host.open(PostingWindow{posts});
    Keyer keyer{devices, table, settings, k_commands};
};

// Where "PARIS " changes the line, in dots from the start: a word of 50 dots.
const std::vector<std::pair<bool, long>> k_paris_dots = {
    {true, 0},  {false, 1},  {true, 2},  {false, 5},  {true, 6},  {false, 9},  {true, 10}, {false, 11}, // P
    {true, 14}, {false, 15}, {true, 16}, {false, 19},                                                   // A
    {true, 22}, {false, 23}, {true, 24}, {false, 27}, {true, 28}, {false, 29},                          // R
    {true, 32}, {false, 33}, {true, 34}, {false, 35},                                                   // I
    {true, 38}, {false, 39}, {true, 40}, {false, 41}, {true, 42}, {false, 43},                          // S
};

TEST(Keyer, ParisKeysEveryEdgeOnItsSlotAtTwentyAndFortyWords) {
    for (const int wpm : {20, 40}) {
        KeyerFixture f;
        f.settings.words_per_minute = wpm;
        f.settings.messages[0] = "PARIS ";
        ASSERT_EQ(f.keyer.open_key_port(f.window()), 0);
        f.send(0);
        f.finish();
        const long dot = 1200 / wpm;
        std::vector<std::pair<bool, long>> expected;
        for (const auto& [down, dots] : k_paris_dots)
            expected.emplace_back(down, dots * dot);
        EXPECT_EQ(f.edges(), expected) << wpm << " wpm";
        EXPECT_EQ(f.devices.steady_clock().elapsed().count(), 50 * dot) << "the word gap is kept to its end";
        EXPECT_EQ(f.posts.commands, std::vector<int>{k_commands.done});
        EXPECT_FALSE(f.devices.parallel_port().is_down());
    }
}

TEST(Keyer, ASerialPortKeysRtsWithDtrHeldOff) {
    KeyerFixture f;
    f.settings.port = "1";
    f.settings.messages[2] = "E";
    ASSERT_EQ(f.keyer.open_key_port(f.window()), 0);
    f.send(2);
    f.finish();
    f.keyer.close_key_port();
    using io::ControlLine, io::LineLevel;
    const auto t0 = FakeSteadyClock::k_start;
    EXPECT_EQ(f.devices.serial_line("1").line_changes(),
              (std::vector<testing::LineChange>{{ControlLine::dtr, LineLevel::off, t0},
                                                {ControlLine::rts, LineLevel::off, t0},
                                                {ControlLine::rts, LineLevel::on, t0},
                                                {ControlLine::rts, LineLevel::off, t0 + 60ms},
                                                {ControlLine::rts, LineLevel::off, t0 + 240ms}})); // let go
    EXPECT_FALSE(f.devices.serial_line("1").is_open());
}

TEST(Keyer, TheCallAndReportAreKeyedInPlaceOfTheMarks) {
    KeyerFixture f;
    f.settings.messages[1] = "CQ #HCALL #RST";
    ASSERT_EQ(f.keyer.open_key_port(f.window()), 0);
    f.send(1, "G4ABC", "");
    f.finish();
    const KeyingPlan plan = plan_of(build_slots("CQ G4ABC 599", f.table));
    ASSERT_EQ(f.edges().size(), plan.edges.size());
    for (std::size_t i = 0; i < plan.edges.size(); ++i) {
        EXPECT_EQ(f.edges()[i].first, plan.edges[i].down);
        EXPECT_EQ(f.edges()[i].second, plan.edges[i].slot * 60);
    }
}

TEST(Keyer, AMessageLongerThanFiveThousandDotsIsKeyedWhole) {
    KeyerFixture f;
    f.settings.messages[3] = std::string(300, '0'); // 22 dots each: 6,600 in all
    ASSERT_EQ(f.keyer.open_key_port(f.window()), 0);
    f.send(3);
    f.finish();
    const auto edges = f.edges();
    ASSERT_EQ(edges.size(), 300u * 5 * 2);
    EXPECT_EQ(edges.back(), (std::pair<bool, long>{false, (300 * 22 - 3) * 60}));
    EXPECT_EQ(f.devices.steady_clock().elapsed(), 300 * 22 * 60ms);
}

TEST(Keyer, NothingIsKeyedWithoutAPortOrWithNothingToKey) {
    const struct {
        const char* port;
        const char* message;
    } cases[] = {{"", "CQ"}, {"  ", "CQ"}, {"P", ""}, {"P", "%%% ###"}, {"P", "   "}};
    for (const auto& c : cases) {
        KeyerFixture f;
        f.settings.port = c.port;
        f.settings.messages[0] = c.message;
        f.settings.messages[1] = "E";
        ASSERT_EQ(f.keyer.open_key_port(f.window()), 0);
        f.send(0);
        EXPECT_FALSE(f.keyer.sending()) << "'" << c.message << "' must not hold F5-F8 back";
        EXPECT_TRUE(f.events().empty());
        f.send(1);
        f.finish();
        EXPECT_EQ(f.events().size(), std::string(c.port).find('P') == 0 ? 2u : 0u);
    }
}

TEST(Keyer, AnotherMessageIsRefusedWhileOneIsBeingKeyed) {
    KeyerFixture f(FakeSteadyClock::Sleep::waits_for_advance);
    f.settings.messages[0] = "E";
    f.settings.messages[1] = "II";
    ASSERT_EQ(f.keyer.open_key_port(f.window()), 0);
    f.send(0);
    ASSERT_TRUE(eventually([&] { return f.devices.parallel_port().is_down(); }));
    f.send(1);
    EXPECT_TRUE(f.keyer.sending());
    f.devices.steady_clock().advance(1s);
    f.finish();
    EXPECT_EQ(f.events().size(), 2u) << "only the E";
    f.send(1);
    ASSERT_TRUE(eventually([&] { return f.events().size() == 3; })); // started: its clock is read
    f.devices.steady_clock().advance(1s);
    f.finish();
    EXPECT_EQ(f.events().size(), 2u + 8u) << "the II, once the E has ended";
}

TEST(Keyer, StoppingLetsTheKeyUpAtOnce) {
    KeyerFixture f(FakeSteadyClock::Sleep::waits_for_advance);
    f.settings.messages[0] = "T";
    ASSERT_EQ(f.keyer.open_key_port(f.window()), 0);
    f.send(0);
    ASSERT_TRUE(eventually([&] { return f.devices.parallel_port().is_down(); }));
    f.keyer.stop_sending();
    EXPECT_FALSE(f.keyer.sending());
    EXPECT_FALSE(f.devices.parallel_port().is_down());
    EXPECT_EQ(f.edges(), (std::vector<std::pair<bool, long>>{{true, 0}, {false, 0}}));
    f.host.advance(0ms);
    EXPECT_TRUE(f.posts.commands.empty()) << "a stopped message is not reported as keyed";

    f.send(0); // and the next one goes
    EXPECT_TRUE(f.keyer.sending());
    f.keyer.close_key_port(); // the window closes mid-message
    EXPECT_FALSE(f.keyer.sending());
    EXPECT_FALSE(f.devices.parallel_port().is_down());
    EXPECT_FALSE(f.devices.parallel_port().is_open());
}

TEST(Keyer, APortThatCannotBeHadIsToldOnceAndLoggingGoesOn) {
    using io::DeviceError;
    const struct {
        const char* port;
        std::function<void(FakeDevices&)> spoil;
        const char* text;
        int number;
    } cases[] = {
        {"3", [](FakeDevices& d) { d.serial_line("3").fail_open(DeviceError::busy); },
         "Com Port 3 not available\r\nThe port is in use.", 904},
        {"2", [](FakeDevices& d) { d.serial_line("2").fail_line_changes(DeviceError::line_change_refused); },
         "Com Port 2 not available\r\nThe port cannot switch its control lines.", 906},
        {"P", [](FakeDevices& d) { d.parallel_port().fail_open(DeviceError::no_such_port); },
         "Parallel Port not available\r\nThe port does not exist.", 902},
        {"X", [](FakeDevices&) {}, "Com Port X not available\r\n\"X\" is not a port name.", 901},
    };
    for (const auto& c : cases) {
        KeyerFixture f;
        f.settings.port = c.port;
        f.settings.messages[0] = "E";
        c.spoil(f.devices);
        f.host.expect_message(c.text);
        EXPECT_EQ(f.keyer.open_key_port(f.window()), c.number) << c.port;
        ASSERT_EQ(f.host.messages().size(), 1u);
        EXPECT_EQ(f.host.messages()[0].title, "CW Port selection");
        EXPECT_EQ(f.host.messages()[0].icon, ui::Icon::exclamation);
        f.send(0);
        EXPECT_FALSE(f.keyer.sending());
        EXPECT_TRUE(f.events().empty());
        EXPECT_EQ(f.host.messages().size(), 1u) << "told once";
    }
}

TEST(Keyer, ALineThatFailsMidMessageIsLetUpAndToldOnce) {
    KeyerFixture f(FakeSteadyClock::Sleep::waits_for_advance);
    f.settings.messages[0] = "T";
    ASSERT_EQ(f.keyer.open_key_port(f.window()), 0);
    f.send(0);
    ASSERT_TRUE(eventually([&] { return f.devices.parallel_port().is_down(); }));
    f.devices.parallel_port().fail_keying(io::DeviceError::io_error);
    f.devices.steady_clock().advance(180ms);
    f.host.expect_message("Keying stopped: Parallel Port failed.\r\nThe port failed to read or write.");
    f.finish();
    EXPECT_EQ(f.posts.commands, std::vector<int>{k_commands.failed});
    EXPECT_EQ(f.edges(), (std::vector<std::pair<bool, long>>{{true, 0}, {false, 180}, {false, 180}}))
        << "the key is let up, and tried once more when it refuses";

    f.send(0); // it fails again at its first edge, but the operator has been told
    f.finish();
    EXPECT_EQ(f.posts.commands, (std::vector<int>{k_commands.failed, k_commands.failed}));
    EXPECT_EQ(f.host.messages().size(), 1u);
}

} // namespace
} // namespace kestrel::keyer
