#include "logstore/log_store.hpp"

#include "logstore/field_codes.hpp"

#include <algorithm>
#include <cstring>
#include <future>
#include <optional>
#include <system_error>
#include <thread>

namespace kestrel::logstore {

namespace {

using Bytes = std::vector<std::uint8_t>;
using WriteOrder = LogFile::WriteOrder;
using Sync = LogFile::Sync;

RecordBytes record_at(const Bytes& bytes, std::size_t index) {
    RecordBytes record;
    std::memcpy(record.data(), bytes.data() + index * k_record_size, k_record_size);
    return record;
}

// Start times of records, read a block at a time going backwards, as the search for a record's
// place walks back through the entries of one date.
class TimeReader {
  public:
    explicit TimeReader(const LogFile& file) : m_file(file) {}

    Result<std::int16_t, LogError> time_of(int n) {
        if (n < m_first || n >= m_first + m_count) {
            m_first = std::max(1, n - k_block + 1);
            m_count = n - m_first + 1;
            if (const auto status = m_file.read(m_first, m_count, m_bytes); !status) {
                m_count = 0;
                return status.error();
            }
        }
        return record_time(record_at(m_bytes, static_cast<std::size_t>(n - m_first)));
    }

  private:
    static constexpr int k_block = 512;
    const LogFile& m_file;
    Bytes m_bytes;
    int m_first = 0;
    int m_count = 0;
};

// The received report counts a contact when, as text, it sorts after "0" and before "6". The
// field is always 7 characters, so that is when its first one is a digit from 0 to 5.
bool report_counts_contact(const std::uint8_t* record) {
    const std::uint8_t first = record[record_layout::rst_received];
    return first >= '0' && first < '6';
}

// The index text of a call field that base_call leaves as it is, copied without making a string:
// no "/" (so no suffix to drop, and not a note or station data), and not a G or M call whose
// second character base_call takes out. False for the others, which take the longer way.
bool plain_index_text(const std::uint8_t* record, CallLookup::Text& text) {
    const std::uint8_t* call = record + record_layout::call;
    // A plain loop over so few bytes costs less than a call to memchr.
    bool slash = false;
    for (int i = 0; i < k_call_width; ++i)
        slash |= call[i] == '/';
    if (slash) return false;
    if (call[0] == 'G' || call[0] == 'M') {
        const std::uint8_t second = call[1];
        if (second != 'B' && second != 'R' && second > '@') return false;
    }
    std::memcpy(text.data(), call, k_call_width);
    return true;
}

// The index text of any call field: base_call of the field, cut or padded with blanks to its
// width, as index_text_of gives it, made in place for the calls plain_index_text leaves.
void index_text_in_place(const std::uint8_t* record, CallLookup::Text& text) {
    char call[k_call_width];
    std::memcpy(call, record + record_layout::call, k_call_width);
    const std::size_t size = base_call_in_place(call, k_call_width);
    text.fill(' ');
    std::memcpy(text.data(), call, size);
}

std::int16_t int16_at(const std::uint8_t* record, std::size_t at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(record[at] | (record[at + 1] << 8)));
}

} // namespace

LogStatus LogStore::open_log(const std::string& path) {
    m_path = path;
    m_index_loaded = false;
    m_index.clear();
    m_current_record = 0;
    return m_file.open(path);
}

LogStatus LogStore::create_log(const std::string& path) {
    if (const auto status = open_log(path); !status) return status;
    m_file.accept_as_log();
    if (record_count() > 0 || trailing_bytes() > 0) {
        if (const auto status = m_file.truncate_to_empty(); !status) return status;
    }
    m_index_loaded = true;
    return {};
}

void LogStore::close_log() {
    m_file.close();
    m_index_loaded = false;
    m_index.clear();
}

Result<RecordBytes, LogError> LogStore::read_record(int n) const {
    Bytes bytes;
    if (const auto status = m_file.read(n, 1, bytes); !status) return status.error();
    return record_at(bytes, 0);
}

Result<std::vector<RecordBytes>, LogError> LogStore::read_records(int first, int count) const {
    Bytes bytes;
    if (const auto status = m_file.read(first, count, bytes); !status) return status.error();
    std::vector<RecordBytes> records(static_cast<std::size_t>(count));
    if (count > 0) std::memcpy(records.data(), bytes.data(), bytes.size());
    return records;
}

LogStatus LogStore::write_record(int n, const RecordBytes& record) {
    const int count = record_count();
    if (n < 1 || n > count + 1) return LogError::no_such_record;
    Bytes old_bytes;
    if (n <= count) {
        if (const auto status = m_file.read(n, 1, old_bytes); !status) return status;
    }
    if (const auto status =
            m_file.splice(n, old_bytes, {.front = record}, WriteOrder::first_block_first, Sync::no);
        !status) {
        return status;
    }
    if (m_index_loaded) {
        if (n <= count) {
            m_index.set(n, index_text_of(record), record_date(record));
        } else {
            m_index.append(index_text_of(record), record_date(record));
        }
    }
    return {};
}

