#include "logstore/curlog.hpp"

#include "common/file_names.hpp"
#include "common/text_items.hpp"

#include <optional>
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

// The most of CURLOG.DTA read for its name: a path as long as a path can be, with room to spare
// for quotes, blanks and the items after it.
constexpr std::size_t k_first_line_limit = 4 * (k_path_limit + 1);

struct FirstLine {
    std::string bytes; // without its line end
    bool cut = false;  // no line end came within k_first_line_limit: the line may run on
};

// The first line of a file, of which no more than a little over k_first_line_limit bytes is
// read, whatever the file's size; nothing when the file cannot be read or is not a plain file.
std::optional<FirstLine> first_line(FileSystem& files, const std::string& path) {
    const int fd = files.open(path, FileSystem::OpenMode::read_only);
    if (fd < 0) return std::nullopt;
    FileInfo info;
    if (files.fstat(fd, info) < 0 || !info.regular) {
        (void)files.close(fd);
        return std::nullopt;
    }
    FirstLine line;
    std::vector<std::uint8_t> block(4096);
    std::size_t end = std::string::npos;
    while (end == std::string::npos && !line.cut) {
        const std::int64_t got = files.pread(fd, block, static_cast<std::int64_t>(line.bytes.size()));
        if (got <= 0) break;
        const std::size_t from = line.bytes.size();
        line.bytes.append(block.begin(), block.begin() + got);
        end = line.bytes.find_first_of("\r\n", from);
        line.cut = end == std::string::npos && line.bytes.size() > k_first_line_limit;
    }
    (void)files.close(fd);
    if (end != std::string::npos) line.bytes.resize(end);
    return line;
}

} // namespace

Result<std::string, CurrentLogProblem> read_current_log_path(const std::string& directory,
                                                             FileSystem& files) {
    const auto line = first_line(files, find_file_any_case(in_directory(directory, k_current_log_file)));
    if (!line) return std::string(k_default_log);
    TextItemReader reader(line->bytes);
    const auto path = reader.next_text();
    // A name that runs on past all that was read is longer than a path can be, whatever follows.
    if (line->cut && reader.at_end()) return CurrentLogProblem::name_too_long;
    if (!path || path->empty()) return std::string(k_default_log);
    if (path->size() > k_path_limit) return CurrentLogProblem::name_too_long;
    return path_here(directory, *path);
}

bool write_current_log_path(const std::string& directory, const std::string& log_path, FileSystem& files) {
    const std::string target = find_file_any_case(in_directory(directory, k_current_log_file));
    const std::string temporary = target + ".new";
    // A path with a comma in it, or blanks at either end, is quoted so that it reads back whole;
    // the dialogs refuse the few it cannot hold (a double quote, a line end).
    const std::string line = join_items({log_path});
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(line.data()),
                                              line.size());

    // A file left by a run that stopped short, or a link planted to make this write land outside
    // the data directory: removed (the link, never its target), and the file made afresh.
    (void)files.unlink(temporary);
    const int fd = files.open(temporary, FileSystem::OpenMode::write_new);
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
    // Renamed, but only in memory until the directory is synced: a power cut could still bring
    // the old name back, so the change is not reported done before then.
    return files.sync_directory(directory_of(target)) == 0;
}

} // namespace kestrel::logstore
