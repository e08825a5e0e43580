#pragma once

#include "common/result.hpp"
#include "logstore/file_system.hpp"
#include "logstore/log_error.hpp"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::logstore {

// Every change to a log is all or nothing, whatever stops it: a crash, a kill, a power cut.
//
// Before a change overwrites anything, the bytes it will overwrite and the log's length are
// saved in a journal file beside the log and synced to disk. Then the log is changed and synced,
// and only then is the journal removed: that removal is the moment the change is made. A journal
// found when the log is opened belongs to a change that did not finish; its bytes are written
// back and the log cut to its old length, which gives the log exactly as it was before.
//
// The journal carries a checksum over everything in it. One that is cut short or half written
// (the process died while writing it, or the power failed before it reached the disk) does not
// match its checksum; it is simply removed, and rightly so, because the log is never touched
// until the whole journal is on disk. A write to the log torn part way, inside one system call,
// is no different from any other unfinished change: the journal puts every byte back.
//
// Replacing two logs together (a merge that also takes the moved entries out of the log they
// came from) works the other way round: both new logs are written and synced under work names
// first, then a journal naming the renames is written; from that moment the change is made, and
// an interrupted run of renames is completed at the next open of either log.

// A journal names only what its change made: the log it belongs to, work files beside it under
// the program's own names, and a file of set-aside bytes beside it. It carries the log's length
// before and after the change and a checksum of bytes the change does not touch, so a journal
// left beside a log that has since been replaced is never applied to the new file. A journal
// that fails any of these checks, or is not a plain file, is renamed aside (".BAD" added), told
// of, and not applied: the log stays as it is found.

// What opening a log found to put right.
enum class Recovery {
    none,
    undone,    // an interrupted change was undone: the log is as it was before it
    completed, // an interrupted pair of renames was completed: the logs are as they were after it
    set_aside, // a journal that does not belong to the log was kept aside, not applied
};

// What the operator is told once when an open put a log right; empty for Recovery::none.
[[nodiscard]] std::string recovery_text(Recovery what, const std::string& log_path);

// The name of the journal of the log at log_path, beside it.
[[nodiscard]] std::string journal_path_of(const std::string& log_path);

// Puts right an interrupted change to the log at log_path, or does nothing when none was
// interrupted. Fails with recovery_failed when a change was interrupted and the log cannot be
// written now; the journal then stays for the next try.
[[nodiscard]] Result<Recovery, LogError> recover_log(FileSystem& files, const std::string& log_path);

// The journal of one change in place.
class UndoJournal {
  public:
    explicit UndoJournal(FileSystem& files) : m_files(files) {}

    // Saves, on disk beside the log, its length now and after the change, the bytes from
    // `offset` on that the change is about to overwrite, a checksum of some of the bytes before
    // `offset` (read through log_fd), and the name of a file the change creates beside the log
    // (removed again if the change is undone). Nothing is left behind when this fails.
    [[nodiscard]] LogStatus begin(const std::string& log_path, int log_fd, std::int64_t old_length,
                                  std::int64_t new_length, std::int64_t offset,
                                  std::span<const std::uint8_t> old_bytes,
                                  const std::string& created_file = {});
    // The change is complete and synced: removes the journal. When the journal could not be
    // removed it is still there and still undoes the change, which must then be undone.
    [[nodiscard]] LogStatus end();
    bool active() const { return !m_path.empty(); }

  private:
    FileSystem& m_files;
    std::string m_path;
};

// A work file to be put in the place of a log.
struct Rename {
    std::string from;
    std::string to;
};

// The name of the file a change that sets bytes aside may make beside the log: the log's name
// with ".PART" and, when that is taken, a number added.
[[nodiscard]] bool is_part_file_of(const std::string& created, const std::string& log_path);

// Work names tried after the first one is taken: CONTEST.NEW, CONTEST.NEW1 ... CONTEST.NEW99.
inline constexpr int k_work_name_tries = 100;

// The work name of a log being rewritten, in the log's own directory: its file name in upper
// case with ".LOG" turned into ".NEW" (CONTEST.NEW beside contest.log), or with ".NEW" added
// when the name has no ".LOG" (shortened if need be to stay a legal name).
[[nodiscard]] std::string work_name_for(const std::string& path);

// True when `work` is a work name of the log at `target`: its work name, or that with a number
// added (CONTEST.NEW1), in the same directory.
[[nodiscard]] bool is_work_name_of(const std::string& work, const std::string& target);

// The work files the journal at journal_path still needs to finish its change (the renames of a
// merge that were begun), which must not be removed as left-overs; none for any other journal.
[[nodiscard]] std::vector<std::string> work_files_needed_by(FileSystem& files,
                                                            const std::string& journal_path);

// The bytes of a journal file holding one entry of the given kind, whole and checksummed as the
// program writes it: for the tools that try what the reader makes of any entry.
[[nodiscard]] std::string journal_file_bytes(std::uint32_t kind, std::string_view entry);

// Renames each work file over its log, all of them or none: once this has begun, an interruption
// is completed at the next open of any of the logs. The work files must be complete and synced.
[[nodiscard]] LogStatus rename_together(FileSystem& files, const std::vector<Rename>& renames);

} // namespace kestrel::logstore
