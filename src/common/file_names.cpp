#include "common/file_names.hpp"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <vector>

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

namespace kestrel {

namespace {

char lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool same_name_but_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lower_ascii(x) == lower_ascii(y);
           });
}

std::string find_file_any_case(const std::string& path) {
    namespace fs = std::filesystem;
    // A name read from a file may be of any length; one no file could have costs no more than
    // this test, and none of the copies and comparisons below.
    if (path.empty() || path.size() > k_path_limit) return path;
    std::error_code error;
    if (fs::exists(fs::symlink_status(path, error))) return path;
    const auto slash = path.rfind('/');
    const std::size_t name_size = slash == std::string::npos ? path.size() : path.size() - slash - 1;
    if (name_size == 0 || name_size > k_file_name_limit) return path;
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    const std::string wanted = slash == std::string::npos ? path : path.substr(slash + 1);
    std::vector<std::string> found;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (same_name_but_case(name, wanted)) found.push_back(std::move(name));
    }
    if (found.empty()) return path;
    std::sort(found.begin(), found.end());
    return slash == std::string::npos ? found.front() : path.substr(0, slash + 1) + found.front();
}

bool copy_would_be_original(const std::string& copy, const std::string& original) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::equivalent(copy, original, error) && !error) return true;
    const fs::path copy_folder = fs::path(copy).parent_path();
    const fs::path original_folder = fs::path(original).parent_path();
    const fs::path here = ".";
    error.clear();
    const bool same_folder = fs::equivalent(copy_folder.empty() ? here : copy_folder,
                                            original_folder.empty() ? here : original_folder, error);
    return !error && same_folder && fs::path(copy).filename() == fs::path(original).filename();
}

} // namespace kestrel
