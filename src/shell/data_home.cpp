#include "shell/data_home.hpp"

#include "common/side_file.hpp"

#include <algorithm>
#include <cstdio>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace kestrel::shell {

namespace fs = std::filesystem;

namespace {

constexpr const char* k_default_dir = "kestrel";

bool set(const char* value) {
    return value != nullptr && *value != '\0';
}

// True when anything at all answers to the name, a link to nowhere among them.
bool taken(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

std::string lower_ascii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The names in the directory, in lower case. Station files brought from a system that ignored
// case may be spelled country.lst; the program finds them whatever the case, so a shipped
// COUNTRY.LST put beside one would be read in its place.
std::set<std::string> names_in(const fs::path& dir) {
    std::set<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        names.insert(lower_ascii(it->path().filename().string()));
    return names;
}

std::vector<fs::path> shipped_files(const fs::path& source) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code type_ec;
        if (it->is_regular_file(type_ec)) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string failure_text(int error) {
    return std::error_code(error, std::generic_category()).message();
}

// Copies under a hidden name first and renames it into place, so a copy cut short (a full disk)
// never stands under the real name, where it would be taken for the operator's own file and
// kept for good. The hidden copy is made afresh, never through a link planted in its name. The
// copy is made writable for the operator whatever the source allowed.
std::string put_in(const fs::path& from, const fs::path& to) {
    const std::string part = (to.parent_path() / ("." + to.filename().string() + ".part")).string();
    const int in = open_regular_file(from.string());
    if (in < 0) return failure_text(errno);
    struct stat about {};
    const mode_t mode = ::fstat(in, &about) == 0 ? (about.st_mode & 0777) | S_IRUSR | S_IWUSR : 0644;
    const int out = create_work_file(part, mode);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return failure_text(error);
    }
    int error = 0;
    if (!copy_file_bytes(in, out) || ::fchmod(out, mode) != 0 || ::fsync(out) != 0) error = errno;
    ::close(in);
    if (::close(out) != 0 && error == 0) error = errno;
    if (error == 0 && !taken(to)) {
        if (::rename(part.c_str(), to.c_str()) != 0) error = errno;
        // Kept through a power cut. Should that fail, a cut would at worst bring back the hidden
        // copy, which the next start removes and makes again.
        if (error == 0) (void)sync_folder_of(part);
    }
    ::unlink(part.c_str());
    return error == 0 ? std::string() : failure_text(error);
}

} // namespace

DataHomeChoice choose_data_home(const std::optional<std::string>& option, const char* kestrel_home_env,
                                const char* home_env) {
    fs::path dir;
    if (option && !option->empty())
        dir = *option;
    else if (set(kestrel_home_env))
        dir = kestrel_home_env;
    else if (set(home_env))
        dir = fs::path(home_env) / k_default_dir;
    else
        return {{}, "No home directory is known ($HOME is not set): choose one with --home DIR"};
    std::error_code ec;
    fs::path absolute = fs::absolute(dir, ec);
    if (ec) return {{}, "The data directory " + dir.string() + " cannot be found: " + ec.message()};
    return {absolute.lexically_normal(), {}};
}

DataHomeReady prepare_data_home(const fs::path& dir, const std::vector<fs::path>& sources) {
    DataHomeReady ready;
    std::error_code ec;
    if (!fs::exists(dir, ec)) {
        ready.created = fs::create_directories(dir, ec);
        if (ec) {
            ready.problem = "Kestrel cannot make its data directory " + dir.string() + ": " + ec.message();
            return ready;
        }
    }
    if (!fs::is_directory(dir, ec)) {
        ready.problem = "Kestrel's data directory " + dir.string() + " is not a directory";
        return ready;
    }
    for (const fs::path& source : sources) {
        if (fs::is_directory(source, ec)) {
            ready.source = source;
            break;
        }
    }
    if (!ready.source) return ready;
    const std::set<std::string> present = names_in(dir);
    for (const fs::path& file : shipped_files(*ready.source)) {
        const fs::path to = dir / file.filename();
        if (present.contains(lower_ascii(file.filename().string())) || taken(to)) continue;
        const std::string failure = put_in(file, to);
        if (failure.empty())
            ready.copied.push_back(file.filename().string());
        else
            ready.not_copied.push_back(file.filename().string() + " (" + failure + ")");
    }
    return ready;
}

} // namespace kestrel::shell
