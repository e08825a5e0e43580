#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel::ui {
namespace {

// A window that remembers every command it saw, with a few controls of each kind.
class Probe final : public Window {
  public:
    enum {
        k_name = 10,
        k_notes = 11,
        k_call = 12,
        k_save = 20,
        k_other = 21,
        k_tick = 30,
        k_first = 40,
        k_second = 41,
        k_third = 42,
        k_check = 50,
        k_list = 60,
        k_f12 = 124,
        k_repeat = 126,
        k_later = 900
    };
    struct Seen {
        int id;
        Notify notify;
        friend bool operator==(const Seen&, const Seen&) = default;
    };

    bool with_default = true;
    bool with_enter_accelerator = false;
    std::vector<Seen>* seen;

    explicit Probe(std::vector<Seen>& log) : seen(&log) {}

    Form build() const override {
        Form f;
        f.caption = "Probe";
        f.frame = {0, 0, 200, 100};
        f.add(edit(k_name, {5, 5, 50, 12}));
        f.add(edit(k_notes, {5, 20, 50, 30}, multi_line));
        f.add(edit(k_call, {5, 55, 50, 12}, upper_case));
        f.add(button(k_save, "&Save", {60, 5, 30, 14}, with_default ? default_button : plain));
        f.add(button(k_other, "Other", {60, 25, 30, 14}));
        f.add(option(k_first, "One", {100, 5, 30, 10}, 1));
        f.add(option(k_second, "Two", {100, 15, 30, 10}, 1));
        f.add(option(k_third, "Three", {100, 25, 30, 10}, 2));
        f.add(check_box(k_check, "Sent", {100, 40, 30, 10}));
        f.add(list(k_list, {140, 5, 50, 60}));
        f.accelerators = {{{Key::f12}, k_f12}, {{Key::f1}, k_repeat}};
        if (with_enter_accelerator) f.accelerators.push_back({{Key::enter}, k_repeat});
        return f;
    }
    void on_command(Context& ctx, int id, Notify notify) override {
        seen->push_back({id, notify});
        if (id == k_cancel) ctx.close(k_cancel);
        if (id == k_save && notify == Notify::clicked) {
            ctx.post(k_later);
            ctx.post(k_later + 1);
            ctx.set_text(k_name, "saved"); // runs before the posted commands
        }
        if (id == k_other && notify == Notify::clicked) ctx.start_timer(k_tick, 1000);
    }
    void on_timer(Context& ctx, int id) override {
        seen->push_back({id, Notify::posted});
        if (++ticks == 3) ctx.stop_timer(id);
    }
    int ticks = 0;
};

using Seen = Probe::Seen;

TEST(Context, KeysReachTheAcceleratorTableBeforeTheFocusedBox) {
    std::vector<Seen> seen;
    TestHost host;
    auto run = host.open(Probe{seen});
    run.type_into(Probe::k_name, "G4A");
    seen.clear();
    run.key(Key::f12).key(Key::f1);
    EXPECT_EQ(seen, (std::vector<Seen>{{Probe::k_f12, Notify::clicked}, {Probe::k_repeat, Notify::clicked}}));
    EXPECT_EQ(run.text(Probe::k_name), "G4A") << "an accelerator key must not reach the box";
}

TEST(Context, EnterGoesToTheAcceleratorThenTheDefaultButtonThenCommandOne) {
    struct Case {
        bool default_button;
        bool enter_accelerator;
        int focused;
        int expected; // first command after Enter, 0 for none
    } cases[] = {
        {true, false, Probe::k_name, Probe::k_save},
        {false, false, Probe::k_name, k_ok},
        {true, true, Probe::k_name, Probe::k_repeat},
        {false, false, Probe::k_other, Probe::k_other}, // a focused button is pressed
        {true, false, Probe::k_notes, 0},               // a multi-line box keeps its Enter
    };
    for (const Case& c : cases) {
        std::vector<Seen> seen;
        Probe probe(seen);
        probe.with_default = c.default_button;
        probe.with_enter_accelerator = c.enter_accelerator;
        TestHost host;
        auto run = host.open_window(probe);
        run.focus(c.focused);
        seen.clear();
        run.key(Key::enter);
        if (c.expected == 0) {
            // The box starts a new line, and tells only that its text changed.
            EXPECT_EQ(seen, (std::vector<Seen>{{c.focused, Notify::changed}}));
            EXPECT_EQ(run.text(c.focused), "\r\n");
        } else {
            ASSERT_FALSE(seen.empty());
            EXPECT_EQ(seen.front(), (Seen{c.expected, Notify::clicked}));
        }
    }
}

TEST(Context, EscapeIsTheExitCommand) {
    std::vector<Seen> seen;
    TestHost host;
    auto run = host.open(Probe{seen});
    run.key(Key::escape);
    EXPECT_FALSE(run.is_open());
    EXPECT_EQ(run.result(), k_cancel);
}

TEST(Context, PostedCommandsRunAfterTheHandlerInOrder) {
    std::vector<Seen> seen;
    TestHost host;
    auto run = host.open(Probe{seen});
    seen.clear();
    run.click(Probe::k_save);
    // Clicking moves the focus first (a button does not report gaining it); the posted commands
    // wait for the handler and the changes it makes.
    const std::vector<Seen> expected{{Probe::k_name, Notify::focus_lost},
                                     {Probe::k_save, Notify::clicked},
                                     {Probe::k_name, Notify::changed},
                                     {Probe::k_later, Notify::posted},
                                     {Probe::k_later + 1, Notify::posted}};
    EXPECT_EQ(seen, expected);
}

TEST(Context, TypingFollowsTheBoxStyleAndTellsEveryChange) {
    std::vector<Seen> seen;
    TestHost host;
    auto run = host.open(Probe{seen});
    seen.clear();
    run.type_into(Probe::k_call, "g4abc/p");
    EXPECT_EQ(run.text(Probe::k_call), "G4ABC/P");
    const auto changes = std::count(seen.begin(), seen.end(), Seen{Probe::k_call, Notify::changed});
    EXPECT_EQ(changes, 7);
    run.key(Key::backspace).key(Key::backspace);
    EXPECT_EQ(run.text(Probe::k_call), "G4ABC");
}

TEST(Context, OptionsExcludeOthersOfTheirGroupOnly) {
    std::vector<Seen> seen;
    TestHost host;
    auto run = host.open(Probe{seen});
    run.click(Probe::k_third).click(Probe::k_first);
    EXPECT_TRUE(run.checked(Probe::k_first));
    EXPECT_TRUE(run.checked(Probe::k_third));
    run.click(Probe::k_second);
    EXPECT_FALSE(run.checked(Probe::k_first));
    EXPECT_TRUE(run.checked(Probe::k_second));
    EXPECT_TRUE(run.checked(Probe::k_third));
    run.click(Probe::k_check).click(Probe::k_check).click(Probe::k_check);
    EXPECT_TRUE(run.checked(Probe::k_check));
}

TEST(Context, DisabledControlsTakeNoClicksAndNoFocus) {
    std::vector<Seen> seen;
    TestHost host;
    auto run = host.open(Probe{seen});
    run.context().enable(Probe::k_save, false);
    seen.clear();
    run.click(Probe::k_save);
    EXPECT_TRUE(seen.empty());
    run.focus(Probe::k_name).key(Key::tab).key(Key::tab).key(Key::tab);
    EXPECT_EQ(run.focused(), Probe::k_other) << "Tab skips the disabled button";
}

TEST(Context, ListSelectionAndItems) {
    std::vector<Seen> seen;
    TestHost host;
    auto run = host.open(Probe{seen});
    Context& ctx = run.context();
    ctx.set_items(Probe::k_list, {"a", "b", "c"});
    ctx.insert_item(Probe::k_list, 1, "x");
    ctx.remove_item(Probe::k_list, 3);
    EXPECT_EQ(run.items(Probe::k_list), (std::vector<std::string>{"a", "x", "b"}));
    run.select_many(Probe::k_list, {0, 2});
    EXPECT_EQ(ctx.selections(Probe::k_list), (std::vector<int>{0, 2}));
    ctx.select(Probe::k_list, 1);
    EXPECT_EQ(ctx.selection(Probe::k_list), 1);
    EXPECT_EQ(ctx.selections(Probe::k_list).size(), 1u);
    ctx.remove_item(Probe::k_list, 7); // out of range: nothing happens
    EXPECT_EQ(ctx.item_count(Probe::k_list), 3);
    EXPECT_EQ(ctx.item(Probe::k_list, 9), "");
}

TEST(Context, AMissingControlIsReportedReadsEmptyAndTakesNoChanges) {
    std::vector<Seen> seen;
    TestHost host;
    host.expect_surprises();
    auto run = host.open(Probe{seen});
    Context& ctx = run.context();
    ctx.set_text(999, "x");
    ctx.enable(999, false);
    EXPECT_EQ(ctx.text(999), "");
    EXPECT_FALSE(ctx.exists(999));
    EXPECT_EQ(host.surprises(), std::vector<std::string>(3, "window \"Probe\" has no control 999"));
    ctx.add_control(edit(999, {1, 1, 1, 1}));
    ctx.set_text(999, "now");
    EXPECT_EQ(ctx.text(999), "now");
    ctx.remove_control(999);
    EXPECT_FALSE(ctx.exists(999));
    ctx.remove_control(999); // gone already: nothing to report
    EXPECT_EQ(host.surprises().size(), 3u) << "a control added later is there";
}

TEST(Context, ALineReplacedInPlaceKeepsTheSelectionAndTheScroll) {
    std::vector<Seen> seen;
    TestHost host;
    auto run = host.open(Probe{seen});
    Context& ctx = run.context();
    ctx.set_items(Probe::k_list, {"a", "b", "c", "d"});
    ctx.set_top_index(Probe::k_list, 2);
    ctx.select(Probe::k_list, 3);
    ctx.set_item(Probe::k_list, 3, "D");
    EXPECT_EQ(run.items(Probe::k_list), (std::vector<std::string>{"a", "b", "c", "D"}));
    EXPECT_EQ(ctx.selection(Probe::k_list), 3);
    EXPECT_EQ(ctx.top_index(Probe::k_list), 2);
}

} // namespace
} // namespace kestrel::ui
