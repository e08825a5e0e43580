// How long the list window's searches take over a 120,000-entry log: by call (every form of one
// station), by prefix and by a word in the comments. The log holds the same kind of made-up
// contacts as tools/make_log writes, with one station worked now and then in several forms.
#include "browse/list_search.hpp"
#include "logstore/band_names.hpp"
#include "logstore/field_codes.hpp"
#include "logstore/log_store.hpp"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

namespace {

using namespace kestrel::logstore;

constexpr int k_records = 120000;

const char* const k_prefixes[] = {"G",  "GW", "GM", "M0", "DL", "F",  "EA", "I",  "K",
                                  "W",  "VE", "JA", "VK", "ZL", "PY", "LU", "ZS", "UA",
                                  "SM", "OH", "ON", "PA", "OK", "SP", "HA", "YU", "9A"};
const char* const k_modes[] = {"CW", "SSB", "FM", "A1A", "J3E", "RTY"};
const int k_bands[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12};
// The station listed, in the forms it was logged under.
const char* const k_station[] = {"G4ABC", "G4ABC/P", "GW4ABC", "G4ABC/M"};

RecordBytes contact(std::mt19937& random, std::int16_t date, std::int16_t time, std::string call) {
    QsoRecord q;
    q.date = date;
    q.time_on = time;
    q.time_off = static_cast<std::int16_t>(std::min(1439, time + static_cast<int>(random() % 5)));
    if (call.empty()) {
        call = k_prefixes[random() % std::size(k_prefixes)];
        call += std::to_string(random() % 10);
        for (int i = 0; i < 3; ++i)
            call += static_cast<char>('A' + random() % 26);
        if (random() % 20 == 0) call += "/P";
    }
    q.call = call;
    const std::string mode = k_modes[random() % std::size(k_modes)];
    q.mode = mode;
    q.rst_sent = default_report(mode);
    q.rst_received = random() % 30 == 0 ? std::string("0") : default_report(mode);
    q.band = coded_band_field(k_bands[random() % std::size(k_bands)]);
    q.power = "100";
    q.comment =
        random() % 4 == 0 ? "Name " + std::string(1, static_cast<char>('A' + random() % 26)) + "ob" : "";
    q.qsl_flags = static_cast<std::uint8_t>(random() % 4);
    return q.encode();
}

// The log, in date order from 1 January 2000, in a directory removed afterwards.
class BigLog {
  public:
    BigLog() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kestrel-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary directory");
        m_dir = pattern;
        std::ofstream out(path(), std::ios::binary);
        std::mt19937 random(73u);
        int day = 0, minute = 0;
        for (int n = 0; n < k_records; ++n) {
            minute += 1 + static_cast<int>(random() % 20);
            if (minute > 1439) {
                minute %= 1440;
                ++day;
            }
            const int year = day / 336, month = day / 28 % 12 + 1, d = day % 28 + 1;
            const auto date = static_cast<std::int16_t>(500 * (100 + year % 29) + 35 * month + d - 32000);
            const auto time = static_cast<std::int16_t>(minute);
            RecordBytes r;
            if (n % 500 == 250) {
                r = StationDataRecord{date, time, "G9QQQ", "FT-1000", "Dipole", 4}.encode();
            } else if (n % 700 == 350) {
                r = TextRecord{date, time, "Band open to the Pacific"}.encode();
            } else {
                const bool station = n % 1000 == 999;
                r = contact(random, date, time, station ? k_station[n / 1000 % std::size(k_station)] : "");
            }
            out.write(reinterpret_cast<const char*>(r.data()), k_record_size);
        }
    }
    ~BigLog() {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    std::string path() const { return (m_dir / "BIG.LOG").string(); }

  private:
    std::filesystem::path m_dir;
};

template <class Search> void run_search(benchmark::State& state, Search search) {
    BigLog big;
    LogStore log;
    if (log.open_log(big.path())) {
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
