// How long ADIF export and import take for a log of 100,000 contacts: the export from the log
// file to the text of the ADIF file, writing that file, and the import of such a file and of one
// written by a digital-mode program in UTF-8, up to the bytes of the new log. Beside the whole
// export and the whole import, their floors timed in the same run: writing and flushing the same
// bytes as the export (what dd conv=fsync does), and for the import reading the file, a plain
// scan of its tags that makes a record at each "<eor>", writing and flushing those records and
// indexing the log they make.
//
// The import reads a file this large in two halves at once, and indexing a log of its size takes
// one thread: compare the real times ("Time"); the CPU column counts the calling thread only.
#include "common/side_file.hpp"
#include "exchange/adif_import_text.hpp"
#include "exchange/adif_writer.hpp"
#include "logstore/field_codes.hpp"
#include "logstore/log_store.hpp"
#include "support/temp_dir.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace kestrel;
using namespace kestrel::logstore;

constexpr int k_contacts = 100000;
constexpr exchange::CalendarDate k_today{2024, 6, 1};

RecordBytes contact(int i) {
    static const char* modes[] = {"SSB", "CW", "FT8", "RTY", "FT4", "J3E", "A1A", "PSK"};
    QsoRecord qso;
    qso.date = static_cast<std::int16_t>(18036 + i / 40 % 28 + 35 * (i / 1120 % 12) + 500 * (i / 13440));
    qso.time_on = static_cast<std::int16_t>(i % 1440);
    qso.time_off = static_cast<std::int16_t>((i + 3) % 1440);
    qso.call = "G" + std::to_string(i % 10) + "ABC" + std::to_string(i % 97);
    qso.rst_sent = "59";
    qso.rst_received = i % 3 == 0 ? "-10" : "579";
    qso.band = coded_band_field(i % 20);
    qso.mode = modes[i % 8];
    qso.power = i % 5 == 0 ? "" : "100";
    qso.comment = i % 4 == 0 ? "" : "Op. Jos\xE9 in the contest " + std::to_string(i);
    qso.qsl_flags = static_cast<std::uint8_t>(i % 4);
    return qso.encode();
}

// A log file of k_contacts contacts in a directory removed afterwards.
class BenchDir {
  public:
    BenchDir() {
        std::ofstream out(file("BIG.LOG"), std::ios::binary);
        for (int i = 0; i < k_contacts; ++i) {
            const RecordBytes record = contact(i);
            out.write(reinterpret_cast<const char*>(record.data()), k_record_size);
        }
    }
    std::string file(const std::string& name) const { return m_dir.file(name); }

  private:
    kestrel::testing::TempDir m_dir;
};

LogStore& open_big_log(BenchDir& dir) {
    static LogStore log;
    if (!log.open_log(dir.file("BIG.LOG"))) throw std::runtime_error("log not opened");
    return log;
}

void export_text(benchmark::State& state) {
    BenchDir dir;
    LogStore& log = open_big_log(dir);
    for (auto _ : state) {
        auto text = exchange::adif_text_of_log(log, k_today);
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations() * k_contacts);
}
BENCHMARK(export_text)->Unit(benchmark::kMillisecond);

void export_file(benchmark::State& state) {
    BenchDir dir;
    LogStore& log = open_big_log(dir);
    for (auto _ : state) {
        if (!exchange::export_adif_file(log, dir.file("BIG.ADI"), k_today))
            state.SkipWithError("export failed");
    }
    state.SetItemsProcessed(state.iterations() * k_contacts);
}
BENCHMARK(export_file)->Unit(benchmark::kMillisecond);

// The floor of the export: the bytes it writes, written to a new file in 1 MiB blocks and
// flushed, as dd conv=fsync bs=1M does.
void floor_write_and_flush(benchmark::State& state) {
    BenchDir dir;
    const auto text = exchange::adif_text_of_log(open_big_log(dir), k_today);
    const std::string path = dir.file("DD.ADI");
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        constexpr std::size_t k_block = 1 << 20;
        for (std::size_t at = 0; at < text->text.size(); at += k_block) {
            const std::size_t size = std::min(k_block, text->text.size() - at);
            if (::write(fd, text->text.data() + at, size) != static_cast<ssize_t>(size))
                state.SkipWithError("write");
        }
        if (::fsync(fd) != 0 || ::close(fd) != 0) state.SkipWithError("flush");
    }
    state.counters["MB"] = static_cast<double>(text->text.size()) / 1e6;
}
BENCHMARK(floor_write_and_flush)->Unit(benchmark::kMillisecond);

void import_own_export(benchmark::State& state) {
    BenchDir dir;
    const auto text = exchange::adif_text_of_log(open_big_log(dir), k_today);
    for (auto _ : state) {
        auto imported = exchange::import_adif_text(text->text, {"100", ""});
        if (imported.entries != k_contacts) state.SkipWithError("contacts lost");
        benchmark::DoNotOptimize(imported);
    }
    state.SetItemsProcessed(state.iterations() * k_contacts);
}
BENCHMARK(import_own_export)->Unit(benchmark::kMillisecond);

