// What Enter on a call costs in the on-line window over a 1,000,000-entry log: Last QSO (the
// newest earlier contact, read from the log), the country and its note, the beam heading. Beside
// it, the floor: reading one record of the same log, and the old way of finding the contact, a
// backward pass over the record index.
#include "countries/country_table.hpp"
#include "countries/status_chart.hpp"
#include "logstore/band_names.hpp"
#include "logstore/log_store.hpp"
#include "online/online_window.hpp"
#include "rig/station_settings.hpp"
#include "sample_log.hpp"
#include "support/temp_dir.hpp"
#include "ui/test_host.hpp"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using namespace kestrel;

constexpr int k_records = 1'000'000;

// One log for every benchmark of the run: writing a million entries takes a while.
struct Station {
    Station() {
        tools::SampleLog sample;
        sample.count = k_records;
        sample.stations = {"G4ABC", "G4ABC/P", "GW4ABC"};
        sample.station_every = 100'000; // the last one 1,000 entries from the end
        if (!tools::write_sample_log(dir.file("BIG.LOG"), sample))
            throw std::runtime_error("cannot write the log");
        if (!log.open_log(dir.file("BIG.LOG")) || !log.build_record_index())
            throw std::runtime_error("cannot open the log");
        countries = countries::load_country_list(KESTREL_SHIPPED_COUNTRY_LIST).table;
        settings.latitude = "52";
        settings.longitude = "-1";
    }
    testing::TempDir dir;
    logstore::LogStore log;
    logstore::BandNameTable bands = logstore::load_band_names();
    countries::CountryTable countries;
    countries::StatusChart chart;
    rig::StationSettings settings;
    online::OnlineState state;
};

Station& station() {
    static Station s;
    return s;
}

void enter_on(benchmark::State& state, const char* call) {
    Station& s = station();
    ui::TestHost host;
    online::OnlineEnv env{s.log,   s.bands,    s.countries,
                          s.chart, s.settings, s.state,
                          nullptr, "Kestrel",  s.dir.path().string() + "/",
                          1.0,     {},         {}};
    auto run = host.open(online::OnlineWindow{env}); // builds the call lookup as it opens
    for (auto _ : state) {
        run.focus(online::OnlineWindow::k_call);
        run.replace(online::OnlineWindow::k_call, call).key(ui::Key::enter);
    }
    state.SetLabel(run.text(online::OnlineWindow::k_last_qso) + " / " +
                   run.text(online::OnlineWindow::k_country));
}

void BM_EnterOnAStationWorkedBefore(benchmark::State& state) {
    enter_on(state, "G4ABC");
}
void BM_EnterOnANewStation(benchmark::State& state) {
    enter_on(state, "ZS6NEW");
}

// The floor: one record read from the log, as Enter reads the contact it found.
void BM_ReadOneRecord(benchmark::State& state) {
    Station& s = station();
    int n = 1;
    for (auto _ : state) {
        auto record = s.log.read_record(n);
        benchmark::DoNotOptimize(record);
        n = n % k_records + 997;
    }
}

// The old way: the index searched backwards from the newest record for a call never worked.
void BM_BackwardPassOverTheIndex(benchmark::State& state) {
    Station& s = station();
    const logstore::RecordIndex& index = s.log.index();
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (int n = index.size(); n > 0 && found == 0; --n)
            if (std::memcmp(index.index_call(n).data(), "ZS6NEW      ", 12) == 0) found = n;
        benchmark::DoNotOptimize(found);
    }
}

} // namespace

BENCHMARK(BM_EnterOnAStationWorkedBefore)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EnterOnANewStation)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadOneRecord)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BackwardPassOverTheIndex)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
