// Looking a call up in the off-line callbook over a licence file of 1,200,000 lines (EN.dat),
// through the index kept beside it. Beside it: reading the whole file once, which is what a
// lookup without the index would cost at the least, and building the index (done once, after
// the file changes).
#include "callbook/fcc_licences.hpp"
#include "support/temp_dir.hpp"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

using namespace kestrel;

constexpr int k_lines = 1'200'000;

std::string call_of(int i) {
    static const char* const prefixes[] = {"K", "W", "N", "AA", "KB", "KD", "WA", "WB"};
    char text[16];
    std::snprintf(text, sizeof text, "%s%d%c%c%c", prefixes[i % 8], i % 10, 'A' + i / 10 % 26,
                  'A' + i / 260 % 26, 'A' + i / 6760 % 26);
    return text;
}

struct Licences {
    Licences() {
        std::ofstream out(dir.file("EN.dat"), std::ios::binary);
        for (int i = 0; i < k_lines; ++i)
            out << "EN|" << 1000000 + i << "|||" << call_of(i) << "|L|L" << i
                << "||JOHN|Q|PUBLIC||||john@example.org|1 MAIN "
                   "ST|SPRINGFIELD|IL|62701|||000|0001234567|I||||||\r\n";
        if (!out) throw std::runtime_error("cannot write EN.dat");
    }
    testing::TempDir dir;
};

Licences& licences() {
    static Licences l;
    return l;
}

void BM_ReadTheWholeFile(benchmark::State& state) {
    const std::string path = licences().dir.file("EN.dat");
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        benchmark::DoNotOptimize(all.str().size());
    }
}

void BM_BuildTheIndex(benchmark::State& state) {
    const std::string directory = licences().dir.path().string();
    for (auto _ : state) {
        auto built = callbook::refresh_index(directory);
        if (!built) state.SkipWithError("cannot build the index");
        state.PauseTiming();
        std::remove(licences().dir.file("EN.idx").c_str());
        state.ResumeTiming();
    }
}

void BM_LookUpACall(benchmark::State& state) {
    callbook::FccLicences source(licences().dir.path().string());
    (void)source.lookup_call(call_of(1)); // builds the index once
    int i = 0;
    for (auto _ : state) {
        auto found = source.lookup_call(call_of(i));
        benchmark::DoNotOptimize(found);
        i = (i + 7919) % k_lines;
    }
}

} // namespace

BENCHMARK(BM_ReadTheWholeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildTheIndex)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LookUpACall)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
