// The rules of a text box, the same on screen as in the tests: what a key puts in, what it
// refuses, and where the focus takes the caret.

#include "ui/context.hpp"
#include "ui/test_host.hpp"
#include "ui/typing.hpp"

#include <gtest/gtest.h>

namespace kestrel::ui {
namespace {

TEST(Typing, EachBoxTakesWhatItsStyleAndFieldAllow) {
    struct Case {
        unsigned style;
        int limit;
        std::string refused;
        std::string typed; // UTF-8, as the keyboard gives it
        std::string held;  // Windows-1252
        int beeps;
    } cases[] = {
        {upper_case, 12, "", "g4abc/p", "G4ABC/P", 0},
        {upper_case, 12, "", "g4abcdefghijkl", "G4ABCDEFGHIJ", 2}, // the 13th and 14th are refused
        {upper_case, 0, "", "\xC3\xA9t\xC3\xA9", "\xC9T\xC9", 0},  // é is É in the code page
        {upper_case, 0, "",
         "stra\xC3\x9F"
         "e",
         "STRA\xDF"
         "E",
         0}, // ß has no capital there
        {plain, 0, "",
         "\xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         "\xF3"
         "d",
         2}, // Ł and ź are not in it
        {plain, 0, "",
         "\xE2\x82\xAC"
         "5",
         "\x80"
         "5",
         0}, // € is
        {digits_only, 3, "", "5a9x99", "599", 3},
        {plain, 40, ",", "a,b", "ab", 1},
    };
    for (const Case& c : cases) {
        struct Box final : Window {
            Control box;
            Form build() const override {
                Form f;
                f.add(box);
                return f;
            }
            void on_command(Context&, int, Notify) override {}
        } window;
        window.box = edit(10, {0, 0, 50, 12}, c.style);
        window.box.text_limit = c.limit;
        window.box.refused = c.refused;
        TestHost host;
        auto run = host.open_window(window);
        run.type(c.typed);
        EXPECT_EQ(run.text(10), c.held) << c.typed;
        EXPECT_EQ(host.beeps(), c.beeps) << c.typed;
    }
}

TEST(Typing, CaretKeysAndErasingWorkOnTheSelection) {
    Control box = edit(1, {}, upper_case);
    EditText e{"G4ABC", {5, 5}};
    EXPECT_TRUE(move_caret(e, Key::home, false));
    EXPECT_EQ(type_character(box, e, U'm'), Typed::taken);
    EXPECT_EQ(e.text, "MG4ABC");
    move_caret(e, Key::end, false);
    move_caret(e, Key::left, true);
    move_caret(e, Key::left, true);
    erase_character(e, Erase::back);
    EXPECT_EQ(e.text, "MG4A");
    move_caret(e, Key::home, false);
    erase_character(e, Erase::forward);
    erase_character(e, Erase::back); // nothing before the caret
    EXPECT_EQ(e.text, "G4A");
    EXPECT_FALSE(move_caret(e, Key::up, false));
    e.selection = {0, 3};
    box.text_limit = 3;
    EXPECT_EQ(type_character(box, e, U'x'), Typed::taken) << "typing over a selection of a full box";
    EXPECT_EQ(e.text, "X");
}

TEST(Typing, AWholeTextPutInAtOnceFollowsTheSameRules) {
    Control call = edit(1, {}, upper_case);
    call.text_limit = 5;
    EXPECT_EQ(accept_text(call, "g4abc"), "G4ABC");
    EXPECT_EQ(accept_text(call, "g4abcd"), std::nullopt);
    Control report = edit(2, {}, digits_only);
    EXPECT_EQ(accept_text(report, "59x"), std::nullopt);
    Control notes = edit(3, {}, multi_line);
    EXPECT_EQ(accept_text(notes, "a\r\nb"), "a\r\nb");
    EXPECT_EQ(accept_text(call, "a\r\nb"), std::nullopt);
}

} // namespace
} // namespace kestrel::ui

namespace kestrel::ui {
namespace {

// A multi-line box holds whole texts, a file's among them: its lines end in CR LF whichever line
// end the host or the file used, and what a file brought (tabs and other control characters)
// stays, so the operator can go on typing into it.
TEST(Typing, AMultiLineBoxHoldsItsLinesWithCrLfAndKeepsWhatAFileBrought) {
    const Control notes = edit(3, {}, multi_line);
    struct Case {
        std::string given;
        std::optional<std::string> held;
    } cases[] = {
        {"a\nb", "a\r\nb"},               // Qt's box
        {"a\r\nb", "a\r\nb"},             // as held
        {"a\rb\n\n", "a\r\nb\r\n\r\n"},   // a lone CR, and two lines ending the text
        {"a\r\r\nb", "a\r\n\r\nb"},       // CR then CR LF: two line ends
        {"col\tumn\x0C", "col\tumn\x0C"}, // a tab and a form feed from a file
    };
    for (const Case& c : cases)
        EXPECT_EQ(accept_text(notes, c.given), c.held) << c.given;

    Control short_notes = notes;
    short_notes.text_limit = 4;
    EXPECT_EQ(accept_text(short_notes, "ab\ncd"), std::nullopt) << "CR LF counts two";
    EXPECT_EQ(accept_text(edit(4, {}), "a\tb"), std::nullopt) << "a one-line box takes no tab";
}

TEST(Typing, EnterAndALineEndTypedIntoAMultiLineBoxStartANewLine) {
    struct Box final : Window {
        Form build() const override {
            Form f;
            Control notes = edit(10, {0, 0, 100, 50}, multi_line);
            notes.text_limit = 10;
            f.add(notes);
            f.add(edit(11, {0, 60, 100, 12}));
            return f;
        }
        void on_command(Context&, int, Notify) override {}
    } window;
    TestHost host;
    auto run = host.open_window(window);
    run.type("one").key(Key::enter).type("two\nx");
    EXPECT_EQ(run.text(10), "one\r\ntwo\r\n");
    EXPECT_EQ(host.beeps(), 1) << "the x is one more than the box holds";
    EXPECT_EQ(run.text_selection(10), (TextSelection{10, 10}));
    run.key(Key::home).key(Key::enter);
    EXPECT_EQ(host.beeps(), 2) << "a line end needs two places";

    run.type_into(11, "a\nb");
    EXPECT_EQ(run.text(11), "ab");
    EXPECT_EQ(host.beeps(), 3) << "a one-line box refuses a line end";
}

} // namespace
} // namespace kestrel::ui

namespace kestrel::ui {
namespace {

// A one-line box reached from the keyboard has its text selected, so typing replaces it; a
// multi-line box holds a document, and the first key must not wipe it out.
TEST(Typing, OnlyAOneLineBoxHasItsTextSelectedWhenTheKeyboardBringsTheFocus) {
    struct Boxes final : Window {
        Form build() const override {
            Form f;
            Control call = edit(10, {0, 0, 50, 12});
            call.text = "G4ABC";
            f.add(call);
            Control notes = edit(11, {0, 20, 100, 50}, multi_line);
            notes.text = "old note\r\n";
            f.add(notes);
            return f;
        }
        void on_command(Context&, int, Notify) override {}
    } window;
    TestHost host;
    auto run = host.open_window(window);
    run.key(Key::tab).type("new");
    EXPECT_EQ(run.text(11), "new"
                            "old note\r\n")
        << "typed at the caret, nothing replaced";
    run.key(Key::tab).type("M0XYZ");
    EXPECT_EQ(run.text(10), "M0XYZ");
}

} // namespace
} // namespace kestrel::ui
