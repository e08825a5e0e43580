#include "logstore/curlog.hpp"

#include "common/text_items.hpp"

#include <vector>

namespace kestrel::logstore {

namespace {

std::string in_directory(const std::string& directory, const char* name) {
    if (directory.empty()) return name;
    return directory.back() == '/' ? directory + name : directory + "/" + name;
}

} // namespace

std::string read_current_log_path(const std::string& directory, FileSystem& files) {
    const int fd = files.open(in_directory(directory, k_current_log_file), FileSystem::OpenMode::read_only);
    if (fd < 0) return k_default_log;
    std::string bytes;
    std::vector<std::uint8_t> block(4096);
    std::int64_t offset = 0;
    while (true) {
        const std::int64_t got = files.pread(fd, block, offset);
        if (got <= 0) break;
        bytes.append(block.begin(), block.begin() + got);
        offset += got;
    }
    (void)files.close(fd);

    TextItemReader reader(std::move(bytes));
    const auto path = reader.next_text();
    return path && !path->empty() ? *path : std::string(k_default_log);
}

bool write_current_log_path(const std::string& directory, const std::string& log_path, FileSystem& files) {
    const std::string target = in_directory(directory, k_current_log_file);
    const std::string temporary = target + ".new";
    // A path with a comma in it, or blanks at either end, is quoted so that it reads back whole.
    const auto is_blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool needs_quotes =
        log_path.find(',') != std::string::npos ||
        (!log_path.empty() && (is_blank(log_path.front()) || is_blank(log_path.back())));
    const std::string line = join_items({needs_quotes ? "\"" + log_path + "\"" : log_path});
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(line.data()),
                                              line.size());

    const int fd = files.open(temporary, FileSystem::OpenMode::write_replace);
    if (fd < 0) return false;
    int status = write_all(files, fd, bytes, 0);
    if (status == 0) status = files.fsync(fd);
    const int closed = files.close(fd);
    if (status == 0) status = closed;
    if (status == 0) status = files.rename(temporary, target);
    if (status < 0) {
        (void)files.unlink(temporary);
        return false;
    }
    return true;
}

} // namespace kestrel::logstore
