// DBNAMES.LST and the set-up dialog that writes it: the callbook chosen, where it is, and the
// four database names the logging windows make buttons of.

#include "databases/selection_window.hpp"

#include "support/temp_dir.hpp"
#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrel::databases {
namespace {

using W = SelectionWindow;

TEST(DatabaseSettings, DbnamesLstIsReadAsItsItems) {
    struct Case {
        std::string bytes;
        DatabaseSettings settings;
    } cases[] = {
        {"3\r\nE\r\n\r\n\r\n\r\n\r\n", {CallbookKind::qrz, "E", {}}},
        {" 2 \r\nD\r\nCLUB.EDB\r\n\r\nSQUARES.EDB\r\n\r\n",
         {CallbookKind::flying_horse, "D", {"CLUB.EDB", "", "SQUARES.EDB", ""}}},
        {"1\nD\n\"IOTA.EDB\"\n  SOTA.EDB  \n",
         {CallbookKind::buckmaster, "D", {"IOTA.EDB", "SOTA.EDB", "", ""}}},
        {"0,/media/cdrom,A.EDB,B.EDB,C.EDB,D.EDB",
         {CallbookKind::none, "/media/cdrom", {"A.EDB", "B.EDB", "C.EDB", "D.EDB"}}},
        {"7\r\nD\r\n", {CallbookKind::none, "D", {}}}, // no such callbook
        {"-1\r\n", {CallbookKind::none, "", {}}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read_settings_text(c.bytes), c.settings) << c.bytes;
}

TEST(DatabaseSettings, DbnamesLstIsWrittenALineEachAndReadsBackTheSame) {
    EXPECT_EQ(settings_text({CallbookKind::qrz, "E", {}}), "3\r\nE\r\n\r\n\r\n\r\n\r\n");
    const DatabaseSettings settings{
        CallbookKind::buckmaster, "/mnt/ham0", {"CLUB.EDB", "", "/home/op/IOTA.EDB", "X"}};
    EXPECT_EQ(read_settings_text(settings_text(settings)), settings);
}

TEST(DatabaseSettings, LoadedAtStartUpWhenThereAndToldWhenUnreadable) {
    testing::TempDir dir;
    SettingsLoad absent = load_callbook_settings(dir.path().string());
    EXPECT_EQ(absent.settings, DatabaseSettings{});
    EXPECT_FALSE(absent.notice);

    testing::write_file(dir.path() / "DBNAMES.LST", "2\r\nD\r\nCLUB.EDB\r\n");
    const SettingsLoad there = load_callbook_settings(dir.path().string() + "/");
    EXPECT_EQ(there.settings, (DatabaseSettings{CallbookKind::flying_horse, "D", {"CLUB.EDB", "", "", ""}}));
    EXPECT_FALSE(there.notice);

    std::filesystem::remove(dir.path() / "DBNAMES.LST");
    std::filesystem::create_directory(dir.path() / "DBNAMES.LST");
    const SettingsLoad unreadable = load_callbook_settings(dir.path().string());
    EXPECT_EQ(unreadable.settings, DatabaseSettings{});
    ASSERT_TRUE(unreadable.notice);
    EXPECT_EQ(unreadable.notice->substr(0, 31), "DBNAMES.LST could not be read: ");
}

TEST(DatabaseSettings, ANameWrittenInAnotherCaseFindsItsFile) {
    testing::TempDir dir;
    testing::write_file(dir.path() / "CLUB.EDB", "CALL:\r\n");
    std::filesystem::create_directory(dir.path() / "lists");
    testing::write_file(dir.path() / "lists" / "Iota.edb", "REF:\r\n");
    testing::write_file(dir.path() / "club.txt", "");
    const std::string d = dir.path().string() + "/";
    struct Case {
        std::string name;
        std::string file;
    } cases[] = {
        {"CLUB.EDB", d + "CLUB.EDB"},
        {"club.edb", d + "CLUB.EDB"},
        {"lists/IOTA.EDB", d + "lists/Iota.edb"},
        {"GONE.EDB", d + "GONE.EDB"},             // none: the name as it is, for the message
        {"LISTS/IOTA.EDB", d + "LISTS/IOTA.EDB"}, // only the file's own name is matched
    };
    for (const Case& c : cases)
        EXPECT_EQ(database_file(d, c.name), c.file) << c.name;
}

class Selection : public ::testing::Test {
  protected:
    ui::TestRun open() { return m_host.open(W{m_settings, m_dir.path().string()}); }
    std::string dbnames() const { return testing::read_file(m_dir.path() / "DBNAMES.LST"); }

    testing::TempDir m_dir;
    DatabaseSettings m_settings;
    ui::TestHost m_host;
};

TEST_F(Selection, ShowsTheSettingsWithTheFocusInTheFirstDatabase) {
    m_settings = {CallbookKind::flying_horse, "", {"CLUB.EDB", "", "", "SQUARES.EDB"}};
    auto run = open();
    EXPECT_EQ(run.caption(), "Database and CDROM Call Book selection");
    EXPECT_EQ(run.items(W::k_callbook),
              (std::vector<std::string>{"No Callbook", "Buckmaster", "Flying Horse", "QRZ"}));
    EXPECT_EQ(run.context().selection(W::k_callbook), 2);
    EXPECT_EQ(run.text(W::k_drive), "D") << "the drive the dialog offers when none is set";
    EXPECT_EQ(run.text(W::k_first_name), "CLUB.EDB");
    EXPECT_EQ(run.text(W::k_first_name + 3), "SQUARES.EDB");
    EXPECT_EQ(run.text(W::k_first_name_label + 2), "Database &3:");
    EXPECT_EQ(run.focused(), W::k_first_name);
}

TEST_F(Selection, EnterAndTabGoFromTheBoxLastEnteredToTheNextDatabase) {
    auto run = open();
    struct Step {
        int focus; // a box the operator clicks into first; 0 for none
        ui::Key key;
        int focused;
    } steps[] = {
        {0, ui::Key::enter, W::k_first_name + 1},
        {0, ui::Key::tab, W::k_first_name + 2},
        {0, ui::Key::enter, W::k_first_name + 3},
        {0, ui::Key::tab, W::k_first_name}, // from the fourth back to the first
        {W::k_drive, ui::Key::enter, W::k_first_name},
        {W::k_first_name + 2, ui::Key::tab, W::k_first_name + 3},
    };
    for (const Step& s : steps) {
        if (s.focus) run.click_into(s.focus);
        run.key(s.key);
        EXPECT_EQ(run.focused(), s.focused);
    }
}

TEST_F(Selection, ChoosingACallbookTakesAtOnceAndTheNextEnterGoesToTheFirstDatabase) {
    auto run = open();
    run.click_into(W::k_first_name + 2).select(W::k_callbook, 3);
    EXPECT_EQ(m_settings.callbook, CallbookKind::qrz) << "before Exit";
    run.key(ui::Key::enter);
    EXPECT_EQ(run.focused(), W::k_first_name);
}

TEST_F(Selection, ExitKeepsTheBoxesAndWritesDbnamesLst) {
    auto run = open();
    run.select(W::k_callbook, 3).replace(W::k_drive, "e");
    run.replace(W::k_first_name, " CLUB.EDB ").replace(W::k_first_name + 2, "lists/IOTA.EDB");
    run.alt('x');
    EXPECT_FALSE(run.is_open());
    EXPECT_EQ(m_settings, (DatabaseSettings{CallbookKind::qrz, "E", {"CLUB.EDB", "", "lists/IOTA.EDB", ""}}));
    EXPECT_EQ(dbnames(), "3\r\nE\r\nCLUB.EDB\r\n\r\nlists/IOTA.EDB\r\n\r\n");
}

TEST_F(Selection, EscapeSavesTooAndADirectoryKeepsItsSmallLetters) {
    auto run = open();
    run.replace(W::k_drive, "/media/cdrom").key(ui::Key::escape);
    EXPECT_FALSE(run.is_open());
    EXPECT_EQ(dbnames(), "0\r\n/media/cdrom\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(Selection, NoBoxTakesACommaOrAQuoteThatWouldShiftTheNamesAfterIt) {
    auto run = open();
    run.replace(W::k_first_name, "MY,CLUB\".EDB").replace(W::k_drive, "D,");
    EXPECT_EQ(run.text(W::k_first_name), "MYCLUB.EDB");
    EXPECT_EQ(run.text(W::k_drive), "D");
    EXPECT_EQ(m_host.beeps(), 3);
    run.key(ui::Key::escape);
    EXPECT_EQ(read_settings_text(dbnames()).names[0], "MYCLUB.EDB");
}

TEST_F(Selection, ADbnamesLstThatCannotBeWrittenIsTold) {
    std::filesystem::create_directories(m_dir.path() / "DBNAMES.LST" / "in the way");
    auto run = open();
    run.replace(W::k_first_name, "CLUB.EDB");
    m_host.expect_message("DBNAMES.LST could not be written: the callbook and the database names are kept "
                          "only until the program ends.");
    run.key(ui::Key::escape);
    EXPECT_EQ(m_settings.names[0], "CLUB.EDB");
}

TEST_F(Selection, SetUpDatabasesRunsTheDialogOverItsParent) {
    struct Owner final : ui::Window {
        ui::Form build() const override { return {}; }
        void on_command(ui::Context&, int, ui::Notify) override {}
    };
    auto owner = m_host.open(Owner{});
    m_host.on_modal([](ui::TestRun& run) { run.replace(W::k_first_name + 1, "CLUB.EDB").alt('x'); });
    select_callbook(owner.context(), m_settings, m_dir.path().string());
    EXPECT_EQ(m_settings.names[1], "CLUB.EDB");
    EXPECT_EQ(dbnames(), "0\r\nD\r\n\r\nCLUB.EDB\r\n\r\n\r\n");
}

} // namespace
} // namespace kestrel::databases