LogStatus LogStore::flush_log() {
    return m_file.sync();
}

LogStatus LogStore::truncate_log(int n) {
    if (const auto status = m_file.truncate(n); !status) return status;
    if (m_index_loaded && m_index.size() > n) m_index.shrink_to(n);
    return {};
}

LogStatus LogStore::append_record(const RecordBytes& record, std::string_view index_text) {
    const int n = record_count() + 1;
    if (const auto status = m_file.splice(n, {}, {.front = record}, WriteOrder::first_block_first, Sync::yes);
        !status) {
        return status;
    }
    if (m_index_loaded) m_index.append(index_text, record_date(record));
    return {};
}

LogStatus LogStore::insert_record_in_order(const RecordBytes& record, std::string_view index_text) {
    if (const auto status = ensure_index(); !status) return status;
    const auto place = place_in_order(record_date(record), record_time(record), 0);
    if (!place) return place.error();
    const int p = *place;

    // Every record from p on moves up by one and the new one takes place p.
    if (const auto status = m_file.read(p, record_count() - p + 1, m_old_bytes); !status) return status;
    const LogFile::Contents contents{.front = record, .middle = m_old_bytes};
    if (const auto status = m_file.splice(p, m_old_bytes, contents, WriteOrder::last_block_first, Sync::yes);
        !status) {
        return status;
    }
    m_index.insert(p, index_text, record_date(record));
    m_current_record = p;
    return {};
}

LogStatus LogStore::delete_record(int n) {
    if (!is_open()) return LogError::no_log_open;
    const int count = record_count();
    if (n < 1 || n > count) return LogError::no_such_record;
    if (const auto status = m_file.read(n, count - n + 1, m_old_bytes); !status) return status;
    const LogFile::Contents contents{.middle = std::span(m_old_bytes).subspan(k_record_size)};
    if (const auto status = m_file.splice(n, m_old_bytes, contents, WriteOrder::first_block_first, Sync::yes);
        !status) {
        return status;
    }
    if (m_index_loaded) m_index.erase(n);
    return {};
}

LogStatus LogStore::delete_records(std::vector<int> numbers) {
    if (!is_open()) return LogError::no_log_open;
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    if (numbers.empty()) return {};
    const int count = record_count();
    if (numbers.front() < 1 || numbers.back() > count) return LogError::no_such_record;
    const int first = numbers.front();
    if (const auto status = m_file.read(first, count - first + 1, m_old_bytes); !status) return status;
    // The records that stay, closed up from the first one removed.
    std::vector<std::uint8_t> kept;
    kept.reserve(m_old_bytes.size());
    auto next_gone = numbers.begin();
    for (int n = first; n <= count; ++n) {
        if (next_gone != numbers.end() && *next_gone == n) {
            ++next_gone;
            continue;
        }
        const auto at = m_old_bytes.begin() + static_cast<std::ptrdiff_t>(n - first) * k_record_size;
        kept.insert(kept.end(), at, at + k_record_size);
    }
    const LogFile::Contents contents{.middle = kept};
    if (const auto status =
            m_file.splice(first, m_old_bytes, contents, WriteOrder::first_block_first, Sync::yes);
        !status)
        return status;
    if (m_index_loaded) m_index.erase_sorted(numbers);
    return {};
}

LogStatus LogStore::replace_record(int n, const RecordBytes& record, std::string_view index_text) {
    if (!is_open()) return LogError::no_log_open;
    if (n < 1 || n > record_count()) return LogError::no_such_record;
    if (const auto status = ensure_index(); !status) return status;
    const auto place = place_in_order(record_date(record), record_time(record), n);
    if (!place) return place.error();
    const int q = *place;

    // Only the records between the old and the new place move, by one, towards the old place;
    // the old record is overwritten last when it moves back and first when it moves on, and is
    // held in memory to be put back if a write fails.
    const int first = std::min(n, q);
    if (const auto status = m_file.read(first, std::max(n, q) - first + 1, m_old_bytes); !status)
        return status;
    const std::span<const std::uint8_t> old_bytes(m_old_bytes);
    LogFile::Contents contents;
    WriteOrder order = WriteOrder::first_block_first;
    if (q < n) {
        contents = {.front = record, .middle = old_bytes.first(old_bytes.size() - k_record_size)};
        order = WriteOrder::last_block_first;
    } else {
        contents = {.middle = old_bytes.subspan(k_record_size), .back = record};
    }
    if (const auto status = m_file.splice(first, old_bytes, contents, order, Sync::yes); !status)
        return status;
    m_index.move(n, q, index_text, record_date(record));
    m_current_record = q;
    return {};
}

