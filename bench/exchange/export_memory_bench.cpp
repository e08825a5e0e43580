// The memory an ADIF export holds, for a log of 1,000,000 contacts (84 MB): the most the heap
// held at once while the file was made and written, beside the size of the log and of the file.
// An export that streams holds the same few blocks whatever the log's size. Every allocation of
// this program is counted, so the figure is taken in a program of its own.
#include "exchange/adif_writer.hpp"
#include "logstore/field_codes.hpp"
#include "logstore/log_store.hpp"
#include "support/temp_dir.hpp"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <new>
#include <string>
#include <sys/stat.h>

namespace {

std::atomic<std::size_t> g_held{0};
std::atomic<std::size_t> g_peak{0};

void* counted(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (!p) throw std::bad_alloc();
    const std::size_t held = g_held += malloc_usable_size(p);
    std::size_t peak = g_peak.load();
    while (held > peak && !g_peak.compare_exchange_weak(peak, held)) {
    }
    return p;
}

void uncounted(void* p) {
    if (!p) return;
    g_held -= malloc_usable_size(p);
    std::free(p);
}

} // namespace

void* operator new(std::size_t size) {
    return counted(size);
}
void* operator new[](std::size_t size) {
    return counted(size);
}
void operator delete(void* p) noexcept {
    uncounted(p);
}
void operator delete[](void* p) noexcept {
    uncounted(p);
}
void operator delete(void* p, std::size_t) noexcept {
    uncounted(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    uncounted(p);
}

namespace {

using namespace kestrel;
using namespace kestrel::logstore;

constexpr int k_contacts = 1000000;

RecordBytes contact(int i) {
    QsoRecord qso;
    qso.date = static_cast<std::int16_t>(18036 + i / 400 % 28 + 35 * (i / 11200 % 12));
    qso.time_on = static_cast<std::int16_t>(i % 1440);
    qso.time_off = qso.time_on;
    qso.call = "G" + std::to_string(i % 10) + "ABC" + std::to_string(i % 97);
    qso.rst_sent = "59";
    qso.rst_received = "57";
    qso.band = coded_band_field(i % 20);
    qso.mode = "SSB";
    qso.power = "100";
    qso.comment = "Op. Jos\xE9 in the contest " + std::to_string(i);
    return qso.encode();
}

std::int64_t file_size(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_size : 0;
}

void export_memory(benchmark::State& state) {
    testing::TempDir dir;
    {
        std::ofstream out(dir.file("BIG.LOG"), std::ios::binary);
        for (int i = 0; i < k_contacts; ++i) {
            const RecordBytes record = contact(i);
            out.write(reinterpret_cast<const char*>(record.data()), k_record_size);
        }
    }
    LogStore log;
    if (!log.open_log(dir.file("BIG.LOG"))) state.SkipWithError("log not opened");
    const std::string output = dir.file("BIG.ADI");
    std::size_t peak = 0;
    for (auto _ : state) {
        g_peak = g_held.load();
        const std::size_t before = g_held;
        if (!exchange::export_adif_file(log, output, {2024, 6, 1})) state.SkipWithError("export failed");
        peak = std::max(peak, g_peak.load() - before);
    }
    state.counters["peak_heap_MB"] = static_cast<double>(peak) / 1e6;
    state.counters["log_MB"] = static_cast<double>(file_size(dir.file("BIG.LOG"))) / 1e6;
    state.counters["file_MB"] = static_cast<double>(file_size(output)) / 1e6;
}
BENCHMARK(export_memory)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
