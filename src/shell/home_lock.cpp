#include "shell/home_lock.hpp"

#include "logstore/curlog.hpp"
#include "logstore/journal.hpp"
#include "logstore/record.hpp"
#include "shell/shell_state.hpp"

#include <algorithm>
#include <filesystem>
#include <set>

namespace kestrel::shell {

namespace {

namespace fs = std::filesystem;

constexpr const char* k_home_lock_name = ".kestrel-home.lock";

bool is_upper_name(const std::string& name) {
    return std::none_of(name.begin(), name.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// A work log's name: upper case, ending in ".NEW" or ".NEW" and one or two digits.
bool is_work_log_name(const std::string& name) {
    if (!is_upper_name(name)) return false;
    const auto at = name.rfind(".NEW");
    if (at == std::string::npos || at == 0) return false;
    const std::string number = name.substr(at + 4);
    return number.size() <= 2 &&
           std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool is_temporary_name(const std::string& name) {
    return name.ends_with(".kestrel-tmp") || name == std::string(logstore::k_current_log_file) + ".new" ||
           (name.size() > 6 && name.starts_with(".") && name.ends_with(".part"));
}

// Nobody holds the work log: a run that writes it keeps it locked until it is renamed or gone.
bool unclaimed(logstore::FileSystem& files, const std::string& path) {
    const int fd = files.open(path, logstore::FileSystem::OpenMode::read_only);
    if (fd < 0) return false;
    logstore::FileInfo info;
    const bool whole = files.fstat(fd, info) == 0 && info.regular && info.size % logstore::k_record_size == 0;
    const bool free = whole && files.try_lock(fd) == 0;
    (void)files.close(fd);
    return free;
}

} // namespace

std::string home_lock_path(const std::string& directory) {
    return (fs::path(directory) / k_home_lock_name).string();
}

bool lock_data_home(ui::Host& host, const std::string& directory, logstore::FileLock& lock) {
    auto taken = logstore::FileLock::take(home_lock_path(directory));
    if (taken) {
        lock = std::move(taken).value();
        return true;
    }
    // A directory where no lock file can be made (read-only) cannot be written by anyone.
    if (taken.error() != logstore::LockProblem::busy) return true;
    const auto holder = logstore::FileLock::holder_of(home_lock_path(directory));
    const std::string who =
        holder ? "Another Kestrel (process " + std::to_string(*holder) + ")" : "Another Kestrel";
    ui::Message question{
        who + " is already working in the data directory " + directory +
            ".\r\n\r\nTwo at once would write over each other's settings and DXCC chart, and "
            "a log open in one cannot be opened in the other.\r\n\r\nLeave this one?",
        std::string(k_program_name), ui::Icon::question, ui::Buttons::yes_no};
    question.default_answer = ui::Answer::yes;
    return host.message_box(nullptr, question) == ui::Answer::no;
}

std::vector<std::string> remove_stale_work_files(const std::string& directory) {
    logstore::FileSystem& files = logstore::posix_file_system();
    std::vector<fs::path> candidates;
    std::set<std::string> needed;
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.ends_with(".JNL")) {
            for (std::string& work : logstore::work_files_needed_by(files, it->path().string()))
                needed.insert(std::move(work));
        } else if (is_work_log_name(name) || is_temporary_name(name)) {
            candidates.push_back(it->path());
        }
    }
    std::vector<std::string> removed;
    for (const fs::path& path : candidates) {
        const std::string name = path.filename().string();
        const std::string absolute = fs::absolute(path, ec).lexically_normal().string();
        if (needed.contains(absolute)) continue;
        const auto status = fs::symlink_status(path, ec);
        if (ec || fs::is_directory(status)) continue;
        // A link at one of these names is removed itself; its target is never touched.
        if (is_work_log_name(name) && !fs::is_symlink(status) && !unclaimed(files, path.string())) continue;
        if (files.unlink(path.string()) == 0) removed.push_back(name);
    }
    std::sort(removed.begin(), removed.end());
    return removed;
}

} // namespace kestrel::shell
