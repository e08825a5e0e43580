#include "databases/database_search_window.hpp"
#include "notepad/notepad_window.hpp"
#include "online/online_window.hpp"
#include "shell/main_window.hpp"
#include "shell/startup.hpp"
#include "shell_fixture.hpp"
#include "ui/context.hpp"

#include <filesystem>

namespace kestrel::shell::testing {
namespace {

using ui::Key;
using ui::TestRun;
using W = online::OnlineWindow;

// The on-line window's database button finds a member and copies the contact into the record;
// the notepad keeps two notes written in two openings.
TEST_F(ShellTest, DatabaseAndNotepadFromTheOnLineWindow) {
    write("DBNAMES.LST", "0\r\n\r\nCLUB.EDB\r\n\r\n\r\n\r\n");
    write("CLUB.EDB", "CALL        :NAME        :BAND    :DATE    :\r\n"
                      "G9AAA       :ALAN        :        :        :\r\n"
                      "G9ABC       :BETTY       :        :        :\r\n");
    write("COUNTRY.LST", "G,G,England,223,52,-1\r\n");
    m_host.on_modal([&](TestRun& main) { main.click(MainWindow::k_online).command(MainWindow::k_exit); });
    m_host.on_modal([&](TestRun& online) {
        ASSERT_TRUE(online.exists(W::k_first_database));
        EXPECT_EQ(online.text(W::k_first_database), "CLUB");
        m_host.on_modal([](TestRun& search) {
            search.type_into(databases::DatabaseSearchWindow::k_search, "G9ABC").key(Key::enter);
            EXPECT_EQ(search.text(databases::DatabaseSearchWindow::k_first_field + 1), "BETTY");
            search.key(Key::f1).key(Key::f12).key(Key::escape);
        });
        online.type("G9ABC").click(W::k_first_database);
        m_host.on_modal([](TestRun& pad) {
            pad.type("Sked with G9ABC at 1900").click(notepad::NotepadWindow::k_save).key(Key::escape);
        });
        online.click(W::k_notepad);
        m_host.on_modal([](TestRun& pad) {
            pad.type_into(notepad::NotepadWindow::k_text, "QSL via bureau")
                .click(notepad::NotepadWindow::k_save);
            pad.key(Key::escape);
        });
        online.click(W::k_notepad);
        online.key(Key::escape);
    });
    run_program(m_app, m_host);
    const std::string club = read("CLUB.EDB");
    EXPECT_NE(club.find("G9ABC       :BETTY       :1.8MHz  :07-12-26:"), std::string::npos) << club;
    const std::string notes = read("NOTEPAD.TXT");
    EXPECT_NE(notes.find("Sked with G9ABC at 1900"), std::string::npos) << notes;
    EXPECT_NE(notes.find("QSL via bureau"), std::string::npos) << notes;
}

} // namespace
} // namespace kestrel::shell::testing

namespace kestrel::shell::testing {
namespace {

// With the off-line callbook chosen, the on-line window's Callbook button looks up the call.
TEST_F(ShellTest, CallbookFromTheOnLineWindow) {
    write("DBNAMES.LST", "1\r\nFCC\r\n\r\n\r\n\r\n\r\n");
    std::filesystem::create_directory(file("FCC"));
    write("FCC/EN.dat",
          "EN|4001|||K1XYZ|L|L00000001||ANNA|B|SMITH||||anna@example.org|12 MAIN ST|BOSTON|MA|02101|||\r\n");
    write("COUNTRY.LST", "K,K,United States,291,38,-97\r\n");
    std::string name, call;
    m_host.on_modal([&](TestRun& main) { main.click(MainWindow::k_online).command(MainWindow::k_exit); });
    m_host.on_modal([&](TestRun& online) {
        m_host.on_modal([&](TestRun& book) {
            call = book.text(100);
            name = book.text(101);
            book.key(Key::escape);
        });
        online.type("K1XYZ").click(W::k_callbook);
        online.key(Key::escape);
    });
    run_program(m_app, m_host);
    EXPECT_NE(call.find("K1XYZ"), std::string::npos) << call;
    EXPECT_NE(name.find("SMITH"), std::string::npos) << name;
}

} // namespace
} // namespace kestrel::shell::testing
