#include "logstore/log_store.hpp"

#include "faulty_file_system.hpp"
#include "test_log.hpp"

#include <gtest/gtest.h>

namespace kestrel::logstore {
namespace {

using testing::FaultyFileSystem;
using testing::qso;
using testing::read_file;
using testing::TempDir;
using testing::write_log;

const std::string k_tail = "0123456789";

std::vector<RecordBytes> three_records() {
    return {qso("01-01-24", "1000", "A"), qso("02-01-24", "1000", "B"), qso("03-01-24", "1000", "C")};
}

TEST(PartialRecord, WholeRecordsAreCountedAndTheTailIsKept) {
    TempDir dir;
    write_log(dir.file("L.LOG"), three_records(), k_tail);
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    EXPECT_EQ(log.record_count(), 3);
    EXPECT_EQ(log.trailing_bytes(), 10);
    ASSERT_TRUE(log.build_record_index());
    EXPECT_EQ(log.index().size(), 3);

    // Reading and rewriting the records in place go on.
    EXPECT_TRUE(log.read_record(3).ok());
    EXPECT_EQ(log.read_record(4).error(), LogError::no_such_record);
    ASSERT_TRUE(log.write_record(2, qso("02-01-24", "1000", "B2")));
    ASSERT_TRUE(log.replace_record(1, qso("04-01-24", "1000", "A2"), "A2"));
    EXPECT_EQ(testing::calls_in(dir.file("L.LOG")), (std::vector<std::string>{"B2", "C", "A2"}));

    // Nothing that would change the length or write over the tail.
    const std::string before = read_file(dir.file("L.LOG"));
    EXPECT_EQ(log.append_record(qso("05-01-24", "1000", "X"), "X"), LogError::partial_record);
    EXPECT_EQ(log.insert_record_in_order(qso("01-01-23", "1000", "X"), "X"), LogError::partial_record);
    EXPECT_EQ(log.delete_record(1), LogError::partial_record);
    EXPECT_EQ(log.delete_record(3), LogError::partial_record);
    EXPECT_EQ(log.truncate_log(1), LogError::partial_record);
    EXPECT_EQ(log.write_record(4, qso("05-01-24", "1000", "X")), LogError::partial_record);
    EXPECT_EQ(read_file(dir.file("L.LOG")), before);
    EXPECT_EQ(before.substr(3 * 84), k_tail);
}

TEST(PartialRecord, SettingTheTailAsideFreesTheLog) {
    TempDir dir;
    write_log(dir.file("L.LOG"), three_records(), k_tail);
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    ASSERT_TRUE(log.set_aside_partial_record(dir.file("L.LOG.PARTIAL")));
    EXPECT_EQ(read_file(dir.file("L.LOG.PARTIAL")), k_tail);
    EXPECT_EQ(read_file(dir.file("L.LOG")), testing::bytes_of(three_records()));
    EXPECT_EQ(log.trailing_bytes(), 0);
    EXPECT_TRUE(log.append_record(qso("05-01-24", "1000", "X"), "X"));
    EXPECT_EQ(log.record_count(), 4);
    // Nothing left to set aside.
    EXPECT_TRUE(log.set_aside_partial_record(dir.file("OTHER")));
}

TEST(PartialRecord, TheTailStaysWhenItCannotBeSetAside) {
    TempDir dir;
    write_log(dir.file("L.LOG"), three_records(), k_tail);
    const std::string before = read_file(dir.file("L.LOG"));
    testing::write_file(dir.file("TAKEN"), "someone else's file");
    FaultyFileSystem files;
    LogStore log(files);
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));

    EXPECT_EQ(log.set_aside_partial_record(dir.file("TAKEN")), LogError::side_file_exists);
    EXPECT_EQ(read_file(dir.file("TAKEN")), "someone else's file");

    files.fail_new_files = true;
    EXPECT_EQ(log.set_aside_partial_record(dir.file("NEW")), LogError::side_file_failed);
    files.fail_new_files = false;

    files.arm();
    files.only_file = "NEW";
    files.fail_change_number = 1; // the copy's write
    EXPECT_EQ(log.set_aside_partial_record(dir.file("NEW")), LogError::side_file_failed);
    EXPECT_FALSE(std::filesystem::exists(dir.file("NEW")));

    EXPECT_EQ(read_file(dir.file("L.LOG")), before);
    EXPECT_EQ(log.trailing_bytes(), 10);
}

} // namespace
} // namespace kestrel::logstore
