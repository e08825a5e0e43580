#include "harness.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace kestrel::crash {

namespace {

std::optional<std::vector<RecordBytes>> read_records(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<RecordBytes> records;
    RecordBytes record;
    while (in.read(reinterpret_cast<char*>(record.data()), record.size()))
        records.push_back(record);
    return records;
}

std::set<int> serials_in(const Logs& logs) {
    std::set<int> serials;
    for (const auto* records : {&logs.log, &logs.merged}) {
        for (const auto& record : *records)
            serials.insert(serial_of(record));
    }
    return serials;
}

// What the journal says the logs were before the last change that started, and after it.
struct Expected {
    Logs before, after;
    int started = 0;
    bool finished = true; // the last change started also reported success
    std::set<RecordBytes> ever_written;
};

Expected replay(const std::string& journal_path, Logs start) {
    Expected expected;
    for (const auto* records : {&start.log, &start.merged})
        expected.ever_written.insert(records->begin(), records->end());
    expected.before = start;
    expected.after = std::move(start);
    std::ifstream journal(journal_path);
    std::string line;
    // A last line without its line end was cut short while being written: its change never began.
    while (std::getline(journal, line) && !journal.eof()) {
        const auto entry = parse_line(line);
        if (!entry) continue;
        if (entry->done) {
            expected.finished = true;
            continue;
        }
        expected.before = expected.after;
        apply(entry->change, expected.after);
        expected.ever_written.insert(entry->change.record);
        expected.finished = false;
        ++expected.started;
    }
    return expected;
}

} // namespace

int check_log(const std::string& path, const std::string& initial) {
    const auto start = read_records(initial);
    if (!start) {
        std::fprintf(stderr, "crash_driver: cannot read %s\n", initial.c_str());
        return 2;
    }
    const Expected expected = replay(journal_path_of(path), Logs{*start, {}});

    const auto log = open_as_program(path);
    const std::string merged_path = merged_path_of(path);
    const auto merged = std::filesystem::exists(merged_path) ? open_as_program(merged_path)
                                                             : std::optional<SeenLog>(SeenLog{});
    if (!log || !merged) {
        std::printf("unreadable\n");
        return 1;
    }
    const Logs seen{log->records, merged->records};
    const int partial = log->trailing_bytes + merged->trailing_bytes;

    const char* outcome = "mixed";
    if (partial == 0 && seen == expected.after) {
        outcome = expected.started == 0 ? "idle" : "after";
    } else if (partial == 0 && !expected.finished && seen == expected.before) {
        outcome = "before";
    }

    // A contact that is in the log both before and after the change must be there, once, intact.
    int spliced = 0, duplicated = 0, lost = 0;
    std::map<int, int> copies;
    for (const auto* records : {&seen.log, &seen.merged}) {
        for (const auto& record : *records) {
            if (!expected.ever_written.contains(record)) {
                ++spliced;
            } else if (++copies[serial_of(record)] > 1) {
                ++duplicated;
            }
        }
    }
    const std::set<int> in_after = serials_in(expected.after);
    for (const int serial : serials_in(expected.before)) {
        if (in_after.contains(serial) && !copies.contains(serial)) ++lost;
    }
    std::printf("%s lost=%d duplicated=%d spliced=%d partial=%d started=%d\n", outcome, lost, duplicated,
                spliced, partial, expected.started);
    return outcome == std::string_view("mixed") ? 1 : 0;
}

} // namespace kestrel::crash
