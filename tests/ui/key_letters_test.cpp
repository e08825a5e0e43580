// The keyboard habits of the old dialogs: key letters, and a box reached from the keyboard
// having its text selected so typing replaces it.

#include "ui/context.hpp"
#include "ui/key_letters.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel::ui {
namespace {

// Shaped like the Cabrillo import window: a labelled box and a button sharing C, a date box
// under its own letter, a button whose letter is its own, and a check box.
class Letters final : public Window {
  public:
    enum {
        k_comment_label = 10,
        k_comment = 11,
        k_date_label = 12,
        k_date = 13,
        k_select = 20,
        k_go = 21,
        k_split = 30
    };
    Form build() const override {
        Form f;
        f.caption = "Letters";
        f.add(label(k_date_label, "D&ate", {0, 0, 20, 8}));
        f.add(edit(k_date, {20, 0, 40, 12}));
        f.add(label(k_comment_label, "&Comment", {0, 20, 30, 8}));
        f.add(edit(k_comment, {30, 20, 60, 12}));
        f.add(button(k_select, "Select &Cabrillo Log", {0, 40, 60, 14}));
        f.add(button(k_go, "&Go", {70, 40, 30, 14}));
        f.add(check_box(k_split, "&Split", {0, 60, 30, 10}));
        return f;
    }
    void on_command(Context& ctx, int id, Notify notify) override {
        if (notify == Notify::clicked) pressed.push_back(id);
        if (id == k_ok) searched.push_back(ctx.text(k_date));
    }
    std::vector<int> pressed;
    std::vector<std::string> searched;
};

TEST(KeyLetters, SharedLettersTakeTheFocusInTurnAndOwnLettersPress) {
    TestHost host;
    Letters w;
    auto run = host.open_window(w);
    run.alt('c');
    EXPECT_EQ(run.focused(), Letters::k_comment);
    run.alt('C');
    EXPECT_EQ(run.focused(), Letters::k_select) << "the second press reaches the button";
    EXPECT_TRUE(w.pressed.empty()) << "a button whose letter is shared is not pressed";
    run.alt('c');
    EXPECT_EQ(run.focused(), Letters::k_comment) << "and round again";

    run.alt('g');
    EXPECT_EQ(w.pressed, std::vector<int>{Letters::k_go});
    run.type("s"); // on a button, a bare letter is its key letter too
    EXPECT_TRUE(run.checked(Letters::k_split));
    run.alt('x');
    EXPECT_EQ(run.focused(), Letters::k_split) << "a letter no control has does nothing";
}

TEST(KeyLetters, ABoxReachedFromTheKeyboardHasItsTextSelectedSoTypingReplacesIt) {
    TestHost host;
    Letters w;
    auto run = host.open_window(w);
    run.alt('a').type("1/5/24").key(Key::enter);
    run.alt('a').type("2/5/24").key(Key::enter);
    EXPECT_EQ(w.searched, (std::vector<std::string>{"1/5/24", "2/5/24"}));

    run.alt('c').type("first").key(Key::tab).key(Key::tab, shift).type("second");
    EXPECT_EQ(run.text(Letters::k_comment), "second") << "Tab back selects the box's text too";
    run.click_into(Letters::k_date).click_into(Letters::k_comment).type("+");
    EXPECT_EQ(run.text(Letters::k_comment), "second+") << "a click leaves the text as it was";
    run.key(Key::home).type(">");
    EXPECT_EQ(run.text(Letters::k_comment), ">second+");
}

TEST(KeyLetters, TheLetterIsTheOneAfterASingleAmpersand) {
    EXPECT_EQ(key_letter_of("&Save"), 'S');
    EXPECT_EQ(key_letter_of("E&xit"), 'X');
    EXPECT_EQ(key_letter_of("Fish && &Chips"), 'C');
    EXPECT_EQ(key_letter_of("Fish && Chips"), 0);
    EXPECT_EQ(key_letter_of("&\xE9t\xE9"), '\xC9');
    EXPECT_EQ(key_letter_of("Trailing&"), 0);
}

} // namespace
} // namespace kestrel::ui
