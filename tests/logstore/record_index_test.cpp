#include "logstore/record_index.hpp"

#include "common/fixed_text.hpp"
#include "logstore/log_store.hpp"
#include "test_log.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace kestrel::logstore {
namespace {

// The worked-before search the lookup replaces: every record from up_to back to the first.
int scan_for(const RecordIndex& index, std::string_view key, int up_to) {
    if (key.empty()) return 0;
    for (int n = std::min(up_to, index.size()); n >= 1; --n) {
        if (trim_trailing_spaces(index.index_call(n)) == key) return n;
    }
    return 0;
}

// Index texts as callers hand them over: padded or not, too long, blank, and the special texts.
const std::vector<std::string> k_texts = {"G4ABC", "G4ABC       ", "DL1XYZ", "/DATA",          "/",
                                          "CQ",    "ABCDEFGHIJKL", "K1A",    "ABCDEFGHIJKLMN", ""};

// Every call those texts make, near misses, a call never used, and keys that can never match.
const std::vector<std::string> k_keys = {"G4ABC", "DL1XYZ", "/DATA",  "/",       "CQ", "ABCDEFGHIJKL",
                                         "K1A",   "G4AB",   "G4ABCD", "VK0NONE", "",   "ABCDEFGHIJKLMN",
                                         "C1",    "C999",   "C1999"};

// The first key and up_to for which the lookup and the scan disagree, empty when none.
std::string first_disagreement(const RecordIndex& index, const std::vector<int>& up_tos) {
    for (const std::string& key : k_keys) {
        for (const int up_to : up_tos) {
            const int found = index.last_with_call(key, up_to);
            const int scanned = scan_for(index, key, up_to);
            if (found != scanned) {
                return "'" + key + "' up to " + std::to_string(up_to) + ": " + std::to_string(found) +
                       " instead of " + std::to_string(scanned);
            }
        }
    }
    return {};
}

std::vector<int> every_up_to(const RecordIndex& index) {
    std::vector<int> up_tos;
    for (int up_to = -1; up_to <= index.size() + 2; ++up_to)
        up_tos.push_back(up_to);
    return up_tos;
}

TEST(RecordIndex, LastWithCallMatchesTheWholeTextAndLooksNoFurtherThanAsked) {
    RecordIndex index;
    EXPECT_EQ(index.last_with_call("G4ABC", 5), 0);
    for (const char* text : {"G4ABC", "/DATA", "G4ABC       ", "/", "CQ", "ABCDEFGHIJKLMN", "", "DL1XYZ"})
        index.append(text, 0);

    const struct {
        const char* key;
        int up_to;
        int found;
    } cases[] = {
        {"G4ABC", 8, 3},          // padded and unpadded texts are the same call
        {"G4ABC", 2, 1},          // nothing after up_to counts
        {"G4ABC", 1, 1},          //
        {"G4ABC", 100, 3},        // up_to past the end means the whole index
        {"G4ABC", 0, 0},          //
        {"G4ABC", -3, 0},         //
        {"G4ABC   ", 8, 3},       // the key's own padding does not count
        {" G4ABC", 8, 0},         // leading spaces do
        {"G4AB", 8, 0},           // neither a prefix
        {"G4ABCD", 8, 0},         // nor a longer call
        {"", 8, 0},               // an empty key finds nothing, not even a blank record
        {"   ", 8, 0},            //
        {"/DATA", 8, 2},          //
        {"/", 8, 4},              //
        {"CQ", 8, 5},             //
        {"ABCDEFGHIJKL", 8, 6},   // a long text is kept to its first 12 characters
        {"ABCDEFGHIJKLMN", 8, 0}, // and a key longer than that matches nothing
        {"DL1XYZ", 7, 0},         //
        {"DL1XYZ", 8, 8},         //
    };
    for (const auto& c : cases)
        EXPECT_EQ(index.last_with_call(c.key, c.up_to), c.found) << "'" << c.key << "' up to " << c.up_to;
}

class Dice {
  public:
    int pick(int low, int high) { return std::uniform_int_distribution(low, high)(m_random); }
    const std::string& text() { return k_texts[static_cast<std::size_t>(pick(0, int(k_texts.size()) - 1))]; }

