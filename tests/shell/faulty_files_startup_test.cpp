// A side file spoilt from end to end (another program's output, a bad copy) must not keep the
// operator pressing Return at start-up: each file is told of in one box at most, and the main
// window comes up after it.
#include "keyer/morse_table.hpp"
#include "shell/main_window.hpp"
#include "shell/startup.hpp"
#include "shell_fixture.hpp"
#include "support/fake_devices.hpp"

#include <random>

namespace kestrel::shell::testing {
namespace {

using ui::TestRun;

class FaultyFilesStartUp : public ShellTest {
  protected:
    // Runs the program to its main window and out again; true when the main window came up.
    bool run_to_main_window(Application& app, ui::TestHost& host) {
        bool shown = false;
        host.on_modal([&](TestRun& main) {
            shown = true;
            main.command(MainWindow::k_exit);
        });
        run_program(app, host);
        return shown;
    }
};

TEST_F(FaultyFilesStartUp, AMorseTableOfThousandsOfFaultyLinesIsToldInOneBox) {
    write("COUNTRY.LST", "");
    std::string morse = "65,.-\r\n"; // about 100 KB, every line after the first faulty
    int faulty = 0;
    while (morse.size() < 100 * 1024) {
        morse += faulty % 3 == 0 ? "999,.-\r\n" : "66,-...-.-.-.\r\n";
        ++faulty;
    }
    write(keyer::k_morse_file, morse);
    m_host.expect_message("Faulty ASCII code on line 2\r\n" + std::to_string(faulty) +
                          " lines of DMORSE.CDE are faulty: a code outside 0-255 is read as code 0, a "
                          "pattern of more than 7 elements is cut to 7.");
    EXPECT_TRUE(run_to_main_window(m_app, m_host));
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].title, "");
    EXPECT_TRUE(m_app.morse.has_code('A')) << "the good line is kept";
    EXPECT_TRUE(m_host.surprises().empty());
}

// Every file read at start-up, in turn full of random lines; the box each may give is its own
// business, but there is one at most (a second one finds no answer and fails the test).
TEST_F(FaultyFilesStartUp, EveryFileReadAtStartUpFullOfGarbageGivesOneBoxAtMost) {
    const char* const files[] = {"COUNTRY.LST", "RIG.LST",    "DBNAMES.LST", "DXCC.CHT",
                                 "GARBAGE.RIG", "CWTEXT.TXT", "DMORSE.CDE",  "DIGITAL.LST"};
    std::mt19937 random(4417);
    const std::string alphabet = "0123456789,,,\"-. ABCZ:;\r\n\r\n";
    for (const char* name : files) {
        std::string garbage(100 * 1024, ' ');
        for (char& c : garbage)
            c = random() % 8 == 0 ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];

        kestrel::testing::TempDir dir;
        kestrel::testing::ScopedCurrentDir cwd(dir.path());
        if (std::string(name) != "COUNTRY.LST") kestrel::testing::write_file(dir.path() / "COUNTRY.LST", "");
        kestrel::testing::write_file(dir.path() / name, garbage);
        ui::TestHost host;
        host.answer(ui::Answer::ok);
        Application app;
        app.devices = std::make_unique<kestrel::testing::FakeDevices>();
        EXPECT_TRUE(run_to_main_window(app, host)) << name;
        EXPECT_LE(host.messages().size(), 1u) << name;
        EXPECT_TRUE(host.surprises().empty()) << name;
    }
}

} // namespace
} // namespace kestrel::shell::testing
