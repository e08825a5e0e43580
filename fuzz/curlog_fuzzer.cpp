// CURLOG.DTA: the log in use is read, written back as at exit, and read again; the same log
// must come back.
#include "fuzz_support.hpp"
#include "logstore/curlog.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel;
    (void)fuzz::scratch_file(logstore::k_current_log_file, fuzz::bytes_of(data, size));
    const std::string dir = fuzz::scratch_dir().string();
    const std::string first = logstore::read_current_log_path(dir);
    fuzz::check(!first.empty(), "some log is always named");

    fuzz::check(logstore::write_current_log_path(dir, first), "the name is written");
    const std::string again = logstore::read_current_log_path(dir);
    fuzz::check(again == first, "the log named is read back the same");
    return 0;
}
