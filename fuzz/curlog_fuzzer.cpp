// CURLOG.DTA: the log in use is read, written back as at exit, and read again; the same log
// must come back. A name refused as too long really is longer than any path.
#include "common/file_names.hpp"
#include "fuzz_support.hpp"
#include "logstore/curlog.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel;
    (void)fuzz::scratch_file(logstore::k_current_log_file, fuzz::bytes_of(data, size));
    const std::string dir = fuzz::scratch_dir().string();
    const auto first = logstore::read_current_log_path(dir);
    if (!first) {
        fuzz::check(size > k_path_limit, "only a name longer than a path is refused");
        return 0;
    }
    fuzz::check(!first->empty(), "some log is always named");

    fuzz::check(logstore::write_current_log_path(dir, *first), "the name is written");
    const auto again = logstore::read_current_log_path(dir);
    fuzz::check(again && *again == *first, "the log named is read back the same");
    return 0;
}
