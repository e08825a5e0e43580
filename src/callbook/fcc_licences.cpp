#include "callbook/fcc_licences.hpp"

#include "callbook/error_texts.hpp"
#include "common/side_file.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace kestrel::callbook {

namespace fs = std::filesystem;

namespace {

// The index: a header (its mark, then the size of the EN.dat it was made from), then one entry a
// call in the order of the calls: the call, NUL-padded, and where its line starts in EN.dat.
constexpr char k_mark[8] = {'K', 'E', 'N', 'I', 'D', 'X', '0', '1'};
constexpr std::size_t k_call_bytes = 16;
constexpr std::size_t k_header_bytes = 16;
constexpr std::size_t k_entry_bytes = k_call_bytes + 8;
constexpr std::size_t k_longest_line = 4096;

using CallKey = std::array<char, k_call_bytes>;

void put_u64(std::string& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

std::uint64_t get_u64(const char* bytes) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

std::optional<CallKey> key_of(std::string_view call) {
    if (call.empty() || call.size() > k_call_bytes) return std::nullopt;
    CallKey key{};
    std::copy(call.begin(), call.end(), key.begin());
    return key;
}

std::string upper_trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::vector<std::string_view> split_fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = line.find('|', start);
        fields.push_back(
            line.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos) return fields;
        start = bar + 1;
    }
}

// Joins the texts that are not empty.
std::string joined(std::initializer_list<std::string_view> parts, std::string_view between) {
    std::string out;
    for (std::string_view part : parts) {
        if (part.empty()) continue;
        if (!out.empty()) out += between;
        out += part;
    }
    return out;
}

struct Entry {
    CallKey call;
    long long system_id;
    std::uint64_t offset;
};

std::string data_path(const std::string& directory) {
    return (fs::path(directory) / k_licence_file).string();
}
std::string index_path(const std::string& directory) {
    return (fs::path(directory) / k_index_file).string();
}

// An index made from this very EN.dat: the same size, and written after it.
bool index_is_current(const std::string& directory) {
    std::error_code error;
    const auto data_size = fs::file_size(data_path(directory), error);
    if (error) return false;
    const auto data_time = fs::last_write_time(data_path(directory), error);
    if (error) return false;
    const auto index_time = fs::last_write_time(index_path(directory), error);
    if (error || index_time < data_time) return false;
    // Never waited on: a named pipe in the index's place is no index.
    const int fd = open_regular_file(index_path(directory));
    if (fd < 0) return false;
    char header[k_header_bytes];
    const bool read = ::pread(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header);
    ::close(fd);
    return read && std::memcmp(header, k_mark, sizeof k_mark) == 0 && get_u64(header + 8) == data_size;
}

// Reads the line that starts at `offset`.
std::optional<std::string> line_at(int fd, std::uint64_t offset) {
    std::string line(k_longest_line, '\0');
    const ssize_t got = ::pread(fd, line.data(), line.size(), static_cast<off_t>(offset));
    if (got < 0) return std::nullopt;
    line.resize(static_cast<std::size_t>(got));
    if (const auto end = line.find_first_of("\r\n"); end != std::string::npos) line.resize(end);
    return line;
}

class FileDescriptor {
  public:
    explicit FileDescriptor(const std::string& path) : m_fd(open_regular_file(path)) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

  private:
    int m_fd;
};

// Binary search of the index for the call's line.
Lookup lookup_indexed(const std::string& directory, const CallKey& key) {
    const FileDescriptor index(index_path(directory));
    const FileDescriptor data(data_path(directory));
    if (index.get() < 0 || data.get() < 0) return std::string(k_database_not_found);
    const off_t end = ::lseek(index.get(), 0, SEEK_END);
    if (end < static_cast<off_t>(k_header_bytes)) return std::string(k_disc_read_error);
    std::size_t low = 0;
    std::size_t high = (static_cast<std::size_t>(end) - k_header_bytes) / k_entry_bytes;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        char entry[k_entry_bytes];
        const off_t at = static_cast<off_t>(k_header_bytes + middle * k_entry_bytes);
        if (::pread(index.get(), entry, sizeof entry, at) != static_cast<ssize_t>(sizeof entry))
            return std::string(k_disc_read_error);
        const int order = std::memcmp(entry, key.data(), k_call_bytes);
        if (order < 0) {
            low = middle + 1;
        } else if (order > 0) {
            high = middle;
        } else {
            const std::optional<std::string> line = line_at(data.get(), get_u64(entry + k_call_bytes));
            if (!line) return std::string(k_disc_read_error);
            const std::optional<LicenceLine> licence = parse_licence_line(*line);
            if (!licence) return std::string(k_disc_read_error); // EN.dat changed under the index
            return licence->record;
        }
    }
    return std::string(k_callsign_not_found);
}

