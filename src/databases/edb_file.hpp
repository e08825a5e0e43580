#pragma once

#include "common/result.hpp"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::databases {

// An operator's database (NAME.EDB): a text file whose first line names the fields, each name
// followed by ":" (CALL:NAME:COUNTY:WORKED:), and whose further lines holding a ":" are records,
// a field each between the colons, padded with spaces to the width the first record gives.
// Other lines are kept where they stand but take no part in a search.
inline constexpr int k_most_fields = 11;
// Records past this many are kept as they are, but no search reaches them.
inline constexpr int k_most_records = 10000;

enum class EdbProblem {
    no_fields,       // empty, or a first line without a ":"
    too_many_fields, // more than k_most_fields
};

// The fields a logging window can copy its contact into, by the words in their names.
enum class CopyField { call, band, date };

class EdbDatabase {
  public:
    // The file's bytes; lines may end in CR LF or LF alone.
    [[nodiscard]] static Result<EdbDatabase, EdbProblem> read(std::string_view bytes);

    int field_count() const { return static_cast<int>(m_names.size()); }
    // A field's name as the first line gives it, blanks and all.
    const std::string& field_name(int field) const { return m_names[static_cast<std::size_t>(field)]; }
    // The width the boxes and saved records use: the field's width in the first record.
    std::size_t width(int field) const { return m_widths[static_cast<std::size_t>(field)]; }
    // The field a copy goes into, the last whose name holds CALL, BAND or DATE; -1 for none.
    int copy_target(CopyField what) const;

    // Every record, in file order, the searched and the kept alike.
    int record_count() const { return static_cast<int>(m_records.size()); }
    // Records whose last field holds more than blanks.
    int worked_count() const;
    // How many records lie past k_most_records.
    int records_beyond_limit() const { return std::max(0, record_count() - k_most_records); }
    // The record's fields as the file has them, padding included; a field the line lacks is empty.
    std::vector<std::string> fields(int record) const;

    // The first searched record after `after` (-1: from the first) with a field that matches.
    // The search text, in any case, matches a field equal to it once the field's trailing blanks
    // are gone; a text with "*" matches a field that starts with what comes before the "*".
    std::optional<int> find(std::string_view search, int after) const;

    // Puts the texts in place of the record's fields, each padded with blanks or cut to its width
    // (a field this record already had wider keeps that width, so an unchanged field is never
    // cut). Whatever the line held after its last field stays.
    void replace_record(int record, const std::vector<std::string>& texts);

    // The file as it is to be written: the first line without "$$", then every line in order,
    // each ended by CR LF.
    std::string text() const;

  private:
    const std::string& record_line(int record) const;

    std::string m_header;
    std::vector<std::string> m_names;
    std::vector<std::size_t> m_widths;
    std::vector<std::string> m_lines;   // every line after the first
    std::vector<std::size_t> m_records; // the lines that are records
};

} // namespace kestrel::databases
