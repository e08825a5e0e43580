#include "locator/range_window.hpp"

#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

namespace kestrel::locator {
namespace {

using ui::Key;
using W = RangeWindow;

TEST(RangeWindow, EnterInEachBoxThenTheResultsInKilometresAndInMiles) {
    ui::TestHost host;
    LocatorState state;
    auto run = host.open(RangeWindow{state});
    EXPECT_EQ(run.caption(), "Range and Bearing");
    EXPECT_EQ(run.focused(), W::k_from);
    EXPECT_TRUE(run.checked(W::k_km));
    run.type("IO91WM").key(Key::enter);
    EXPECT_EQ(run.focused(), W::k_to);
    run.type("FN31PR").key(Key::enter);
    // 5,434.3 km and 3,377.5 miles by the textbook great-circle formula.
    EXPECT_EQ(run.text(W::k_distance), "5434KM");
    EXPECT_EQ(run.text(W::k_bearing), " 289\xB0");
    EXPECT_EQ(run.focused(), W::k_from);

    run.alt('M').click(W::k_go);
    EXPECT_FALSE(run.checked(W::k_km));
    EXPECT_EQ(run.text(W::k_distance), "3378Mi");
    EXPECT_EQ(run.focused(), W::k_from);

    run.replace(W::k_from, "IO91").key(Key::down).replace(W::k_to, "IO91").key(Key::enter);
    EXPECT_EQ(run.text(W::k_distance), "  0Mi");
    EXPECT_EQ(run.text(W::k_bearing), " 0\xB0");
    EXPECT_EQ(host.beeps(), 0);
    run.alt('X');
    EXPECT_FALSE(run.is_open());
}

TEST(RangeWindow, ABadLocatorBeepsClearsTheResultsAndTakesTheFocus) {
    ui::TestHost host;
    LocatorState state;
    auto run = host.open(RangeWindow{state});
    run.type("IO91").key(Key::tab).type("JN58").key(Key::enter);
    EXPECT_EQ(run.text(W::k_distance), "922KM");
    ASSERT_EQ(run.text(W::k_bearing), " 107\xB0");

    const struct {
        const char* from;
        const char* to;
        int fault;
    } cases[] = {{"io91", "JN58", W::k_from},
                 {"IO9", "JN58", W::k_from},
                 {"IO91", "JN5A", W::k_to},
                 {"IO91", "", W::k_to},
                 {"", "IO91", W::k_from},
                 // Past the grid's last field or sub-square.
                 {"ZZ99", "JN58", W::k_from},
                 {"SA00", "JN58", W::k_from},
                 {"IO91", "IO91WY", W::k_to},
                 {"IO91", "JS58", W::k_to}};
    int beeps = 0;
    for (const auto& c : cases) {
        run.replace(W::k_from, c.from).key(Key::down).replace(W::k_to, c.to).key(Key::enter);
        EXPECT_EQ(host.beeps(), ++beeps) << c.from << " " << c.to;
        EXPECT_EQ(run.focused(), c.fault) << c.from << " " << c.to;
        EXPECT_EQ(run.text(W::k_distance), "");
        EXPECT_EQ(run.text(W::k_bearing), "");
        run.key(Key::up);
    }
}

TEST(RangeWindow, OnlyTheWindowsKeysChangeWhichBoxEnterTreatsAsSecond) {
    ui::TestHost host;
    LocatorState state;
    auto run = host.open(RangeWindow{state});
    run.type("IO91").click_into(W::k_to).type("JN58").key(Key::enter);
    EXPECT_EQ(run.text(W::k_bearing), "") << "the mouse moved the focus, not the active box";
    EXPECT_EQ(run.focused(), W::k_to);
    run.key(Key::enter);
    EXPECT_EQ(run.text(W::k_bearing), " 107\xB0");
    run.key(Key::tab);
    EXPECT_EQ(run.focused(), W::k_to);
    run.key(Key::tab);
    EXPECT_EQ(run.focused(), W::k_from);
}

// A window that opens the calculator, as the on-line window does.
class Opener final : public ui::Window {
  public:
    explicit Opener(LocatorState& state) : m_state(state) {}
    ui::Form build() const override {
        ui::Form form;
        form.add(ui::button(10, "&Range", {0, 0, 40, 14}));
        return form;
    }
    void on_command(ui::Context& ctx, int id, ui::Notify) override {
        if (id == 10) show_range_and_bearing(ctx, m_state);
    }

  private:
    LocatorState& m_state;
};

TEST(RangeWindow, TheFromLocatorIsThereAgainAtTheNextOpeningEvenWhenItWasWrong) {
    ui::TestHost host;
    LocatorState state;
    auto parent = host.open(Opener{state});
    host.on_modal([](ui::TestRun& w) {
        EXPECT_EQ(w.text(W::k_from), "");
        w.type("JO62").key(Key::tab).type("KP20").key(Key::enter);
        EXPECT_EQ(w.text(W::k_distance), "1155KM");
        w.key(Key::escape);
    });
    parent.click(10);
    host.on_modal([](ui::TestRun& w) {
        EXPECT_EQ(w.text(W::k_from), "JO62");
        EXPECT_EQ(w.text(W::k_to), "");
        EXPECT_TRUE(w.checked(W::k_km));
        w.replace(W::k_from, "jo62").click(W::k_go).click(ui::k_cancel);
    });
    parent.click(10);
    host.on_modal([](ui::TestRun& w) {
        EXPECT_EQ(w.text(W::k_from), "jo62");
        w.click(ui::k_cancel);
    });
    parent.click(10);
    EXPECT_EQ(host.modal_captions().size(), 3u);
    EXPECT_EQ(host.beeps(), 1);
}

} // namespace
} // namespace kestrel::locator
