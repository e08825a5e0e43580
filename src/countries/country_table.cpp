#include "countries/country_table.hpp"

#include "common/number_text.hpp"
#include "common/side_file.hpp"
#include "common/text_items.hpp"

#include <algorithm>
#include <cstdint>

namespace kestrel::countries {

namespace {

// Gives each slot of a range that has no row yet the row offered. Rows are offered in file
// order, so the first row to reach a slot keeps it; a slot once given is skipped over by the
// later ranges (a union-find "next free slot"), so a list of nested or overlapping blocks is
// painted in near-linear time rather than a pass over every block's whole range.
class FirstRowPainter {
  public:
    explicit FirstRowPainter(std::vector<int>& slots) : m_slots(slots), m_next_free(slots.size() + 1) {
        for (std::size_t i = 0; i < m_next_free.size(); ++i)
            m_next_free[i] = i;
    }

    void paint(std::size_t first, std::size_t last, int row) {
        for (std::size_t i = next_free(first); i <= last && i < m_slots.size(); i = next_free(i)) {
            m_slots[i] = row;
            m_next_free[i] = i + 1;
        }
    }

  private:
    std::size_t next_free(std::size_t i) {
        while (m_next_free[i] != i) {
            m_next_free[i] = m_next_free[m_next_free[i]];
            i = m_next_free[i];
        }
        return i;
    }

    std::vector<int>& m_slots;
    std::vector<std::size_t> m_next_free; // one past the end stands for "no free slot left"
};

// A row written "X,X/" holds the one call X: X, X with blanks after it, and X followed by "/".
bool holds_one_call(const CountryEntry& e) {
    return e.high_prefix.size() == e.low_prefix.size() + 2 && e.high_prefix.starts_with(e.low_prefix) &&
           e.high_prefix.ends_with("/[");
}

} // namespace

void CountryTable::add(CountryEntry entry) {
    m_highest = std::max(m_highest, entry.number);
    m_rows.push_back(std::move(entry));
    m_lookup_built = false;
}

int CountryTable::first_match_by_scan(std::string_view call) const {
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        const CountryEntry& e = m_rows[r];
        if (call > std::string_view(e.high_prefix) || call < std::string_view(e.low_prefix)) continue;
        return static_cast<int>(r);
    }
    return -1;
}

void CountryTable::build_lookup() const {
    m_bounds.clear();
    for (const CountryEntry& e : m_rows) {
        m_bounds.push_back(e.low_prefix);
        m_bounds.push_back(e.high_prefix);
    }
    std::sort(m_bounds.begin(), m_bounds.end());
    m_bounds.erase(std::unique(m_bounds.begin(), m_bounds.end()), m_bounds.end());

    auto rank = [this](const std::string& s) {
        return static_cast<int>(std::lower_bound(m_bounds.begin(), m_bounds.end(), s) - m_bounds.begin());
    };
    const int n = static_cast<int>(m_bounds.size());
    m_at_bound.assign(static_cast<std::size_t>(n), -1);
    m_below_bound.assign(static_cast<std::size_t>(n) + 1, -1);
    FirstRowPainter at_bound(m_at_bound), below_bound(m_below_bound);
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        const int low = rank(m_rows[r].low_prefix);
        const int high = rank(m_rows[r].high_prefix);
        if (low > high) continue; // a block that holds nothing
        at_bound.paint(static_cast<std::size_t>(low), static_cast<std::size_t>(high), static_cast<int>(r));
        below_bound.paint(static_cast<std::size_t>(low) + 1, static_cast<std::size_t>(high),
                          static_cast<int>(r));
    }
    m_first_byte.assign(257, 0);
    for (int b = 0, i = 0; b <= 256; ++b) {
        while (i < n && b < 256 && static_cast<unsigned char>(m_bounds[static_cast<std::size_t>(i)][0]) < b)
            ++i;
        m_first_byte[static_cast<std::size_t>(b)] = static_cast<std::uint32_t>(b == 256 ? n : i);
    }
    m_lookup_built = true;
}

