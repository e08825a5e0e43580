// How long the log operations that move many records take on a large log: building the index,
// inserting an entry dated before all others, deleting entry 1 and replacing an entry so that
// it moves from one end of the log to the other. Each run works on a 120,000-entry log in a
// fresh temporary directory.
#include "logstore/dates.hpp"
#include "logstore/log_store.hpp"
#include "support/temp_dir.hpp"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

using namespace kestrel::logstore;

constexpr int k_records = 120000;

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

// A log of k_records contacts, 40 a day from 01-01-00 on, in a directory removed afterwards.
class BigLog {
  public:
    BigLog() {
        std::ofstream out(path(), std::ios::binary);
        const std::int16_t first_day = day_number_of("01-01-00");
        for (int i = 0; i < k_records; ++i) {
            // Day numbers are not consecutive: step through real dates of 28 days a month.
            const int day = i / 40;
            const int year = day / (12 * 28), month = day / 28 % 12, dom = day % 28;
            const auto date = static_cast<std::int16_t>(first_day + 500 * year + 35 * month + dom);
            const RecordBytes record =
                contact(date, static_cast<std::int16_t>(i % 40 * 30), "G" + std::to_string(i));
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

void BM_BuildIndex(benchmark::State& state) {
    BigLog big;
    LogStore log;
    open_indexed(log, big, state);
    for (auto _ : state) {
        if (!log.build_record_index()) state.SkipWithError("index");
    }
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

BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertBeforeAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAcrossTheLog)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
