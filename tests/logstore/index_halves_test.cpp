// A long log is indexed in two halves at once. The index, the count of contacts and the last
// band are those of reading it record by record, and the progress still runs in order to the end.

#include "logstore/log_store.hpp"
#include "support/temp_dir.hpp"
#include "test_log.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kestrel::logstore {
namespace {

using testing::qso;
using testing::TempDir;

TEST(RecordIndexInHalves, IsTheIndexOfEachRecord) {
    // Past the length from which two threads index the log; the records vary on both sides of
    // the middle, and the last contact comes before a note, so the last band is not the last
    // record's.
    constexpr int count = 250001;
    const char* calls[] = {"G4ABC", "GW4ABC/P", "K1ABC", "/", "DL/G4XYZ/A", "MM0ABC/MM", "/DATA", "CQ"};
    std::vector<RecordBytes> records;
    records.reserve(count);
    int contacts = 0;
    for (int i = 0; i < count; ++i) {
        const std::string report = i % 3 == 0 ? "7" : "59";
        records.push_back(qso(i < count / 2 ? "01-01-24" : "02-01-30", "1000", calls[i % 8], report, i % 20));
        if (calls[i % 8][0] != '/' && report == "59") ++contacts;
    }
    records.back() = qso("03-01-30", "1000", "/", "59", 7);
    records[count - 2] = qso("03-01-30", "1000", "K9LAST", "7", 11);
    if (calls[(count - 2) % 8][0] != '/' && (count - 2) % 3 != 0) --contacts;
    if (calls[(count - 1) % 8][0] != '/' && (count - 1) % 3 != 0) --contacts;

    TempDir dir;
    testing::write_log(dir.file("BIG.LOG"), records);
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("BIG.LOG")));
    std::vector<int> told;
    ASSERT_TRUE(log.build_record_index([&told](int read) { told.push_back(read); }));
    ASSERT_EQ(log.index().size(), count);
    for (int n = 1; n <= count; ++n) {
        const RecordBytes& record = records[static_cast<std::size_t>(n - 1)];
        ASSERT_EQ(log.index().index_call(n), index_text_of(record)) << n;
        ASSERT_EQ(log.index().index_date(n), record_date(record)) << n;
    }
    EXPECT_EQ(log.contact_count(), contacts);
    EXPECT_EQ(log.last_band(), 11);
    ASSERT_FALSE(told.empty());
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_LE(told.back(), count);
    EXPECT_GE(told.back(), count - 20);
}

} // namespace
} // namespace kestrel::logstore
