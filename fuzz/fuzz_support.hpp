#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace kestrel::fuzz {

// A broken promise of the code under test: say which, and stop so the fuzzer keeps the input.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline void check(bool holds, const char* what) {
    if (!holds) fail(what);
}

inline std::string_view bytes_of(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// One scratch directory for the life of the fuzzing process; readers that take a path find
// their input here. It is removed when the process ends normally.
const std::filesystem::path& scratch_dir();

// Writes bytes to a file of the scratch directory, replacing it, and gives its path.
std::string scratch_file(const std::string& name, std::string_view bytes);

// The whole of a file (empty when absent).
std::string file_bytes(const std::string& path);

} // namespace kestrel::fuzz
