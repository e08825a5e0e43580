#include "browse/list_search.hpp"

#include "logstore/faulty_file_system.hpp"
#include "logstore/test_log.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace kestrel::browse {
namespace {

using logstore::RecordBytes;
using testing::calls_in;
using testing::read_file;
using testing::TempDir;
using testing::write_log;

RecordBytes entry(const std::string& call, const std::string& comment = "", std::uint8_t qsl = 0) {
    logstore::QsoRecord q = logstore::QsoRecord::decode(testing::qso("14-03-05", "0930", call));
    q.time_off = logstore::minute_of("0942");
    q.comment = comment;
    q.qsl_flags = qsl;
    return q.encode();
}

std::vector<int> numbers_of(const Listing& listing) {
    std::vector<int> out;
    for (const ListedEntry& e : listing.entries)
        out.push_back(e.record);
    return out;
}

const logstore::BandNameTable k_bands = logstore::load_band_names();

TEST(ListLine, EveryColumnHasItsWidthAndTheNumberEndsTheLine) {
    logstore::QsoRecord text_band = logstore::QsoRecord::decode(entry("JA1XYZ", "via bureau", 0x33));
    text_band.band = logstore::text_band_field("21.");
    text_band.mode = "CW";
    text_band.power = "1.5kW";
    logstore::QsoRecord long_call = logstore::QsoRecord::decode(entry("VP2E/G4ABC/P", "a|b, c"));
    long_call.power = "";
    const std::string spaces_after = std::string(10, ' ');
    const struct {
        RecordBytes record;
        int number;
        std::string line;
    } cases[] = {
        {entry("G4ABC/P", "Name Bob", 3), 7,
         "14-03-05|G4ABC/P     |09:30|09:42|14MHz |SSB |100  SR|Name Bob" + std::string(32, ' ') +
             spaces_after + "     7"},
        {text_band.encode(), 99999,
         "14-03-05|JA1XYZ      |09:30|09:42|21MHz |CW  |1.5kWSR|via bureau" + std::string(30, ' ') +
             spaces_after + " 99999"},
        {long_call.encode(), 120000,
         "14-03-05|VP2E/G4ABC/P|09:30|09:42|14MHz |SSB |     --|a|b, c" + std::string(34, ' ') +
             spaces_after + "120000"},
    };
    for (const auto& c : cases) {
        const std::string line = list_line(c.record, c.number, k_bands);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(std::atoi(line.substr(line.size() - 6).c_str()), c.number) << "the number is the last six";
    }
    const std::string heading = list_heading();
    EXPECT_EQ(heading.find("Call Sign"), 10u);
    EXPECT_EQ(heading.find("Time on/off"), 22u) << "over the time on";
    EXPECT_EQ(heading.find("Mode"), 41u);
    EXPECT_EQ(heading.find("Power"), 46u);
    EXPECT_EQ(heading.substr(heading.size() - 9), "Entry No.");
}

// Notes and changes of station data, listed by "*", "/" or "/DATA", read as what they are; no
// line carries the 0x00 bytes of unused fields, or a line break, into the list or the file.
TEST(ListLine, NotesAndStationDataHaveLinesOfTheirOwnWithoutControlCharacters) {
    const std::int16_t day = logstore::day_number_of("14-03-05");
    const RecordBytes note = logstore::TextRecord{day, 570, "Antenna down in the gale"}.encode();
    const RecordBytes data = logstore::StationDataRecord{day, 600, "G4ABC", "FT-1000", "Dipole", 6}.encode();
    logstore::QsoRecord cq = logstore::QsoRecord::decode(entry("CQ", "no takers"));
    cq.rst_sent = cq.rst_received = std::string(7, '\0');
    logstore::QsoRecord damaged = logstore::QsoRecord::decode(entry("G4ABC", std::string("a\0b\r\nc\td", 8)));
    damaged.power = std::string("10\0\0\0", 5);
    const struct {
        RecordBytes record;
        std::string line;
    } cases[] = {
        {note, "14-03-05|/           |09:30|Antenna down in the gale" + std::string(40 + 12, ' ') + "    12"},
        {data, "14-03-05|/DATA       |10:00|Op: G4ABC       |Tcvr: FT-1000     |Ant: Dipole      |B:21MHz " +
                   std::string(14, ' ') + "    12"},
        {cq.encode(), "14-03-05|CQ          |09:30|09:42|14MHz |SSB |100  --|no takers" +
                          std::string(31 + 10, ' ') + "    12"},
        {damaged.encode(), "14-03-05|G4ABC       |09:30|09:42|14MHz |SSB |10   --|a b  c d" +
                               std::string(32 + 10, ' ') + "    12"},
    };
    for (const auto& c : cases) {
        const std::string line = list_line(c.record, 12, k_bands);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(line.size(), 110u) << line;
    }

    TempDir dir;
    write_log(dir.file("MIXED.LOG"), {entry("G4ABC"), note, data, cq.encode(), damaged.encode(), note});
    logstore::LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("MIXED.LOG")));
    const struct {
        const char* typed;
        std::vector<int> numbers;
    } searches[] = {{"*", {1, 2, 3, 4, 5, 6}}, {"/", {2, 6}}, {"/DATA", {3}}, {"/*", {2, 3, 6}}};
    for (const auto& search : searches) {
        const auto found = list_by_call(log, search.typed, k_bands);
        ASSERT_TRUE(found) << search.typed;
        EXPECT_EQ(numbers_of(*found), search.numbers) << search.typed;
        const std::string file = list_file_text(found->lines);
        EXPECT_EQ(std::count_if(file.begin(), file.end(), [](char c) { return c >= 0 && c < ' '; }),
                  2 * static_cast<long>(search.numbers.size()))
            << search.typed << ": only the CR LF ending each line";
    }
}

