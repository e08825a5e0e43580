// How long the list window's searches take over a 120,000-entry log: by call (every form of one
// station), by prefix and by a word in the comments. The log holds the same kind of made-up
// contacts as tools/make_log writes, with one station worked now and then in several forms.
#include "browse/list_search.hpp"
#include "logstore/band_names.hpp"
#include "logstore/field_codes.hpp"
#include "logstore/log_store.hpp"
#include "sample_log.hpp"
#include "support/temp_dir.hpp"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

namespace {

using namespace kestrel::logstore;

constexpr int k_records = 120000;

// The log, with one station worked now and then in the forms it was logged under.
class BigLog {
  public:
    BigLog() {
        kestrel::tools::SampleLog sample;
        sample.count = k_records;
        sample.stations = {"G4ABC", "G4ABC/P", "GW4ABC", "G4ABC/M"};
        sample.station_every = 1000;
        if (!kestrel::tools::write_sample_log(path(), sample))
            throw std::runtime_error("cannot write the log");
    }
    std::string path() const { return m_dir.file("BIG.LOG"); }

  private:
    kestrel::testing::TempDir m_dir;
};

template <class Search> void run_search(benchmark::State& state, Search search) {
    BigLog big;
    LogStore log;
    if (!log.open_log(big.path())) {
        state.SkipWithError("cannot open the log");
        return;
    }
    const BandNameTable bands = load_band_names();
    std::size_t found = 0;
    for (auto _ : state) {
        auto listing = search(log, bands);
        if (!listing)
            state.SkipWithError("cannot read the log");
        else
            found = listing->lines.size();
        benchmark::DoNotOptimize(listing);
    }
    state.counters["entries"] = static_cast<double>(found);
}

void BM_ListByCall(benchmark::State& state) {
    run_search(state, [](const LogStore& log, const BandNameTable& bands) {
        return kestrel::browse::list_by_call(log, "G4ABC", bands);
    });
}

void BM_ListByPrefix(benchmark::State& state) {
    run_search(state, [](const LogStore& log, const BandNameTable& bands) {
        return kestrel::browse::list_by_call(log, "G4*", bands);
    });
}

void BM_ListByComment(benchmark::State& state) {
    run_search(state, [](const LogStore& log, const BandNameTable& bands) {
        return kestrel::browse::list_by_comment(log, "bob", bands);
    });
}

} // namespace

BENCHMARK(BM_ListByCall)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListByPrefix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListByComment)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
