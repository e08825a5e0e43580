// How long the DXCC commands take over a log of a million entries: the log check (with a few
// thousand calls of no country, whose questions the operator stops at the first), the QSLs
// needed (a whole pass, as a country marked by hand is looked for to the end), the bands by
// country, and the award list of worked contacts. Beside them, the floor: reading every entry of
// the same log in the same blocks and doing nothing with it.
#include "countries/country_stats.hpp"
#include "countries/country_table.hpp"
#include "countries/log_check.hpp"
#include "countries/qsl_award.hpp"
#include "logstore/band_names.hpp"
#include "logstore/log_store.hpp"
#include "sample_log.hpp"
#include "support/temp_dir.hpp"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

namespace {

using namespace kestrel;
using namespace kestrel::countries;

constexpr int k_records = 1000000;
constexpr int k_no_country_every = 300; // 3,333 calls in a block of no country

// The made-up log and the country list that comes with the program, with a block of no
// country in front of it.
class BigLog {
  public:
    BigLog() {
        tools::SampleLog sample;
        sample.count = k_records;
        sample.stations = {"4U1UN", "4U1UN/P"};
        sample.station_every = k_no_country_every;
        if (!tools::write_sample_log(m_dir.file("BIG.LOG"), sample))
            throw std::runtime_error("cannot write the log");
        if (!log.open_log(m_dir.file("BIG.LOG"))) throw std::runtime_error("cannot open the log");
        const CountryListLoad shipped = load_country_list(KESTREL_SHIPPED_COUNTRY_LIST);
        table.add({"4U1UN", "4U1UN[", "United Nations HQ", 0, 40.75f, -73.97f});
        for (int r = 0; r < shipped.table.entry_count(); ++r)
            table.add(shipped.table.row(r));
        (void)table.resolve_country("G"); // the lookup is built on first use
    }
    logstore::LogStore log;
    CountryTable table;
    logstore::BandNameTable band_names = logstore::load_band_names();

  private:
    testing::TempDir m_dir;
};

BigLog& big() {
    static BigLog log;
    return log;
}

StatusChart checked_chart() {
    StatusChart chart;
    LogCheckHooks hooks;
    hooks.correct_call = [](int, std::string_view) {
        return CallCorrection{CallCorrection::Answer::ask_no_more, {}};
    };
    (void)rebuild_chart(big().log, big().table, chart, hooks);
    return chart;
}

void BM_Floor_ReadEveryRecord(benchmark::State& state) {
    const logstore::LogStore& log = big().log;
    for (auto _ : state) {
        unsigned sum = 0;
        for (int first = 1; first <= log.record_count(); first += 4096) {
            auto block = log.read_records(first, std::min(4096, log.record_count() - first + 1));
            if (!block) state.SkipWithError("cannot read the log");
            for (const auto& r : *block)
                sum += r[6];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["entries"] = log.record_count();
}

void BM_LogCheck(benchmark::State& state) {
    BigLog& b = big();
    StatusChart chart;
    int questions = 0, progress_calls = 0;
    LogCheckHooks hooks;
    hooks.correct_call = [&](int, std::string_view) {
        ++questions;
        return CallCorrection{CallCorrection::Answer::ask_no_more, {}};
    };
    hooks.progress = [&](int, int) { ++progress_calls; };
    LogCheckResult result;
    for (auto _ : state) {
        questions = progress_calls = 0;
        result = rebuild_chart(b.log, b.table, chart, hooks);
        if (result.error) state.SkipWithError("the check failed");
    }
    state.counters["charted"] = result.charted;
    state.counters["left"] = result.left_unrecognised;
    state.counters["questions"] = questions;
    state.counters["bar_moves"] = progress_calls;
}

void BM_QslsNeeded(benchmark::State& state) {
    BigLog& b = big();
    StatusChart chart = checked_chart();
    // A country marked by hand that the log never worked: looked for to the end of the log.
    for (int c = 1; c <= b.table.highest_country(); ++c) {
        bool worked = false;
        for (int band = 0; band < k_chart_bands; ++band)
            worked |= chart.byte(c, band) != 0;
        if (worked) continue;
        chart.update_chart(c, 4, 0, 0);
        break;
    }
    const auto countries = sorted_countries(b.table);
    std::size_t lines = 0;
    for (auto _ : state) {
        auto needed = qsls_needed(b.log, b.table, countries, chart);
        if (!needed) state.SkipWithError("cannot read the log");
        lines = needed->size();
    }
    state.counters["lines"] = static_cast<double>(lines);
}

void BM_CountriesWantedAndBands(benchmark::State& state) {
    BigLog& b = big();
    const StatusChart chart = checked_chart();
    for (auto _ : state) {
        const auto countries = sorted_countries(b.table);
        benchmark::DoNotOptimize(countries_wanted(countries, chart));
        benchmark::DoNotOptimize(bands_by_country(countries, chart));
    }
}

void BM_AwardList(benchmark::State& state) {
    BigLog& b = big();
    AwardSelection worked;
    worked.confirmed_only = false;
    std::size_t entries = 0;
    for (auto _ : state) {
        auto list = collect_award_list(b.log, b.table, b.band_names, worked);
        if (!list) state.SkipWithError("cannot read the log");
        entries = list->size();
    }
    state.counters["entries"] = static_cast<double>(entries);
}

} // namespace

BENCHMARK(BM_Floor_ReadEveryRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LogCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QslsNeeded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountriesWantedAndBands)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AwardList)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
