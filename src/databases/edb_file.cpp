#include "databases/edb_file.hpp"

#include "common/fixed_text.hpp"
#include "common/windows1252.hpp"

#include <algorithm>

namespace kestrel::databases {

namespace {

// A line cut at its colons into `count` fields, and what follows the last field's colon.
struct SplitLine {
    std::vector<std::string_view> fields;
    std::string_view rest;
};

SplitLine split_line(std::string_view line, int count) {
    SplitLine out;
    std::size_t at = 0;
    for (int i = 0; i < count; ++i) {
        if (at > line.size()) {
            out.fields.emplace_back();
            continue;
        }
        const auto colon = line.find(':', at);
        const std::size_t end = colon == std::string_view::npos ? line.size() : colon;
        out.fields.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    if (at <= line.size()) out.rest = line.substr(at);
    return out;
}

std::vector<std::string> lines_of(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        auto end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

// Capitals as the system's upper-case boxes make them, accented letters included.
std::string capitals(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = windows1252_upper(c);
    return out;
}

bool matches(std::string_view field, std::string_view wanted, bool prefix) {
    const std::string upper = capitals(field);
    if (prefix) return std::string_view(upper).starts_with(wanted);
    return trim_trailing_spaces(upper) == wanted;
}

bool blank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

} // namespace

Result<EdbDatabase, EdbProblem> EdbDatabase::read(std::string_view bytes) {
    std::vector<std::string> lines = lines_of(bytes);
    if (lines.empty()) return EdbProblem::no_fields;
    EdbDatabase db;
    db.m_header = lines.front();
    const auto count = std::count(db.m_header.begin(), db.m_header.end(), ':');
    if (count == 0) return EdbProblem::no_fields;
    if (count > k_most_fields) return EdbProblem::too_many_fields;
    replace_all(db.m_header, "$$", "");
    const int fields = static_cast<int>(count);
    for (std::string_view name : split_line(db.m_header, fields).fields)
        db.m_names.emplace_back(name);

    db.m_lines.assign(std::make_move_iterator(lines.begin() + 1), std::make_move_iterator(lines.end()));
    for (std::size_t i = 0; i < db.m_lines.size(); ++i)
        if (db.m_lines[i].find(':') != std::string::npos) db.m_records.push_back(i);

    // The first record sets the widths. A field it lacks, or holds with no width at all, would
    // save nothing the operator typed: it takes the width of its name instead.
    const SplitLine first = db.m_records.empty() ? SplitLine{} : split_line(db.record_line(0), fields);
    for (int i = 0; i < fields; ++i) {
        const std::size_t given = first.fields.empty() ? 0 : first.fields[static_cast<std::size_t>(i)].size();
        const std::size_t named = trim_trailing_spaces(db.m_names[static_cast<std::size_t>(i)]).size();
        db.m_widths.push_back(given > 0 ? given : std::max<std::size_t>(named, 1));
    }
    return db;
}

const std::string& EdbDatabase::record_line(int record) const {
    return m_lines[m_records[static_cast<std::size_t>(record)]];
}

int EdbDatabase::copy_target(CopyField what) const {
    const char* word = what == CopyField::call ? "CALL" : what == CopyField::band ? "BAND" : "DATE";
    int target = -1;
    for (int i = 0; i < field_count(); ++i)
        if (capitals(field_name(i)).find(word) != std::string::npos) target = i;
    return target;
}

int EdbDatabase::worked_count() const {
    int worked = 0;
    for (int r = 0; r < record_count(); ++r)
        if (!blank(split_line(record_line(r), field_count()).fields.back())) ++worked;
    return worked;
}

std::vector<std::string> EdbDatabase::fields(int record) const {
    std::vector<std::string> out;
    for (std::string_view field : split_line(record_line(record), field_count()).fields)
        out.emplace_back(field);
    return out;
}

std::optional<int> EdbDatabase::find(std::string_view search, int after) const {
    std::string wanted = capitals(search);
    const auto star = wanted.find('*');
    const bool prefix = star != std::string::npos;
    if (prefix) wanted.resize(star);
    const int searched = std::min(record_count(), k_most_records);
    for (int r = std::max(after + 1, 0); r < searched; ++r) {
        for (std::string_view field : split_line(record_line(r), field_count()).fields)
            if (matches(field, wanted, prefix)) return r;
    }
    return std::nullopt;
}

void EdbDatabase::replace_record(int record, const std::vector<std::string>& texts) {
    const SplitLine old = split_line(record_line(record), field_count());
    std::string line;
    for (int i = 0; i < field_count(); ++i) {
        const auto f = static_cast<std::size_t>(i);
        const std::string_view text = f < texts.size() ? std::string_view(texts[f]) : std::string_view{};
        line += fixed_width(text, std::max(m_widths[f], old.fields[f].size()));
        line += ':';
    }
    line += old.rest;
    m_lines[m_records[static_cast<std::size_t>(record)]] = std::move(line);
}

std::string EdbDatabase::text() const {
    std::string out = m_header + "\r\n";
    for (const std::string& line : m_lines)
        out += line + "\r\n";
    return out;
}

} // namespace kestrel::databases
