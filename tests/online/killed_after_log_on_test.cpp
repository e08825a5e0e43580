#include "online/online_fixture.hpp"

#include "logstore/record.hpp"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrel::online {
namespace {

// A program killed the moment Log On has returned still has that contact in its log: the record
// is on disk before the window takes the next key.
using testing::OnlineTest;

TEST_F(OnlineTest, AContactSurvivesAKillRightAfterLogOn) {
    open_log({});
    m_log.close_log();
    int pipe_ends[2];
    ASSERT_EQ(::pipe(pipe_ends), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The logging program: its own log store on the real file system.
        ::close(pipe_ends[0]);
        logstore::LogStore log;
        if (!log.open_log(log_path()) || !log.build_record_index()) ::_exit(2);
        OnlineState state;
        OnlineEnv env{log,
                      m_names,
                      m_countries,
                      m_chart,
                      m_station,
                      state,
                      nullptr,
                      "Kestrel v6.44",
                      m_dir.path().string() + "/",
                      1.0,
                      {},
                      {}};
        ui::TestHost host;
        host.set_now(m_host.now());
        auto run = host.open(OnlineWindow{env});
        run.type("G4KIL").key(ui::Key::enter).type("57").key(ui::Key::f1);
        const char logged = 'L';
        if (::write(pipe_ends[1], &logged, 1) != 1) ::_exit(3);
        for (;;)
            ::pause(); // the next key never comes
    }
    ::close(pipe_ends[1]);
    char logged = 0;
    ASSERT_EQ(::read(pipe_ends[0], &logged, 1), 1);
    ::close(pipe_ends[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    ASSERT_TRUE(m_log.open_log(log_path()));
    ASSERT_EQ(m_log.record_count(), 1);
    EXPECT_EQ(contact(1).call, "G4KIL       ");
    EXPECT_EQ(contact(1).rst_sent, "57     ");
    EXPECT_EQ(contact(1).time_on, 14 * 60 + 30);
}

} // namespace
} // namespace kestrel::online
