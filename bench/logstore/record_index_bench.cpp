// The worked-before search on the index of a 1,000,000-entry log, as the on-line window makes it
// when the operator presses Enter on a call: for a call worked often, a call worked once near the
// start of the log and a call never worked, beside the backward scan of the whole index it
// replaces, timed in the same run. Also what the call lookup costs: building it (once, when the
// window opens) beside filling the index itself, the memory it takes, and keeping it up to date
// while contacts are appended or logged a little late.
#include "common/fixed_text.hpp"
#include "logstore/record_index.hpp"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using kestrel::logstore::k_call_width;
using kestrel::logstore::RecordIndex;

constexpr int k_records = 1000000;
constexpr int k_distinct_calls = 50000;

// Calls of the usual shape: a prefix, a digit and one to three letters, all different.
std::vector<std::string> distinct_calls(std::mt19937& random) {
    static const char* const prefixes[] = {"G",  "M",  "DL", "F",  "EA", "I",  "K",  "W",
                                           "N",  "VE", "JA", "VK", "ON", "PA", "OH", "SM",
                                           "LA", "OK", "SP", "HA", "YO", "UA", "ZS", "PY"};
    std::uniform_int_distribution<std::size_t> prefix(0, std::size(prefixes) - 1);
    std::uniform_int_distribution<int> digit(0, 9), letter(0, 25), length(1, 3);
    std::set<std::string> seen;
    std::vector<std::string> calls;
    while (static_cast<int>(calls.size()) < k_distinct_calls) {
        std::string call = prefixes[prefix(random)] + std::to_string(digit(random));
        for (int i = length(random); i > 0; --i)
            call += static_cast<char>('A' + letter(random));
        if (seen.insert(call).second) calls.push_back(call);
    }
    return calls;
}

// What the index is filled from: station data every 100th record, a note every 250th, and calls
// drawn so that a few are worked thousands of times and most a few times. The first call is the
// one worked most; "G4ONCE" is worked once, as record 10.
struct Contents {
    std::vector<std::string> texts;
    std::vector<std::int16_t> dates;
    std::string often;
};

const Contents& contents() {
    static const Contents made = [] {
        std::mt19937 random(20240601);
        const std::vector<std::string> calls = distinct_calls(random);
        std::uniform_real_distribution<double> draw(0.0, 1.0);
        Contents c;
        c.often = calls.front();
        c.texts.reserve(k_records);
        for (int n = 1; n <= k_records; ++n) {
            c.dates.push_back(static_cast<std::int16_t>(n / 400));
            if (n == 10) {
                c.texts.emplace_back("G4ONCE");
            } else if (n % 100 == 0) {
                c.texts.emplace_back("/DATA");
            } else if (n % 250 == 0) {
                c.texts.emplace_back("/");
            } else {
                const double u = draw(random);
                c.texts.push_back(calls[static_cast<std::size_t>(u * u * k_distinct_calls)]);
            }
        }
        return c;
    }();
    return made;
}

RecordIndex filled_index() {
    const Contents& c = contents();
    RecordIndex index;
    index.reserve(k_records);
    for (int i = 0; i < k_records; ++i)
        index.append(c.texts[static_cast<std::size_t>(i)], c.dates[static_cast<std::size_t>(i)]);
    return index;
}

// The one index the searches share, its lookup built before any of them is timed.
const RecordIndex& big_index() {
    static const RecordIndex index = [] {
        RecordIndex made = filled_index();
        made.prepare_call_lookup();
        return made;
    }();
    return index;
}

// The old search: the padded key compared with every index text from the newest back.
int scan_back(const RecordIndex& index, std::string_view key, int up_to) {
    std::array<char, k_call_width> padded;
    padded.fill(' ');
    std::memcpy(padded.data(), key.data(), std::min(key.size(), padded.size()));
    for (int n = std::min(up_to, index.size()); n >= 1; --n) {
        if (std::memcmp(index.index_call(n).data(), padded.data(), padded.size()) == 0) return n;
    }
    return 0;
}

std::string key_of(const benchmark::State& state) {
    switch (state.range(0)) {
    case 0: return contents().often;
    case 1: return "G4ONCE";
    default: return "ZZ9NEVER";
    }
}

void label(benchmark::State& state, const RecordIndex& index, const std::string& key) {
    static const char* const kinds[] = {"worked often", "worked once, long ago", "never worked"};
    int times = 0;
    for (int n = 1; n <= index.size(); ++n)
        times += kestrel::trim_trailing_spaces(index.index_call(n)) == key ? 1 : 0;
    state.SetLabel(std::string(kinds[state.range(0)]) + ": " + key + " x" + std::to_string(times));
}

