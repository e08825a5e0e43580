#include "common/file_names.hpp"

#include <cstdint>

namespace kestrel {

std::string add_to_file_name(const std::string& path, std::string_view suffix) {
    const auto slash = path.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::string name = path.substr(start);
    if (name.size() + suffix.size() <= k_file_name_limit) return path + std::string(suffix);

    // FNV-1a over the whole name.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    constexpr char k_hex[] = "0123456789ABCDEF";
    std::string mark = "~";
    for (int i = 0; i < 16; ++i, hash >>= 4)
        mark.push_back(k_hex[hash & 0xF]);
    std::size_t keep =
        suffix.size() + mark.size() < k_file_name_limit ? k_file_name_limit - suffix.size() - mark.size() : 0;
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    name.resize(keep);
    return path.substr(0, start) + name + mark + std::string(suffix);
}

} // namespace kestrel
