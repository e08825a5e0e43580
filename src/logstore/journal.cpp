#include "logstore/journal.hpp"

#include "common/file_names.hpp"
#include "common/fixed_text.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>

namespace kestrel::logstore {

namespace {

// A journal file holds one entry: "KJNL", its kind and the length of what follows (32 and 64
// bits, little-endian), the entry itself, and a 64-bit checksum of kind, length and entry.
constexpr std::array<std::uint8_t, 4> k_magic = {'K', 'J', 'N', 'L'};
constexpr std::size_t k_head_size = 16;
constexpr std::size_t k_check_size = 8;
constexpr std::string_view k_journal_suffix = ".JNL";
constexpr std::string_view k_set_aside_suffix = ".BAD";
constexpr std::string_view k_part_suffix = ".PART";
// The bytes before a change whose checksum tells the log a journal was made for: the first
// record and the eight records just before the change, none of which the change touches.
constexpr std::int64_t k_guard_head = 84;
constexpr std::int64_t k_guard_tail = 8 * 84;

enum class Kind : std::uint32_t {
    undo = 1,    // old length, offset, the old bytes from there, a file the change creates
    renames = 2, // work files to rename over logs, each with the device and inode it had
    partner = 3, // the log whose journal holds the renames this log takes part in
    // As undo, with the length after the change, the checksum of the guard bytes and the log's
    // device and inode, so that the journal is applied only to the log it was made for.
    checked_undo = 4,
};

// A checksum that tells a whole journal from one cut short or mixed with older bytes; it reads
// eight bytes at a step, so saving a large move costs little beside writing it.
class Checksum {
  public:
    void add(std::span<const std::uint8_t> bytes) {
        m_total += bytes.size();
        while (!bytes.empty()) {
            if (m_buffered == 0 && bytes.size() >= 8) {
                const std::size_t whole = bytes.size() / 8 * 8;
                for (std::size_t at = 0; at < whole; at += 8) {
                    std::uint64_t word = 0;
                    std::memcpy(&word, bytes.data() + at, 8);
                    mix(word);
                }
                bytes = bytes.subspan(whole);
                continue;
            }
            m_buffer[m_buffered++] = bytes.front();
            bytes = bytes.subspan(1);
            if (m_buffered == 8) {
                std::uint64_t word = 0;
                std::memcpy(&word, m_buffer.data(), 8);
                mix(word);
                m_buffered = 0;
            }
        }
    }

    std::uint64_t value() const {
        Checksum last = *this;
        std::uint64_t word = 0;
        std::memcpy(&word, last.m_buffer.data(), last.m_buffered);
        last.mix(word);
        last.mix(m_total);
        return last.m_hash ^ (last.m_hash >> 31);
    }

  private:
    void mix(std::uint64_t word) {
        m_hash = (m_hash ^ word) * 0x9E3779B97F4A7C15ULL;
        m_hash ^= m_hash >> 29;
    }

    std::uint64_t m_hash = 0x243F6A8885A308D3ULL;
    std::array<std::uint8_t, 8> m_buffer{};
    std::size_t m_buffered = 0;
    std::uint64_t m_total = 0;
};

class Writer {
  public:
    void u32(std::uint32_t value) { put(value, 4); }
    void u64(std::uint64_t value) { put(value, 8); }
    void i64(std::int64_t value) { put(static_cast<std::uint64_t>(value), 8); }
    void text(const std::string& value) {
        u32(static_cast<std::uint32_t>(value.size()));
        bytes.insert(bytes.end(), value.begin(), value.end());
    }
    std::vector<std::uint8_t> bytes;

  private:
    void put(std::uint64_t value, int count) {
        for (int i = 0; i < count; ++i)
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
};

// Reads an entry back; any read past its end makes the whole entry unusable.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::uint32_t u32() { return static_cast<std::uint32_t>(get(4)); }
    std::uint64_t u64() { return get(8); }
    std::int64_t i64() { return static_cast<std::int64_t>(get(8)); }
    std::span<const std::uint8_t> bytes(std::uint64_t count) {
        if (!m_ok || count > m_bytes.size() - m_at) {
            m_ok = false;
            return {};
        }
        const auto part = m_bytes.subspan(m_at, static_cast<std::size_t>(count));
        m_at += static_cast<std::size_t>(count);
        return part;
    }
    std::string text() {
        const auto part = bytes(u32());
        return {part.begin(), part.end()};
    }
    bool ok() const { return m_ok; }
    bool at_end() const { return m_ok && m_at == m_bytes.size(); }

