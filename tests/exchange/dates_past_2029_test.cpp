// The date field reaches past 22-07-2029 (the last day its 16-bit value held as it is): every
// pass that puts records in date order or picks them by date sees the later days after the earlier
// ones, and a log of the days before reads, changes and exports as it always did.
#include "browse/log_search.hpp"
#include "browse/page_line.hpp"
#include "exchange/adif_writer.hpp"
#include "exchange/extract.hpp"
#include "exchange/merge.hpp"
#include "printing/log_listing.hpp"
#include "printing/qsl_queue.hpp"
#include "tools_fixture.hpp"

#include <algorithm>

namespace kestrel::exchange::tools_testing {
namespace {

using Calls = std::vector<std::string>;
using logstore::RecordBytes;

// One contact on each side of the old limit and at both ends of the new range; named by date.
const std::pair<const char*, const char*> k_days[] = {
    {"01-01-1930", "A1930"}, {"31-12-1999", "A1999"}, {"22-07-2029", "OLDEND"}, {"23-07-2029", "NEW1"},
    {"24-07-2029", "NEW2"},  {"01-01-2030", "A2030"}, {"31-01-2061", "NEWEND"},
};

Calls in_date_order() {
    Calls calls;
    for (const auto& [date, call] : k_days)
        calls.emplace_back(call);
    return calls;
}

Calls calls_of(const std::vector<RecordBytes>& records) {
    Calls calls;
    for (const RecordBytes& r : records)
        calls.emplace_back(trim_trailing_spaces(logstore::call_view(r)));
    return calls;
}

TEST(DatesPast2029, InsertIndexAndDateSearchKeepDateOrder) {
    kestrel::testing::TempDir dir;
    logstore::LogStore log;
    ASSERT_TRUE(log.create_log(dir.file("NEW.LOG")));
    // Inserted from the last day back, then the middle ones: each finds its place among the others.
    for (const int i : {6, 0, 5, 1, 4, 2, 3}) {
        const auto& [date, call] = k_days[i];
        ASSERT_TRUE(log.insert_record_in_order(contact(date, "1200", call), call));
    }
    ASSERT_TRUE(log.insert_record_in_order(contact("23-07-2029", "0600", "EARLY"), "EARLY"));
    Calls expected = in_date_order();
    expected.insert(expected.begin() + 3, "EARLY");
    EXPECT_EQ(kestrel::testing::calls_in(dir.file("NEW.LOG")), expected);

    ASSERT_TRUE(log.build_record_index());
    for (int n = 2; n <= log.index().size(); ++n)
        EXPECT_LE(log.index().index_date(n - 1), log.index().index_date(n)) << n;
    EXPECT_LT(log.index().index_date(3), log.index().index_date(4)) << "22-07-29 before 23-07-29";
    const struct {
        const char* date;
        int found;
    } searches[] = {
        {"22-07-2029", 3}, {"23-07-2029", 4}, {"25-07-2029", 7}, {"31-01-2061", 8}, {"01-01-1930", 1}};
    for (const auto& s : searches)
        EXPECT_EQ(browse::find_date(log.index(), logstore::day_number_of(s.date)), s.found) << s.date;
}

TEST(DatesPast2029, ExtractRangesAndMergeCrossTheOldLimit) {
    std::vector<RecordBytes> log;
    for (const auto& [date, call] : k_days)
        log.push_back(contact(date, "1200", call));

    const struct {
        const char* from;
        const char* to;
        Calls taken;
    } ranges[] = {
        {nullptr, nullptr, in_date_order()},
        {"22-07-2029", "23-07-2029", {"OLDEND", "NEW1"}},
        {"23-07-2029", nullptr, {"NEW1", "NEW2", "A2030", "NEWEND"}},
        {"01-01-2030", "31-01-2061", {"A2030", "NEWEND"}},
    };
    for (const auto& r : ranges) {
        ExtractChoice choice;
        choice.bands.fill(true);
        choice.modes = {true, true, true, true};
        choice.fourth_mode = "ALL";
        if (r.from) choice.from = logstore::day_number_of(r.from);
        if (r.to) choice.to = logstore::day_number_of(r.to);
        VectorSource in(log);
        VectorSink out;
        ASSERT_TRUE(extract_entries(in, choice, out));
        EXPECT_EQ(calls_of(out.records), r.taken) << (r.from ? r.from : "-") << " " << (r.to ? r.to : "-");
    }

    // The later days merged into a log of the earlier ones land after them, and the other way round.
    VectorSource later({log[3], log[4], log[5], log[6]});
    VectorSource earlier({log[0], log[1], log[2]});
    VectorSink merged;
    ASSERT_TRUE(merge_entries(later, std::vector<bool>(4, true), earlier, merged, nullptr));
    EXPECT_EQ(calls_of(merged.records), in_date_order());
}

TEST(DatesPast2029, ListingsAndQslKeysFollowTheDays) {
    const auto names = logstore::load_band_names();
    printing::LogFilter filter;
    filter.start_date = logstore::day_number_of("22-07-2029");
    printing::LogListing listing(filter, printing::ListingStyle::file, names);
    Calls listed;
    for (const auto& [date, call] : k_days) {
        const RecordBytes record = contact(date, "1200", call);
        if (const auto line = listing.line_for(record)) listed.emplace_back(line->text.substr(0, 8));
        EXPECT_EQ(browse::page_line(record, names).substr(1, 8),
                  logstore::date_text_of(logstore::day_number_of(date)));
    }
    EXPECT_EQ(listed, (Calls{"22-07-29", "23-07-29", "24-07-29", "01-01-30", "31-01-61"}));
    logstore::TextRecord note;
    note.date = logstore::day_number_of("31-01-2061");
    note.text = "Last day";
    EXPECT_EQ(browse::page_line(note.encode(), names).substr(1, 8), "31-01-61");

    // A call's cards are sorted by a key that ends in the date.
    for (std::size_t i = 1; i < std::size(k_days); ++i) {
        const int before = logstore::day_number_of(k_days[i - 1].first);
        const int after = logstore::day_number_of(k_days[i].first);
        EXPECT_LT(printing::home_key("G4ABC", before), printing::home_key("G4ABC", after)) << k_days[i].first;
        EXPECT_LT(printing::foreign_key("K1ABC", before), printing::foreign_key("K1ABC", after))
            << k_days[i].first;
    }
}

TEST(DatesPast2029, AdifExportWritesTheLaterDays) {
    kestrel::testing::TempDir dir;
    std::vector<RecordBytes> records;
    for (const auto& [date, call] : k_days)
        records.push_back(contact(date, "1200", call));
    kestrel::testing::write_log(dir.file("NEW.LOG"), records);
    logstore::LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("NEW.LOG")));
    const auto adif = adif_text_of_log(log, CalendarDate{2030, 1, 2});
    ASSERT_TRUE(adif);
    EXPECT_EQ(adif->entries, 7);
    for (const char* written : {"<qso_date:8>19300101 ", "<qso_date:8>20290722 ", "<qso_date:8>20290723 ",
                                "<qso_date:8>20300101 ", "<qso_date:8>20610131 "})
        EXPECT_NE(adif->text.find(written), std::string::npos) << written;
}

