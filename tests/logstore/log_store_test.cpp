#include "logstore/log_store.hpp"

#include "test_log.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace kestrel::logstore {
namespace {

using testing::calls_in;
using testing::qso;
using testing::read_file;
using testing::TempDir;
using testing::write_log;
using Calls = std::vector<std::string>;

std::vector<std::string> index_calls(const LogStore& log) {
    std::vector<std::string> calls;
    for (int n = 1; n <= log.index().size(); ++n) {
        calls.emplace_back(trim_trailing_spaces(log.index().index_call(n)));
    }
    return calls;
}

// A small log in date order: A on the 1st, B and C on the 2nd (10:00, 12:00), D on the 5th.
std::vector<RecordBytes> small_log() {
    return {qso("01-01-24", "1000", "A"), qso("02-01-24", "1000", "B"), qso("02-01-24", "1200", "C"),
            qso("05-01-24", "0900", "D")};
}

TEST(LogStore, MissingLogIsCreatedEmpty) {
    TempDir dir;
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("MYLOG.LOG")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("MYLOG.LOG")));
    EXPECT_EQ(log.record_count(), 0);
    EXPECT_FALSE(log.index_loaded());
    EXPECT_EQ(log.path(), dir.file("MYLOG.LOG"));
}

TEST(LogStore, OpenFailureIsReportedAndThePathRemembered) {
    TempDir dir;
    LogStore log;
    EXPECT_EQ(log.open_log(dir.file("no-such-dir/HOME.LOG")), LogError::open_failed);
    EXPECT_FALSE(log.is_open());
    EXPECT_EQ(log.path(), dir.file("no-such-dir/HOME.LOG"));
    EXPECT_EQ(log.append_record(qso("01-01-24", "1000", "A"), "A"), LogError::no_log_open);
}

TEST(LogStore, CreateLogEmptiesAFileThatHeldRecords) {
    TempDir dir;
    write_log(dir.file("OLD.LOG"), small_log(), "xyz");
    LogStore log;
    ASSERT_TRUE(log.create_log(dir.file("OLD.LOG")));
    EXPECT_EQ(log.record_count(), 0);
    EXPECT_EQ(log.trailing_bytes(), 0);
    EXPECT_TRUE(log.index_loaded());
    EXPECT_EQ(read_file(dir.file("OLD.LOG")), "");
}

TEST(LogStore, AppendAddsAtTheEndAndIndexes) {
    TempDir dir;
    LogStore log;
    ASSERT_TRUE(log.create_log(dir.file("A.LOG")));
    ASSERT_TRUE(log.append_record(qso("05-01-24", "0900", "GW4ABC/P"), "G4ABC"));
    ASSERT_TRUE(log.append_record(qso("01-01-24", "0900", "DL1XYZ"), "DL1XYZ"));
    EXPECT_EQ(calls_in(dir.file("A.LOG")), (Calls{"GW4ABC/P", "DL1XYZ"}));
    EXPECT_EQ(index_calls(log), (Calls{"G4ABC", "DL1XYZ"}));
    EXPECT_EQ(log.index().index_date(2), day_number_of("01-01-24"));
    EXPECT_EQ(log.index().index_call(1), "G4ABC       ");
}

TEST(LogStore, InsertFindsTheRecordsPlaceInDateOrder) {
    const struct {
        const char* date;
        const char* time;
        int place;
        Calls order;
    } cases[] = {
        {"01-01-23", "2359", 1, {"X", "A", "B", "C", "D"}}, // before everything
        {"02-01-24", "1000", 3, {"A", "B", "X", "C", "D"}}, // same date and time: after B
        {"02-01-24", "0959", 2, {"A", "X", "B", "C", "D"}}, // earlier time that day
        {"02-01-24", "1200", 4, {"A", "B", "C", "X", "D"}}, // same as the last of the day
        {"03-01-24", "0000", 4, {"A", "B", "C", "X", "D"}}, // between days
        {"05-01-24", "0900", 5, {"A", "B", "C", "D", "X"}}, // same as the last record
        {"06-01-24", "0000", 5, {"A", "B", "C", "D", "X"}}, // after everything
        {"01-01-00", "0000", 1, {"X", "A", "B", "C", "D"}}, // 2000 sorts before 2024
    };
    for (const auto& c : cases) {
        TempDir dir;
        write_log(dir.file("L.LOG"), small_log());
        LogStore log;
        ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
        ASSERT_TRUE(log.build_record_index());
        ASSERT_TRUE(log.insert_record_in_order(qso(c.date, c.time, "X"), "X"));
        EXPECT_EQ(calls_in(dir.file("L.LOG")), c.order) << c.date << " " << c.time;
        EXPECT_EQ(index_calls(log), c.order) << c.date << " " << c.time;
        EXPECT_EQ(log.current_record(), c.place);
        EXPECT_EQ(log.record_count(), 5);
        EXPECT_EQ(read_file(dir.file("L.LOG")).size(), 5u * 84);
        EXPECT_EQ(log.index().index_date(c.place), day_number_of(c.date));
    }
}

