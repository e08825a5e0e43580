#pragma once

#include "logstore/record.hpp"

#include <optional>
#include <string>
#include <vector>

namespace kestrel::crash {

using logstore::RecordBytes;

// The log and the log a merge moves entries into, as the harness expects them to be.
struct Logs {
    std::vector<RecordBytes> log;
    std::vector<RecordBytes> merged;
    friend bool operator==(const Logs&, const Logs&) = default;
};

// One change to the logs in positional terms, so that a checker can replay it without the
// log store's own rules. Numbers are 1-based, as the store counts.
struct Change {
    enum class Kind { insert, erase, replace, write, merge };
    Kind kind = Kind::insert;
    int at = 0;               // insert, replace: the record's new number; write: its number
    int from = 0;             // replace: the record's old number
    std::vector<int> numbers; // erase, merge: the records that go, in ascending order
    RecordBytes record{};     // insert, replace, write: the new contents
};

void apply(const Change& change, Logs& logs);

// Journal lines: "start N KIND AT FROM NUMBERS HEX" before change N begins and "done N" after it
// reported success. NUMBERS is comma-separated ("-" for none), HEX the record's 84 bytes.
[[nodiscard]] std::string start_line(int serial, const Change& change);
[[nodiscard]] std::string done_line(int serial);

struct JournalEntry {
    bool done = false;
    int serial = 0;
    Change change;
};
// Nothing for a line that is cut short or not the journal's.
[[nodiscard]] std::optional<JournalEntry> parse_line(const std::string& line);

// Every record the harness writes carries a serial number in its comment, and a count of its
// edits, so a record seen twice or made of two halves can be told apart from a real one.
[[nodiscard]] RecordBytes harness_record(int serial, int edit, std::int16_t date, std::int16_t time);
// 0 when the comment holds no serial.
[[nodiscard]] int serial_of(const RecordBytes& record);
[[nodiscard]] int edit_of(const RecordBytes& record);

} // namespace kestrel::crash