namespace {

// Logs shorter than this are indexed by one thread: a second would not pay.
constexpr int k_index_halves_from = 200000;

// What indexing a stretch of the log found besides the index texts.
struct IndexedStretch {
    LogStatus status;
    int contacts = 0;
    std::optional<BandField> last_band;
};

// Puts the index texts and dates of records first to first + count - 1 into the index, which has
// room for them; `told` hears the number of each tenth record read, as far as the stretch goes.
IndexedStretch index_stretch(const LogFile& file, RecordIndex& index, int first, int count,
                             const std::function<void(int)>& told) {
    // One pass, nothing allocated per record: the band is decoded once, for the last contact.
    IndexedStretch found;
    Bytes block;
    CallLookup::Text text;
    const int end = first + count;
    for (int block_first = first; block_first < end; block_first += LogFile::k_block_records) {
        const int in_block = std::min(LogFile::k_block_records, end - block_first);
        if (const auto status = file.read(block_first, in_block, block); !status) {
            found.status = status;
            return found;
        }
        for (int i = 0; i < in_block; ++i) {
            // Only the fields the index needs are read from the block.
            const std::uint8_t* bytes = block.data() + static_cast<std::size_t>(i) * k_record_size;
            if (!plain_index_text(bytes, text)) index_text_in_place(bytes, text);
            index.put_filled(block_first + i, text, day_of_code(int16_at(bytes, record_layout::date)));
            if (bytes[record_layout::call] != '/') { // a record with a contact's fields
                if (report_counts_contact(bytes)) ++found.contacts;
                found.last_band = BandField{bytes[record_layout::band], bytes[record_layout::band + 1],
                                            bytes[record_layout::band + 2]};
            }
            if (told && (block_first + i) % 10 == 0) told(block_first + i);
        }
    }
    return found;
}

} // namespace

LogStatus LogStore::build_record_index(const std::function<void(int read)>& progress) {
    m_index_loaded = false;
    m_index.clear();
    if (const auto status = m_file.refresh(); !status) return status;
    const int count = record_count();
    m_index.make_room_to_fill(count);
    m_contact_count = 0;

    // A long log is read in two halves at once; the first half's progress counts for both.
    std::future<IndexedStretch> second_half;
    int first_count = count;
    if (count >= k_index_halves_from && std::thread::hardware_concurrency() >= 2) {
        first_count = count / 2;
        try {
            second_half = std::async(std::launch::async, [this, first_count, count] {
                return index_stretch(m_file, m_index, first_count + 1, count - first_count, {});
            });
        } catch (const std::system_error&) {
            first_count = count; // no thread to be had: one reads it all
        }
    }
    std::function<void(int)> told;
    if (progress && second_half.valid())
        told = [&progress, count](int read) { progress(std::min(count, 2 * read)); };
    else
        told = progress;
    IndexedStretch found = index_stretch(m_file, m_index, 1, first_count, told);
    if (second_half.valid()) {
        IndexedStretch second = second_half.get();
        if (found.status && !second.status) found.status = second.status;
        found.contacts += second.contacts;
        if (second.last_band) found.last_band = second.last_band;
    }
    if (!found.status) {
        m_index.clear();
        return found.status;
    }
    m_contact_count = found.contacts;
    if (found.last_band) m_last_band = band_of_field(*found.last_band);
    m_index_loaded = true;
    return {};
}

LogStatus LogStore::set_aside_partial_record(const std::string& side_path) {
    return m_file.set_aside_trailing(side_path);
}

void LogStore::set_index_loaded(bool loaded) {
    m_index_loaded = loaded && is_open() && m_index.size() == record_count();
}

void LogStore::set_index_call(int n, std::string_view index_text) {
    if (m_index_loaded) m_index.set_call(n, index_text);
}

LogStatus LogStore::ensure_index() {
    if (!is_open()) return LogError::no_log_open;
    if (m_index_loaded && m_index.size() == record_count()) return {};
    return build_record_index();
}

Result<int, LogError> LogStore::place_in_order(int date, std::int16_t time, int skip) const {
    const int count = record_count() - (skip > 0 ? 1 : 0);
    const auto in_file = [skip](int i) { return skip > 0 && i >= skip ? i + 1 : i; };
    TimeReader times(m_file);

    if (count == 0 || date > m_index.index_date(in_file(count))) return count + 1;
    int i = count;
    while (i >= 1) {
        const int there = m_index.index_date(in_file(i));
        if (date > there) break;
        if (date == there) {
            const auto time_there = times.time_of(in_file(i));
            if (!time_there) return time_there.error();
            if (time >= *time_there) break;
        }
        --i;
    }
    return i + 1;
}

} // namespace kestrel::logstore