TEST(CallMatch, ABaseCallFindsEveryFormAndAPrefixTheCallsAsStored) {
    const struct {
        const char* typed;
        const char* call;
        bool found;
    } cases[] = {
        {"G4ABC", "G4ABC", true},    {"G4ABC", "G4ABC/P", true},
        {"G4ABC", "G4ABC/M", true},  {"G4ABC", "G4ABC/MM", true},
        {"G4ABC", "G4ABC/A", true},  {"G4ABC", "GW4ABC", true},
        {"G4ABC", "GM4ABC/P", true}, {"G4ABC", "G4ABCD", false},
        {"G4ABC", "G4AB", false},    {"G4ABC", "GB4ABC", false},
        {"GW4ABC/P", "G4ABC", true}, {"G4ABC", "/", false},
        {"CQ", "CQ", true},          {"G4*", "G4XYZ", true},
        {"G4*", "G4", true},         {"G4*", "GW4XYZ", false},
        {"G*", "GW4XYZ", true},      {"G**", "GM0AAA", true},
        {"G4*", "DL4ABC", false},    {"VP2E/G4ABC/P*", "VP2E/G4ABC/P", true},
        {"*", "/DATA", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CallMatch(c.typed)(entry(c.call)), c.found) << c.typed << " against " << c.call;
    }
}

TEST(CommentMatch, AWordInAnyCaseInTheCommentsOfContactsOnly) {
    const RecordBytes note = logstore::TextRecord{0, 0, std::string(30, ' ') + "BOB in a note"}.encode();
    const struct {
        const char* word;
        RecordBytes record;
        bool found;
    } cases[] = {
        {"BOB", entry("G4ABC", "Name Bob"), true},
        {"name b", entry("G4ABC", "NAME BOB"), true},
        {"BOB", entry("CQ", "bob answered"), true},
        {"BOB", note, false},
        {"BOB", entry("G4ABC", "Name Rob"), false},
        {"BOB ", entry("G4ABC", "Name Bob"), true}, // the padding is part of the comment
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommentMatch(c.word)(c.record), c.found) << c.word;
    }
}

// A log larger than one block, with the entries wanted on both sides of block boundaries.
TEST(LogSearch, TheWholeLogIsSearchedAcrossItsBlocks) {
    TempDir dir;
    std::vector<RecordBytes> records(20000, entry("DL1XX", "nothing"));
    for (int n : {1, 8192, 8193, 16385, 20000})
        records[n - 1] = entry(n % 2 ? "GW4ABC/P" : "G4ABC", "Bob here");
    write_log(dir.file("BIG.LOG"), records);
    logstore::LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("BIG.LOG")));

    const auto by_call = list_by_call(log, "G4ABC", k_bands);
    ASSERT_TRUE(by_call);
    EXPECT_EQ(numbers_of(*by_call), (std::vector<int>{1, 8192, 8193, 16385, 20000}));
    ASSERT_EQ(by_call->lines.size(), 5u);
    EXPECT_EQ(by_call->lines[4].substr(by_call->lines[4].size() - 6), " 20000");
    EXPECT_EQ(by_call->entries[2].bytes, records[8192]);

    const auto by_comment = list_by_comment(log, "bob", k_bands);
    ASSERT_TRUE(by_comment);
    EXPECT_EQ(numbers_of(*by_comment), numbers_of(*by_call));

    const auto by_prefix = list_by_call(log, "GW*", k_bands);
    ASSERT_TRUE(by_prefix);
    EXPECT_EQ(numbers_of(*by_prefix), (std::vector<int>{1, 8193, 16385}));

    for (const auto& nothing : {list_by_call(log, "", k_bands), list_by_comment(log, "", k_bands),
                                list_by_call(log, "K1ABC", k_bands)}) {
        ASSERT_TRUE(nothing);
        EXPECT_TRUE(nothing->entries.empty());
        EXPECT_TRUE(nothing->lines.empty());
    }
}

