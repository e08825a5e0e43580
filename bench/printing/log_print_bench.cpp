// What printing a 120,000-entry log costs before the printer draws a thing: the log read through,
// each entry filtered and made a line, the lines laid out on pages with their rules. Beside it,
// the floor: reading the same log through, and the QSL run's scan of it for cards owed.
#include "countries/country_table.hpp"
#include "logstore/band_names.hpp"
#include "logstore/log_store.hpp"
#include "printing/log_print.hpp"
#include "printing/qsl_queue.hpp"
#include "sample_log.hpp"
#include "support/temp_dir.hpp"

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

using namespace kestrel;

constexpr int k_records = 120'000;

struct BigLog {
    BigLog() {
        tools::SampleLog sample;
        sample.count = k_records;
        sample.stations = {"G4ABC", "G4ABC/P", "DL1AB"};
        sample.station_every = 500;
        if (!tools::write_sample_log(dir.file("BIG.LOG"), sample))
            throw std::runtime_error("cannot write the log");
        if (!log.open_log(dir.file("BIG.LOG"))) throw std::runtime_error("cannot open the log");
    }
    testing::TempDir dir;
    logstore::LogStore log;
    logstore::BandNameTable bands = logstore::load_band_names();
};

BigLog& big_log() {
    static BigLog log;
    return log;
}

// A printer that draws nothing and counts what it was given: the layout's work alone.
class CountingPrinter final : public printing::Printer {
  public:
    void set_font(std::string_view, int, bool) override {}
    int char_width() const override { return 100; } // Courier New 10 at 1200 dpi
    int line_height() const override { return 189; }
    int dpi_x() const override { return 1200; }
    int dpi_y() const override { return 1200; }
    int page_width() const override { return m_landscape ? 13699 : 9583; } // A4 inside 10 pt margins
    int page_height() const override { return m_landscape ? 9583 : 13699; }
    void set_orientation(printing::Orientation o) override {
        m_landscape = o == printing::Orientation::landscape;
    }
    void set_colour(Colour) override {}
    void text(int, int, std::string_view t) override { characters += static_cast<long>(t.size()); }
    void line(int, int, int, int) override { ++lines; }
    void new_page() override { ++pages; }
    bool end_job() override { return true; }
    long characters = 0;
    long lines = 0;
    int pages = 1;

  private:
    bool m_landscape = false;
};

void BM_ReadTheLogThrough(benchmark::State& state) {
    BigLog& big = big_log();
    for (auto _ : state) {
        long calls = 0;
        for (int first = 1; first <= k_records; first += 4096) {
            auto block = big.log.read_records(first, std::min(4096, k_records - first + 1));
            if (!block)
                state.SkipWithError("cannot read the log");
            else
                calls += static_cast<long>(block->size());
        }
        benchmark::DoNotOptimize(calls);
    }
}

void BM_LayOutTheLogOnPages(benchmark::State& state) {
    BigLog& big = big_log();
    const auto orientation =
        state.range(0) ? printing::Orientation::landscape : printing::Orientation::portrait;
    int pages = 0;
    long lines = 0;
    for (auto _ : state) {
        CountingPrinter printer;
        auto printed = printing::print_log_pages(printer, orientation, big.log, {}, big.bands);
        if (!printed) state.SkipWithError("cannot read the log");
        pages = printer.pages;
        lines = printer.lines;
    }
    state.counters["pages"] = pages;
    state.counters["rules"] = static_cast<double>(lines);
}

void BM_WriteTheListingFile(benchmark::State& state) {
    BigLog& big = big_log();
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto text = printing::listing_file_text(big.log, {}, big.bands);
        if (!text)
            state.SkipWithError("cannot read the log");
        else
            bytes = text->size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_FindTheQslsOwed(benchmark::State& state) {
    BigLog& big = big_log();
    const countries::CountryTable table =
        countries::parse_country_list("G,G,England,1,52,-1\r\nDL,DL,Germany,230,51,10\r\n").table;
    std::size_t queued = 0;
    for (auto _ : state) {
        auto queue = printing::build_qsl_queue(big.log, table, {});
        if (!queue)
            state.SkipWithError("cannot read the log");
        else
            queued = queue->qsls.size();
    }
    state.counters["queued"] = static_cast<double>(queued);
}

} // namespace

BENCHMARK(BM_ReadTheLogThrough)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayOutTheLogOnPages)->Arg(1)->Arg(0)->ArgName("landscape")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteTheListingFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindTheQslsOwed)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