// Without an index: every line is read.
Lookup lookup_reading_through(const std::string& directory, const std::string& call) {
    std::ifstream in(data_path(directory), std::ios::binary);
    if (!in) return std::string(k_database_not_found);
    std::optional<LicenceLine> best;
    for (std::string line; std::getline(in, line);) {
        std::optional<LicenceLine> licence = parse_licence_line(line);
        if (licence && licence->call == call && (!best || licence->system_id >= best->system_id))
            best = std::move(licence);
    }
    if (in.bad()) return std::string(k_disc_read_error);
    if (!best) return std::string(k_callsign_not_found);
    return best->record;
}

} // namespace

std::optional<LicenceLine> parse_licence_line(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    const std::vector<std::string_view> f = split_fields(line);
    if (f.size() < 19 || f[0] != "EN") return std::nullopt;
    LicenceLine out;
    out.call = upper_trimmed(f[4]);
    if (out.call.empty()) return std::nullopt;
    for (const char c : f[1]) {
        if (c < '0' || c > '9') break;
        out.system_id = out.system_id * 10 + (c - '0');
    }
    CallbookRecord& r = out.record;
    r.call = out.call;
    r.name = joined({f[8], f[9], f[10], f[11]}, " ");
    if (r.name.empty()) r.name = std::string(f[7]); // a club or other entity
    const std::string street = !f[15].empty()
                                   ? std::string(f[15])
                                   : (f.size() > 19 && !f[19].empty() ? "PO BOX " + std::string(f[19]) : "");
    const std::string town = joined({f[16], joined({f[17], f[18]}, " ")}, ", ");
    r.qth = joined({street, town}, ", ");
    r.email = std::string(f[14]);
    return out;
}

Status<IndexError> refresh_index(const std::string& directory) {
    if (index_is_current(directory)) return {};
    // The licences are read as a stream, which would wait for good on a named pipe in their place.
    std::error_code type_error;
    const fs::file_type type = fs::status(data_path(directory), type_error).type();
    if (type == fs::file_type::not_found) return IndexError::no_data;
    if (type != fs::file_type::regular) return IndexError::unreadable;
    std::ifstream in(data_path(directory), std::ios::binary);
    if (!in) return IndexError::no_data;
    std::vector<Entry> entries;
    std::uint64_t offset = 0;
    for (std::string line; std::getline(in, line);) {
        if (const std::optional<LicenceLine> licence = parse_licence_line(line))
            if (const std::optional<CallKey> key = key_of(licence->call))
                entries.push_back({*key, licence->system_id, offset});
        offset += line.size() + 1;
    }
    if (in.bad()) return IndexError::unreadable;
    // The latest licence of a call last among its kind, so that it is the one kept.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.call != b.call ? a.call < b.call : a.system_id < b.system_id;
    });
    std::error_code error;
    const std::uintmax_t data_size = fs::file_size(data_path(directory), error);
    if (error) return IndexError::unreadable;
    std::string bytes(k_mark, sizeof k_mark);
    put_u64(bytes, data_size);
    bytes.reserve(k_header_bytes + entries.size() * k_entry_bytes);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i + 1 < entries.size() && entries[i + 1].call == entries[i].call) continue;
        bytes.append(entries[i].call.data(), k_call_bytes);
        put_u64(bytes, entries[i].offset);
    }
    if (!write_side_file(index_path(directory), bytes)) return IndexError::unwritable;
    return {};
}

Lookup FccLicences::lookup_call(const std::string& call) {
    const std::string wanted = upper_trimmed(call);
    const std::optional<CallKey> key = key_of(wanted);
    if (!key) return std::string(k_callsign_not_found);
    const Status<IndexError> index = refresh_index(m_directory);
    if (index) return lookup_indexed(m_directory, *key);
    if (index.error() == IndexError::no_data) return std::string(k_database_not_found);
    if (index.error() == IndexError::unreadable) return std::string(k_disc_read_error);
    return lookup_reading_through(m_directory, wanted);
}

} // namespace kestrel::callbook
