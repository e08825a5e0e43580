#include "printing/qsl_queue.hpp"

#include "printing_fixture.hpp"

namespace kestrel::printing {
namespace {

using testing::Contact;
using testing::contact;

class QslQueueTest : public testing::PrintingTest {
  protected:
    std::vector<int> queued(QueueRules rules = {}) {
        auto queue = build_qsl_queue(m_log, m_countries, rules);
        EXPECT_TRUE(queue);
        std::vector<int> records;
        for (const QueuedQsl& q : queue->qsls)
            records.push_back(q.record);
        return records;
    }
};

TEST_F(QslQueueTest, OnlyContactsStillOwedACardAreQueued) {
    open_log({
        contact({.call = "DL1AA"}),                          // 1: owed
        contact({.call = "DL1AB", .qsl = 1}),                // 2: sent already
        contact({.call = "DL1AC", .qsl = 2}),                // 3: received, not sent
        contact({.call = "DL1AD", .qsl = 3}),                // 4: both
        contact({.call = "DL1AE", .rst_received = ""}),      // 5: no report
        contact({.call = "DL1AF", .rst_received = "5"}),     // 6: a report below 11
        contact({.call = "DL1AG", .rst_received = "11"}),    // 7: the least report that counts
        contact({.call = "CQ"}),                             // 8: a CQ call
        testing::note("01-02-24", "a note"),                 // 9
        testing::station_data("01-02-24", 4, "A", "B", "C"), // 10
        contact({.date = "31-01-24", .call = "DL1AH"}),      // 11: earlier
        contact({.call = "DL1AI", .qsl = 0x32}),             // 12: an import's "0" with the received bit
    });
    const struct {
        const char* why;
        QueueRules rules;
        std::vector<int> records;
    } cases[] = {
        {"every date", {}, {1, 3, 7, 11, 12}},
        {"received only", {std::nullopt, true}, {3, 12}},
        {"from 01-02-24", {logstore::day_number_of("01-02-24"), false}, {1, 3, 7, 12}},
    };
    for (const auto& c : cases) {
        std::vector<int> records = queued(c.rules);
        std::sort(records.begin(), records.end());
        EXPECT_EQ(records, c.records) << c.why;
    }
}

TEST_F(QslQueueTest, HomeCallsComeFirstInBureauOrderThenTheRestByCall) {
    open_log({contact({.call = "K1ABC"}), contact({.call = "GW4ABC"}), contact({.call = "G4AAA"}),
              contact({.call = "DL1AB"}), contact({.call = "2E0AAA"}), contact({.call = "M0XYZ"}),
              contact({.date = "01-01-24", .call = "G4AAA/P"}), contact({.call = "JA1AA"})});
    // M0XYZ (0XYZM), 2E0AAA, G4AAA/P then G4AAA (4AAAG, by date), GW4ABC (4ABCGW); then DL, JA, K.
    EXPECT_EQ(queued(), (std::vector<int>{6, 5, 7, 3, 2, 4, 8, 1}));
}

TEST_F(QslQueueTest, EachQslKeepsTheStationDataOfItsBandThatStoodBeforeIt) {
    open_log(
        {contact({.call = "DL1AA", .band = 4}), testing::station_data("01-02-24", 4, "ANN", "TS50", "G5RV"),
         testing::station_data("01-02-24", 2, "BOB", "FT1", "DIPOLE"), contact({.call = "DL1AB", .band = 4}),
         contact({.call = "DL1AC", .band = 2}), testing::station_data("01-02-24", 4, "CAT", "IC7300", "BEAM"),
         contact({.call = "DL1AD", .band = 4}), testing::station_data("01-02-24", 25, "X", "Y", "Z"),
         contact({.call = "DL1AE", .band = 6})});
    auto queue = build_qsl_queue(m_log, m_countries, {});
    ASSERT_TRUE(queue);
    std::map<int, int> station;
    for (const QueuedQsl& q : queue->qsls)
        station[q.record] = q.station_record;
    EXPECT_EQ(station, (std::map<int, int>{{1, 0}, {4, 2}, {5, 3}, {7, 6}, {9, 0}}));
}

TEST_F(QslQueueTest, ARunHoldsAThousandQslsAndTheRestWait) {
    std::vector<logstore::RecordBytes> records;
    for (int i = 0; i < k_qsl_queue_size + 5; ++i)
        records.push_back(contact({.call = "DL" + std::to_string(i)}));
    open_log(records);
    auto queue = build_qsl_queue(m_log, m_countries, {});
    ASSERT_TRUE(queue);
    EXPECT_EQ(queue->qsls.size(), static_cast<std::size_t>(k_qsl_queue_size));
    EXPECT_TRUE(queue->full);
    EXPECT_EQ(std::max_element(queue->qsls.begin(), queue->qsls.end(),
                               [](const QueuedQsl& a, const QueuedQsl& b) { return a.record < b.record; })
                  ->record,
              k_qsl_queue_size);
}

} // namespace
} // namespace kestrel::printing