TEST(LogStore, EntriesOfTheSameMomentKeepTheOrderTheyWereEntered) {
    TempDir dir;
    LogStore log;
    ASSERT_TRUE(log.create_log(dir.file("L.LOG")));
    for (const char* call : {"FIRST", "SECOND", "THIRD"}) {
        ASSERT_TRUE(log.insert_record_in_order(qso("10-03-24", "1500", call), call));
    }
    ASSERT_TRUE(log.insert_record_in_order(qso("10-03-24", "1459", "EARLIER"), "EARLIER"));
    EXPECT_EQ(calls_in(dir.file("L.LOG")), (Calls{"EARLIER", "FIRST", "SECOND", "THIRD"}));
}

TEST(LogStore, InsertBuildsTheIndexWhenItIsNotLoaded) {
    TempDir dir;
    write_log(dir.file("L.LOG"), small_log());
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    ASSERT_TRUE(log.insert_record_in_order(qso("01-01-23", "0000", "X"), "X"));
    EXPECT_TRUE(log.index_loaded());
    EXPECT_EQ(index_calls(log), (Calls{"X", "A", "B", "C", "D"}));
}

TEST(LogStore, DeleteClosesTheGap) {
    const struct {
        int count;
        int deleted;
        Calls left;
    } cases[] = {
        {1, 1, {}},
        {3, 3, {"A", "B"}},
        {3, 1, {"B", "C"}},
        {4, 2, {"A", "C", "D"}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        auto records = small_log();
        records.resize(static_cast<std::size_t>(c.count));
        write_log(dir.file("L.LOG"), records);
        LogStore log;
        ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
        ASSERT_TRUE(log.build_record_index());
        ASSERT_TRUE(log.delete_record(c.deleted));
        EXPECT_EQ(calls_in(dir.file("L.LOG")), c.left);
        EXPECT_EQ(read_file(dir.file("L.LOG")).size(), c.left.size() * 84);
        EXPECT_EQ(log.record_count(), static_cast<int>(c.left.size()));
        EXPECT_EQ(index_calls(log), c.left);
    }
}

TEST(LogStore, DeleteSeveralClosesEveryGapInOnePass) {
    const struct {
        std::vector<int> deleted;
        Calls left;
    } cases[] = {
        {{3, 1}, {"B", "D"}},
        {{2, 2, 4}, {"A", "C"}},
        {{1, 2, 3, 4}, {}},
        {{}, {"A", "B", "C", "D"}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        write_log(dir.file("L.LOG"), small_log());
        LogStore log;
        ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
        ASSERT_TRUE(log.build_record_index());
        ASSERT_TRUE(log.delete_records(c.deleted));
        EXPECT_EQ(calls_in(dir.file("L.LOG")), c.left);
        EXPECT_EQ(log.record_count(), static_cast<int>(c.left.size()));
        EXPECT_EQ(index_calls(log), c.left);
    }
    TempDir dir;
    write_log(dir.file("L.LOG"), small_log());
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    EXPECT_EQ(log.delete_records({2, 5}), LogError::no_such_record) << "none go when one is not there";
    EXPECT_EQ(calls_in(dir.file("L.LOG")), (Calls{"A", "B", "C", "D"}));
}

TEST(LogStore, DeleteRefusesRecordsThatAreNotThere) {
    TempDir dir;
    write_log(dir.file("L.LOG"), small_log());
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    EXPECT_EQ(log.delete_record(0), LogError::no_such_record);
    EXPECT_EQ(log.delete_record(5), LogError::no_such_record);
    EXPECT_EQ(log.record_count(), 4);
}

TEST(LogStore, ReplaceMovesAnEntryToItsNewPlaceKeepingTheLength) {
    const struct {
        int n;
        const char* date;
        const char* time;
        int place;
        Calls order;
    } cases[] = {
        {1, "03-01-24", "0000", 3, {"B", "C", "X", "D"}}, // forward
        {1, "09-01-24", "0000", 4, {"B", "C", "D", "X"}}, // to the end
        {4, "01-01-23", "0000", 1, {"X", "A", "B", "C"}}, // back to the start
        {3, "02-01-24", "0959", 2, {"A", "X", "B", "D"}}, // back within the day
        {2, "02-01-24", "1200", 3, {"A", "C", "X", "D"}}, // after its twin of the same moment
        {2, "02-01-24", "1000", 2, {"A", "X", "C", "D"}}, // same place
    };
    for (const auto& c : cases) {
        TempDir dir;
        write_log(dir.file("L.LOG"), small_log());
        LogStore log;
        ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
        ASSERT_TRUE(log.build_record_index());
        ASSERT_TRUE(log.replace_record(c.n, qso(c.date, c.time, "X"), "X"));
        EXPECT_EQ(calls_in(dir.file("L.LOG")), c.order) << c.n << " " << c.date;
        EXPECT_EQ(index_calls(log), c.order) << c.n << " " << c.date;
        EXPECT_EQ(read_file(dir.file("L.LOG")).size(), 4u * 84);
        EXPECT_EQ(log.current_record(), c.place);
        EXPECT_EQ(log.index().index_date(c.place), day_number_of(c.date));
    }
}

TEST(LogStore, IndexHoldsBaseCallsDatesAndFindsContactsAndLastBand) {
    TempDir dir;
    QsoRecord with_text_band = QsoRecord::decode(qso("03-01-24", "1000", "G3XYZ", "599", 0));
    with_text_band.band = {'1', '4', ' '};
    const RecordBytes text_band = with_text_band.encode();
    QsoRecord with_nul_report = QsoRecord::decode(qso("03-01-24", "1100", "CQ", "", 9));
    with_nul_report.rst_received = std::string(k_report_width, '\0');
    const RecordBytes nul_report = with_nul_report.encode();
    const std::vector<RecordBytes> records = {
        qso("01-01-24", "1000", "GW4ABC/P", "57"), // counts, 20 m
        qso("01-01-24", "1001", "MW0ABC", "6"),    // report 6: not counted
        qso("01-01-24", "1002", "K1ABC", "0"),     // "0" then padding sorts after "0": counted
        StationDataRecord{day_number_of("02-01-24"), 0, "OP", "RIG", "ANT", 2}.encode(),
        text_band, // counts, band from the text form
        TextRecord{day_number_of("03-01-24"), 1200, "note"}.encode(),
        nul_report, // a CQ: not counted, but sets the band
    };
    write_log(dir.file("L.LOG"), records);
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    int steps = 0;
    ASSERT_TRUE(log.build_record_index([&steps](int) { ++steps; }));
    EXPECT_TRUE(log.index_loaded());
    EXPECT_EQ(index_calls(log), (Calls{"G4ABC", "M0ABC", "K1ABC", "/DATA", "G3XYZ", "/", "CQ"}));
    EXPECT_EQ(log.index().index_date(4), day_number_of("02-01-24"));
    EXPECT_EQ(log.contact_count(), 3);
    EXPECT_EQ(log.last_band(), 9);
    EXPECT_EQ(steps, 0);

    // The last contact's band in text form.
    TempDir other;
    write_log(other.file("M.LOG"), {records[0], text_band});
    ASSERT_TRUE(log.open_log(other.file("M.LOG")));
    ASSERT_TRUE(log.build_record_index());
    EXPECT_EQ(log.last_band(), 4);
}

// The index is filled the quick way for most calls; every call field, of whatever bytes, gets the
// same index text and counts the same as a record read on its own.
TEST(LogStore, IndexTextsAndContactCountAreThoseOfEachRecord) {
    std::vector<RecordBytes> records;
    for (const char* call : {"G4ABC",        "GW4ABC",      "GB2XYZ",  "GR",      "G@X",
                             "M0ABC",        "MM0ABC/MM",   "MB",      "M",       "G",
                             "K1ABC/P",      "DL/G4ABC/A",  "/",       "/DATA",   "CQ",
                             "ABCDEFGHIJ/P", "G4ABC/P",     "gw4abc",  "",        "GW4/P /M /A",
                             "K1/MM /P",     "/P /P /P /P", "G/MM MM", "MW0ABC/P"})
        records.push_back(qso("01-01-24", "1000", call));
    std::mt19937 random(18);
    for (int i = 0; i < 5000; ++i) {
        RecordBytes record = qso("02-01-24", "1000", "X");
        for (int at = 6; at < 18; ++at) // the call field: letters, digits, '/', blanks and anything
            record[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(
                random() % 2 == 0 ? "GMWBR/ @0PA"[random() % 11] : static_cast<char>(random() % 256));
        record[25] = static_cast<std::uint8_t>(random() % 256); // the received report's first byte
        records.push_back(record);
    }
    TempDir dir;
    write_log(dir.file("L.LOG"), records);
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    ASSERT_TRUE(log.build_record_index());
    int contacts = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RecordBytes& record = records[i];
        ASSERT_EQ(log.index().index_call(static_cast<int>(i) + 1), index_text_of(record)) << i;
        const std::string_view report = received_report_view(record);
        if (has_contact_fields(record) && report > std::string_view("0") && report < std::string_view("6"))
            ++contacts;
    }
    EXPECT_EQ(log.contact_count(), contacts);
}

TEST(LogStore, IndexBuildTellsItsProgressEveryTenRecords) {
    TempDir dir;
    std::vector<RecordBytes> records(25, qso("01-01-24", "1000", "A"));
    write_log(dir.file("L.LOG"), records);
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    std::vector<int> told;
    ASSERT_TRUE(log.build_record_index([&told](int read) { told.push_back(read); }));
    EXPECT_EQ(told, (std::vector<int>{10, 20}));
}

TEST(LogStore, WriteRecordRewritesInPlaceOrAddsOneAtTheEnd) {
    TempDir dir;
    write_log(dir.file("L.LOG"), small_log());
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    ASSERT_TRUE(log.build_record_index());
    ASSERT_TRUE(log.write_record(2, qso("02-01-24", "1000", "GM4XYZ")));
    ASSERT_TRUE(log.write_record(5, qso("06-01-24", "1000", "E")));
    EXPECT_EQ(log.write_record(7, qso("06-01-24", "1000", "F")), LogError::no_such_record);
    EXPECT_EQ(calls_in(dir.file("L.LOG")), (Calls{"A", "GM4XYZ", "C", "D", "E"}));
    EXPECT_EQ(index_calls(log), (Calls{"A", "G4XYZ", "C", "D", "E"}));
    const auto back = log.read_record(2);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(*back, qso("02-01-24", "1000", "GM4XYZ"));
    EXPECT_EQ(log.read_record(6).error(), LogError::no_such_record);
}

TEST(LogStore, TruncateKeepsTheFirstRecords) {
    TempDir dir;
    write_log(dir.file("L.LOG"), small_log());
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    ASSERT_TRUE(log.build_record_index());
    ASSERT_TRUE(log.truncate_log(2));
    EXPECT_EQ(calls_in(dir.file("L.LOG")), (Calls{"A", "B"}));
    EXPECT_EQ(index_calls(log), (Calls{"A", "B"}));
    ASSERT_TRUE(log.truncate_log(0));
    EXPECT_EQ(read_file(dir.file("L.LOG")), "");
    EXPECT_EQ(log.truncate_log(1), LogError::no_such_record);
}

TEST(LogStore, ReadRecordsReadsARunAtOnce) {
    TempDir dir;
    write_log(dir.file("L.LOG"), small_log());
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    const auto records = log.read_records(2, 3);
    ASSERT_TRUE(records.ok());
    ASSERT_EQ(records->size(), 3u);
    EXPECT_EQ((*records)[2], small_log()[3]);
    EXPECT_EQ(log.read_records(3, 3).error(), LogError::no_such_record);
}

TEST(LogStore, IndexLoadedOnlyWhenItDescribesTheLog) {
    TempDir dir;
    write_log(dir.file("L.LOG"), small_log());
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("L.LOG")));
    log.set_index_loaded(true); // nothing indexed yet
    EXPECT_FALSE(log.index_loaded());
    ASSERT_TRUE(log.build_record_index());
    log.set_index_loaded(false);
    ASSERT_TRUE(log.append_record(qso("06-01-24", "1000", "E"), "E"));
    log.set_index_loaded(true); // the append was not indexed
    EXPECT_FALSE(log.index_loaded());
}

