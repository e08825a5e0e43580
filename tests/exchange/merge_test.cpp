#include "exchange/merge.hpp"

#include "common/fixed_text.hpp"
#include "logstore/crashing_file_system.hpp"
#include "logstore/file_lock.hpp"
#include "logstore/journal.hpp"
#include "logstore/log_store.hpp"
#include "tools_fixture.hpp"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrel::exchange::tools_testing {
namespace {

using Calls = std::vector<std::string>;

// Entries written "CALL@dd-mm-yy/hhmm".
std::vector<logstore::RecordBytes> entries(const Calls& texts) {
    std::vector<logstore::RecordBytes> out;
    for (const std::string& s : texts) {
        const auto at = s.find('@');
        const auto slash = s.find('/');
        out.push_back(contact(s.substr(at + 1, slash - at - 1), s.substr(slash + 1), s.substr(0, at)));
    }
    return out;
}

Calls calls(const std::vector<logstore::RecordBytes>& records) {
    Calls out;
    for (const auto& r : records)
        out.emplace_back(trim_trailing_spaces(logstore::call_field(r)));
    return out;
}

std::vector<bool> marks_of(std::string_view ones) {
    std::vector<bool> marks;
    for (char c : ones)
        marks.push_back(c == '1');
    return marks;
}

TEST(MergeEntries, MarkedEntriesGoInByDateAndTime) {
    const struct {
        const char* what;
        Calls extract;
        const char* marks;
        Calls merge_log;
        bool delete_moved;
        Calls output;
        Calls kept;
        int merged;
    } cases[] = {
        {"an extract log all before the merge log",
         {"E1@01-01-23/1200", "E2@02-01-23/1200"},
         "11",
         {"M1@01-01-24/1200"},
         false,
         {"E1", "E2", "M1"},
         {},
         2},
        {"the same date and time: the merge log's entry first",
         {"E1@01-01-24/1200"},
         "1",
         {"M1@01-01-24/1200", "M2@01-01-24/1201"},
         false,
         {"M1", "E1", "M2"},
         {},
         1},
        {"interleaved, with the unmarked left out",
         {"E1@01-01-24/0900", "E2@01-01-24/1100", "E3@01-01-24/1300"},
         "101",
         {"M1@01-01-24/1000", "M2@01-01-24/1200"},
         true,
         {"E1", "M1", "M2", "E3"},
         {"E2"},
         2},
        {"a minute before midnight and one after",
         {"E1@01-01-24/2359", "E2@02-01-24/0000"},
         "11",
         {"M1@02-01-24/0000"},
         false,
         {"E1", "M1", "E2"},
         {},
         2},
        {"nothing marked", {"E1@01-01-24/0900"}, "0", {"M1@01-01-24/1000"}, true, {"M1"}, {"E1"}, 0},
        {"an empty merge log", {"E1@01-01-24/0900", "E2@01-01-24/1000"}, "01", {}, true, {"E2"}, {"E1"}, 1},
        {"an empty extract log", {}, "", {"M1@01-01-24/1000"}, true, {"M1"}, {}, 0},
        {"entries past the marks count as unmarked",
         {"E1@01-01-24/0900", "E2@01-01-24/1000"},
         "1",
         {},
         true,
         {"E1"},
         {"E2"},
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        VectorSource extract(entries(c.extract));
        VectorSource merge_log(entries(c.merge_log));
        VectorSink output;
        VectorSink kept;
        const auto tally =
            merge_entries(extract, marks_of(c.marks), merge_log, output, c.delete_moved ? &kept : nullptr);
        ASSERT_TRUE(tally);
        EXPECT_EQ(calls(output.records), c.output);
        EXPECT_EQ(calls(kept.records), c.kept);
        EXPECT_EQ(tally->merged, c.merged);
        EXPECT_EQ(tally->written, static_cast<int>(c.output.size()));
        EXPECT_EQ(tally->kept, static_cast<int>(c.kept.size()));
    }
}

TEST(MergeEntries, AFullDiskStopsTheMerge) {
    VectorSource extract(entries({"E1@01-01-24/0900", "E2@01-01-24/1000"}));
    VectorSource merge_log(entries({"M1@01-01-24/0930"}));
    VectorSink output(2);
    const auto tally = merge_entries(extract, marks_of("11"), merge_log, output, nullptr);
    ASSERT_FALSE(tally);
    EXPECT_EQ(tally.error(), logstore::LogError::disk_full);
}

class MergeFiles : public ToolsTest {
  protected:
    MergeFiles() {
        write_log(file("EXTRACT.LOG"), entries({"E1@01-01-24/0900", "E2@01-01-24/1100", "E3@01-01-24/1300"}));
        write_log(file("MAIN.LOG"), entries({"M1@01-01-24/1000", "M2@01-01-24/1200"}));
    }
    MergeOutcome merge(const char* marks, bool delete_moved, const std::string& merge_log = "MAIN.LOG") {
        LogReader extract(m_files);
        if (!extract.open(file("EXTRACT.LOG"))) ADD_FAILURE() << "extract log not opened";
        return merge_log_files(m_files, extract, marks_of(marks), delete_moved, file(merge_log));
    }
};

TEST_F(MergeFiles, MovedEntriesLeaveTheExtractLogWhenAskedAndNothingElseIsLeft) {
    const MergeOutcome outcome = merge("101", true);
    EXPECT_EQ(outcome.end, MergeEnd::done);
    EXPECT_EQ(outcome.tally.merged, 2);
    EXPECT_EQ(calls_of("MAIN.LOG"), (Calls{"E1", "M1", "M2", "E3"}));
    EXPECT_EQ(calls_of("EXTRACT.LOG"), Calls{"E2"});
    EXPECT_EQ(files_in_dir(), (Calls{"EXTRACT.LOG", "MAIN.LOG"}));
}

TEST_F(MergeFiles, WithoutDeletingTheExtractLogIsNotTouched) {
    const std::string before = read_file(m_dir.path() / "EXTRACT.LOG");
    m_files.arm();
    EXPECT_EQ(merge("111", false).end, MergeEnd::done);
    EXPECT_EQ(read_file(m_dir.path() / "EXTRACT.LOG"), before);
    EXPECT_EQ(calls_of("MAIN.LOG"), (Calls{"E1", "M1", "E2", "M2", "E3"}));
    // One block written, synced and renamed: the records move in blocks, not one by one.
    EXPECT_EQ(m_files.change_log, (Calls{"pwrite", "fsync", "rename"}));
}

TEST_F(MergeFiles, BothLogsChangeTogetherOrNeitherDoes) {
    const std::string extract_before = read_file(m_dir.path() / "EXTRACT.LOG");
    const std::string main_before = read_file(m_dir.path() / "MAIN.LOG");
    // Every change the merge makes fails in turn: the two work logs, the journals, the renames.
    for (int failing = 1;; ++failing) {
        SCOPED_TRACE(failing);
        write_file(m_dir.path() / "EXTRACT.LOG", extract_before);
        write_file(m_dir.path() / "MAIN.LOG", main_before);
        m_files.arm();
        m_files.fail_change_number = failing;
        const MergeOutcome outcome = merge("101", true);
        m_files.fail_change_number = 0;
        if (outcome.end == MergeEnd::done) {
            ASSERT_LT(m_files.changes, failing) << "a failed step was reported as success";
            break;
        }
        // What the next open finds: a change that had been made is completed, else undone.
        ASSERT_TRUE(logstore::recover_log(m_files, file("MAIN.LOG")));
        if (read_file(m_dir.path() / "MAIN.LOG") == main_before) {
            EXPECT_EQ(read_file(m_dir.path() / "EXTRACT.LOG"), extract_before);
        } else {
            EXPECT_EQ(calls_of("MAIN.LOG"), (Calls{"E1", "M1", "M2", "E3"}));
            EXPECT_EQ(calls_of("EXTRACT.LOG"), Calls{"E2"});
        }
        EXPECT_EQ(files_in_dir(), (Calls{"EXTRACT.LOG", "MAIN.LOG"}));
    }
}

// The merge stopped dead after any number of bytes written or files renamed, as a kill or a
// crash would stop it: once either log is opened again, both are as they were before the merge
// or both as they are after it, and no work file or journal is left.
TEST_F(MergeFiles, AMergeStoppedAnywhereLeavesBothLogsBeforeOrAfter) {
    const std::string extract_before = read_file(m_dir.path() / "EXTRACT.LOG");
    const std::string main_before = read_file(m_dir.path() / "MAIN.LOG");
    const auto run = [&](std::int64_t steps) {
        write_file(m_dir.path() / "EXTRACT.LOG", extract_before);
        write_file(m_dir.path() / "MAIN.LOG", main_before);
        testing::CrashingFileSystem files(steps);
        LogReader extract(files);
        EXPECT_TRUE(extract.open(file("EXTRACT.LOG")));
        const MergeOutcome outcome = merge_log_files(files, extract, marks_of("101"), true, file("MAIN.LOG"));
        if (!files.crashed()) {
            EXPECT_EQ(outcome.end, MergeEnd::done);
        }
        return files.steps();
    };
    const std::int64_t total = run(testing::CrashingFileSystem::k_never);
    const std::string extract_after = read_file(m_dir.path() / "EXTRACT.LOG");
    const std::string main_after = read_file(m_dir.path() / "MAIN.LOG");
    int completed = 0;
    for (std::int64_t cut = 0; cut < total; ++cut) {
        SCOPED_TRACE(cut);
        run(cut);
        // Opening either log puts things right; which one is opened first does not matter.
        const std::string first = cut % 2 ? "MAIN.LOG" : "EXTRACT.LOG";
        const auto recovered = logstore::recover_log(m_files, file(first));
        ASSERT_TRUE(recovered);
        if (*recovered == logstore::Recovery::completed) ++completed;
        ASSERT_TRUE(logstore::recover_log(m_files, file("EXTRACT.LOG")));
        ASSERT_TRUE(logstore::recover_log(m_files, file("MAIN.LOG")));
        const bool before = read_file(m_dir.path() / "EXTRACT.LOG") == extract_before &&
                            read_file(m_dir.path() / "MAIN.LOG") == main_before;
        const bool after = read_file(m_dir.path() / "EXTRACT.LOG") == extract_after &&
                           read_file(m_dir.path() / "MAIN.LOG") == main_after;
        ASSERT_TRUE(before || after);
        // A stopped run leaves its work files for the next to take up, and nothing else.
        for (const std::string& name : files_in_dir())
            EXPECT_TRUE(name == "EXTRACT.LOG" || name == "MAIN.LOG" || name.ends_with(".NEW")) << name;
    }
    EXPECT_GT(completed, 0);
}

TEST_F(MergeFiles, LogsThatCannotBeRewrittenSafelyAreRefused) {
    const std::string main_before = read_file(m_dir.path() / "MAIN.LOG");
    write_file(m_dir.path() / "MAIN.LOG", main_before + "xyz"); // part of a record at the end
    MergeOutcome outcome = merge("111", false);
    EXPECT_EQ(outcome.end, MergeEnd::failed);
    EXPECT_EQ(outcome.error, logstore::LogError::partial_record);
    EXPECT_EQ(read_file(m_dir.path() / "MAIN.LOG"), main_before + "xyz");

    write_file(m_dir.path() / "MAIN.LOG", main_before);
    const std::string extract_before = read_file(m_dir.path() / "EXTRACT.LOG");
    write_file(m_dir.path() / "EXTRACT.LOG", extract_before + "xyz");
    outcome = merge("111", true);
    EXPECT_EQ(outcome.error, logstore::LogError::partial_record);
    EXPECT_EQ(read_file(m_dir.path() / "MAIN.LOG"), main_before);
    // Not deleting, the extract log is only read: its odd end does not matter.
    EXPECT_EQ(merge("111", false).end, MergeEnd::done);
    EXPECT_EQ(read_file(m_dir.path() / "EXTRACT.LOG"), extract_before + "xyz");
}

TEST_F(MergeFiles, MarksMadeForAnotherVersionOfTheExtractLogAreNotUsed) {
    LogReader extract(m_files);
    ASSERT_TRUE(extract.open(file("EXTRACT.LOG")));
    write_log(file("EXTRACT.LOG"),
              entries({"E1@01-01-24/0900", "E2@01-01-24/1100", "E3@01-01-24/1300", "E4@01-01-24/1400"}));
    const MergeOutcome outcome = merge_log_files(m_files, extract, marks_of("111"), true, file("MAIN.LOG"));
    EXPECT_EQ(outcome.end, MergeEnd::failed);
    EXPECT_EQ(outcome.error, logstore::LogError::changed_elsewhere);
    EXPECT_EQ(calls_of("EXTRACT.LOG").size(), 4u);
    EXPECT_EQ(calls_of("MAIN.LOG").size(), 2u);
}

TEST_F(MergeFiles, ALeftoverWorkFileIsUsedAgainAndAMissingMergeLogDoesNoHarm) {
    write_file(m_dir.path() / "NEWLOG.NEW", "old records of a merge that was stopped");
    const MergeOutcome outcome = merge("110", false, "newlog.log");
    EXPECT_EQ(outcome.end, MergeEnd::done);
    EXPECT_EQ(calls_of("newlog.log"), (Calls{"E1", "E2"}));
    EXPECT_EQ(files_in_dir(), (Calls{"EXTRACT.LOG", "MAIN.LOG", "newlog.log"}));
}

TEST_F(MergeFiles, AWorkNameInUseByAnotherRunIsLeftToIt) {
    const int held = ::open(file("MAIN.NEW").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(merge("111", false).end, MergeEnd::done);
    EXPECT_EQ(calls_of("MAIN.LOG"), (Calls{"E1", "M1", "E2", "M2", "E3"}));
    EXPECT_EQ(files_in_dir(), (Calls{"EXTRACT.LOG", "MAIN.LOG", "MAIN.NEW"}));
    ::close(held);
}

// A station directory from elsewhere with a link planted at the work name: the merge writes a
// work log of its own, the file the link led to is untouched, and the log stays a plain file.
TEST_F(MergeFiles, ALinkAtTheWorkNameIsNeverWrittenThrough) {
    kestrel::testing::TempDir outside;
    kestrel::testing::write_file(outside.file("victim.txt"), "outside");
    std::filesystem::create_symlink(outside.file("victim.txt"), file("MAIN.NEW"));
    EXPECT_EQ(merge("111", false).end, MergeEnd::done);
    EXPECT_EQ(calls_of("MAIN.LOG"), (Calls{"E1", "M1", "E2", "M2", "E3"}));
    EXPECT_EQ(read_file(outside.file("victim.txt")), "outside");
    EXPECT_FALSE(std::filesystem::is_symlink(file("MAIN.LOG")));
    EXPECT_EQ(files_in_dir(), (Calls{"EXTRACT.LOG", "MAIN.LOG"}));
}

// A log another Kestrel has open is neither read nor replaced here.
TEST_F(MergeFiles, ALogOpenInAnotherKestrelIsLeftToIt) {
    const pid_t other = ::fork();
    if (other == 0) {
        logstore::LogStore held;
        if (!held.open_log(file("MAIN.LOG"))) ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    while (!std::filesystem::exists(logstore::lock_path_of(file("MAIN.LOG"))))
        ::usleep(1000);
    const std::string before = read_file(m_dir.path() / "MAIN.LOG");
    const MergeOutcome outcome = merge("111", false);
    ::kill(other, SIGKILL);
    ::waitpid(other, nullptr, 0);
    EXPECT_EQ(outcome.end, MergeEnd::failed);
    EXPECT_EQ(outcome.error, logstore::LogError::in_use);
    EXPECT_EQ(read_file(m_dir.path() / "MAIN.LOG"), before);
}

TEST(WorkName, TheNewNameStandsBesideTheLog) {
    EXPECT_EQ(work_name_for("/logs/contest.log"), "/logs/CONTEST.NEW");
    EXPECT_EQ(work_name_for("MYLOG.LOG"), "MYLOG.NEW");
    EXPECT_EQ(work_name_for("/logs/my.log.log"), "/logs/MY.NEW.NEW");
    EXPECT_EQ(work_name_for("/logs/field-day"), "/logs/FIELD-DAY.NEW");
    EXPECT_EQ(work_name_for("/logs/FD.LOGBOOK"), "/logs/FD.NEWBOOK");
    // A name at the system's limit still gets a legal work name of its own.
    const std::string longest(255, 'Q');
    const std::string work = work_name_for("/logs/" + longest);
    EXPECT_EQ(work.size(), std::string("/logs/").size() + 255);
    EXPECT_TRUE(work.ends_with(".NEW"));
    EXPECT_NE(work, work_name_for("/logs/" + std::string(254, 'Q') + "R"));
}

} // namespace
} // namespace kestrel::exchange::tools_testing
