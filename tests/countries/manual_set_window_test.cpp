#include "countries/manual_set_window.hpp"

#include "dxcc_fixture.hpp"

namespace kestrel::countries::testing {
namespace {

using ui::Key;
using ui::TestRun;
using W = ManualSetWindow;

constexpr int cell(int band, int mode) {
    return 650 + 4 * band + mode;
}

class ManualSet : public DxccTest {
  protected:
    ManualSetEnv env() { return {m_table, m_chart, m_labels, m_state}; }
    TestRun open_set() { return m_host.open(ManualSetWindow{env()}); }
    TestRun open_on(const std::string& typed) {
        TestRun run = open_set();
        run.type(typed).key(Key::enter);
        return run;
    }
    static bool highlighted(TestRun& run, int id) {
        const ui::Control& c = run.context().control(id);
        return c.background == ui::colours::blue;
    }
    ManualSetState m_state;
};

TEST_F(ManualSet, F1AndF2SwitchTheMarksOfTheSelectedCell) {
    struct Case {
        std::vector<Key> keys;
        std::string shown;
        std::uint8_t byte; // of 160 m, CW
    };
    const Case cases[] = {
        {{Key::f1}, "  1/-", 0x01},          {{Key::f1, Key::f1}, "  -/-", 0x00},
        {{Key::f2}, "  1/1", 0x03},          {{Key::f2, Key::f2}, "  1/-", 0x01},
        {{Key::f2, Key::f1}, "  -/-", 0x00}, {{Key::f1, Key::f2, Key::f2}, "  1/-", 0x01},
    };
    for (const Case& c : cases) {
        m_chart = {};
        m_chart.update_chart(1, m160, 1, 2); // SSB beside it, untouched
        m_state = {};
        TestRun run = open_on("G");
        run.key(Key::down); // the first arrow selects 160 m CW
        for (Key k : c.keys)
            run.key(k);
        EXPECT_EQ(run.text(cell(m160, 0)), c.shown) << c.keys.size();
        EXPECT_EQ(m_chart.byte(1, m160), c.byte | 0x0C) << c.keys.size();
    }
}

TEST_F(ManualSet, TheArrowsMoveTheSelectionInsideTheGrid) {
    struct Case {
        std::vector<Key> keys;
        int selected;
    };
    const Case cases[] = {
        {{Key::left}, cell(0, 0)},
        {{Key::up}, cell(0, 0)},
        {{Key::right, Key::right}, cell(0, 1)},
        {{Key::down, Key::right, Key::right, Key::right, Key::right, Key::right}, cell(0, 3)},
        {std::vector<Key>(20, Key::down), cell(12, 0)},
        {{Key::down, Key::down, Key::down, Key::up, Key::right, Key::left, Key::left}, cell(1, 0)},
    };
    for (const Case& c : cases) {
        m_state = {};
        TestRun run = open_on("K");
        for (Key k : c.keys)
            run.key(k);
        EXPECT_EQ(m_state.cell, c.selected);
        for (int id = cell(0, 0); id <= cell(12, 3); ++id)
            EXPECT_EQ(highlighted(run, id), id == c.selected) << id;
        EXPECT_EQ(run.text(W::k_prefix), "K") << "the keys never reach the box";
    }
}

TEST_F(ManualSet, EnterShowsTheCountryOfAPrefixOrNumber) {
    struct Case {
        const char* typed;
        std::string caption; // empty: the window as it was
        bool not_a_country;
    };
    const Case cases[] = {
        {"kh6", "STATUS for Hawaii:  KH7K,KH6", false},
        {"9", "STATUS for United States:  K", false},
        {" 5 ", "STATUS for Germany:  DL", false},
        {"0", "", false},
        {"", "", false},
        {"10", "", false},
        {"4U1UN", "", true},
        {"W1AW", "", true},
        {"2", "", true}, // a number the list skips
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        m_state = {};
        if (c.not_a_country) m_host.expect_message("Not a DXCC country");
        const std::size_t messages = m_host.messages().size();
        TestRun run = open_on(c.typed);
        EXPECT_EQ(run.caption(), c.caption.empty() ? "Manual DXCC Set" : c.caption);
        EXPECT_EQ(run.exists(cell(0, 0)), !c.caption.empty());
        EXPECT_EQ(run.enabled(W::k_next), !c.caption.empty());
        EXPECT_EQ(m_host.messages().size() - messages, c.not_a_country ? 1u : 0u);
        if (c.not_a_country) {
            EXPECT_EQ(m_host.messages().back().title, "Country check");
        }
    }
}

TEST_F(ManualSet, NextGoesToTheFollowingCountryOfTheList) {
    m_chart.update_chart(3, m20, 0, 0);
    TestRun run = open_on("G");
    EXPECT_EQ(run.caption(), "STATUS for England:  G");
    run.click(W::k_next);
    EXPECT_EQ(run.caption(), "STATUS for Portugal:  CQ") << "2 has no line";
    EXPECT_EQ(run.text(W::k_prefix), " 3");
    EXPECT_EQ(run.text(cell(m20, 0)), "  1/-");
    run.key(Key::enter);
    EXPECT_EQ(run.caption(), "STATUS for Portugal:  CQ") << "Enter on the number Next left";
    run.click(W::k_next).click(W::k_next).click(W::k_next);
    EXPECT_EQ(run.caption(), "STATUS for United States:  K");
    run.click(W::k_next);
    EXPECT_EQ(run.caption(), "STATUS for United States:  K") << "9 is the highest";
    EXPECT_EQ(run.text(W::k_prefix), " 9");
}

TEST_F(ManualSet, NothingIsSwitchedWithoutACountryAndACell) {
    {
        TestRun run = open_set();
        run.key(Key::down).key(Key::f1).key(Key::f2);
        run.mouse_up({50, 40});
    }
    m_state = {};
    {
        TestRun run = open_on("K");
        run.key(Key::f1).key(Key::f2);
    }
    for (std::uint8_t b : m_chart.bytes())
        EXPECT_EQ(b, 0);
}

TEST_F(ManualSet, TheMouseSwitchesTheCountItIsOverWithoutMovingTheSelection) {
    // 20 m SSB: its cell runs from x 84 (three characters of worked count, "/", the confirmed
    // count) and its row from y 85.
    struct Case {
        ui::Point at;
        std::uint8_t byte; // of 20 m
    };
    const Case cases[] = {
        {{85, 88}, 0x04},  {{95, 92}, 0x04}, {{101, 86}, 0x0C}, {{112, 89}, 0x0C}, {{97, 88}, 0x00},
        {{118, 88}, 0x00}, {{85, 97}, 0x00}, {{30, 88}, 0x00},  {{205, 88}, 0x00}, {{85, 400}, 0x00},
    };
    for (const Case& c : cases) {
        m_chart = {};
        m_state = {};
        TestRun run = open_on("K");
        run.key(Key::down);
        run.mouse_up(c.at);
        EXPECT_EQ(m_chart.byte(9, m20), c.byte) << c.at.x << "," << c.at.y;
        EXPECT_EQ(m_state.cell, cell(0, 0));
    }
    m_chart = {};
    TestRun run = open_on("K");
    run.mouse_up({101, 86}).mouse_up({101, 86});
    EXPECT_EQ(run.text(cell(m20, 1)), "  1/-") << "a second click on the confirmed count";
    run.mouse_up({85, 88});
    EXPECT_EQ(run.text(cell(m20, 1)), "  -/-");
    EXPECT_EQ(m_chart.byte(9, m20), 0);
}

TEST_F(ManualSet, OpenedAgainItGoesOnWithTheCountryAndCellOfLastTime) {
    {
        TestRun run = open_on("DL");
        run.key(Key::down).key(Key::down).key(Key::right).click(ui::k_cancel);
    }
    TestRun run = open_set();
    EXPECT_EQ(run.caption(), "STATUS for Germany:  DL");
    EXPECT_EQ(run.text(W::k_prefix), " 5");
    EXPECT_TRUE(run.enabled(W::k_next));
    EXPECT_TRUE(highlighted(run, cell(1, 1)));
    run.key(Key::f2);
    EXPECT_EQ(m_chart.byte(5, 1), 0x0C);
    EXPECT_EQ(run.text(cell(1, 1)), "  1/1");
}

} // namespace
} // namespace kestrel::countries::testing
