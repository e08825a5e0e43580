#include "fuzz_support.hpp"

#include "support/temp_dir.hpp"

#include <fstream>
#include <iterator>

namespace kestrel::fuzz {

const std::filesystem::path& scratch_dir() {
    static const kestrel::testing::TempDir dir;
    return dir.path();
}

std::string scratch_file(const std::string& name, std::string_view bytes) {
    const std::filesystem::path path = scratch_dir() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) fail("cannot write a scratch file");
    return path.string();
}

std::string file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace kestrel::fuzz
