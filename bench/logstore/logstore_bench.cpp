// How long the log operations take on a 1,000,000-entry log (84 MB), each made safe against a
// crash by its journal and synced: appending a contact, inserting one among the last hundred,
// inserting one dated before all others, deleting entry 1, moving an entry from one end of the
// log to the other, and building the index. Beside them, the floors they are measured against,
// timed in the same run: writing and syncing one record's bytes at the end of the same file, and
// copying the whole log's bytes within it and syncing (what moving every record costs at the
// least). Building the index is measured against a tight loop over the same bytes: the log read
// in the same blocks and each record's call field and date copied into a table, nothing else.
// Each benchmark works on a log of its own in a fresh temporary directory.
#include "logstore/dates.hpp"
#include "logstore/log_store.hpp"
#include "support/temp_dir.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace kestrel::logstore;

constexpr int k_records = 1000000;

RecordBytes contact(std::int16_t date, std::int16_t time, const std::string& call) {
    QsoRecord qso;
    qso.date = date;
    qso.time_on = time;
    qso.time_off = time;
    qso.call = call;
    qso.rst_sent = "59";
    qso.rst_received = "57";
    qso.band = coded_band_field(4);
    qso.mode = "SSB";
    qso.power = "100";
    qso.comment = "benchmark entry";
    return qso.encode();
}

// A log of k_records contacts, 400 a day from 01-01-00 on, in a directory removed afterwards.
class BigLog {
  public:
    BigLog() {
        std::ofstream out(path(), std::ios::binary);
        const std::int16_t first_day = day_number_of("01-01-00");
        for (int i = 0; i < k_records; ++i) {
            // Day numbers are not consecutive: step through real dates of 28 days a month.
            const int day = i / 400;
            const int year = day / (12 * 28), month = day / 28 % 12, dom = day % 28;
            const auto date = static_cast<std::int16_t>(first_day + 500 * year + 35 * month + dom);
            const RecordBytes record =
                contact(date, static_cast<std::int16_t>(i % 400 * 3), "G" + std::to_string(i));
            out.write(reinterpret_cast<const char*>(record.data()), k_record_size);
        }
    }
    std::string path() const { return m_dir.file("BIG.LOG"); }

  private:
    kestrel::testing::TempDir m_dir;
};

void open_indexed(LogStore& log, const BigLog& big, benchmark::State& state) {
    if (!log.open_log(big.path()) || !log.build_record_index()) state.SkipWithError("cannot open the log");
}

const RecordBytes k_earliest = contact(day_number_of("01-01-99"), 0, "EARLY");
const RecordBytes k_latest = contact(day_number_of("31-12-28"), 0, "LATE");

// The floor of an append: 84 bytes written at the end of the file and synced, nothing else.
void BM_Floor_WriteAndSyncOneRecord(benchmark::State& state) {
    BigLog big;
    const int fd = ::open(big.path().c_str(), O_RDWR);
    const off_t end = ::lseek(fd, 0, SEEK_END);
    for (auto _ : state) {
        if (::pwrite(fd, k_latest.data(), k_record_size, end) != k_record_size || ::fsync(fd) != 0)
            state.SkipWithError("write");
        state.PauseTiming();
        if (::ftruncate(fd, end) != 0) state.SkipWithError("truncate");
        state.ResumeTiming();
    }
    ::close(fd);
}

void BM_Append(benchmark::State& state) {
    BigLog big;
    LogStore log;
    open_indexed(log, big, state);
    for (auto _ : state) {
        if (!log.append_record(k_latest, "LATE")) state.SkipWithError("append");
        state.PauseTiming();
        if (!log.truncate_log(log.record_count() - 1)) state.SkipWithError("truncate");
        state.ResumeTiming();
    }
}

// A contact logged late: dated among the last hundred entries, so about fifty of them move.
void BM_InsertAmongTheLastHundred(benchmark::State& state) {
    BigLog big;
    LogStore log;
    open_indexed(log, big, state);
    const auto record = log.read_record(log.record_count() - 50);
    if (!record) state.SkipWithError("read");
    const RecordBytes late =
        contact(record_date(*record), static_cast<std::int16_t>(record_time(*record) + 1), "LATE");
    for (auto _ : state) {
        if (!log.insert_record_in_order(late, "LATE")) state.SkipWithError("insert");
        state.PauseTiming();
        if (!log.delete_record(log.current_record())) state.SkipWithError("delete");
        state.ResumeTiming();
    }
}

