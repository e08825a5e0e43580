#pragma once

#include "common/result.hpp"
#include "logstore/band_names.hpp"
#include "logstore/log_error.hpp"
#include "logstore/log_store.hpp"
#include "logstore/record.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::browse {

// The line above the list; its columns stand over those of list_line.
[[nodiscard]] std::string list_heading();

// An entry found by a list search: where it was, and what it held then, so that nothing is
// deleted unless it still holds what the operator saw.
struct ListedEntry {
    int record = 0;
    logstore::RecordBytes bytes{};
    friend bool operator==(const ListedEntry&, const ListedEntry&) = default;
};

// The entries found, in log order, with their lines for the list.
struct Listing {
    std::vector<ListedEntry> entries;
    std::vector<std::string> lines;
};

// One entry as a list line: date, call, time on, time off, band, mode and power with the QSL tag,
// comment, each followed by "|" (the tag follows the power directly), then the record number
// right-aligned in the last six characters. A note shows its date, "/", time and text; a change
// of station data its date, "/DATA", time, operator, transceiver, antenna and band. Every line
// has the same width, and control characters (the 0x00 of unused bytes) show as blanks.
[[nodiscard]] std::string list_line(const logstore::RecordBytes& record, int number,
                                    const logstore::BandNameTable& band_names);

// Whether a record's call field answers a call typed by the operator. A text ending in "*" is a
// prefix (every "*" taken out) compared with the call as stored; any other text matches every
// entry with the same base call, so G4ABC finds G4ABC/P and GW4ABC too.
class CallMatch {
  public:
    explicit CallMatch(std::string_view typed);
    [[nodiscard]] bool operator()(const logstore::RecordBytes& record) const;

  private:
    bool m_prefix = false;
    std::string m_wanted; // the prefix, or the base call without its padding
};

// Whether a contact's comment holds a word, in any case. Text and station-data entries have no
// comment and are never found.
class CommentMatch {
  public:
    explicit CommentMatch(std::string_view word);
    [[nodiscard]] bool operator()(const logstore::RecordBytes& record) const;

  private:
    std::string m_word; // upper case
};

// Every entry of the log that matches, read a large block at a time. An empty text finds
// nothing.
[[nodiscard]] Result<Listing, logstore::LogError> list_by_call(const logstore::LogStore& log,
                                                               std::string_view typed,
                                                               const logstore::BandNameTable& band_names);
[[nodiscard]] Result<Listing, logstore::LogError> list_by_comment(const logstore::LogStore& log,
                                                                  std::string_view word,
                                                                  const logstore::BandNameTable& band_names);

// The list written as a file: each line with its "|" turned into ",", ended by CR LF. Nothing is
// quoted; a comma inside a comment stays as it is.
[[nodiscard]] std::string list_file_text(const std::vector<std::string>& lines);

// What deleting listed entries did.
struct Deletion {
    int deleted = 0;
    // The reason the rest were left in the log: the log store's failure, or an entry that no
    // longer holds what was listed (the log changed since the search).
    logstore::LogStatus status;
    bool entry_changed = false;
    bool complete() const { return status && !entry_changed; }
};

// Deletes the entries, highest record number first, so that every number still names the entry
// it named when listed. Each entry is read back first and must hold the bytes listed; the first
// mismatch or failure stops the work, leaving that entry and the rest in the log.
[[nodiscard]] Deletion delete_listed(logstore::LogStore& log, std::vector<ListedEntry> entries);

} // namespace kestrel::browse
