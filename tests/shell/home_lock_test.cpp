// One Kestrel per data directory, what killed runs left behind cleared at start, and a log named
// by mistake never repaired.

#include "shell/home_lock.hpp"

#include "logstore/file_lock.hpp"
#include "logstore/journal.hpp"
#include "shell/main_window.hpp"
#include "shell/startup.hpp"
#include "shell_fixture.hpp"
#include "support/temp_dir.hpp"

#include <csignal>
#include <filesystem>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrel::shell::testing {
namespace {

namespace fs = std::filesystem;
using ui::TestRun;

// Another process that holds a lock of its own on `path` (the directory's lock file or a work
// log) until the object goes.
class OtherProcess {
  public:
    enum class Holds { directory_lock, flock };
    OtherProcess(Holds what, const std::string& path) {
        int ready[2];
        EXPECT_EQ(::pipe(ready), 0);
        m_pid = ::fork();
        if (m_pid == 0) {
            bool held = false;
            if (what == Holds::directory_lock) {
                static auto lock = logstore::FileLock::take(path);
                held = lock.ok();
            } else {
                const int fd = ::open(path.c_str(), O_RDWR);
                held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
            }
            (void)!::write(ready[1], held ? "y" : "n", 1);
            ::pause();
            ::_exit(0);
        }
        char answer = 0;
        EXPECT_EQ(::read(ready[0], &answer, 1), 1);
        EXPECT_EQ(answer, 'y');
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~OtherProcess() {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    long pid() const { return m_pid; }

  private:
    pid_t m_pid = -1;
};

class HomeLock : public ShellTest {};

TEST_F(HomeLock, ASecondKestrelInTheSameDirectorySaysSoAndMayLeaveOrGoOn) {
    write("COUNTRY.LST", "");
    write("MYLOG.LOG", log_of(3));
    const OtherProcess first(OtherProcess::Holds::directory_lock, home_lock_path(m_dir.path().string()));
    const std::string question =
        "Another Kestrel (process " + std::to_string(first.pid()) +
        ") is already working in the data directory " + m_dir.path().string() +
        ".\r\n\r\nTwo at once would write over each other's settings and DXCC chart, "
        "and a log open in one cannot be opened in the other.\r\n\r\nLeave this one?";

    // Enter leaves, and nothing is read or written then.
    m_host.answer_enter();
    run_program(m_app, m_host);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].text, question);
    EXPECT_EQ(m_host.messages()[0].default_answer, ui::Answer::yes);
    EXPECT_EQ(m_host.messages()[0].buttons, ui::Buttons::yes_no);
    EXPECT_FALSE(m_app.log.is_open());
    EXPECT_FALSE(fs::exists(file("CURLOG.DTA")));
    EXPECT_FALSE(fs::exists(file("DXCC.CHT")));

    // Going on beside it: the log opens, as nothing else holds it.
    ui::TestHost host;
    Application app;
    host.answer(ui::Answer::no);
    int records = -1;
    host.on_modal([&](TestRun& main) {
        records = app.log.record_count();
        main.command(MainWindow::k_exit);
    });
    run_program(app, host);
    EXPECT_EQ(records, 3);
    EXPECT_EQ(host.message_texts(), std::vector<std::string>{question});
}

TEST_F(HomeLock, WorkFilesOfKilledRunsAreClearedAndNothingElse) {
    kestrel::testing::TempDir outside_dir;
    const std::string outside = outside_dir.file("victim.txt");
    kestrel::testing::write_file(outside, "outside");
    const std::string three = log_of(3);
    write("MYLOG.LOG", three);
    write("MYLOG.NEW", three);   // a merge killed before its rename
    write("EXT.NEW", log_of(1)); // an extract into a new log, killed
    write("IMP.LOG.kestrel-tmp", "half an import");
    write("CURLOG.DTA.new", "HOME.LOG");
    write(".COUNTRY.LST.part", "half a copy");
    write("notes.new", "the operator's own");     // not a name of ours: lower case
    write("README.NEW", "odd length, not a log"); // not whole records
    write("HELD.NEW", three);                     // another run is writing it
    write("MAIN.NEW", three);                     // a begun merge still needs it
    write("MAIN.LOG", three);
    fs::create_symlink(outside, file("EVIL.NEW"));
    fs::create_directory(file("DIR.NEW"));
    const std::string renames = std::string("\x01\0\0\0", 4) + std::string(16, '\0') +
                                std::string("\x08\0\0\0", 4) + "MAIN.NEW" + std::string("\x08\0\0\0", 4) +
                                "MAIN.LOG";
    write("MAIN.LOG.JNL", logstore::journal_file_bytes(2, renames));
    const OtherProcess writer(OtherProcess::Holds::flock, file("HELD.NEW"));

    EXPECT_EQ(remove_stale_work_files(m_dir.path().string()),
              (std::vector<std::string>{".COUNTRY.LST.part", "CURLOG.DTA.new", "EVIL.NEW", "EXT.NEW",
                                        "IMP.LOG.kestrel-tmp", "MYLOG.NEW"}));
    for (const char* kept :
         {"notes.new", "README.NEW", "HELD.NEW", "MAIN.NEW", "MAIN.LOG.JNL", "DIR.NEW", "MYLOG.LOG"})
        EXPECT_TRUE(fs::exists(file(kept))) << kept;
    EXPECT_EQ(kestrel::testing::read_file(outside), "outside");
}

TEST_F(HomeLock, OnlyTheKestrelThatHoldsTheDirectoryClearsIt) {
    write("COUNTRY.LST", "");
    write("MYLOG.NEW", log_of(2));
    {
        const OtherProcess first(OtherProcess::Holds::directory_lock, home_lock_path(m_dir.path().string()));
        m_host.answer(ui::Answer::no); // go on beside the other
        m_host.on_modal([](TestRun& main) { main.command(MainWindow::k_exit); });
        run_program(m_app, m_host);
        EXPECT_TRUE(fs::exists(file("MYLOG.NEW"))) << "it may be the other's";
    }
    ui::TestHost host;
    Application app;
    host.on_modal([](TestRun& main) { main.command(MainWindow::k_exit); });
    run_program(app, host);
    EXPECT_FALSE(fs::exists(file("MYLOG.NEW")));
}

// CURLOG.DTA from elsewhere naming a file that is not a log: it is shown read-only with a word,
// never offered for repair, and keeps every byte.
TEST_F(HomeLock, ALogNamedByMistakeIsNeverRepaired) {
    kestrel::testing::TempDir outside_dir;
    const std::string victim = outside_dir.file("victim.txt");
    const std::string diary = std::string(300, 'x') + "Dear diary";
    kestrel::testing::write_file(victim, diary);
    write("COUNTRY.LST", "");
    write("CURLOG.DTA", victim + "\r\n");
    m_host.expect_message(victim +
                          " does not look like a log: its first entries hold no dates, times or calls a log "
                          "holds, or it is shorter than one entry. Kestrel shows it as it is and changes "
                          "nothing in it; open another log with Files/Open.");
    bool read_only = false;
    m_host.on_modal([&](TestRun& main) {
        read_only = m_app.log.read_only();
        main.command(MainWindow::k_exit);
    });
    run_program(m_app, m_host);
    EXPECT_TRUE(read_only);
    EXPECT_EQ(m_host.messages().size(), 1u) << "no question about its last bytes";
    EXPECT_EQ(kestrel::testing::read_file(victim), diary);
    EXPECT_FALSE(fs::exists(victim + ".PART"));
}

} // namespace
} // namespace kestrel::shell::testing
