#include "common/file_names.hpp"
#include "logstore/journal.hpp"
#include "logstore/log_store.hpp"

#include "crashing_file_system.hpp"
#include "faulty_file_system.hpp"
#include "test_log.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

namespace kestrel::logstore {
namespace {

using testing::CrashingFileSystem;
using testing::qso;
using testing::read_file;
using testing::TempDir;
using testing::write_log;

using Files = std::map<std::string, std::string>;

// Every file in the directory, by name, with its bytes.
Files files_in(const TempDir& dir) {
    Files files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        files[entry.path().filename().string()] = read_file(entry.path().string());
    return files;
}

struct Change {
    const char* name;
    std::function<LogStatus(LogStore&)> run;
    std::string trailing = {}; // bytes after the last whole record of the log changed
};

const Change k_changes[] = {
    {"insert first",
     [](LogStore& log) { return log.insert_record_in_order(qso("01-01-24", "0000", "NEW"), "NEW"); }},
    {"insert among",
     [](LogStore& log) { return log.insert_record_in_order(qso("13-01-24", "0000", "NEW"), "NEW"); }},
    {"append", [](LogStore& log) { return log.append_record(qso("01-02-24", "0000", "NEW"), "NEW"); }},
    {"delete first", [](LogStore& log) { return log.delete_record(1); }},
    {"delete several",
     [](LogStore& log) {
         return log.delete_records({5, 2});
     }},
    {"replace forward",
     [](LogStore& log) { return log.replace_record(1, qso("14-01-24", "1300", "NEW"), "NEW"); }},
    {"replace backward",
     [](LogStore& log) { return log.replace_record(6, qso("09-01-24", "0000", "NEW"), "NEW"); }},
    {"rewrite a call", [](LogStore& log) { return log.write_record(3, qso("12-01-24", "1200", "G4NEW")); }},
    {"truncate", [](LogStore& log) { return log.truncate_log(2); }},
    {"set aside a partial record",
     [](LogStore& log) { return log.set_aside_partial_record(log.path() + ".PART"); }, "half a record"},
};

// A log of six contacts, 10-01-24 to 15-01-24, and the change's trailing bytes.
void make_log(const TempDir& dir, const Change& change) {
    std::vector<RecordBytes> records;
    for (int day = 10; day < 16; ++day)
        records.push_back(qso(std::to_string(day) + "-01-24", "1200", "CALL" + std::to_string(day)));
    write_log(dir.file("L.LOG"), records, change.trailing);
}

// Runs the change on a file system that stops dead after `steps` steps; returns whether it
// stopped before the change was complete.
bool run_until(const TempDir& dir, const Change& change, std::int64_t steps, std::int64_t* taken = nullptr) {
    CrashingFileSystem files(steps);
    LogStore log(files);
    EXPECT_TRUE(log.open_log(dir.file("L.LOG")));
    EXPECT_TRUE(log.build_record_index());
    const LogStatus status = change.run(log);
    if (taken) *taken = files.steps();
    EXPECT_EQ(status.ok(), !files.crashed()) << change.name;
    return files.crashed();
}

// A change stopped after any number of bytes, as a kill, a crash or a write torn part way
// leaves it, gives the log before it or the log after it once the log is opened again, and the
// operator is told when an unfinished change was undone.
TEST(TornWrites, AChangeStoppedAtAnyByteLeavesTheLogBeforeOrAfterIt) {
    for (const Change& change : k_changes) {
        TempDir whole;
        make_log(whole, change);
        const Files before = files_in(whole);
        std::int64_t total = 0;
        ASSERT_FALSE(run_until(whole, change, CrashingFileSystem::k_never, &total));
        const Files after = files_in(whole);
        ASSERT_NE(before, after) << change.name;

        int undone = 0;
        for (std::int64_t cut = 0; cut < total; ++cut) {
            TempDir dir;
            make_log(dir, change);
            ASSERT_TRUE(run_until(dir, change, cut)) << change.name << " at " << cut;
            LogStore reopened;
            ASSERT_TRUE(reopened.open_log(dir.file("L.LOG")));
            if (reopened.recovery() == Recovery::undone) ++undone;
            reopened.close_log();
            const Files seen = files_in(dir);
            ASSERT_TRUE(seen == before || seen == after)
                << change.name << ": stopped after " << cut << " of " << total << " steps";
        }
        EXPECT_GT(undone, 0) << change.name;
    }
}

// A log put in the place of one whose change was stopped anywhere (an import or a copy of
// another file of that name) opens exactly as it was put there: the journal the stopped change
// left is never applied to it. The new log is the one the change would have made, the nearest
// a file of another origin can come to the old one.
TEST(TornWrites, ALogReplacedAfterAChangeStoppedAnywhereIsExactlyTheNewLog) {
    for (const Change& change : k_changes) {
        TempDir whole;
        make_log(whole, change);
        std::int64_t total = 0;
        ASSERT_FALSE(run_until(whole, change, CrashingFileSystem::k_never, &total));
        const std::string replacement = read_file(whole.file("L.LOG"));
        // Every 13th step: the journal's bytes, the log's and the removal all are met.
        for (std::int64_t cut = 0; cut < total; cut += 13) {
            TempDir dir;
            make_log(dir, change);
            ASSERT_TRUE(run_until(dir, change, cut));
            testing::write_file(dir.file("NEW.TMP"), replacement);
            std::filesystem::rename(dir.file("NEW.TMP"), dir.file("L.LOG"));
            LogStore reopened;
            ASSERT_TRUE(reopened.open_log(dir.file("L.LOG")));
            ASSERT_EQ(read_file(dir.file("L.LOG")), replacement)
                << change.name << ": stopped after " << cut << " of " << total << " steps";
            EXPECT_FALSE(std::filesystem::exists(dir.file("L.LOG.JNL")));
        }
    }
}

TEST(Journal, AJournalNotWholeIsSetAsideAndTheLogLeftAlone) {
    TempDir dir;
    make_log(dir, k_changes[0]);
    const std::string log = read_file(dir.file("L.LOG"));
    for (const std::string& journal : {std::string(), std::string("KJNL"), std::string(200, '\0'),
                                       std::string("KJNL\x01\0\0\0\x10\0\0\0\0\0\0\0", 16) + "short"}) {
        testing::write_file(dir.file("L.LOG.JNL"), journal);
        LogStore opened;
        ASSERT_TRUE(opened.open_log(dir.file("L.LOG")));
        EXPECT_EQ(opened.recovery(), Recovery::none);
        EXPECT_EQ(read_file(dir.file("L.LOG")), log);
        EXPECT_FALSE(std::filesystem::exists(dir.file("L.LOG.JNL")));
    }
}

TEST(Journal, AnInterruptedChangeToALogThatCannotBeWrittenIsKeptForLater) {
    TempDir dir;
    make_log(dir, k_changes[0]);
    const std::string log = read_file(dir.file("L.LOG"));
    std::int64_t total = 0;
    {
        TempDir whole;
        make_log(whole, k_changes[0]);
        ASSERT_FALSE(run_until(whole, k_changes[0], CrashingFileSystem::k_never, &total));
    }
    ASSERT_TRUE(run_until(dir, k_changes[0], total - 100)); // while the records move
    const std::string interrupted = read_file(dir.file("L.LOG"));
    ASSERT_NE(interrupted, log);
    const std::string journal = read_file(dir.file("L.LOG.JNL"));

    testing::FaultyFileSystem read_only;
    read_only.refuse_writable_open = true;
    LogStore blocked(read_only);
    EXPECT_EQ(blocked.open_log(dir.file("L.LOG")), LogError::recovery_failed);
    EXPECT_EQ(read_file(dir.file("L.LOG")), interrupted);
    EXPECT_EQ(read_file(dir.file("L.LOG.JNL")), journal);

    LogStore opened;
    ASSERT_TRUE(opened.open_log(dir.file("L.LOG")));
    EXPECT_EQ(opened.recovery(), Recovery::undone);
    EXPECT_EQ(read_file(dir.file("L.LOG")), log);
}

TEST(Journal, NamesStayWithinTheSystemLimit) {
    EXPECT_EQ(journal_path_of("/logs/MYLOG.LOG"), "/logs/MYLOG.LOG.JNL");
    for (const std::string& name :
         {std::string(251, 'A'), std::string(252, 'A'), std::string(255, 'A'),
          std::string(120, 'A') + std::string(45, 'B') + "\xc3\xa9\xc3\xa9" + std::string(86, 'C')}) {
        const std::string path = journal_path_of("/logs/" + name);
        const std::string file = path.substr(std::string("/logs/").size());
        EXPECT_LE(file.size(), 255u) << name.size();
        EXPECT_TRUE(file.ends_with(".JNL"));
        // Different long names keep different journals.
        EXPECT_NE(path, journal_path_of("/logs/" + name + "X"));
    }
    // A name cut short is never cut inside a character.
    const std::string cut =
        add_to_file_name(std::string(233, 'A') + "\xc3\xa9" + std::string(30, 'B'), ".JNL");
    EXPECT_EQ(cut.substr(0, 234), std::string(233, 'A') + "~");
}

} // namespace
} // namespace kestrel::logstore