// A log written before the field reached past 2029, with every kind of record and the extreme
// days it could hold, comes out of open, insert, delete, replace and export byte for byte.
TEST(DatesPast2029, ALogOfTheOldRangeKeepsEveryByte) {
    kestrel::testing::TempDir dir;
    logstore::TextRecord text;
    text.date = logstore::day_number_of("15-06-1985");
    text.time = 600;
    text.text = "Field day";
    logstore::StationDataRecord station;
    station.date = logstore::day_number_of("22-07-2029");
    station.time = 1439;
    station.operator_name = "G4ABC";
    station.band_index = 4;
    const std::vector<RecordBytes> old = {
        contact("01-01-1930", "0000", "G3OLD"), text.encode(),    contact("31-12-1999", "2359", "W1AW"),
        contact("01-01-2000", "0000", "DL1X"),  station.encode(), contact("22-07-2029", "2359", "VK2Z")};
    // The same bytes a writer of 16-bit day numbers made: the dates stored as they are.
    for (const RecordBytes& r : old)
        ASSERT_EQ(logstore::record_layout::int16_at(r, 0), logstore::record_date(r));
    const std::string bytes = kestrel::testing::bytes_of(old);
    kestrel::testing::write_file(dir.file("OLD.LOG"), bytes);

    logstore::LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("OLD.LOG")));
    ASSERT_TRUE(log.build_record_index());
    ASSERT_TRUE(log.insert_record_in_order(contact("05-05-2005", "1200", "TEMP"), "TEMP"));
    ASSERT_TRUE(log.delete_record(log.current_record()));
    ASSERT_TRUE(log.replace_record(3, old[2], logstore::index_text_of(old[2])));
    const auto adif = adif_text_of_log(log, CalendarDate{2026, 12, 7});
    ASSERT_TRUE(adif);
    EXPECT_EQ(adif->entries, 4);
    EXPECT_NE(adif->text.find("<qso_date:8>19300101 "), std::string::npos);
    EXPECT_NE(adif->text.find("<qso_date:8>20290722 "), std::string::npos);
    log.close_log();
    EXPECT_EQ(kestrel::testing::read_file(dir.file("OLD.LOG")), bytes);
}

} // namespace
} // namespace kestrel::exchange::tools_testing