// One record a line as a digital-mode program writes them, UTF-8 names included.
std::string digital_mode_file() {
    std::string file = "ADIF Export\n<adif_ver:5>3.1.0\n<programid:6>WSJT-X\n<EOH>\n";
    for (int i = 0; i < k_contacts; ++i) {
        const std::string call = "K" + std::to_string(i % 10) + "ABC";
        file += "<call:" + std::to_string(call.size()) + ">" + call +
                " <gridsquare:4>FN42 <mode:3>FT8 <rst_sent:3>-10 <rst_rcvd:3>-12 <qso_date:8>20240305"
                " <time_on:6>143200 <qso_date_off:8>20240305 <time_off:6>143300 <band:3>20m"
                " <freq:9>14.074123 <station_callsign:5>G9QQQ <my_gridsquare:6>IO91WM"
                " <name:7>J\xC3\xBCrgen <comment:12>tnx f\xC3\xBCr QSO <eor>\n";
    }
    return file;
}

void import_digital_mode_file(benchmark::State& state) {
    const std::string file = digital_mode_file();
    for (auto _ : state) {
        auto imported = exchange::import_adif_text(file, {});
        if (imported.entries != k_contacts) state.SkipWithError("contacts lost");
        benchmark::DoNotOptimize(imported);
    }
    state.SetItemsProcessed(state.iterations() * k_contacts);
}
BENCHMARK(import_digital_mode_file)->Unit(benchmark::kMillisecond);

// The whole import as the window does it: read the file, make the records, write the new log,
// open it and build its record index.
void import_file_to_log(benchmark::State& state) {
    BenchDir dir;
    if (!write_side_file(dir.file("WSJTX.ADI"), digital_mode_file())) throw std::runtime_error("no file");
    LogStore log;
    for (auto _ : state) {
        const auto file = read_side_file(dir.file("WSJTX.ADI"));
        if (!file) state.SkipWithError("not read");
        const auto imported = exchange::import_adif_text(*file, {});
        if (!write_side_file(dir.file("WSJTX.LOG"), imported.records)) state.SkipWithError("not written");
        log.close_log();
        if (!log.open_log(dir.file("WSJTX.LOG")) || !log.build_record_index() ||
            log.record_count() != k_contacts)
            state.SkipWithError("log not opened");
    }
    state.SetItemsProcessed(state.iterations() * k_contacts);
}
BENCHMARK(import_file_to_log)->Unit(benchmark::kMillisecond);

// The floor of the same import: the file read in one go, each tag found with one search for '<'
// and its value passed over by its length, an 84-byte record made at each "<eor>", the records
// written and flushed as a new log, and the log opened and indexed.
void floor_import_file_to_log(benchmark::State& state) {
    BenchDir dir;
    if (!write_side_file(dir.file("WSJTX.ADI"), digital_mode_file())) throw std::runtime_error("no file");
    const RecordBytes record = contact(1);
    LogStore log;
    for (auto _ : state) {
        const int fd = ::open(dir.file("WSJTX.ADI").c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        ::fstat(fd, &info);
        std::string file(static_cast<std::size_t>(info.st_size), '\0');
        if (::read(fd, file.data(), file.size()) != info.st_size) state.SkipWithError("not read");
        ::close(fd);
        std::string records;
        int fields = 0;
        for (std::size_t at = 0;;) {
            const void* open = std::memchr(file.data() + at, '<', file.size() - at);
            if (open == nullptr) break;
            std::size_t p = static_cast<std::size_t>(static_cast<const char*>(open) - file.data()) + 1;
            const std::size_t name = p;
            while (p < file.size() && file[p] != ':' && file[p] != '>')
                ++p;
            std::size_t length = 0;
            if (p < file.size() && file[p] == ':') {
                for (++p; p < file.size() && file[p] >= '0' && file[p] <= '9'; ++p)
                    length = length * 10 + static_cast<std::size_t>(file[p] - '0');
                while (p < file.size() && file[p] != '>')
                    ++p;
            } else if (p - name == 3 && (file[name] | 0x20) == 'e' && (file[name + 2] | 0x20) == 'r') {
                records.append(reinterpret_cast<const char*>(record.data()), record.size());
            }
            ++fields;
            at = std::min(file.size(), p + 1 + length);
        }
        if (!write_side_file(dir.file("WSJTX.LOG"), records)) state.SkipWithError("not written");
        log.close_log();
        if (!log.open_log(dir.file("WSJTX.LOG")) || !log.build_record_index() ||
            log.record_count() != k_contacts)
            state.SkipWithError("log not opened");
        benchmark::DoNotOptimize(fields);
    }
    state.SetItemsProcessed(state.iterations() * k_contacts);
}
BENCHMARK(floor_import_file_to_log)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// Damaged and hostile text of the same size as the digital-mode file: lengths far past the end
// of the file and tags that are not quite specifiers, with whole records among them.
std::string hostile_file() {
    std::string file;
    while (file.size() < 25'000'000) {
        file += "<call:99999999>K1ABC <a b:7>x <notes:4000000>J\xC3\xBC <c d:1>y <x:2>\xC3";
        for (int i = 0; i < 20; ++i)
            file += "<nope nope:3>abc ";
        file += "<eor>\n";
    }
    return file;
}

void import_hostile_file(benchmark::State& state) {
    const std::string file = hostile_file();
    for (auto _ : state) {
        auto imported = kestrel::exchange::import_adif_text(file, {});
        benchmark::DoNotOptimize(imported);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(import_hostile_file)->Unit(benchmark::kMillisecond);

} // namespace
