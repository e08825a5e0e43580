#include "changes.hpp"

#include "exchange/merge.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iterator>
#include <sstream>

namespace kestrel::crash {

namespace {

std::vector<RecordBytes> without(const std::vector<RecordBytes>& records, const std::vector<int>& numbers,
                                 std::vector<RecordBytes>* taken) {
    std::vector<RecordBytes> kept;
    kept.reserve(records.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const bool goes = next < numbers.size() && numbers[next] == static_cast<int>(i) + 1;
        if (goes) {
            ++next;
            if (taken) taken->push_back(records[i]);
        } else {
            kept.push_back(records[i]);
        }
    }
    return kept;
}

const char* kind_name(Change::Kind kind) {
    switch (kind) {
    case Change::Kind::insert: return "insert";
    case Change::Kind::erase: return "erase";
    case Change::Kind::replace: return "replace";
    case Change::Kind::write: return "write";
    case Change::Kind::merge: return "merge";
    }
    return "?";
}

std::optional<Change::Kind> kind_named(const std::string& name) {
    for (const auto kind : {Change::Kind::insert, Change::Kind::erase, Change::Kind::replace,
                            Change::Kind::write, Change::Kind::merge}) {
        if (name == kind_name(kind)) return kind;
    }
    return std::nullopt;
}

bool parse_hex(const std::string& text, RecordBytes& record) {
    if (text.size() != 2 * record.size()) return false;
    for (std::size_t i = 0; i < record.size(); ++i) {
        const char* first = text.data() + 2 * i;
        if (std::from_chars(first, first + 2, record[i], 16).ptr != first + 2) return false;
    }
    return true;
}

bool parse_numbers(const std::string& text, std::vector<int>& numbers) {
    if (text == "-") return true;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        int n = 0;
        if (std::from_chars(item.data(), item.data() + item.size(), n).ec != std::errc{}) return false;
        numbers.push_back(n);
    }
    return true;
}

// The comment reads "serial 0001234 edit 3".
constexpr std::size_t k_serial_at = logstore::record_layout::comment + 7;
constexpr std::size_t k_edit_at = logstore::record_layout::comment + 20;

int number_at(const RecordBytes& record, std::size_t at, std::size_t width) {
    int n = 0;
    const auto* first = reinterpret_cast<const char*>(record.data()) + at;
    if (std::from_chars(first, first + width, n).ptr != first + width) return 0;
    return n;
}

} // namespace

void apply(const Change& change, Logs& logs) {
    auto& log = logs.log;
    switch (change.kind) {
    case Change::Kind::insert: log.insert(log.begin() + (change.at - 1), change.record); break;
    case Change::Kind::erase: log = without(log, change.numbers, nullptr); break;
    case Change::Kind::replace:
        log.erase(log.begin() + (change.from - 1));
        log.insert(log.begin() + (change.at - 1), change.record);
        break;
    case Change::Kind::write: log[static_cast<std::size_t>(change.at - 1)] = change.record; break;
    case Change::Kind::merge: {
        std::vector<RecordBytes> moved;
        log = without(log, change.numbers, &moved);
        // An entry already in the merged log goes before a moved one of the same date and time,
        // which is what std::merge does with equal keys.
        std::vector<RecordBytes> merged;
        std::merge(logs.merged.begin(), logs.merged.end(), moved.begin(), moved.end(),
                   std::back_inserter(merged), [](const RecordBytes& a, const RecordBytes& b) {
                       return exchange::merge_key(a) < exchange::merge_key(b);
                   });
        logs.merged = std::move(merged);
        break;
    }
    }
}

std::string start_line(int serial, const Change& change) {
    std::string numbers;
    for (const int n : change.numbers)
        numbers += (numbers.empty() ? "" : ",") + std::to_string(n);
    std::string hex;
    for (const std::uint8_t byte : change.record) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", byte);
        hex += two;
    }
    return "start " + std::to_string(serial) + " " + kind_name(change.kind) + " " +
           std::to_string(change.at) + " " + std::to_string(change.from) + " " +
           (numbers.empty() ? "-" : numbers) + " " + hex + "\n";
}

std::string done_line(int serial) {
    return "done " + std::to_string(serial) + "\n";
}

std::optional<JournalEntry> parse_line(const std::string& line) {
    std::istringstream in(line);
    std::string word, kind, numbers, hex;
    JournalEntry entry;
    if (!(in >> word >> entry.serial)) return std::nullopt;
    if (word == "done") {
        entry.done = true;
        return entry;
    }
    if (word != "start" || !(in >> kind >> entry.change.at >> entry.change.from >> numbers >> hex)) {
        return std::nullopt;
    }
    const auto named = kind_named(kind);
    if (!named || !parse_numbers(numbers, entry.change.numbers) || !parse_hex(hex, entry.change.record)) {
        return std::nullopt;
    }
    entry.change.kind = *named;
    return entry;
}

RecordBytes harness_record(int serial, int edit, std::int16_t date, std::int16_t time) {
    logstore::QsoRecord q;
    q.date = date;
    q.time_on = time;
    q.time_off = time;
    q.call = "T" + std::to_string(serial % 10) + "EST";
    q.rst_sent = "599";
    q.rst_received = "599";
    q.band = logstore::coded_band_field(4);
    q.mode = "CW";
    q.power = "100";
    char comment[41];
    std::snprintf(comment, sizeof comment, "serial %07d edit %05d", serial, edit);
    q.comment = comment;
    return q.encode();
}

int serial_of(const RecordBytes& record) {
    return number_at(record, k_serial_at, 7);
}
int edit_of(const RecordBytes& record) {
    return number_at(record, k_edit_at, 5);
}

} // namespace kestrel::crash