TEST(LogSearch, TheFileHasCommasForBarsAndCrLfLineEnds) {
    const std::vector<std::string> lines = {"a|b|c", "comment, with comma|    7", ""};
    EXPECT_EQ(list_file_text(lines), "a,b,c\r\ncomment, with comma,    7\r\n\r\n");
    EXPECT_EQ(list_file_text({}), "");
}

class DeleteListed : public ::testing::Test {
  protected:
    // Fifteen entries CALL1 .. CALL15, listed in full.
    void SetUp() override {
        std::vector<RecordBytes> records;
        for (int n = 1; n <= 15; ++n)
            records.push_back(entry("CALL" + std::to_string(n)));
        write_log(path(), records);
        ASSERT_TRUE(m_log.open_log(path()));
        ASSERT_TRUE(m_log.build_record_index());
        auto all = list_by_call(m_log, "CALL*", k_bands);
        ASSERT_TRUE(all);
        m_listed = std::move(*all);
    }
    std::string path() const { return m_dir.file("L.LOG"); }
    ListedEntry listed(int record) const { return m_listed.entries.at(static_cast<std::size_t>(record - 1)); }
    static std::vector<std::string> calls_but(std::vector<int> gone) {
        std::vector<std::string> calls;
        for (int n = 1; n <= 15; ++n)
            if (std::find(gone.begin(), gone.end(), n) == gone.end())
                calls.push_back("CALL" + std::to_string(n));
        return calls;
    }

    TempDir m_dir;
    testing::FaultyFileSystem m_files;
    logstore::LogStore m_log{m_files};
    Listing m_listed;
};

TEST_F(DeleteListed, ExactlyTheEntriesChosenGoInWhateverOrderTheyAreGiven) {
    const Deletion done = delete_listed(m_log, {listed(5), listed(12), listed(9), listed(9)});
    EXPECT_TRUE(done.complete());
    EXPECT_EQ(done.deleted, 3);
    EXPECT_EQ(calls_in(path()), calls_but({5, 9, 12}));
    EXPECT_EQ(m_log.record_count(), 12);
    EXPECT_EQ(m_log.index().index_call(9), "CALL11      ") << "the index follows";
}

TEST_F(DeleteListed, DeletingEveryEntryLeavesAnEmptyFile) {
    EXPECT_TRUE(delete_listed(m_log, m_listed.entries).complete());
    EXPECT_EQ(read_file(path()), "");
    EXPECT_EQ(m_log.record_count(), 0);
}

TEST_F(DeleteListed, ALogChangedSinceTheListingLosesNothingMore) {
    ASSERT_TRUE(m_log.delete_record(1)); // every entry moves down by one under the list
    const std::string before = read_file(path());
    const Deletion done = delete_listed(m_log, {listed(5), listed(9), listed(12)});
    EXPECT_TRUE(done.entry_changed);
    EXPECT_TRUE(done.status);
    EXPECT_EQ(done.deleted, 0);
    EXPECT_EQ(read_file(path()), before);
}

TEST_F(DeleteListed, AFailedWriteDeletesNoneAndKeepsEveryEntry) {
    ASSERT_TRUE(m_log.delete_record(14));
    const std::string before = read_file(path());
    // All the entries go in one pass over the log; whichever of its writes fails, none go.
    int failed = 0;
    for (int failing = 1; failing <= 3; ++failing) {
        m_files.arm();
        m_files.fail_change_number = failing;
        m_files.change_error = ENOSPC;
        const Deletion done = delete_listed(m_log, {listed(2), listed(6), listed(10)});
        if (done.status) continue; // the pass needed fewer writes than that
        ++failed;
        EXPECT_EQ(done.deleted, 0) << failing;
        EXPECT_EQ(done.status.error(), logstore::LogError::disk_full) << failing;
        EXPECT_EQ(read_file(path()), before) << failing;
    }
    EXPECT_GE(failed, 1);
}

} // namespace
} // namespace kestrel::browse