TEST(LogStore, ALogPastTheOldLimitOfRecordsKeepsWorking) {
    TempDir dir;
    constexpr int count = 120005;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(count + 2) * 84);
    const RecordBytes later = qso("01-06-24", "1200", "G4ABC");
    for (int i = 0; i < count; ++i)
        bytes.append(later.begin(), later.end());
    testing::write_file(dir.file("BIG.LOG"), bytes);

    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("BIG.LOG")));
    ASSERT_TRUE(log.build_record_index());
    EXPECT_EQ(log.index().size(), count);
    EXPECT_EQ(log.contact_count(), count);
    ASSERT_TRUE(log.insert_record_in_order(qso("01-01-24", "0000", "FIRST"), "FIRST"));
    ASSERT_TRUE(log.append_record(qso("02-06-24", "0000", "LAST"), "LAST"));
    EXPECT_EQ(log.record_count(), count + 2);
    EXPECT_EQ(log.index().size(), count + 2);
    EXPECT_EQ(trim_trailing_spaces(log.index().index_call(1)), "FIRST");
    EXPECT_EQ(trim_trailing_spaces(log.index().index_call(count + 2)), "LAST");
    EXPECT_EQ(read_file(dir.file("BIG.LOG")).size(), static_cast<std::size_t>(count + 2) * 84);
    const auto second = log.read_record(2);
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(*second, later);
}

} // namespace
} // namespace kestrel::logstore