Resolution CountryTable::resolve_country(std::string_view call) const {
    if (!m_lookup_built) build_lookup();
    const int none = static_cast<int>(m_rows.size());
    if (m_bounds.empty()) return {-1, none};
    // Bounds that start with a smaller byte are all below the call, those that start with a
    // greater one all above it: only the bounds of the call's own first byte need a search.
    std::size_t from = 0, to = m_bounds.size();
    if (!call.empty()) {
        const auto c = static_cast<unsigned char>(call[0]);
        from = m_first_byte[c];
        to = m_first_byte[c + 1u];
    }
    auto it =
        std::lower_bound(m_bounds.begin() + static_cast<std::ptrdiff_t>(from),
                         m_bounds.begin() + static_cast<std::ptrdiff_t>(to), call,
                         [](const std::string& a, std::string_view b) { return std::string_view(a) < b; });
    const auto i = static_cast<std::size_t>(it - m_bounds.begin());
    const int row = (i < m_bounds.size() && m_bounds[i] == call) ? m_at_bound[i] : m_below_bound[i];
    if (row < 0) return {-1, none};
    return {m_rows[static_cast<std::size_t>(row)].number, row};
}

std::optional<int> CountryTable::resolve_prefix_or_number(std::string_view text) const {
    const bool digits = std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits) return resolve_country(text).country;
    long value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
        if (value > m_highest) return std::nullopt;
    }
    if (value < 1) return std::nullopt;
    return static_cast<int>(value);
}

CountryTable::Prefixes CountryTable::prefixes_of_country(int number) const {
    std::vector<std::size_t> rows;
    bool has_block = false;
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        if (m_rows[r].number != number) continue;
        rows.push_back(r);
        has_block = has_block || !holds_one_call(m_rows[r]);
    }
    std::vector<bool> shown(m_rows.size(), true);
    if (has_block) {
        for (const std::size_t r : rows)
            shown[r] = !holds_one_call(m_rows[r]);
    } else {
        // In byte order, every call that begins with another comes after it, and so does every
        // call between the two: a stack of the calls that begin the one in hand finds them all.
        std::vector<std::size_t> by_call = rows;
        std::stable_sort(by_call.begin(), by_call.end(), [this](std::size_t a, std::size_t b) {
            return m_rows[a].low_prefix < m_rows[b].low_prefix;
        });
        std::vector<std::string_view> beginnings;
        for (const std::size_t r : by_call) {
            const std::string_view call = m_rows[r].low_prefix;
            while (!beginnings.empty() && !call.starts_with(beginnings.back()))
                beginnings.pop_back();
            shown[r] = beginnings.empty();
            beginnings.push_back(call);
        }
    }
    Prefixes p;
    for (const std::size_t r : rows) {
        p.name = m_rows[r].name;
        if (!shown[r]) continue;
        if (!p.list.empty()) p.list += ",";
        p.list += m_rows[r].low_prefix;
    }
    return p;
}

std::string bad_line_message(int line) {
    return "Line " + std::to_string(line) + " of COUNTRY.LST";
}

CountryListLoad parse_country_list(std::string_view text) {
    CountryListLoad load;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end;
        if (at < text.size() && text[at] == '\r') ++at;
        if (at < text.size() && text[at] == '\n') ++at;

        const int line_number = load.table.entry_count() + 1;
        if (std::count(line.begin(), line.end(), ',') != 5) {
            load.bad_line = line_number;
            break;
        }
        TextItemReader fields{std::string(line)};
        CountryEntry e;
        e.low_prefix = fields.next_text().value_or("");
        e.high_prefix = fields.next_text().value_or("") + "[";
        e.name = fields.next_text().value_or("");
        const std::int64_t number = round_half_even(fields.next_number());
        e.latitude = static_cast<float>(fields.next_number());
        e.longitude = static_cast<float>(fields.next_number());
        // The chart has a row for country numbers 0 to 400 only. The number is checked before
        // it is narrowed, so that 4294967297 is refused rather than wrapped round to 1.
        if (number < 0 || number > k_highest_chartable_country) {
            load.bad_line = line_number;
            break;
        }
        e.number = static_cast<int>(number);
        load.table.add(std::move(e));
    }
    return load;
}

CountryListLoad load_country_list(const std::string& path) {
    return parse_country_list(read_side_file(path).value_or(std::string()));
}

} // namespace kestrel::countries
