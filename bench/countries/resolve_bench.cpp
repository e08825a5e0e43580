// How fast calls resolve to countries with the country list that comes with the program.

#include "countries/country_table.hpp"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using kestrel::countries::CountryTable;

const CountryTable& shipped_table() {
    static const CountryTable table =
        kestrel::countries::load_country_list(KESTREL_SHIPPED_COUNTRY_LIST).table;
    return table;
}

// Calls as they come in a log: the low prefix of a random row, a digit and a suffix, padded
// to the 12 characters of the call field now and then.
std::vector<std::string> sample_calls(const CountryTable& table, int n) {
    std::mt19937 random(7);
    std::vector<std::string> calls;
    for (int i = 0; i < n; ++i) {
        std::string call = table.entry_count() > 0
                               ? table.row(static_cast<int>(random() % table.entry_count())).low_prefix
                               : "G";
        if (call.empty() || (call.back() < '0' || call.back() > '9'))
            call += static_cast<char>('0' + random() % 10);
        for (int k = 0; k < 2 + static_cast<int>(random() % 2); ++k)
            call += static_cast<char>('A' + random() % 26);
        if (i % 3 == 0) call.resize(12, ' ');
        calls.push_back(call);
    }
    return calls;
}

void BM_ResolveCountry(benchmark::State& state) {
    const CountryTable& table = shipped_table();
    const auto calls = sample_calls(table, 4096);
    (void)table.resolve_country("G"); // the lookup is built on first use
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.resolve_country(calls[i++ & 4095]));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.counters["rows"] = table.entry_count();
}
BENCHMARK(BM_ResolveCountry);

// A list of nested blocks (A0000001 to Z9999998, A0000002 to Z9999997, ...), each holding every
// bound of the rows after it: the first lookup, which builds the table, must still take time in
// proportion to n log n, not to the square of the rows.
void BM_FirstLookupOfNestedBlocks(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < state.range(0); ++i) {
        char low[16], high[16];
        std::snprintf(low, sizeof low, "A%07d", i);
        std::snprintf(high, sizeof high, "Z%07d", 9999999 - i);
        text += std::string(low) + "," + high + ",Nested," + std::to_string(1 + i % 400) + ",0,0\r\n";
    }
    for (auto _ : state) {
        const auto load = kestrel::countries::parse_country_list(text);
        benchmark::DoNotOptimize(load.table.resolve_country("K1ABC"));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FirstLookupOfNestedBlocks)->RangeMultiplier(4)->Range(1 << 10, 1 << 18)->Complexity();

} // namespace

BENCHMARK_MAIN();
