// Cabrillo logs from contest programs, read under our own CABRILLO.FRM. There is no Cabrillo
// writer, so the check is on what comes out: every entry the tally counts reaches the new log,
// and each is a record that reads back as itself.
#include "exchange/cabrillo_import.hpp"
#include "fuzz_support.hpp"
#include "logstore/record.hpp"

#include <sstream>
#include <vector>

namespace {

using namespace kestrel;

class Collect final : public exchange::RecordSink {
  public:
    logstore::LogStatus append(const logstore::RecordBytes& record) override {
        records.push_back(record);
        return {};
    }
    std::vector<logstore::RecordBytes> records;
};

// The layouts shipped with the program, beside the Cabrillo file as an import finds them.
const std::string& layout_path() {
    static const std::string path = fuzz::scratch_file(
        "CABRILLO.FRM", fuzz::file_bytes(std::string(KESTREL_SOURCE_DIR) + "/resources/data/CABRILLO.FRM"));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(fuzz::bytes_of(data, size)));
    exchange::CabrilloOptions options;
    options.constants = {"100", "fuzz"};
    options.layout_file = layout_path();
    Collect sink;
    std::int64_t last_progress = 0;
    const exchange::ImportTally tally = exchange::read_cabrillo(in, options, sink, [&](std::int64_t done) {
        fuzz::check(done >= last_progress && done <= static_cast<std::int64_t>(size),
                    "progress counts bytes read");
        last_progress = done;
    });

    fuzz::check(tally.end != exchange::ImportEnd::write_failed &&
                    tally.end != exchange::ImportEnd::read_failed,
                "an in-memory read and sink never fail");
    fuzz::check(tally.end != exchange::ImportEnd::layout_file_missing, "the layout file is there");
    fuzz::check(static_cast<std::size_t>(tally.imported) == sink.records.size(),
                "the tally counts what was written");
    for (const logstore::RecordBytes& record : sink.records) {
        fuzz::check(logstore::QsoRecord::decode(record).encode() == record,
                    "an imported entry reads back as itself");
        fuzz::check(logstore::kind_of(record) != logstore::RecordKind::text &&
                        logstore::kind_of(record) != logstore::RecordKind::station_data,
                    "an imported entry is a contact");
    }
    return 0;
}
