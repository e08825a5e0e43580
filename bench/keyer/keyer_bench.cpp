// How close to its deadline each edge of a keyed message falls, on the machine's steady clock,
// while the window's thread is kept busy with one handler after another (each of 1 to 9 ms, so
// they keep no step with the dots). Beside it, the reference: the same message paced by a window
// timer of one dot, which can only tick between two handlers of that thread. Edges are measured
// from the message's first edge, so the figures are errors in the lengths of elements and gaps,
// not the delay before keying starts. On a machine whose processors are all taken by other work
// the worst figure is the scheduler's; the 99th percentile and the mean say more there.
#include "keyer/keyer.hpp"
#include "platform/posix/posix_clocks.hpp"
#include "ui/test_host.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace kestrel;
using Steady = std::chrono::steady_clock;
using std::chrono::duration_cast;
using std::chrono::microseconds;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

const char* const k_message = "PARIS ";

// When the line changed. Written by one thread at a time; read after the keyer has let it go.
using Edges = std::vector<Steady::time_point>;

class RecordingLine final : public io::KeyLine {
  public:
    explicit RecordingLine(Edges& edges) : m_edges(edges) {}
    io::Status key_down() override { return record(); }
    io::Status key_up() override { return record(); }

  private:
    io::Status record() {
        m_edges.push_back(Steady::now());
        return {};
    }
    Edges& m_edges;
};

// The machine's clocks, and a parallel port that records.
class BenchDevices final : public io::Devices {
  public:
    explicit BenchDevices(Edges& edges) : m_edges(edges) {}
    Result<std::unique_ptr<io::SerialPort>, io::DeviceError> open_serial_port(std::string_view) override {
        return io::DeviceError::no_such_port;
    }
    Result<std::unique_ptr<io::ByteStream>, io::DeviceError> connect_stream(std::string_view, int,
                                                                            milliseconds) override {
        return io::DeviceError::no_such_port;
    }
    Result<std::unique_ptr<io::DatagramSocket>, io::DeviceError>
    open_datagram_receiver(std::string_view, int, io::GroupJoin) override {
        return io::DeviceError::no_such_port;
    }
    Result<std::unique_ptr<io::KeyLine>, io::DeviceError> open_parallel_key_line() override {
        return std::unique_ptr<io::KeyLine>(std::make_unique<RecordingLine>(m_edges));
    }
    io::WallClock& wall_clock() override { return m_wall_clock; }
    io::SteadyClock& steady_clock() override { return m_steady_clock; }

  private:
    Edges& m_edges;
    platform::posix::PosixWallClock m_wall_clock{platform::posix::real_system_calls()};
    platform::posix::PosixSteadyClock m_steady_clock;
};

const keyer::MorseTable& table() {
    static const keyer::MorseTable t = [] {
        keyer::MorseTable table;
        for (const auto& [c, pattern] :
             {std::pair{'P', ".--."}, {'A', ".-"}, {'R', ".-."}, {'I', ".."}, {'S', "..."}})
            table.set(static_cast<unsigned char>(c), pattern);
        return table;
    }();
    return t;
}

// A handler of the window's thread that keeps the processor busy for 1 to 9 ms.
void busy_handler(std::minstd_rand& lengths) {
    const Steady::time_point end = Steady::now() + microseconds(1000 + lengths() % 8000);
    volatile std::uint64_t sum = 0;
    while (Steady::now() < end)
        for (int i = 0; i < 1000; ++i)
            sum = sum + static_cast<std::uint64_t>(i);
}

// How far the edges fell from where the plan puts them, counted from the first edge.
struct Errors {
    std::vector<nanoseconds> all;

    void add(const Edges& edges_keyed, const keyer::KeyingPlan& plan, int wpm) {
        if (edges_keyed.size() != plan.edges.size()) throw std::runtime_error("edges missing");
        for (std::size_t i = 1; i < edges_keyed.size(); ++i) {
            const Steady::time_point ideal = edges_keyed[0] + keyer::slot_start(plan.edges[i].slot, wpm);
            all.push_back(std::chrono::abs(duration_cast<nanoseconds>(edges_keyed[i] - ideal)));
        }
    }
};

