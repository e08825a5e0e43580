// The note pad: notes typed in the on-line window's note pad are added to NOTEPAD.TXT under a
// stamp line, each ending its own line, and no save loses a note written before it.

#include "notepad/notepad_file.hpp"
#include "notepad/notepad_window.hpp"

#include "support/temp_dir.hpp"
#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace kestrel::notepad {
namespace {

using W = NotepadWindow;
using namespace std::chrono;

sys_time<seconds> at(int year, unsigned month, unsigned day, int hour, int minute) {
    return sys_days{std::chrono::year{year} / month / day} + hours{hour} + minutes{minute};
}

TEST(NotepadFile, TheStampLineIsTheUtcDateAndTime) {
    struct Case {
        sys_time<seconds> when;
        std::string stamp;
    } cases[] = {
        {at(2025, 12, 24, 18, 5), "24-12-25   18:05\r\n"},
        {at(2000, 1, 1, 0, 0) + seconds{59}, "01-01-00   00:00\r\n"},
        {at(1999, 12, 31, 23, 59), "31-12-99   23:59\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stamp_line(c.when), c.stamp);
}

TEST(NotepadFile, ANoteEndsEveryLineWithCrLf) {
    struct Case {
        std::string box;
        std::string note;
    } cases[] = {
        {"", ""},
        {"QSY 14.250", "QSY 14.250\r\n"},
        {"one\r\ntwo\r\n", "one\r\ntwo\r\n"},
        {"one\ntwo", "one\r\ntwo\r\n"},         // Qt's line ends
        {"one\rtwo\n\n", "one\r\ntwo\r\n\r\n"}, // a lone CR; an empty last line stays
    };
    for (const Case& c : cases)
        EXPECT_EQ(note_text(c.box), c.note) << c.box;
}

TEST(NotepadFile, AnAppendedNoteStartsOnALineOfItsOwn) {
    testing::TempDir dir;
    const std::string path = dir.file("NOTEPAD.TXT");
    testing::write_file(path, "a note from another program");
    ASSERT_TRUE(save_note(path, "01-01-25   10:00\r\n", "mine\r\n", SaveMode::append));
    EXPECT_EQ(testing::read_file(path), "a note from another program\r\n01-01-25   10:00\r\nmine\r\n");
    ASSERT_TRUE(save_note(path, "01-01-25   11:00\r\n", "all\r\n", SaveMode::replace));
    EXPECT_EQ(testing::read_file(path), "01-01-25   11:00\r\nall\r\n");
    EXPECT_FALSE(save_note(dir.file("no such directory/NOTEPAD.TXT"), "", "x\r\n", SaveMode::append));
}

class Notepad : public ::testing::Test {
  protected:
    Notepad() { m_host.set_now(at(2025, 12, 24, 18, 5)); }
    ui::TestRun open() { return m_host.open(W{{m_state, m_dir.file("NOTEPAD.TXT"), 1.0}}); }
    std::string file() const { return testing::read_file(m_dir.path() / "NOTEPAD.TXT"); }

    testing::TempDir m_dir;
    NotepadState m_state;
    ui::TestHost m_host;
};

TEST_F(Notepad, TwoNotesWrittenInTwoOpeningsAreBothKept) {
    auto first = open();
    EXPECT_EQ(first.caption(), " Note Pad");
    EXPECT_EQ(first.focused(), W::k_text);
    first.type("QSY to 20m").key(ui::Key::enter).type("sked G4ABC").alt('s');
    EXPECT_EQ(first.text(W::k_text), "") << "a saved note leaves the box";
    first.alt('x');

    m_host.advance(minutes{30});
    auto second = open();
    second.type("Beacon heard on 10m").alt('s').alt('x');
    EXPECT_EQ(file(), "24-12-25   18:05\r\nQSY to 20m\r\nsked G4ABC\r\n"
                      "24-12-25   18:35\r\nBeacon heard on 10m\r\n");
}

TEST_F(Notepad, ANoteLeftInTheBoxComesBackAtTheNextOpeningAndIsAddedTo) {
    auto first = open();
    first.type("first line").key(ui::Key::escape);
    EXPECT_FALSE(first.is_open());
    EXPECT_FALSE(std::filesystem::exists(m_dir.path() / "NOTEPAD.TXT")) << "kept, not written";

    auto second = open();
    EXPECT_EQ(second.text(W::k_text), "first line");
    second.key(ui::Key::enter).type("second line").click(W::k_save);
    EXPECT_EQ(file(), "24-12-25   18:05\r\nfirst line\r\nsecond line\r\n")
        << "typing added, replaced nothing";
}

TEST_F(Notepad, LoadShowsTheWholeFileAndTheSaveThatFollowsWritesItAnew) {
    testing::write_file(m_dir.path() / "NOTEPAD.TXT", "01-12-25   09:00\r\nold note\r\n");
    auto run = open();
    run.alt('l');
    EXPECT_EQ(run.text(W::k_text), "01-12-25   09:00\r\nold note\r\n");
    run.type("added line").alt('s');
    EXPECT_EQ(file(), "24-12-25   18:05\r\n01-12-25   09:00\r\nold note\r\nadded line\r\n");
    EXPECT_FALSE(m_state.holds_file);
}

// Only a box that holds the whole file replaces it; after Clear, after a save, and after a Load
// whose text was cleared away, the next note is added to the others.
TEST_F(Notepad, NoSaveLosesAnEarlierNote) {
    struct Case {
        const char* what;
        std::vector<int> buttons; // pressed before typing "new" and saving
    } cases[] = {
        {"after Clear", {W::k_clear}},
        {"after Load and Clear", {W::k_load, W::k_clear}},
        {"after a save", {W::k_save}},
    };
    for (const Case& c : cases) {
        testing::write_file(m_dir.path() / "NOTEPAD.TXT", "01-12-25   09:00\r\nold note\r\n");
        NotepadState state;
        ui::TestHost host;
        host.set_now(at(2025, 12, 24, 18, 5));
        auto run = host.open(W{{state, m_dir.file("NOTEPAD.TXT"), 1.0}});
        for (int button : c.buttons)
            run.click(button);
        run.type("new").click(W::k_save);
        EXPECT_TRUE(file().starts_with("01-12-25   09:00\r\nold note\r\n")) << c.what;
        EXPECT_TRUE(file().ends_with("24-12-25   18:05\r\nnew\r\n")) << c.what;
    }
}

TEST_F(Notepad, LoadOverANoteNotSavedAsksFirst) {
    testing::write_file(m_dir.path() / "NOTEPAD.TXT", "the file\r\n");
    auto run = open();
    run.type("unsaved");
    m_host.answer(ui::Answer::no);
    run.alt('l');
    EXPECT_EQ(run.text(W::k_text), "unsaved");
    EXPECT_EQ(m_host.messages().back().text,
              "The note in the box has not been saved. Load NOTEPAD.TXT in its place?");
    m_host.answer(ui::Answer::yes);
    run.alt('l');
    EXPECT_EQ(run.text(W::k_text), "the file\r\n");
    run.alt('l'); // the box is the file: nothing to lose, nothing asked
    EXPECT_EQ(m_host.messages().size(), 2u);
}

TEST_F(Notepad, LoadWithNoFileDoesNothingAndAFileThatCannotBeWrittenKeepsTheNote) {
    auto run = open();
    run.type("keep me").alt('l');
    EXPECT_EQ(run.text(W::k_text), "keep me");
    EXPECT_TRUE(m_host.messages().empty());

    std::filesystem::create_directory(m_dir.path() / "NOTEPAD.TXT");
    m_host.expect_message("NOTEPAD.TXT could not be written: the note is still in the box.");
    run.alt('s');
    EXPECT_EQ(run.text(W::k_text), "keep me");
    m_host.expect_message("NOTEPAD.TXT could not be read.");
    run.alt('l');
    EXPECT_EQ(run.text(W::k_text), "keep me");
}

TEST_F(Notepad, TheWindowGrowsWithTheScreenAndKeepsItsControlsInside) {
    for (double scale : {0.5, 1.0, 2.25}) {
        const ui::Form form = W{{m_state, "", scale}}.build();
        for (const ui::Control& c : form.controls) {
            EXPECT_LE(c.rect.x + c.rect.w, form.frame.w) << scale << " " << c.id;
            EXPECT_LE(c.rect.y + c.rect.h, form.frame.h) << scale << " " << c.id;
        }
        EXPECT_EQ(form.frame.w, static_cast<int>(std::lround(316 * std::max(scale, 1.0))));
    }
}

TEST_F(Notepad, OpenedFromTheOnLineWindow) {
    struct Owner final : ui::Window {
        ui::Form build() const override { return {}; }
        void on_command(ui::Context&, int, ui::Notify) override {}
    };
    auto owner = m_host.open(Owner{});
    m_host.on_modal([](ui::TestRun& run) { run.type("73").alt('s').alt('x'); });
    show_notepad(owner.context(), m_state, m_dir.path().string());
    EXPECT_EQ(file(), "24-12-25   18:05\r\n73\r\n");
}

} // namespace
} // namespace kestrel::notepad