void BM_LastWithCall(benchmark::State& state) {
    const RecordIndex& index = big_index();
    const std::string key = key_of(state);
    int found = 0;
    for (auto _ : state) {
        found = index.last_with_call(key, index.size());
        benchmark::DoNotOptimize(found);
    }
    if (found != scan_back(index, key, index.size())) state.SkipWithError("lookup and scan disagree");
    label(state, index, key);
}

// A search that looks back from the middle of the log, as when an older entry is edited.
void BM_LastWithCallFromTheMiddle(benchmark::State& state) {
    const RecordIndex& index = big_index();
    const std::string key = key_of(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(index.last_with_call(key, index.size() / 2));
    label(state, index, key);
}

// One search after another for different calls of the log, taken in a shuffled order, so that
// each search finds less of the lookup in the processor's caches than a repeated one does.
void BM_LastWithCallAcrossTheLog(benchmark::State& state) {
    const RecordIndex& index = big_index();
    std::vector<std::string> keys(contents().texts.begin(), contents().texts.begin() + 65536);
    std::shuffle(keys.begin(), keys.end(), std::mt19937(7));
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(index.last_with_call(keys[next], index.size()));
        next = (next + 1) % keys.size();
    }
}

void BM_Reference_ScanBack(benchmark::State& state) {
    const RecordIndex& index = big_index();
    const std::string key = key_of(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(scan_back(index, key, index.size()));
    label(state, index, key);
}

// Filling the index with 1,000,000 records, as reading the log does once the records are in
// memory (the file reading itself is timed by bench_logstore). The memory the index takes is
// counted once, outside the timing.
void BM_FillIndex(benchmark::State& state) {
    contents();
    {
        const std::size_t before = mallinfo2().uordblks;
        const RecordIndex index = filled_index();
        state.counters["index_MB"] = static_cast<double>(mallinfo2().uordblks - before) / 1e6;
    }
    std::optional<RecordIndex> index;
    for (auto _ : state) {
        index.emplace(filled_index());
        benchmark::DoNotOptimize(index->size());
        state.PauseTiming();
        index.reset();
        state.ResumeTiming();
    }
}

// Building the call lookup of the same index, as the on-line window does when it opens; the
// memory it takes is counted once, outside the timing.
void BM_BuildLookup(benchmark::State& state) {
    const RecordIndex prototype = filled_index();
    {
        RecordIndex index = prototype;
        const std::size_t before = mallinfo2().uordblks;
        index.prepare_call_lookup();
        state.counters["lookup_MB"] = static_cast<double>(mallinfo2().uordblks - before) / 1e6;
    }
    std::optional<RecordIndex> index;
    for (auto _ : state) {
        state.PauseTiming();
        index.emplace(prototype);
        state.ResumeTiming();
        index->prepare_call_lookup();
        state.PauseTiming();
        index.reset();
        state.ResumeTiming();
    }
}

// Logging a contact at the end of the log and taking it back again, with the lookup built (1)
// and without (0).
void BM_AppendAndTakeBack(benchmark::State& state) {
    RecordIndex index = filled_index();
    if (state.range(0) == 1) index.prepare_call_lookup();
    for (auto _ : state) {
        index.append("G4NEW", 3000);
        index.shrink_to(index.size() - 1);
    }
}

// A contact logged late, range(0) records before the end, and deleted again, with the lookup
// built (range(1) = 1) and without: that many records renumbered in the lookup each way. A
// tenth of the log is about the most the lookup follows before it is dropped instead.
void BM_InsertBeforeTheEndAndTakeBack(benchmark::State& state) {
    RecordIndex index = filled_index();
    const auto back = static_cast<int>(state.range(0));
    if (state.range(1) == 1) index.prepare_call_lookup();
    for (auto _ : state) {
        index.insert(index.size() - back, "G4NEW", 3000);
        index.erase(index.size() - back - 1);
    }
    if (state.range(1) == 1 && index.last_with_call("G4ONCE", index.size()) != 10)
        state.SkipWithError("the lookup was dropped");
}

BENCHMARK(BM_LastWithCall)->DenseRange(0, 2)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_LastWithCallFromTheMiddle)->DenseRange(0, 2)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_LastWithCallAcrossTheLog)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_Reference_ScanBack)->DenseRange(0, 2)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_FillIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildLookup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendAndTakeBack)->DenseRange(0, 1)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_InsertBeforeTheEndAndTakeBack)
    ->ArgsProduct({{50, 100000}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