  private:
    std::mt19937 m_random{1090};
};

// Every change the index knows, each made at a random place with a random text; those that need
// a record are only drawn when there is one.
const struct {
    const char* name;
    void (*change)(RecordIndex&, Dice&);
} k_changes[] = {
    {"append", [](RecordIndex& i, Dice& d) { i.append(d.text(), 0); }},
    {"insert", [](RecordIndex& i, Dice& d) { i.insert(d.pick(1, i.size() + 1), d.text(), 0); }},
    {"clear", [](RecordIndex& i, Dice&) { i.clear(); }},
    {"set_call", [](RecordIndex& i, Dice& d) { i.set_call(d.pick(1, i.size()), d.text()); }},
    {"set", [](RecordIndex& i, Dice& d) { i.set(d.pick(1, i.size()), d.text(), 1); }},
    {"erase", [](RecordIndex& i, Dice& d) { i.erase(d.pick(1, i.size())); }},
    {"shrink_to", [](RecordIndex& i, Dice& d) { i.shrink_to(d.pick(std::max(0, i.size() - 8), i.size())); }},
    {"move",
     [](RecordIndex& i, Dice& d) {
         const int from = d.pick(1, i.size());
         i.move(from, d.pick(1, i.size()), d.text(), 1);
     }},
    {"erase_sorted",
     [](RecordIndex& i, Dice& d) {
         std::vector<int> numbers;
         for (int n = 1; n <= i.size(); ++n) {
             if (d.pick(0, 3) == 0) numbers.push_back(n);
         }
         i.erase_sorted(numbers);
     }},
};

// A random run of those changes on a small index with its lookup built: after each, the lookup
// answers as the scan does for every key and every up_to.
TEST(RecordIndex, LastWithCallAgreesWithTheScanAfterAnyChange) {
    RecordIndex index;
    Dice dice;
    const int count = static_cast<int>(std::size(k_changes));
    for (int step = 0; step < 3000; ++step) {
        // Appends are drawn more often while the index is small, so that it holds a few dozen
        // records; clearing is rare.
        int drawn = dice.pick(0, count - 1);
        if ((index.size() < 40 && dice.pick(0, 1) == 0) || (drawn == 2 && dice.pick(0, 9) > 0)) drawn = 0;
        if (index.size() == 0 && drawn > 2) drawn = 0;
        k_changes[drawn].change(index, dice);
        ASSERT_EQ(first_disagreement(index, every_up_to(index)), "")
            << "step " << step << ": " << k_changes[drawn].name;
    }
}

// On a large index a change near its start renumbers too many records to follow, and the lookup
// is built again at the next search; a change near its end is followed. Either way the answers
// stay those of the scan, with calls enough to make the lookup grow its table a few times.
TEST(RecordIndex, LastWithCallAgreesWithTheScanOnALargeIndex) {
    RecordIndex index;
    for (int n = 1; n <= 10000; ++n) {
        if (n % 7 == 0) {
            index.append("/DATA", 0);
        } else if (n % 3 == 0) {
            index.append("C" + std::to_string(n % 2000), 0);
        } else {
            index.append(k_texts[static_cast<std::size_t>(n) % k_texts.size()], 0);
        }
    }

    const struct {
        const char* name;
        void (*change)(RecordIndex&);
    } changes[] = {
        {"insert at the start", [](RecordIndex& i) { i.insert(1, "VK0NONE", 0); }},
        {"append", [](RecordIndex& i) { i.append("G4ABC", 0); }},
        {"erase the first", [](RecordIndex& i) { i.erase(1); }},
        {"erase several from the start",
         [](RecordIndex& i) {
             i.erase_sorted({2, 5000, 9000});
         }},
        {"erase several near the end",
         [](RecordIndex& i) {
             i.erase_sorted({i.size() - 9, i.size()});
         }},
        {"move the first to the end", [](RecordIndex& i) { i.move(1, i.size(), "K1A", 0); }},
        {"move the last to the start", [](RecordIndex& i) { i.move(i.size(), 1, "DL1XYZ", 0); }},
        {"move near the end", [](RecordIndex& i) { i.move(i.size() - 20, i.size() - 2, "CQ", 0); }},
        {"insert near the end", [](RecordIndex& i) { i.insert(i.size() - 50, "K1A", 0); }},
        {"set the first", [](RecordIndex& i) { i.set(1, "G4ABC", 0); }},
        {"shrink by a few", [](RecordIndex& i) { i.shrink_to(i.size() - 3); }},
        {"shrink to a hundred", [](RecordIndex& i) { i.shrink_to(100); }},
        {"append after shrinking", [](RecordIndex& i) { i.append("VK0NONE", 0); }},
    };
    for (const auto& c : changes) {
        ASSERT_EQ(index.last_with_call("G4ABC", index.size()), scan_for(index, "G4ABC", index.size()));
        c.change(index);
        std::vector<int> up_tos = {0, 1, 2, 99, 100, 101};
        for (int up_to = index.size() - 60; up_to <= index.size() + 1; ++up_to)
            up_tos.push_back(up_to);
        for (int up_to = 4990; up_to <= 5010; ++up_to)
            up_tos.push_back(up_to);
        EXPECT_EQ(first_disagreement(index, up_tos), "") << c.name;
    }
}

// A wrong list of numbers is refused before anything changes, so the lookup cannot be left half
// renumbered.
TEST(RecordIndex, BadNumbersChangeNothing) {
    RecordIndex index;
    for (const char* text : {"G4ABC", "K1A", "G4ABC"})
        index.append(text, 0);
    index.prepare_call_lookup();
    EXPECT_THROW(index.erase_sorted({2, 4}), std::out_of_range);
    EXPECT_THROW(index.erase_sorted({2, 2}), std::invalid_argument);
    EXPECT_THROW(index.erase_sorted({3, 1}), std::invalid_argument);
    EXPECT_THROW(index.move(1, 4, "K1A", 0), std::out_of_range);
    EXPECT_THROW(index.insert(5, "K1A", 0), std::out_of_range);
    EXPECT_EQ(index.size(), 3);
    EXPECT_EQ(index.last_with_call("G4ABC", 3), 3);
    EXPECT_EQ(index.last_with_call("K1A", 3), 2);
}

// The same search made on the log file itself: the index text of each record as it is on disk.
int scan_file_for(const LogStore& log, std::string_view key, int up_to) {
    const auto records = log.read_records(1, log.record_count());
    if (key.empty() || !records) return 0;
    for (int n = std::min(up_to, log.record_count()); n >= 1; --n) {
        if (trim_trailing_spaces(index_text_of((*records)[static_cast<std::size_t>(n - 1)])) == key) return n;
    }
    return 0;
}

LogStatus add(LogStore& log, const char* date, const char* call) {
    const RecordBytes record = testing::qso(date, "1200", call);
    return log.append_record(record, index_text_of(record));
}

LogStatus insert(LogStore& log, const char* date, const char* time, const char* call) {
    const RecordBytes record = testing::qso(date, time, call);
    return log.insert_record_in_order(record, index_text_of(record));
}

LogStatus replace(LogStore& log, int n, const char* date, const char* call) {
    const RecordBytes record = testing::qso(date, "1200", call);
    return log.replace_record(n, record, index_text_of(record));
}

// Each change the log store makes keeps the search of the index it holds equal to a search of
// the file, from the window's first search on.
TEST(LogStore, WorkedBeforeFollowsEveryChangeToTheLog) {
    const struct {
        const char* name;
        std::function<LogStatus(LogStore&)> change;
    } changes[] = {
        {"append", [](LogStore& log) { return add(log, "20-01-24", "G4ABC"); }},
        {"append a portable call", [](LogStore& log) { return add(log, "21-01-24", "GW4ABC/P"); }},
        {"rewrite with another call",
         [](LogStore& log) { return log.write_record(2, testing::qso("11-01-24", "1200", "K1A")); }},
        {"write one past the end",
         [](LogStore& log) {
             return log.write_record(log.record_count() + 1, testing::qso("22-01-24", "1200", "DL1XYZ"));
         }},
        {"insert in the middle", [](LogStore& log) { return insert(log, "14-01-24", "1300", "G4ABC"); }},
        {"insert before all", [](LogStore& log) { return insert(log, "01-01-24", "0000", "K1A"); }},
        {"insert after all", [](LogStore& log) { return insert(log, "31-01-24", "0000", "VK0NONE"); }},
        {"delete the first", [](LogStore& log) { return log.delete_record(1); }},
        {"delete the newest G4ABC",
         [](LogStore& log) {
             return log.delete_record(log.index().last_with_call("G4ABC", log.record_count()));
         }},
        {"delete several",
         [](LogStore& log) {
             return log.delete_records({3, 1, 6});
         }},
        {"replace moving forward", [](LogStore& log) { return replace(log, 1, "25-01-24", "DL1XYZ"); }},
        {"replace moving back",
         [](LogStore& log) { return replace(log, log.record_count(), "01-01-24", "G4ABC"); }},
        {"replace in place with a new call",
         [](LogStore& log) { return replace(log, 3, "15-01-24", "VK0NONE"); }},
        {"truncate", [](LogStore& log) { return log.truncate_log(5); }},
        {"append after truncating", [](LogStore& log) { return add(log, "30-01-24", "K1A"); }},
    };

    testing::TempDir dir;
    std::vector<RecordBytes> records;
    const char* calls[] = {"G4ABC", "DL1XYZ", "G4ABC", "K1A", "M0ABC", "G4ABC", "DL1XYZ", "F5XX"};
    for (int day = 0; day < 8; ++day)
        records.push_back(testing::qso(std::to_string(10 + day) + "-01-24", "1200", calls[day]));
    testing::write_log(dir.file("W.LOG"), records);
    LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("W.LOG")));
    ASSERT_TRUE(log.build_record_index());
    log.index().prepare_call_lookup();

    for (const auto& c : changes) {
        ASSERT_TRUE(c.change(log)) << c.name;
        for (const char* key : {"G4ABC", "DL1XYZ", "K1A", "M0ABC", "F5XX", "VK0NONE", "GW4ABC"}) {
            for (int up_to = 0; up_to <= log.record_count() + 1; ++up_to) {
                EXPECT_EQ(log.index().last_with_call(key, up_to), scan_file_for(log, key, up_to))
                    << c.name << ": " << key << " up to " << up_to;
            }
        }
    }
}

} // namespace
} // namespace kestrel::logstore
