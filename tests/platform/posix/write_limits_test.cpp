// A log that reaches the system's file-size limit is told like a full disk and loses nothing;
// the process goes on. Run in a child process, whose limit the test may lower.

#include "logstore/log_store.hpp"
#include "logstore/test_log.hpp"
#include "platform/posix/process.hpp"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrel::platform::posix {
namespace {

using kestrel::testing::qso;

// What the child saw, as its exit code.
enum Outcome { as_expected = 0, not_refused = 1, wrong_error = 2, records_lost = 3, no_log = 4 };

int append_past_the_limit(const std::string& path) {
    keep_running_on_write_limits();
    const rlimit limit{10 * 84, 10 * 84};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return no_log;
    logstore::LogStore log;
    if (!log.open_log(path)) return no_log;
    for (int i = 0; i < 10; ++i)
        if (!log.append_record(qso("01-01-24", "1000", "G4A" + std::to_string(i)), "G4A")) return no_log;
    const logstore::LogStatus past = log.append_record(qso("01-01-24", "1100", "G4XYZ"), "G4XYZ");
    if (past) return not_refused;
    if (past.error() != logstore::LogError::disk_full) return wrong_error;
    if (log.record_count() != 10) return records_lost;
    return as_expected;
}

TEST(WriteLimits, AFileSizeLimitIsToldLikeAFullDiskAndTheProgramGoesOn) {
    kestrel::testing::TempDir dir;
    const std::string path = dir.file("MYLOG.LOG");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(append_past_the_limit(path));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child was killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), as_expected);
    EXPECT_EQ(kestrel::testing::calls_in(path).size(), 10u) << "the ten entries are all there";
}

} // namespace
} // namespace kestrel::platform::posix