  private:
    std::uint64_t get(int count) {
        const auto part = bytes(static_cast<std::uint64_t>(count));
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < part.size(); ++i)
            value |= std::uint64_t{part[i]} << (8 * i);
        return value;
    }
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
    bool m_ok = true;
};

bool exists(FileSystem& files, const std::string& path) {
    FileInfo info;
    return files.stat(path, info) == 0;
}

// The head (magic, kind, length) and the tail (checksum) of an entry made of the given pieces.
std::pair<std::vector<std::uint8_t>, std::vector<std::uint8_t>>
frame_of(Kind kind, std::initializer_list<std::span<const std::uint8_t>> pieces) {
    std::uint64_t size = 0;
    for (const auto piece : pieces)
        size += piece.size();
    Writer head;
    head.bytes.assign(k_magic.begin(), k_magic.end());
    head.u32(static_cast<std::uint32_t>(kind));
    head.u64(size);
    Checksum check;
    check.add(std::span(head.bytes).subspan(k_magic.size()));
    for (const auto piece : pieces)
        check.add(piece);
    Writer tail;
    tail.u64(check.value());
    return {std::move(head.bytes), std::move(tail.bytes)};
}

// Writes a journal entry made of the given pieces and syncs it, and the directory when the file
// is new, so that it is on disk before anything it protects is touched.
LogStatus write_journal(FileSystem& files, const std::string& path, Kind kind,
                        std::initializer_list<std::span<const std::uint8_t>> pieces) {
    const auto [head, tail] = frame_of(kind, pieces);
    // Whatever stands at the journal's name (a journal of an earlier change, or something
    // planted there) goes first: the journal is always a new file, never written through a link.
    if (const int removed = files.unlink(path); removed < 0 && removed != -ENOENT)
        return write_error_of(-removed);
    const int fd = files.open(path, FileSystem::OpenMode::write_new);
    if (fd < 0) return write_error_of(-fd);
    int status = write_all(files, fd, head, 0);
    std::int64_t offset = static_cast<std::int64_t>(head.size());
    for (const auto piece : pieces) {
        if (status == 0) status = write_all(files, fd, piece, offset);
        offset += static_cast<std::int64_t>(piece.size());
    }
    if (status == 0) status = write_all(files, fd, tail, offset);
    if (status == 0) status = files.fsync(fd);
    const int closed = files.close(fd);
    if (status == 0) status = closed;
    if (status == 0) status = files.sync_directory(directory_of(path));
    if (status < 0) {
        (void)files.unlink(path);
        return write_error_of(-status);
    }
    return {};
}

struct Entry {
    Kind kind = Kind::undo;
    std::vector<std::uint8_t> bytes;
    bool foreign = false; // not a plain file: never read, never applied
};

// The journal's entry when it is whole; nothing when it is missing, empty, cut short or
// damaged. A named pipe or a device is opened without waiting and not read.
std::optional<Entry> read_journal(FileSystem& files, const std::string& path) {
    const int fd = files.open(path, FileSystem::OpenMode::read_only);
    if (fd < 0) return std::nullopt;
    FileInfo info;
    std::vector<std::uint8_t> bytes;
    if (files.fstat(fd, info) == 0 && !info.regular) {
        (void)files.close(fd);
        return Entry{Kind::undo, {}, true};
    }
    bool read = files.fstat(fd, info) == 0 && info.size >= std::int64_t{k_head_size + k_check_size};
    if (read) {
        bytes.resize(static_cast<std::size_t>(info.size));
        read = read_all(files, fd, bytes, 0) == info.size;
    }
    (void)files.close(fd);
    if (!read || !std::equal(k_magic.begin(), k_magic.end(), bytes.begin())) return std::nullopt;

    Reader reader(bytes);
    (void)reader.bytes(k_magic.size());
    const std::uint32_t kind = reader.u32();
    const std::uint64_t size = reader.u64();
    if (size != bytes.size() - k_head_size - k_check_size) return std::nullopt;
    const std::span<const std::uint8_t> all(bytes);
    Checksum check;
    check.add(all.subspan(k_magic.size(), k_head_size - k_magic.size() + size));
    Reader tail(all.subspan(k_head_size + size));
    if (tail.u64() != check.value()) return std::nullopt;
    if (kind < 1 || kind > 4) return std::nullopt;
    Entry entry;
    entry.kind = static_cast<Kind>(kind);
    entry.bytes.assign(bytes.begin() + k_head_size,
                       bytes.begin() + static_cast<std::ptrdiff_t>(k_head_size + size));
    return entry;
}

// Removes a journal whose work is done, and makes its removal last.
void remove_journal(FileSystem& files, const std::string& path) {
    (void)files.unlink(path);
    (void)files.sync_directory(directory_of(path));
}

// Keeps a journal that must not be applied under another name, where it can be looked at and
// where it never again stands in the way of a change to the log.
Recovery set_aside(FileSystem& files, const std::string& journal) {
    const std::string aside = add_to_file_name(journal, k_set_aside_suffix);
    if (files.rename(journal, aside) < 0) (void)files.unlink(journal);
    (void)files.sync_directory(directory_of(journal));
    return Recovery::set_aside;
}

std::string absolute_normal(const std::string& path) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return (ec ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

std::string file_name_of(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// The checksum of the bytes of the log before `offset` that tell it from another file.
std::optional<std::uint64_t> guard_of(FileSystem& files, int fd, std::int64_t offset) {
    Checksum check;
    std::vector<std::uint8_t> bytes;
    const auto add = [&](std::int64_t from, std::int64_t to) {
        if (to <= from) return true;
        bytes.resize(static_cast<std::size_t>(to - from));
        if (read_all(files, fd, bytes, from) != to - from) return false;
        check.add(bytes);
        return true;
    };
    const std::int64_t head_end = std::min(offset, k_guard_head);
    if (!add(0, head_end) || !add(std::max(head_end, offset - k_guard_tail), offset)) return std::nullopt;
    return check.value();
}

struct Undo {
    std::int64_t old_length = 0;
    std::int64_t new_length = 0;
    std::int64_t offset = 0;
    std::uint64_t guard = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool checked = false;
    std::span<const std::uint8_t> old_bytes;
    std::string created;
};

std::optional<Undo> undo_of(const Entry& entry) {
    Reader reader(entry.bytes);
    Undo undo;
    undo.checked = entry.kind == Kind::checked_undo;
    undo.old_length = reader.i64();
    if (undo.checked) undo.new_length = reader.i64();
    undo.offset = reader.i64();
    if (undo.checked) {
        undo.guard = reader.u64();
        undo.device = reader.u64();
        undo.inode = reader.u64();
    }
    undo.old_bytes = reader.bytes(reader.u64());
    undo.created = reader.text();
    const bool sound = reader.at_end() && undo.offset >= 0 && undo.old_length >= 0 && undo.new_length >= 0 &&
                       undo.offset <= undo.old_length &&
                       static_cast<std::uint64_t>(undo.old_length - undo.offset) >= undo.old_bytes.size();
    if (!sound) return std::nullopt;
    return undo;
}

// Whether the log in front of the journal is the one it was made for, part way through the
// change: of a length between the lengths before and after it (a change grows the log first,
// or cuts it last), with the bytes before the change as they were.
bool belongs_to(FileSystem& files, int fd, const Undo& undo) {
    FileInfo info;
    if (files.fstat(fd, info) < 0 || !info.regular) return false;
    // A journal of the program before these checks: the change never cut the log short of
    // where it began.
    if (!undo.checked) return info.size >= undo.offset;
    if (info.size < std::min(undo.old_length, undo.new_length) ||
        info.size > std::max(undo.old_length, undo.new_length))
        return false;
    // Only the very file the change began on: one renamed over it since (an import of another
    // file of that name) may share its first records and its length, and would be spliced. The
    // device is left out, as it may be numbered afresh when a removable disk is mounted again
    // after a power cut; the inode stays with the file.
    if (info.inode != undo.inode) return false;
    const auto guard = guard_of(files, fd, undo.offset);
    return guard && *guard == undo.guard;
}

Result<Recovery, LogError> undo(FileSystem& files, const std::string& log_path, const std::string& journal,
                                const Entry& entry) {
    const auto found = undo_of(entry);
    if (!found) return set_aside(files, journal);
    if (!found->created.empty() && !is_part_file_of(found->created, log_path))
        return set_aside(files, journal);
    if (!exists(files, log_path)) {
        remove_journal(files, journal);
        return Recovery::none;
    }
    const int fd = files.open(log_path, FileSystem::OpenMode::read_write_create);
    if (fd < 0) return LogError::recovery_failed;
    if (!belongs_to(files, fd, *found)) {
        (void)files.close(fd);
        return set_aside(files, journal);
    }
    int status = write_all(files, fd, found->old_bytes, found->offset);
    if (status == 0) status = files.ftruncate(fd, found->old_length);
    if (status == 0) status = files.fsync(fd);
    const int closed = files.close(fd);
    if (status < 0 || closed < 0) return LogError::recovery_failed;
    const std::string& created = found->created;
    if (!created.empty() && files.unlink(created) == 0) (void)files.sync_directory(directory_of(created));
    remove_journal(files, journal);
    return Recovery::undone;
}

struct Planned {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    Rename rename;
};

std::optional<std::vector<Planned>> renames_of(const Entry& entry) {
    Reader reader(entry.bytes);
    const std::uint32_t count = reader.u32();
    std::vector<Planned> planned;
    for (std::uint32_t i = 0; i < count && reader.ok(); ++i) {
        Planned p;
        p.device = reader.u64();
        p.inode = reader.u64();
        p.rename.from = reader.text();
        p.rename.to = reader.text();
        planned.push_back(std::move(p));
    }
    if (!reader.at_end() || planned.empty()) return std::nullopt;
    return planned;
}

// Renames a journal may make: each of a work file over the log it was made for, the first over
// the log whose journal holds them (`holder`), and `partner`, when given, among the others.
bool renames_allowed(const std::vector<Planned>& planned, const std::string& holder,
                     const std::string& partner) {
    if (absolute_normal(planned.front().rename.to) != absolute_normal(holder)) return false;
    bool partner_found = partner.empty();
    for (const Planned& p : planned) {
        if (!is_work_name_of(p.rename.from, p.rename.to)) return false;
        if (!partner.empty() && absolute_normal(p.rename.to) == absolute_normal(partner))
            partner_found = true;
    }
    return partner_found;
}

// Carries out the renames a journal names, skipping those already made: a work file that is no
// longer there, or is not the file the journal saw, has been renamed already. A journal found at
// an open names `holder`, the log it lies beside, and `partner`, when it was reached from the
// journal of another log; one that names anything else is set aside.
Result<Recovery, LogError> complete(FileSystem& files, const std::string& journal, const Entry& entry,
                                    const std::string& holder, const std::string& partner) {
    const auto planned = renames_of(entry);
    if (!planned || !renames_allowed(*planned, holder, partner)) return set_aside(files, journal);
    std::set<std::string> directories;
    for (const Planned& p : *planned) {
        FileInfo info;
        if (files.lstat(p.rename.from, info) == 0 && info.regular && !info.link && info.device == p.device &&
            info.inode == p.inode) {
            if (files.rename(p.rename.from, p.rename.to) < 0) return LogError::recovery_failed;
        }
        directories.insert(directory_of(p.rename.to));
    }
    for (const auto& directory : directories) {
        if (files.sync_directory(directory) < 0) return LogError::recovery_failed;
    }
    // The journal holding the renames goes first: a partner left behind then points at nothing.
    remove_journal(files, journal);
    for (std::size_t i = 1; i < planned->size(); ++i) {
        const std::string partner = journal_path_of((*planned)[i].rename.to);
        const auto found = read_journal(files, partner);
        if (found && found->kind == Kind::partner) remove_journal(files, partner);
    }
    return Recovery::completed;
}

Result<Recovery, LogError> recover(FileSystem& files, const std::string& log_path,
                                   const std::string& partner) {
    const std::string journal = journal_path_of(log_path);
    FileInfo info;
    if (files.lstat(journal, info) < 0) return Recovery::none;
    const auto entry = read_journal(files, journal);
    if (!entry) {
        // Cut short while it was written: the change it was for never began.
        remove_journal(files, journal);
        return Recovery::none;
    }
    if (entry->foreign) return set_aside(files, journal);
    switch (entry->kind) {
    case Kind::undo:
    case Kind::checked_undo:
        if (!partner.empty()) return Recovery::none;
        return undo(files, log_path, journal, *entry);
    case Kind::renames: return complete(files, journal, *entry, log_path, partner);
    case Kind::partner: {
        if (!partner.empty()) return Recovery::none;
        Reader reader(entry->bytes);
        const std::string holder = reader.text();
        if (!reader.at_end() || holder.empty()) return set_aside(files, journal);
        Result<Recovery, LogError> done = Recovery::none;
        const auto held = read_journal(files, journal_path_of(holder));
        if (held && !held->foreign && held->kind == Kind::renames) done = recover(files, holder, log_path);
        if (done) remove_journal(files, journal);
        return done;
    }
    }
    return Recovery::none;
}

} // namespace

std::string recovery_text(Recovery what, const std::string& log_path) {
    const std::string name = log_path.substr(log_path.rfind('/') + 1);
    switch (what) {
    case Recovery::none: return {};
    case Recovery::undone:
        return "The last change to " + name + " was interrupted; the log is as it was before it.";
    case Recovery::completed:
        return "The last change to " + name +
               " was interrupted; Kestrel has now finished it, and the log is as "
               "it was meant to be after it.";
    case Recovery::set_aside:
        return "A journal beside " + name +
               " does not belong to the log as it is now (it was left by a log that has since been "
               "replaced, or was not made by Kestrel). It was not applied: the log is as it was found. "
               "The journal is kept as " +
               file_name_of(add_to_file_name(journal_path_of(log_path), k_set_aside_suffix)) + ".";
    }
    return {};
}

std::string journal_path_of(const std::string& log_path) {
    return add_to_file_name(log_path, k_journal_suffix);
}

Result<Recovery, LogError> recover_log(FileSystem& files, const std::string& log_path) {
    return recover(files, log_path, {});
}

LogStatus UndoJournal::begin(const std::string& log_path, int log_fd, std::int64_t old_length,
                             std::int64_t new_length, std::int64_t offset,
                             std::span<const std::uint8_t> old_bytes, const std::string& created_file) {
    const auto guard = guard_of(m_files, log_fd, offset);
    FileInfo log;
    if (!guard || m_files.fstat(log_fd, log) < 0) return LogError::read_failed;
    Writer head;
    head.i64(old_length);
    head.i64(new_length);
    head.i64(offset);
    head.u64(*guard);
    head.u64(log.device);
    head.u64(log.inode);
    head.u64(old_bytes.size());
    Writer tail;
    tail.text(created_file);
    const std::string path = journal_path_of(log_path);
    if (const auto status =
            write_journal(m_files, path, Kind::checked_undo, {head.bytes, old_bytes, tail.bytes});
        !status)
        return status;
    m_path = path;
    return {};
}

LogStatus UndoJournal::end() {
    if (m_path.empty()) return {};
    if (const int status = m_files.unlink(m_path); status < 0 && status != -ENOENT)
        return write_error_of(-status);
    // From here on the change stands. A failed sync of the directory is not reported: the change
    // is on disk, and at worst a power cut now brings the journal back, which undoes it whole.
    (void)m_files.sync_directory(directory_of(m_path));
    m_path.clear();
    return {};
}

LogStatus rename_together(FileSystem& files, const std::vector<Rename>& renames) {
    if (renames.empty()) return {};
    if (renames.size() == 1) {
        if (const int status = files.rename(renames[0].from, renames[0].to); status < 0)
            return write_error_of(-status);
        if (const int status = files.sync_directory(directory_of(renames[0].to)); status < 0)
            return write_error_of(-status);
        return {};
    }

    Writer plan;
    plan.u32(static_cast<std::uint32_t>(renames.size()));
    for (const Rename& rename : renames) {
        FileInfo info;
        if (const int status = files.stat(rename.from, info); status < 0) return write_error_of(-status);
        plan.u64(info.device);
        plan.u64(info.inode);
        plan.text(rename.from);
        plan.text(rename.to);
    }
    // Each other log first points at the one whose journal will hold the renames, so that
    // opening any of them completes the change once it has begun.
    const std::string& holder = renames[0].to;
    std::vector<std::string> partners;
    const auto remove_partners = [&] {
        for (const auto& partner : partners)
            remove_journal(files, partner);
    };
    for (std::size_t i = 1; i < renames.size(); ++i) {
        Writer pointer;
        pointer.text(holder);
        const std::string partner = journal_path_of(renames[i].to);
        if (const auto status = write_journal(files, partner, Kind::partner, {pointer.bytes}); !status) {
            remove_partners();
            return status;
        }
        partners.push_back(partner);
    }
    const std::string journal = journal_path_of(holder);
    if (const auto status = write_journal(files, journal, Kind::renames, {plan.bytes}); !status) {
        remove_partners();
        return status;
    }
    // The change is made: what follows is what the next open would do if this stopped here, and
    // a failure from here on leaves it to that open.
    const auto done = complete(files, journal, Entry{Kind::renames, std::move(plan.bytes)}, holder, {});
    if (!done) return LogError::write_failed;
    return {};
}

std::string journal_file_bytes(std::uint32_t kind, std::string_view entry) {
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(entry.data()),
                                              entry.size());
    const auto [head, tail] = frame_of(static_cast<Kind>(kind), {bytes});
    std::string file(head.begin(), head.end());
    file.append(entry);
    file.append(tail.begin(), tail.end());
    return file;
}

bool is_part_file_of(const std::string& created, const std::string& log_path) {
    const std::string made = absolute_normal(created);
    const std::string log = absolute_normal(log_path);
    if (directory_of(made) != directory_of(log)) return false;
    // The number a taken name is followed by, if any.
    std::size_t digits = made.size();
    while (digits > 0 && made[digits - 1] >= '0' && made[digits - 1] <= '9')
        --digits;
    const std::string number = made.substr(digits);
    if (number.size() > 9) return false;
    return made == add_to_file_name(log, k_part_suffix) ||
           (!number.empty() && made == add_to_file_name(log, std::string(k_part_suffix) + number));
}

std::string work_name_for(const std::string& path) {
    const std::filesystem::path p(path);
    std::string name = upper_case(p.filename().string());
    bool replaced = false;
    for (auto at = name.find(".LOG"); at != std::string::npos; at = name.find(".LOG", at + 4)) {
        name.replace(at, 4, ".NEW");
        replaced = true;
    }
    const std::string work = (p.parent_path() / name).string();
    return replaced ? work : add_to_file_name(work, ".NEW");
}

bool is_work_name_of(const std::string& work, const std::string& target) {
    const std::string made = absolute_normal(work);
    const std::string base = absolute_normal(work_name_for(target));
    if (directory_of(made) != directory_of(absolute_normal(target))) return false;
    if (made == base) return true;
    for (int n = 1; n < k_work_name_tries; ++n) {
        if (made == add_to_file_name(base, std::to_string(n))) return true;
    }
    return false;
}

std::vector<std::string> work_files_needed_by(FileSystem& files, const std::string& journal_path) {
    std::vector<std::string> needed;
    const auto entry = read_journal(files, journal_path);
    if (!entry || entry->foreign || entry->kind != Kind::renames) return needed;
    if (const auto planned = renames_of(*entry)) {
        for (const Planned& p : *planned)
            needed.push_back(absolute_normal(p.rename.from));
    }
    return needed;
}

} // namespace kestrel::logstore
