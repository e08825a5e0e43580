#include "logstore/log_store.hpp"

#include "faulty_file_system.hpp"
#include "test_log.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace kestrel::logstore {
namespace {

using testing::FaultyFileSystem;
using testing::qso;
using testing::read_file;
using testing::TempDir;
using testing::write_log;

std::vector<RecordBytes> ten_records() {
    std::vector<RecordBytes> records;
    for (int day = 10; day < 20; ++day) {
        records.push_back(qso(std::to_string(day) + "-01-24", "1200", "CALL" + std::to_string(day)));
    }
    return records;
}

struct Operation {
    const char* name;
    std::function<LogStatus(LogStore&)> run;
};

const Operation k_operations[] = {
    {"insert first",
     [](LogStore& log) { return log.insert_record_in_order(qso("01-01-24", "0000", "NEW"), "NEW"); }},
    {"insert middle",
     [](LogStore& log) { return log.insert_record_in_order(qso("15-01-24", "0000", "NEW"), "NEW"); }},
    {"append", [](LogStore& log) { return log.append_record(qso("01-02-24", "0000", "NEW"), "NEW"); }},
    {"delete first", [](LogStore& log) { return log.delete_record(1); }},
    {"delete last", [](LogStore& log) { return log.delete_record(10); }},
    {"delete several",
     [](LogStore& log) {
         return log.delete_records({9, 2, 5, 2});
     }},
    {"replace forward",
     [](LogStore& log) { return log.replace_record(2, qso("17-01-24", "1300", "NEW"), "NEW"); }},
    {"replace backward",
     [](LogStore& log) { return log.replace_record(9, qso("11-01-24", "0000", "NEW"), "NEW"); }},
    {"replace in place",
     [](LogStore& log) { return log.replace_record(5, qso("14-01-24", "1200", "NEW"), "NEW"); }},
    {"rewrite", [](LogStore& log) { return log.write_record(3, qso("12-01-24", "1200", "NEW")); }},
    {"truncate", [](LogStore& log) { return log.truncate_log(4); }},
    {"set aside nothing", [](LogStore& log) { return log.flush_log(); }},
};

// Whatever step of a change fails, the log file is left exactly as it was, the store still
// describes it, and the error says what happened.
TEST(LogFailures, AFailureAtAnyStepLeavesTheLogAsItWas) {
    for (const Operation& operation : k_operations) {
        for (int failing = 1;; ++failing) {
            TempDir dir;
            write_log(dir.file("L.LOG"), ten_records());
            const std::string before = read_file(dir.file("L.LOG"));
            FaultyFileSystem files;
            LogStore log(files);
            ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
            ASSERT_TRUE(log.build_record_index());
            files.arm();
            files.fail_change_number = failing;

            const LogStatus status = operation.run(log);
            if (status) {
                ASSERT_LT(files.changes, failing)
                    << operation.name << ": a failed step was reported as success";
                break;
            }
            EXPECT_EQ(status.error(), LogError::write_failed) << operation.name << " step " << failing;
            EXPECT_EQ(read_file(dir.file("L.LOG")), before) << operation.name << " step " << failing;
            EXPECT_EQ(log.record_count(), 10);
            EXPECT_EQ(log.index().size(), 10);
            EXPECT_EQ(log.index().index_call(1), "CALL10      ");
            // And the store goes on working once the disk does.
            files.fail_change_number = 0;
            EXPECT_TRUE(operation.run(log)) << operation.name << " step " << failing;
        }
    }
}

TEST(LogFailures, AFullDiskRefusesTheGrowthAndLosesNothing) {
    for (const Operation& operation : {k_operations[0], k_operations[1], k_operations[2]}) {
        TempDir dir;
        write_log(dir.file("L.LOG"), ten_records());
        const std::string before = read_file(dir.file("L.LOG"));
        FaultyFileSystem files;
        LogStore log(files);
        ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
        files.free_space = 40; // half a record: the first write gets that far, then ENOSPC

        EXPECT_EQ(operation.run(log), LogError::disk_full) << operation.name;
        EXPECT_EQ(read_file(dir.file("L.LOG")), before) << operation.name;
        EXPECT_EQ(log.record_count(), 10);
        EXPECT_EQ(log.trailing_bytes(), 0);
        EXPECT_NE(message_of(LogError::disk_full).find("Nothing in the log was lost"),
                  std::string_view::npos);

        files.free_space = -1;
        EXPECT_TRUE(operation.run(log)) << operation.name;
        EXPECT_EQ(log.record_count(), 11);
    }
}

TEST(LogFailures, WritesThatFailForGoodAreReportedAsSuch) {
    // The disk turns read-only half way through moving the records, so they cannot be put back
    // either: the operator is told the log may be damaged rather than that nothing was lost.
    {
        TempDir dir;
        write_log(dir.file("L.LOG"), ten_records());
        FaultyFileSystem files;
        LogStore log(files);
        ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
        ASSERT_TRUE(log.build_record_index());
        files.arm();
        files.only_file = "L.LOG";
        files.fail_changes_from = 2;
        files.change_error = EROFS;
        EXPECT_EQ(log.insert_record_in_order(qso("01-01-24", "0000", "NEW"), "NEW"),
                  LogError::restore_failed);
    }
    // Refused from the very first write, nothing was touched: a plain read-only refusal.
    for (const Operation& operation : k_operations) {
        if (std::string(operation.name) == "set aside nothing") continue;
        TempDir dir;
        write_log(dir.file("L.LOG"), ten_records());
        const std::string before = read_file(dir.file("L.LOG"));
        FaultyFileSystem files;
        LogStore log(files);
        ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
        ASSERT_TRUE(log.build_record_index());
        files.arm();
        files.fail_changes_from = 1;
        files.change_error = EROFS;
        EXPECT_EQ(operation.run(log), LogError::read_only) << operation.name;
        EXPECT_EQ(read_file(dir.file("L.LOG")), before) << operation.name;
    }
}

TEST(LogFailures, AReadOnlyFileOpensForReadingOnly) {
    TempDir dir;
    write_log(dir.file("L.LOG"), ten_records());
    const std::string before = read_file(dir.file("L.LOG"));
    FaultyFileSystem files;
    files.refuse_writable_open = true;
    LogStore log(files);
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    EXPECT_TRUE(log.read_only());
    ASSERT_TRUE(log.build_record_index());
    EXPECT_TRUE(log.read_record(10).ok());
    for (const Operation& operation : k_operations) {
        if (std::string(operation.name) == "set aside nothing") continue;
        EXPECT_EQ(operation.run(log), LogError::read_only) << operation.name;
    }
    EXPECT_EQ(read_file(dir.file("L.LOG")), before);
}

TEST(LogFailures, ALogMovedOrDeletedSinceOpeningIsNotWritten) {
    for (const bool replaced : {false, true}) {
        TempDir dir;
        write_log(dir.file("L.LOG"), ten_records());
        const std::string before = read_file(dir.file("L.LOG"));
        LogStore log;
        ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
        ASSERT_TRUE(log.build_record_index());
        // Keep the opened file reachable under another name to see that it is not touched.
        std::filesystem::create_hard_link(dir.file("L.LOG"), dir.file("KEPT.LOG"));
        std::filesystem::remove(dir.file("L.LOG"));
        if (replaced) write_log(dir.file("L.LOG"), {qso("01-01-24", "0000", "OTHER")});
        const std::string other = read_file(dir.file("L.LOG"));

        for (const Operation& operation : k_operations) {
            if (std::string(operation.name) == "set aside nothing") continue;
            EXPECT_EQ(operation.run(log), LogError::file_gone) << operation.name;
        }
        EXPECT_EQ(read_file(dir.file("KEPT.LOG")), before);
        EXPECT_EQ(read_file(dir.file("L.LOG")), other);
        EXPECT_TRUE(log.read_record(1).ok()); // what was read stays readable
    }
}

TEST(LogFailures, ALogChangedByAnotherProgramIsNotWritten) {
    TempDir dir;
    write_log(dir.file("L.LOG"), ten_records());
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    write_log(dir.file("L.LOG"), {qso("01-01-24", "0000", "OTHER")});
    const std::string other = read_file(dir.file("L.LOG"));
    EXPECT_EQ(log.append_record(qso("01-02-24", "0000", "NEW"), "NEW"), LogError::changed_elsewhere);
    EXPECT_EQ(read_file(dir.file("L.LOG")), other);
    // Indexing reads the file afresh and the log is usable again.
    ASSERT_TRUE(log.build_record_index());
    EXPECT_EQ(log.record_count(), 1);
    EXPECT_TRUE(log.append_record(qso("01-02-24", "0000", "NEW"), "NEW"));
}

TEST(LogFailures, AddedRecordsAreOnDiskBeforeSuccessIsReported) {
    for (const Operation& operation : {k_operations[0], k_operations[2], k_operations[3], k_operations[5]}) {
        TempDir dir;
        write_log(dir.file("L.LOG"), ten_records());
        FaultyFileSystem files;
        LogStore log(files);
        ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
        ASSERT_TRUE(log.build_record_index());
        files.arm();
        ASSERT_TRUE(operation.run(log));
        ASSERT_FALSE(files.change_log.empty());
        EXPECT_EQ(files.change_log.back(), "fsync") << operation.name;
    }
}

TEST(LogFailures, ManyRecordsMoveInBlocks) {
    TempDir dir;
    std::vector<RecordBytes> records(30000, qso("01-06-24", "1200", "G4ABC"));
    write_log(dir.file("L.LOG"), records);
    FaultyFileSystem files;
    LogStore log(files);
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    files.arm();
    ASSERT_TRUE(log.build_record_index());
    EXPECT_LE(files.preads, 10);

    files.only_file = "L.LOG";
    for (const Operation& operation : {k_operations[0], k_operations[3], k_operations[6]}) {
        files.arm();
        ASSERT_TRUE(operation.run(log));
        EXPECT_LE(files.pwrites, 10) << operation.name;
        EXPECT_LE(files.preads, 10) << operation.name;
    }
}

} // namespace
} // namespace kestrel::logstore