// The floor of moving every record: the log's bytes read and written back one record further on
// in blocks, and synced, with no journal.
void BM_Floor_MoveEveryRecord(benchmark::State& state) {
    BigLog big;
    const int fd = ::open(big.path().c_str(), O_RDWR);
    const off_t size = ::lseek(fd, 0, SEEK_END);
    std::vector<char> bytes(static_cast<std::size_t>(size));
    for (auto _ : state) {
        if (::pread(fd, bytes.data(), bytes.size(), 0) != size) state.SkipWithError("read");
        constexpr std::size_t k_block = std::size_t{8192} * k_record_size;
        for (std::size_t at = bytes.size(); at > 0;) {
            const std::size_t from = at > k_block ? at - k_block : 0;
            if (::pwrite(fd, bytes.data() + from, at - from, static_cast<off_t>(from + k_record_size)) < 0)
                state.SkipWithError("write");
            at = from;
        }
        if (::pwrite(fd, k_earliest.data(), k_record_size, 0) != k_record_size || ::fsync(fd) != 0)
            state.SkipWithError("write");
        state.PauseTiming();
        if (::pwrite(fd, bytes.data(), bytes.size(), 0) != size || ::ftruncate(fd, size) != 0)
            state.SkipWithError("restore");
        state.ResumeTiming();
    }
    ::close(fd);
}

// A log this long is indexed in two halves at once: compare its real time ("Time") with the
// loop's; the CPU column counts the calling thread only.
void BM_BuildIndex(benchmark::State& state) {
    BigLog big;
    LogStore log;
    open_indexed(log, big, state);
    for (auto _ : state) {
        if (!log.build_record_index()) state.SkipWithError("index");
    }
}

// The floor of building the index: the same reads, and per record only its call field and date
// copied out.
void BM_Reference_IndexLoop(benchmark::State& state) {
    BigLog big;
    const int fd = ::open(big.path().c_str(), O_RDONLY);
    const auto count = static_cast<int>(::lseek(fd, 0, SEEK_END) / k_record_size);
    struct Slot {
        char call[k_call_width];
        std::int16_t date;
    };
    std::vector<Slot> slots;
    std::vector<std::uint8_t> block(std::size_t{LogFile::k_block_records} * k_record_size);
    for (auto _ : state) {
        slots.clear();
        slots.reserve(static_cast<std::size_t>(count));
        for (int first = 0; first < count; first += LogFile::k_block_records) {
            const int in_block = std::min(LogFile::k_block_records, count - first);
            const auto bytes = static_cast<std::size_t>(in_block) * k_record_size;
            if (::pread(fd, block.data(), bytes, off_t{first} * k_record_size) != static_cast<ssize_t>(bytes))
                state.SkipWithError("read");
            for (int i = 0; i < in_block; ++i) {
                const std::uint8_t* record = block.data() + static_cast<std::size_t>(i) * k_record_size;
                Slot& slot = slots.emplace_back();
                std::memcpy(slot.call, record + record_layout::call, k_call_width);
                slot.date = static_cast<std::int16_t>(record[0] | (record[1] << 8));
            }
        }
        benchmark::DoNotOptimize(slots.data());
    }
    ::close(fd);
}

void BM_InsertBeforeAll(benchmark::State& state) {
    BigLog big;
    LogStore log;
    open_indexed(log, big, state);
    for (auto _ : state) {
        if (!log.insert_record_in_order(k_earliest, "EARLY")) state.SkipWithError("insert");
        state.PauseTiming();
        if (!log.delete_record(1)) state.SkipWithError("delete");
        state.ResumeTiming();
    }
}

void BM_DeleteFirst(benchmark::State& state) {
    BigLog big;
    LogStore log;
    open_indexed(log, big, state);
    for (auto _ : state) {
        state.PauseTiming();
        if (!log.insert_record_in_order(k_earliest, "EARLY")) state.SkipWithError("insert");
        state.ResumeTiming();
        if (!log.delete_record(1)) state.SkipWithError("delete");
    }
}

// Every iteration moves an entry across the whole log, first to the end, then back to the start.
void BM_ReplaceAcrossTheLog(benchmark::State& state) {
    BigLog big;
    LogStore log;
    open_indexed(log, big, state);
    bool at_start = true;
    for (auto _ : state) {
        const LogStatus status = at_start ? log.replace_record(1, k_latest, "LATE")
                                          : log.replace_record(log.record_count(), k_earliest, "EARLY");
        if (!status) state.SkipWithError("replace");
        at_start = !at_start;
    }
}

BENCHMARK(BM_Floor_WriteAndSyncOneRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Append)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertAmongTheLastHundred)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_MoveEveryRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertBeforeAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference_IndexLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAcrossTheLog)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
