#include "digital/spool.hpp"

#include "common/fixed_text.hpp"
#include "common/side_file.hpp"
#include "exchange/adif_writer.hpp"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::digital {

namespace {

constexpr std::string_view k_suffix = ".SPOOL.ADI";
constexpr std::string_view k_log_extension = ".LOG";
constexpr const char* k_no_log_spool = "KESTREL.SPOOL.ADI";
constexpr std::string_view k_set_aside_encoding = "Windows-1252";

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

// The whole file; empty when there is none, nothing when it is there but cannot be read (a
// named pipe in its place among them, never waited on).
std::optional<std::string> read_whole(const std::string& path) {
    auto read = read_regular_file(path);
    if (read) return std::move(read).value();
    return read.error() == SideFileProblem::missing ? std::optional<std::string>(std::string())
                                                    : std::nullopt;
}

// A new file's name is on disk only once its directory is synced.
void sync_directory_of(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

// One line added to a file, its header first when the file is new, and synced to disk (its name
// too) before this returns.
bool append_line(const std::string& path, std::string_view header, const std::string& line) {
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    struct stat status {};
    // A named pipe or a device in the file's place is never written to: a pipe would block.
    bool ok = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    const bool created = ok && status.st_size == 0;
    std::string text;
    if (created) {
        text = header;
    } else if (ok) {
        // A last line cut short when the computer stopped is left alone on its line.
        char last = '\n';
        ok = ::pread(fd, &last, 1, status.st_size - 1) == 1;
        if (last != '\n') text = "\r\n";
    }
    text += line;
    ok = ok && write_all(fd, text);
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok && created) sync_directory_of(path);
    return ok;
}

// What makes two reports of a contact the log cannot hold one: the fields both messages of a
// program carry (the call, the day and minute it began, the mode and the frequency to the
// kilohertz), as they came, for there is no record to compare.
std::string set_aside_key(const ContactFields& fields) {
    const auto value = [&fields](std::string_view name) { return upper_case(field_value(fields, name)); };
    const std::string frequency(field_value(fields, "freq"));
    const long long kilohertz = std::llround(std::strtod(frequency.c_str(), nullptr) * 1000.0);
    return value("call") + "|" + value("qso_date") + "|" + value("time_on").substr(0, 4) + "|" +
           value("mode") + "/" + value("submode") + "|" + std::to_string(kilohertz);
}

// Every contact of a spool's text, line by line; a line cut short is passed over.
std::vector<DigitalContact> contacts_of_text(std::string_view text) {
    std::vector<DigitalContact> contacts;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (const auto fields = fields_of_line(line))
            if (auto contact = contact_of(*fields)) contacts.push_back(std::move(*contact));
    }
    return contacts;
}

} // namespace

std::string spool_path_of(std::string_view log_path) {
    if (log_path.empty()) return k_no_log_spool;
    const std::size_t name_start =
        log_path.rfind('/') == std::string_view::npos ? 0 : log_path.rfind('/') + 1;
    std::string path(log_path);
    if (path.size() - name_start > k_log_extension.size()) {
        std::string ending = path.substr(path.size() - k_log_extension.size());
        for (char& c : ending)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (ending == k_log_extension) path.resize(path.size() - k_log_extension.size());
    }
    return path + std::string(k_suffix);
}

std::string set_aside_path_of(std::string_view log_path) {
    std::string spool = spool_path_of(log_path);
    spool.resize(spool.size() - std::string_view(".ADI").size());
    return exchange::rejected_file_name(spool, "ADI");
}

Spool::Spool(std::string_view log_path)
    : m_path(spool_path_of(log_path)), m_aside_path(set_aside_path_of(log_path)) {}

void Spool::set_log_path(std::string_view log_path) {
    std::lock_guard lock(m_mutex);
    std::string path = spool_path_of(log_path);
    if (path == m_path) return;
    m_path = std::move(path);
    m_aside_path = set_aside_path_of(log_path);
    m_keys_loaded = false;
}

std::string Spool::path() const {
    std::lock_guard lock(m_mutex);
    return m_path;
}

void Spool::set_notice(std::function<void()> notice) {
    std::lock_guard lock(m_mutex);
    m_notice = std::move(notice);
}

