// A log file of any bytes, opened by the log store as at start-up: the index is built over every
// whole record, each record reads back as the bytes on disk, and bytes after the last whole
// record are set aside into a file of their own, leaving the log whole (when the file looks like a
// log at all: one that does not is left as it is).
#include "fuzz_support.hpp"
#include "logstore/log_store.hpp"

#include <algorithm>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel;
    const std::string_view bytes = fuzz::bytes_of(data, size);
    const std::string path = fuzz::scratch_file("FUZZ.LOG", bytes);
    const std::string side_path = (fuzz::scratch_dir() / "FUZZ.PRT").string();
    std::filesystem::remove(side_path);

    const int whole = static_cast<int>(size / logstore::k_record_size);
    const int trailing = static_cast<int>(size % logstore::k_record_size);
    logstore::LogStore log;
    fuzz::check(static_cast<bool>(log.open_log(path)), "a log of any bytes opens");
    fuzz::check(log.record_count() == whole && log.trailing_bytes() == trailing,
                "records and trailing bytes counted");
    fuzz::check(static_cast<bool>(log.build_record_index()), "the index is built");
    fuzz::check(log.index().size() == whole, "the index has every record");

    const auto records = log.read_records(1, whole);
    fuzz::check(records.ok() && static_cast<int>(records->size()) == whole, "every record reads");
    for (int n = 1; n <= whole; ++n) {
        const logstore::RecordBytes& record = (*records)[static_cast<std::size_t>(n - 1)];
        fuzz::check(std::equal(record.begin(), record.end(), data + (n - 1) * logstore::k_record_size),
                    "a record is the bytes on disk");
        fuzz::check(log.index().index_call(n) == logstore::index_text_of(record), "the index holds the call");
        fuzz::check(log.index().index_date(n) == logstore::record_date(record), "the index holds the date");
    }

    if (trailing > 0 && !log.looks_like_log()) {
        // A file that is not a log is shown, never repaired.
        fuzz::check(!log.set_aside_partial_record(side_path), "a file that is not a log is not repaired");
        fuzz::check(fuzz::file_bytes(path) == bytes, "a file that is not a log keeps its bytes");
    } else if (trailing > 0) {
        fuzz::check(static_cast<bool>(log.set_aside_partial_record(side_path)),
                    "a partial record is set aside");
        fuzz::check(fuzz::file_bytes(side_path) == bytes.substr(size - static_cast<std::size_t>(trailing)),
                    "the side file holds the partial record");
        fuzz::check(log.trailing_bytes() == 0 && log.record_count() == whole,
                    "the log keeps its whole records");
        fuzz::check(fuzz::file_bytes(path) == bytes.substr(0, size - static_cast<std::size_t>(trailing)),
                    "the log file keeps its whole records");
    }
    log.close_log();
    return 0;
}
