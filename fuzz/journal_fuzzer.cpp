// A journal of any bytes beside a log, as a station directory from elsewhere may hold one, and
// the log opened as at start-up. The first byte chooses how the rest is taken: as the whole
// journal file, or as the entry of a whole, checksummed journal of one of its kinds, so that the
// reader's checks of names and lengths are reached as well as its checksum. Whatever it holds,
// the log opens, the journal is gone from its place afterwards (applied, removed or set aside),
// and no file but the log's own is written, made or removed: not the file outside the folder,
// not another file beside the log.
#include "fuzz_support.hpp"
#include "logstore/journal.hpp"
#include "logstore/log_store.hpp"
#include "logstore/record.hpp"

#include <filesystem>
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;

// Every file in a folder and below it, with its bytes.
std::map<std::string, std::string> files_under(const fs::path& root) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec))
            files[it->path().string()] = kestrel::fuzz::file_bytes(it->path().string());
    }
    return files;
}

// The files the recovery of L.LOG may change: the log, its journal (and the journal set aside),
// its work files and the bytes it set aside.
bool the_logs_own(const std::string& path, const fs::path& folder) {
    const fs::path p(path);
    if (p.parent_path() != folder) return false;
    const std::string name = p.filename().string();
    return name == "L.LOG" || name.starts_with("L.LOG.JNL") || name.starts_with("L.NEW") ||
           name.starts_with("L.LOG.PART");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel;
    if (size == 0) return 0;
    const fs::path root = fuzz::scratch_dir() / "journal";
    const fs::path folder = root / "station";
    const fs::path outside = root / "outside";
    std::error_code ec;
    fs::remove_all(root, ec);
    fs::create_directories(folder);
    fs::create_directories(outside);

    std::string log;
    for (int day = 10; day < 16; ++day) {
        logstore::QsoRecord record;
        record.date = logstore::day_number_of(std::to_string(day) + "-01-24");
        record.time_on = record.time_off = 720;
        record.call = "CALL" + std::to_string(day);
        const auto bytes = record.encode();
        log.append(bytes.begin(), bytes.end());
    }
    fuzz::scratch_file("journal/station/L.LOG", log);
    fuzz::scratch_file("journal/station/L.NEW", log.substr(0, 168));
    fuzz::scratch_file("journal/station/OTHER.TXT", "beside the log");
    fuzz::scratch_file("journal/outside/victim.txt", "outside");

    const std::string_view rest = fuzz::bytes_of(data + 1, size - 1);
    const std::uint8_t how = data[0] % 6;
    const std::string journal = how == 0 ? std::string(rest) : logstore::journal_file_bytes(how, rest);
    fuzz::scratch_file("journal/station/L.LOG.JNL", journal);
    const auto before = files_under(root);

    logstore::LogStore store;
    const auto opened = store.open_log((folder / "L.LOG").string());
    fuzz::check(opened.ok() || opened.error() == logstore::LogError::recovery_failed, "the log opens");
    if (opened.ok()) fuzz::check(!fs::exists(folder / "L.LOG.JNL"), "the journal is dealt with");
    store.close_log();

    const auto after = files_under(root);
    for (const auto& [path, bytes] : before) {
        if (the_logs_own(path, folder)) continue;
        const auto found = after.find(path);
        fuzz::check(found != after.end() && found->second == bytes, "no other file is changed or removed");
    }
    for (const auto& [path, bytes] : after) {
        fuzz::check(before.contains(path) || the_logs_own(path, folder), "no other file is made");
    }
    return 0;
}
