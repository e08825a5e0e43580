#include "browse/list_search.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"

#include <algorithm>
#include <iterator>

namespace kestrel::browse {

namespace {

using logstore::LogError;
using logstore::RecordBytes;

constexpr std::size_t k_number_width = 6;
// Records per read. A read allocates its buffers afresh, and a block this size (43 KB) reuses
// memory already in the cache; much larger blocks fault in new pages on every read and search
// the log several times slower.
constexpr int k_block = 512;

// Upper case as upper_case() makes it: the ASCII letters only.
char ascii_upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Every line is as wide as a contact's: its columns, its comment, ten blanks and the number.
constexpr std::size_t k_line_width = 110;

// What every line starts with: the date, the call field ("/" and "/DATA" for a note or a
// change of station data) and the time (a contact's time on).
std::string timed_start(int date, const RecordBytes& record, std::int16_t time) {
    return logstore::date_text_of(date) + '|' + std::string(logstore::call_view(record)) + '|' +
           logstore::time_text_of(time) + '|';
}

// " 7" right-aligned in six characters; a number of six digits loses its blank.
std::string record_number_text(int number) {
    std::string text = number_text(number);
    if (text.size() < k_number_width) text.insert(0, k_number_width - text.size(), ' ');
    return text.substr(text.size() - k_number_width);
}

// The whole log, a block of records per read, keeping the entries that match.
template <class Match>
Result<Listing, LogError> list_matching(const logstore::LogStore& log, const Match& matches,
                                        const logstore::BandNameTable& band_names) {
    Listing found;
    const int count = log.record_count();
    for (int first = 1; first <= count; first += k_block) {
        const int in_block = std::min(k_block, count - first + 1);
        auto block = log.read_records(first, in_block);
        if (!block) return block.error();
        for (int i = 0; i < in_block; ++i) {
            const RecordBytes& record = (*block)[static_cast<std::size_t>(i)];
            if (!matches(record)) continue;
            found.entries.push_back({first + i, record});
            found.lines.push_back(list_line(record, first + i, band_names));
        }
    }
    return found;
}

} // namespace

std::string list_heading() {
    return "  Date    Call Sign   Time on/off  Freq  Mode Power QSL  Comments" + std::string(40, ' ') +
           "Entry No.";
}

std::string list_line(const RecordBytes& record, int number, const logstore::BandNameTable& band_names) {
    std::string line;
    line.reserve(k_line_width);
    switch (logstore::kind_of(record)) {
    case logstore::RecordKind::text: {
        const auto note = logstore::TextRecord::decode(record);
        line = timed_start(note.date, record, note.time) + note.text;
        break;
    }
    case logstore::RecordKind::station_data: {
        const auto data = logstore::StationDataRecord::decode(record);
        line = timed_start(data.date, record, data.time) + "Op: " + data.operator_name +
               "|Tcvr: " + data.transceiver + "|Ant: " + data.antenna +
               "|B:" + band_names.name(data.band_index);
        break;
    }
    default: {
        const logstore::QsoRecord q = logstore::QsoRecord::decode(record);
        line = timed_start(q.date, record, q.time_on);
        line += logstore::time_text_of(q.time_off) + '|';
        line += band_names.name(logstore::band_of_field(q.band)) + '|';
        line += q.mode + " |";
        line += q.power + logstore::qsl_tag_of(q.qsl_flags) + '|';
        line += q.comment;
        break;
    }
    }
    line.resize(k_line_width - k_number_width, ' ');
    // Bytes a field does not use are 0x00, and a damaged or imported record may hold other
    // control characters; none of them belongs in a line of text or in QSOLIST.CSV.
    std::replace_if(
        line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < ' '; }, ' ');
    return line + record_number_text(number);
}

CallMatch::CallMatch(std::string_view typed) {
    if (!typed.empty() && typed.back() == '*') {
        m_prefix = true;
        std::copy_if(typed.begin(), typed.end(), std::back_inserter(m_wanted),
                     [](char c) { return c != '*'; });
    } else {
        m_wanted = std::string(trim_trailing_spaces(logstore::base_call(std::string(typed) + " ")));
    }
}

bool CallMatch::operator()(const RecordBytes& record) const {
    const std::string_view call = logstore::call_view(record);
    if (m_prefix)
        return trim_trailing_spaces(call.substr(0, std::min(m_wanted.size(), call.size()))) == m_wanted;
    // The base call only drops characters, so a call field that does not hold the wanted call's
    // last character cannot match; most entries are passed over without working it out.
    if (m_wanted.empty() || call.find(m_wanted.back()) == std::string_view::npos) return false;
    return trim_trailing_spaces(logstore::base_call(call)) == m_wanted;
}

CommentMatch::CommentMatch(std::string_view word) : m_word(upper_case(word)) {}

bool CommentMatch::operator()(const RecordBytes& record) const {
    if (!logstore::has_contact_fields(record)) return false;
    const std::string_view comment = logstore::comment_view(record);
    const auto same = [](char in_comment, char in_word) { return ascii_upper(in_comment) == in_word; };
    return std::search(comment.begin(), comment.end(), m_word.begin(), m_word.end(), same) != comment.end();
}

Result<Listing, LogError> list_by_call(const logstore::LogStore& log, std::string_view typed,
                                       const logstore::BandNameTable& band_names) {
    if (typed.empty()) return Listing{};
    return list_matching(log, CallMatch(typed), band_names);
}

Result<Listing, LogError> list_by_comment(const logstore::LogStore& log, std::string_view word,
                                          const logstore::BandNameTable& band_names) {
    if (word.empty()) return Listing{};
    return list_matching(log, CommentMatch(word), band_names);
}

std::string list_file_text(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        std::string row = line;
        std::replace(row.begin(), row.end(), '|', ',');
        text += row + "\r\n";
    }
    return text;
}

Deletion delete_listed(logstore::LogStore& log, std::vector<ListedEntry> entries) {
    std::sort(entries.begin(), entries.end(),
              [](const ListedEntry& a, const ListedEntry& b) { return a.record > b.record; });
    entries.erase(
        std::unique(entries.begin(), entries.end(),
                    [](const ListedEntry& a, const ListedEntry& b) { return a.record == b.record; }),
        entries.end());
    Deletion done;
    // Every entry must still be what was listed; then all go in one pass over the log.
    std::vector<int> numbers;
    for (const ListedEntry& entry : entries) {
        if (entry.record > log.record_count()) {
            done.entry_changed = true;
            return done;
        }
        const auto now = log.read_record(entry.record);
        if (!now) {
            done.status = now.error();
            return done;
        }
        if (*now != entry.bytes) {
            done.entry_changed = true;
            return done;
        }
        numbers.push_back(entry.record);
    }
    if (const auto status = log.delete_records(numbers); !status) {
        done.status = status;
        return done;
    }
    done.deleted = static_cast<int>(numbers.size());
    return done;
}

} // namespace kestrel::browse
