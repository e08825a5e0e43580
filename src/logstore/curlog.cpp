#include "logstore/curlog.hpp"

#include "common/file_names.hpp"
#include "common/text_items.hpp"

#include <vector>

namespace kestrel::logstore {

namespace {

std::string in_directory(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    return directory.back() == '/' ? directory + name : directory + "/" + name;
}

// A path written on the old platform ("C:\\KESTREL\\HOME.LOG", "A:HOME.LOG") names the file of
// that name in the data directory, where the station's files now live.
std::string path_here(const std::string& directory, const std::string& path) {
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    if (!drive && path.find('\\') == std::string::npos) return path;
    const std::size_t cut = path.find_last_of(drive ? "\\:" : "\\");
    const std::string name = path.substr(cut + 1);
    return name.empty() ? std::string(k_default_log) : in_directory(directory, name);
}

} // namespace

std::string read_current_log_path(const std::string& directory, FileSystem& files) {
    const int fd = files.open(find_file_any_case(in_directory(directory, k_current_log_file)),
                              FileSystem::OpenMode::read_only);
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
    return path && !path->empty() ? path_here(directory, *path) : std::string(k_default_log);
}

bool write_current_log_path(const std::string& directory, const std::string& log_path, FileSystem& files) {
    const std::string target = find_file_any_case(in_directory(directory, k_current_log_file));
    const std::string temporary = target + ".new";
    // A path with a comma in it, or blanks at either end, is quoted so that it reads back whole;
    // the dialogs refuse the few it cannot hold (a double quote, a line end).
    const std::string line = join_items({log_path});
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