void Spool::load_keys() {
    if (m_keys_loaded) return;
    m_keys.clear();
    for (const DigitalContact& contact : contacts_of_text(read_whole(m_path).value_or(std::string())))
        m_keys.insert(key_of(contact.record));
    for (const ContactFields& fields : m_held)
        if (const auto contact = contact_of(fields)) m_keys.insert(key_of(contact->record));
    m_aside_keys.clear();
    const std::string aside = read_whole(m_aside_path).value_or(std::string());
    for (std::string_view rest = aside; !rest.empty();) {
        const auto end = rest.find('\n');
        if (const auto fields = fields_of_line(rest.substr(0, end)))
            m_aside_keys.insert(set_aside_key(*fields));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    for (const auto& [fields, why] : m_held_aside)
        m_aside_keys.insert(set_aside_key(fields));
    m_keys_loaded = true;
}

bool Spool::append(const ContactFields& contact) {
    return append_line(m_path, k_spool_header, adif_record_line(contact));
}

// Those the disk refused before go first, so the file keeps the order they came in.
void Spool::write_held_aside() {
    while (!m_held_aside.empty() &&
           append_line(m_aside_path, exchange::adif_rejected_header(m_path, k_set_aside_encoding),
                       adif_record_line(m_held_aside.front().first))) {
        m_aside_untold.add(m_held_aside.front().second);
        m_held_aside.erase(m_held_aside.begin());
    }
}

// A contact the log cannot hold is kept as it came in a file of its own, never in the spool,
// whose every line goes into the log.
Spooled Spool::put_aside(const ContactFields& contact, exchange::LeftOut why) {
    if (!m_aside_keys.insert(set_aside_key(contact)).second) return Spooled::already_waiting;
    m_held_aside.emplace_back(contact, why);
    write_held_aside();
    return m_held_aside.empty() ? Spooled::set_aside : Spooled::held;
}

Spooled Spool::add(const ContactFields& contact) {
    const SortedContact sorted = sort_contact(contact);
    if (!sorted.contact && !sorted.left_out) return Spooled::not_a_contact;
    std::function<void()> notice;
    Spooled result = Spooled::added;
    {
        std::lock_guard lock(m_mutex);
        load_keys();
        if (!sorted.contact) {
            result = put_aside(contact, *sorted.left_out);
            if (result == Spooled::already_waiting) return result;
        } else {
            if (!m_keys.insert(key_of(sorted.contact->record)).second) return Spooled::already_waiting;
            // Those the disk refused before go first, so the spool keeps the order they came in.
            while (!m_held.empty() && append(m_held.front()))
                m_held.erase(m_held.begin());
            if (!m_held.empty() || !append(contact)) {
                m_held.push_back(contact);
                result = Spooled::held;
            }
        }
        notice = m_notice;
    }
    if (notice) notice();
    return result;
}

Spool::SetAside Spool::set_aside() {
    std::lock_guard lock(m_mutex);
    write_held_aside();
    return {m_aside_path, std::exchange(m_aside_untold, {}), m_held_aside.size()};
}

Spool::Batch Spool::waiting() {
    std::lock_guard lock(m_mutex);
    Batch batch;
    batch.path = m_path;
    const std::string text = read_whole(m_path).value_or(std::string());
    batch.file_bytes = text.size();
    batch.contacts = contacts_of_text(text);
    for (const ContactFields& fields : m_held)
        if (auto contact = contact_of(fields)) batch.contacts.push_back(std::move(*contact));
    batch.held = m_held.size();
    return batch;
}

bool Spool::release(const Batch& batch) {
    std::lock_guard lock(m_mutex);
    const bool same_spool = batch.path == m_path;
    if (same_spool) {
        m_held.erase(m_held.begin(),
                     m_held.begin() + static_cast<std::ptrdiff_t>(std::min(batch.held, m_held.size())));
        m_keys_loaded = false;
    }
    const auto text = read_whole(batch.path);
    if (!text) return false;
    if (text->size() <= batch.file_bytes) {
        if (text->empty()) return true;
        return ::unlink(batch.path.c_str()) == 0 || errno == ENOENT;
    }
    // Contacts came while the batch went into the log: they stay, behind a fresh header.
    return write_side_file(batch.path, std::string(k_spool_header) + text->substr(batch.file_bytes));
}

} // namespace kestrel::digital
