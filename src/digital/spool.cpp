#include "digital/spool.hpp"

#include "common/side_file.hpp"

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::digital {

namespace {

constexpr std::string_view k_suffix = ".SPOOL.ADI";
constexpr std::string_view k_log_extension = ".LOG";
constexpr const char* k_no_log_spool = "KESTREL.SPOOL.ADI";

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

Spool::Spool(std::string_view log_path) : m_path(spool_path_of(log_path)) {}

void Spool::set_log_path(std::string_view log_path) {
    std::lock_guard lock(m_mutex);
    std::string path = spool_path_of(log_path);
    if (path == m_path) return;
    m_path = std::move(path);
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
    m_keys_loaded = true;
}

bool Spool::append(const ContactFields& contact) {
    const int fd = ::open(m_path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    struct stat status {};
    // A named pipe or a device in the spool's place is never written to: a pipe would block.
    bool ok = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    const bool created = ok && status.st_size == 0;
    std::string text;
    if (created) {
        text = k_spool_header;
    } else if (ok) {
        // A last line cut short when the computer stopped is left alone on its line.
        char last = '\n';
        ok = ::pread(fd, &last, 1, status.st_size - 1) == 1;
        if (last != '\n') text = "\r\n";
    }
    text += adif_record_line(contact);
    ok = ok && write_all(fd, text);
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok && created) sync_directory_of(m_path);
    return ok;
}

Spooled Spool::add(const ContactFields& contact) {
    const auto found = contact_of(contact);
    if (!found) return Spooled::not_a_contact;
    std::function<void()> notice;
    Spooled result = Spooled::added;
    {
        std::lock_guard lock(m_mutex);
        load_keys();
        if (!m_keys.insert(key_of(found->record)).second) return Spooled::already_waiting;
        // Those the disk refused before go first, so the spool keeps the order they came in.
        while (!m_held.empty() && append(m_held.front()))
            m_held.erase(m_held.begin());
        if (!m_held.empty() || !append(contact)) {
            m_held.push_back(contact);
            result = Spooled::held;
        }
        notice = m_notice;
    }
    if (notice) notice();
    return result;
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