struct Quiet final : ui::Window {
    ui::Form build() const override {
        ui::Form form;
        form.caption = "On Line";
        form.frame = {0, 0, 100, 40};
        return form;
    }
    void on_command(ui::Context&, int, ui::Notify) override {}
};

void report(benchmark::State& state, Errors& errors) {
    if (errors.all.empty()) return;
    std::sort(errors.all.begin(), errors.all.end());
    const auto us = [](nanoseconds t) { return static_cast<double>(t.count()) / 1000.0; };
    nanoseconds total{0};
    for (const nanoseconds e : errors.all)
        total += e;
    state.counters["worst_edge_error_us"] = us(errors.all.back());
    state.counters["p99_edge_error_us"] = us(errors.all[errors.all.size() * 99 / 100]);
    state.counters["mean_edge_error_us"] = us(total / static_cast<std::int64_t>(errors.all.size()));
    state.SetLabel(std::to_string(state.range(0)) + " wpm, window busy: " + (state.range(1) ? "yes" : "no"));
}

// The keyer's own thread, the window's thread busy (range 1 = 1) or idle.
void BM_KeyerThread(benchmark::State& state) {
    const int wpm = static_cast<int>(state.range(0));
    const bool busy = state.range(1) != 0;
    const keyer::KeyingPlan plan = keyer::plan_of(keyer::build_slots(k_message, table()));
    keyer::KeyerSettings settings{"P", wpm, {k_message, "", "", ""}};
    ui::TestHost host;
    auto run = host.open(Quiet{});
    Errors errors;
    std::minstd_rand lengths(9);
    for (auto _ : state) {
        Edges edges;
        edges.reserve(plan.edges.size());
        BenchDevices devices(edges);
        keyer::Keyer keyer(devices, table(), settings, {510, 511});
        if (keyer.open_key_port(run.context()) != 0) throw std::runtime_error("no key line");
        keyer.send(run.context(), 0, "", "");
        while (keyer.sending()) {
            if (busy)
                busy_handler(lengths);
            else
                std::this_thread::sleep_for(milliseconds(1));
        }
        keyer.close_key_port();
        errors.add(edges, plan, wpm);
    }
    report(state, errors);
}

// The reference: a window timer of one dot (rounded to the millisecond), whose tick is taken
// between two handlers of the window's thread; each tick plays one slot.
void BM_WindowTimerReference(benchmark::State& state) {
    const int wpm = static_cast<int>(state.range(0));
    const bool busy = state.range(1) != 0;
    const std::vector<std::uint8_t> slots = keyer::build_slots(k_message, table());
    const keyer::KeyingPlan plan = keyer::plan_of(slots);
    const milliseconds period{(1200 + wpm / 2) / wpm};
    Errors errors;
    std::minstd_rand lengths(9);
    for (auto _ : state) {
        Edges edges;
        edges.reserve(plan.edges.size());
        RecordingLine line(edges);
        const Steady::time_point started = Steady::now();
        std::int64_t ticks_taken = 0;
        std::uint8_t previous = 0;
        for (std::size_t position = 0; position < slots.size();) {
            if (busy) busy_handler(lengths);
            // Ticks missed while a handler ran come as one, as a window timer's do.
            const auto now = Steady::now();
            const std::int64_t due = (now - started) / period;
            if (due > ticks_taken) {
                ticks_taken = due;
                const std::uint8_t v = slots[position++];
                if (v != previous) (void)(v ? line.key_down() : line.key_up());
                previous = v;
            } else if (!busy) {
                std::this_thread::sleep_until(started + period * (ticks_taken + 1));
            }
        }
        errors.add(edges, plan, wpm);
    }
    report(state, errors);
}

BENCHMARK(BM_KeyerThread)
    ->ArgsProduct({{20, 40}, {0, 1}})
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_WindowTimerReference)
    ->ArgsProduct({{20, 40}, {0, 1}})
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
