// Merging and extracting whole logs of the size the record index was made for, and reading a
// contest's Cabrillo log: the passes read and write records a block at a time.

#include "exchange/cabrillo_import.hpp"
#include "exchange/extract.hpp"
#include "exchange/log_copy.hpp"
#include "exchange/merge.hpp"
#include "logstore/dates.hpp"
#include "support/temp_dir.hpp"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

namespace kestrel::exchange {
namespace {

constexpr int k_entries = 120000;

// Each benchmark's files go into a directory of their own, removed afterwards.
using BenchDir = kestrel::testing::TempDir;

// n contacts, a few a day from the given start, on bands and modes that vary.
void write_log(const std::string& path, int n, int first_day) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < n; ++i) {
        logstore::QsoRecord q;
        const int day = first_day + i / 40;
        q.date = static_cast<std::int16_t>(18036 + day % 28 + 35 * (day / 28 % 12) + 500 * (day / 336));
        q.time_on = q.time_off = static_cast<std::int16_t>(i % 40 * 30);
        q.call = "K" + std::to_string(i % 10000) + "AB";
        q.rst_sent = q.rst_received = "59";
        q.band = logstore::coded_band_field(i % 12);
        q.mode = i % 3 ? "SSB" : "CW";
        const auto r = q.encode();
        out.write(reinterpret_cast<const char*>(r.data()), r.size());
    }
}

void BM_MergeAllIntoALargeLog(benchmark::State& state) {
    BenchDir dir;
    auto& files = logstore::posix_file_system();
    for (auto _ : state) {
        state.PauseTiming();
        write_log(dir.file("EXTRACT.LOG"), k_entries / 2, 3);
        write_log(dir.file("MAIN.LOG"), k_entries / 2, 0);
        LogReader extract(files);
        if (!extract.open(dir.file("EXTRACT.LOG"))) state.SkipWithError("extract log not opened");
        const std::vector<bool> marks(static_cast<std::size_t>(extract.record_count()), true);
        state.ResumeTiming();
        const MergeOutcome outcome = merge_log_files(files, extract, marks, true, dir.file("MAIN.LOG"));
        if (outcome.end != MergeEnd::done) state.SkipWithError("merge failed");
        benchmark::DoNotOptimize(outcome.tally.written);
    }
    state.SetItemsProcessed(state.iterations() * k_entries);
}
BENCHMARK(BM_MergeAllIntoALargeLog)->Unit(benchmark::kMillisecond);

void BM_ExtractOneBandFromALargeLog(benchmark::State& state) {
    BenchDir dir;
    auto& files = logstore::posix_file_system();
    write_log(dir.file("MYLOG.LOG"), k_entries, 0);
    ExtractChoice choice;
    choice.bands[4] = true;
    choice.modes = {true, true, true, true};
    for (auto _ : state) {
        LogReader in(files);
        WorkLog out(files);
        if (!in.open(dir.file("MYLOG.LOG")) || !out.create(dir.file("BAND.LOG")))
            state.SkipWithError("open failed");
        const auto taken = extract_entries(in, choice, out);
        if (!taken || !out.commit()) state.SkipWithError("extract failed");
    }
    state.SetItemsProcessed(state.iterations() * k_entries);
}
BENCHMARK(BM_ExtractOneBandFromALargeLog)->Unit(benchmark::kMillisecond);

class CountingSink final : public RecordSink {
  public:
    logstore::LogStatus append(const logstore::RecordBytes&) override {
        ++count;
        return {};
    }
    int count = 0;
};

void BM_ReadACabrilloLog(benchmark::State& state) {
    BenchDir dir;
    std::ofstream(dir.file("CABRILLO.FRM")) << "CQ-WW-CW,56,13,45,3,70,3\r\n";
    std::string text = "START-OF-LOG: 3.0\r\nCONTEST: CQ-WW-CW\r\n";
    for (int i = 0; i < 10000; ++i) {
        const std::string call = "K" + std::to_string(i) + "ABC";
        text += "QSO: 14025 CW 2024-11-23 1432 G4ABC         599 14     " + call +
                std::string(14 - call.size(), ' ') + "599 05     0\r\n";
    }
    CabrilloOptions options;
    options.layout_file = dir.file("CABRILLO.FRM");
    for (auto _ : state) {
        std::istringstream in(text);
        CountingSink sink;
        const ImportTally tally = read_cabrillo(in, options, sink);
        benchmark::DoNotOptimize(tally.imported);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_ReadACabrilloLog)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrel::exchange
