#pragma once

#include "callbook/source.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace kestrel::callbook {

// The public US amateur licence files: EN.dat holds one line a licence, fields separated by
// "|": record type "EN", unique system identifier, ULS file number, EBF number, call sign,
// entity type, licensee id, entity name, first name, middle initial, last name, suffix, phone,
// fax, e-mail, street address, city, state, zip code, PO box, attention line, SGIN, FRN, ...
inline constexpr const char* k_licence_file = "EN.dat";
// Beside it: the calls in order with where their lines start, so a lookup in a file of
// millions of lines reads a few dozen bytes instead of the whole file.
inline constexpr const char* k_index_file = "EN.idx";

// The fields of one EN line the window shows; nothing for a line that is not an EN record.
struct LicenceLine {
    long long system_id = 0; // a call given out again has a new, larger identifier
    std::string call;
    CallbookRecord record;
};
[[nodiscard]] std::optional<LicenceLine> parse_licence_line(std::string_view line);

enum class IndexError { no_data, unreadable, unwritable };

// Makes sure the index beside EN.dat in `directory` is there and not older than EN.dat (nor
// made from a file of another size); builds it in one go when it is not.
[[nodiscard]] Status<IndexError> refresh_index(const std::string& directory);

// The licence files in a directory. A call given out more than once is found as its latest
// holder's. Where the index cannot be written (a read-only share) the file is read through.
class FccLicences final : public Source {
  public:
    explicit FccLicences(std::string directory) : m_directory(std::move(directory)) {}
    [[nodiscard]] Lookup lookup_call(const std::string& call) override;

  private:
    std::string m_directory;
};

} // namespace kestrel::callbook
