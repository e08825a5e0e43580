// A log is kept by one program at a time, and a station directory from elsewhere may hold files
// that must never reach beyond it: journals that name other files, links, named pipes, a file
// that is not a log at all.

#include "common/file_names.hpp"
#include "logstore/file_lock.hpp"
#include "logstore/journal.hpp"
#include "logstore/log_store.hpp"

#include "crashing_file_system.hpp"
#include "test_log.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrel::logstore {
namespace {

namespace fs = std::filesystem;
using testing::qso;
using testing::read_file;
using testing::TempDir;
using testing::write_file;
using testing::write_log;

std::vector<RecordBytes> six_contacts() {
    std::vector<RecordBytes> records;
    for (int day = 10; day < 16; ++day)
        records.push_back(qso(std::to_string(day) + "-01-24", "1200", "CALL" + std::to_string(day)));
    return records;
}

// What a second process gets when it opens the log: runs `open` in a child and returns its exit
// code (0 when the open was refused as in use, 1 when it succeeded, 2 on any other failure).
int open_in_other_process(const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        LogStore other;
        const LogStatus opened = other.open_log(path);
        ::_exit(opened ? 1 : opened.error() == LogError::in_use ? 0 : 2);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(LogLock, ASecondProgramIsKeptOutUntilTheFirstClosesTheLog) {
    TempDir dir;
    write_log(dir.file("L.LOG"), six_contacts());
    LogStore first;
    ASSERT_TRUE(first.open_log(dir.file("L.LOG")));
    EXPECT_EQ(open_in_other_process(dir.file("L.LOG")), 0) << "refused while open here";
    // By another name for the same file, too.
    fs::create_symlink(dir.file("L.LOG"), dir.file("LINK.LOG"));
    EXPECT_EQ(open_in_other_process(dir.file("LINK.LOG")), 0);

    // Within this program the log is shared: a reader of the log in use opens it.
    LogStore reader;
    EXPECT_TRUE(reader.open_log(dir.file("L.LOG")));
    reader.close_log();
    EXPECT_EQ(open_in_other_process(dir.file("L.LOG")), 0) << "still held by the first";

    first.close_log();
    EXPECT_FALSE(fs::exists(lock_path_of(dir.file("L.LOG")))) << "the lock file goes with the lock";
    EXPECT_EQ(open_in_other_process(dir.file("L.LOG")), 1);
}

TEST(LogLock, ALockLeftByAKilledProgramHoldsNobody) {
    TempDir dir;
    write_log(dir.file("L.LOG"), six_contacts());
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        LogStore held;
        const bool opened = held.open_log(dir.file("L.LOG")).ok();
        (void)!::write(ready[1], opened ? "y" : "n", 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    EXPECT_EQ(FileLock::holder_of(lock_path_of(dir.file("L.LOG"))), holder);
    LogStore refused;
    EXPECT_EQ(refused.open_log(dir.file("L.LOG")), LogError::in_use);

    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_TRUE(fs::exists(lock_path_of(dir.file("L.LOG"))));
    LogStore after;
    EXPECT_TRUE(after.open_log(dir.file("L.LOG")));
    EXPECT_EQ(after.record_count(), 6);
}

// Leaves L.LOG part way through a change that has just begun moving records: the journal stands.
std::string interrupt_a_change(const TempDir& dir) {
    const auto insert = [&](std::int64_t steps) {
        write_log(dir.file("L.LOG"), six_contacts());
        testing::CrashingFileSystem files(steps);
        LogStore log(files);
        EXPECT_TRUE(log.open_log(dir.file("L.LOG")));
        (void)log.insert_record_in_order(qso("11-01-24", "0000", "NEW"), "NEW");
        return files.steps();
    };
    // Stopped among the last bytes the change writes to the log, before its journal goes.
    insert(insert(testing::CrashingFileSystem::k_never) - 50);
    EXPECT_TRUE(fs::exists(dir.file("L.LOG.JNL")));
    return read_file(dir.file("L.LOG.JNL"));
}

// A log put in the place of one with an interrupted change, by a program that did not first put
// it right, is never mended with the journal of the file it replaced: whatever its length and
// bytes, it opens as it is, and the operator is told of the journal kept aside.
TEST(ForeignJournal, AReplacedLogNeverTakesTheJournalOfTheOneBefore) {
    const std::vector<RecordBytes> seven = [] {
        auto records = six_contacts();
        records.push_back(qso("16-01-24", "1200", "CALL16"));
        return records;
    }();
    std::vector<RecordBytes> other_first = seven;
    other_first[0] = qso("09-01-24", "0900", "OTHER");
    const struct {
        const char* name;
        std::vector<RecordBytes> records;
    } replacements[] = {
        {"the same records one longer, as the change would have made them", seven},
        {"the length of the change, another first record", other_first},
        {"much longer", std::vector<RecordBytes>(40, qso("01-02-24", "0000", "MANY"))},
        {"empty", {}},
    };
    for (const auto& r : replacements) {
        SCOPED_TRACE(r.name);
        TempDir dir;
        (void)interrupt_a_change(dir);
        write_log(dir.file("NEW.TMP"), r.records);
        fs::rename(dir.file("NEW.TMP"), dir.file("L.LOG"));
        const std::string replaced = read_file(dir.file("L.LOG"));
        LogStore opened;
        ASSERT_TRUE(opened.open_log(dir.file("L.LOG")));
        EXPECT_EQ(read_file(dir.file("L.LOG")), replaced);
        EXPECT_EQ(opened.recovery(), Recovery::set_aside);
        EXPECT_FALSE(fs::exists(dir.file("L.LOG.JNL")));
        EXPECT_TRUE(fs::exists(dir.file("L.LOG.JNL.BAD")));
        EXPECT_NE(recovery_text(Recovery::set_aside, dir.file("L.LOG")).find("L.LOG.JNL.BAD"),
                  std::string::npos);
    }
}

// The log moved with its journal to another folder on the same disk (a station directory
// renamed after a crash) is still put right: it is the same file.
TEST(ForeignJournal, ALogMovedWithItsJournalIsStillPutRight) {
    TempDir dir;
    (void)interrupt_a_change(dir);
    TempDir moved;
    fs::rename(dir.file("L.LOG"), moved.file("L.LOG"));
    fs::rename(dir.file("L.LOG.JNL"), moved.file("L.LOG.JNL"));
    LogStore opened;
    ASSERT_TRUE(opened.open_log(moved.file("L.LOG")));
    EXPECT_EQ(opened.recovery(), Recovery::undone);
    EXPECT_EQ(read_file(moved.file("L.LOG")), testing::bytes_of(six_contacts()));
}

// Entries crafted by hand, in a journal file whole and checksummed as the program writes one: it
// can carry any names, and these must never be touched.
std::string crafted_journal(std::uint32_t kind, const std::string& entry) {
    return journal_file_bytes(kind, entry);
}

std::string u32(std::uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
    return s;
}
std::string u64(std::uint64_t v) {
    return u32(static_cast<std::uint32_t>(v)) + u32(static_cast<std::uint32_t>(v >> 32));
}
std::string text(const std::string& t) {
    return u32(static_cast<std::uint32_t>(t.size())) + t;
}

TEST(ForeignJournal, AJournalNamingAFileElsewhereIsKeptAsideAndNothingIsRemoved) {
    TempDir dir;
    TempDir outside;
    write_file(outside.file("victim.txt"), "not the log's");
    write_file(dir.file("OTHER.TXT"), "beside the log, but not its own");
    const std::string log = testing::bytes_of(six_contacts());
    const std::int64_t length = static_cast<std::int64_t>(log.size());
    // An undo journal of the old kind that would write nothing and cut nothing, and remove the
    // file it names once done.
    const auto undo_naming = [&](const std::string& created) {
        return u64(static_cast<std::uint64_t>(length)) + u64(static_cast<std::uint64_t>(length)) + u64(0) +
               text(created);
    };
    struct stat st {};
    ::stat(outside.file("victim.txt").c_str(), &st);
    const auto renames_naming = [&](const std::string& from, const std::string& to) {
        return u32(1) + u64(static_cast<std::uint64_t>(st.st_dev)) +
               u64(static_cast<std::uint64_t>(st.st_ino)) + text(from) + text(to);
    };
    const struct {
        const char* name;
        std::uint32_t kind;
        std::string entry;
    } journals[] = {
        {"removes a file outside", 1, undo_naming(outside.file("victim.txt"))},
        {"removes a file beside the log", 1, undo_naming(dir.file("OTHER.TXT"))},
        {"climbs out by ..", 1,
         undo_naming(dir.file("../" + outside.path().filename().string() + "/victim.txt"))},
        {"renames a file outside over the log", 2,
         renames_naming(outside.file("victim.txt"), dir.file("L.LOG"))},
        {"renames the log's work file elsewhere", 2,
         renames_naming(dir.file("L.NEW"), outside.file("victim.txt"))},
    };
    for (const auto& j : journals) {
        SCOPED_TRACE(j.name);
        write_file(dir.file("L.LOG"), log);
        write_file(dir.file("L.NEW"), "work");
        write_file(dir.file("L.LOG.JNL"), crafted_journal(j.kind, j.entry));
        LogStore opened;
        ASSERT_TRUE(opened.open_log(dir.file("L.LOG")));
        EXPECT_EQ(opened.recovery(), Recovery::set_aside);
        opened.close_log();
        EXPECT_EQ(read_file(outside.file("victim.txt")), "not the log's");
        EXPECT_EQ(read_file(dir.file("OTHER.TXT")), "beside the log, but not its own");
        EXPECT_EQ(read_file(dir.file("L.LOG")), log);
        EXPECT_FALSE(fs::exists(dir.file("L.LOG.JNL")));
    }
}

TEST(ForeignJournal, ANamedPipeOrALinkAsTheJournalIsNeitherWaitedOnNorWrittenThrough) {
    TempDir dir;
    TempDir outside;
    write_file(outside.file("victim.txt"), "not the log's");
    const std::string log = testing::bytes_of(six_contacts());

    write_file(dir.file("L.LOG"), log);
    ASSERT_EQ(::mkfifo(dir.file("L.LOG.JNL").c_str(), 0644), 0);
    {
        // Without O_NONBLOCK this open would wait for a writer for ever.
        LogStore opened;
        ASSERT_TRUE(opened.open_log(dir.file("L.LOG")));
        EXPECT_EQ(opened.recovery(), Recovery::set_aside);
    }

    fs::remove(dir.file("L.LOG.JNL.BAD"));
    fs::create_symlink(outside.file("victim.txt"), dir.file("L.LOG.JNL"));
    LogStore opened;
    ASSERT_TRUE(opened.open_log(dir.file("L.LOG")));
    ASSERT_TRUE(opened.append_record(qso("20-01-24", "1200", "NEW"), "NEW"));
    EXPECT_EQ(read_file(outside.file("victim.txt")), "not the log's");
    EXPECT_EQ(opened.record_count(), 7);
    EXPECT_FALSE(fs::exists(dir.file("L.LOG.JNL")));

    // A named pipe where the log belongs is refused at once.
    ASSERT_EQ(::mkfifo(dir.file("PIPE.LOG").c_str(), 0644), 0);
    LogStore pipe;
    EXPECT_EQ(pipe.open_log(dir.file("PIPE.LOG")), LogError::not_a_file);
}

// A file named as the log by mistake (a CURLOG.DTA from elsewhere) is shown read-only, never
// changed or offered for repair; a log of the program's own records, odd ones among them, is not.
TEST(NotALog, AFileThatIsNotALogIsOpenedReadOnly) {
    const RecordBytes note = TextRecord{day_number_of("12-01-24"), 600, "a note"}.encode();
    RecordBytes bad_time = qso("12-01-24", "1200", "X");
    bad_time[record_layout::time] = 0xFF; // minute 32767
    bad_time[record_layout::time + 1] = 0x7F;
    RecordBytes bad_date = qso("12-01-24", "1200", "X");
    bad_date[record_layout::date] = 0; // a day 0 of month 0
    bad_date[record_layout::date + 1] = 0;
    RecordBytes control = qso("12-01-24", "1200", "X");
    control[record_layout::call + 1] = 0x07;
    const auto bytes = [](const std::vector<RecordBytes>& records) { return testing::bytes_of(records); };
    const struct {
        const char* name;
        std::string file;
        bool is_log;
    } cases[] = {
        {"a log", bytes(six_contacts()), true},
        {"an empty log", "", true},
        {"a log with a note and a partial record", bytes({note, six_contacts()[0]}) + "half", true},
        {"a diary", std::string(400, 'x') + "Dear diary, today I worked nobody.\n", false},
        {"less than one record", "short", false},
        {"an impossible time", bytes({six_contacts()[0], bad_time}), false},
        {"an impossible date", bytes({bad_date}), false},
        {"a bell in the call", bytes({control}), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        write_file(dir.file("victim.txt"), c.file);
        LogStore log;
        ASSERT_TRUE(log.open_log(dir.file("victim.txt")));
        EXPECT_EQ(log.looks_like_log(), c.is_log);
        EXPECT_EQ(log.read_only(), !c.is_log);
        if (!c.is_log) {
            if (log.trailing_bytes() > 0) {
                EXPECT_EQ(log.set_aside_partial_record(dir.file("victim.txt.PART")), LogError::read_only);
            }
            EXPECT_EQ(log.append_record(six_contacts()[0], "CALL10"), LogError::read_only);
            EXPECT_EQ(read_file(dir.file("victim.txt")), c.file);
            // Chosen on purpose as a new log, it is emptied all the same.
            EXPECT_TRUE(log.create_log(dir.file("victim.txt")));
            EXPECT_EQ(read_file(dir.file("victim.txt")), "");
        }
    }
}

} // namespace
} // namespace kestrel::logstore
