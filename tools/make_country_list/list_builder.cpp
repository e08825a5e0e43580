#include "list_builder.hpp"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace kestrel::country_list {

namespace {

// Calls are made of these, in byte order; the bytes between "9" and "A" never occur in a call.
constexpr std::string_view k_call_alphabet = "/0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

bool is_two_letter_suffix_prefix(std::string_view prefix) {
    return std::find(std::begin(k_two_letter_suffix_prefixes), std::end(k_two_letter_suffix_prefixes),
                     prefix) != std::end(k_two_letter_suffix_prefixes);
}

// The calls of the file as the list will hold them, each with its country.
class Calls {
  public:
    Calls(const CtyFile& file, const LineCountries& countries) {
        for (std::size_t i = 0; i < file.lines.size(); ++i) {
            const int country = countries.country_of_line[i];
            bool has_prefix = false;
            for (const std::string& p : file.lines[i].prefixes) {
                if (is_two_letter_suffix_prefix(p)) continue;
                m_prefixes.emplace(p, country);
                has_prefix = true;
            }
            for (const std::string& c : file.lines[i].exact_calls)
                if (c != k_version_marker) add_exact(c, country);
            // A line found by exact calls only: its calls get rows whatever else is chosen.
            if (!has_prefix)
                for (const std::string& c : file.lines[i].exact_calls)
                    m_always.insert(c);
            // A two-letter-suffix prefix: its bare form, every two-letter suffix, and the calls
            // listed with it.
            for (const std::string& p : file.lines[i].prefixes) {
                if (!is_two_letter_suffix_prefix(p)) continue;
                keep_always(p, country);
                for (char a = 'A'; a <= 'Z'; ++a)
                    for (char b = 'A'; b <= 'Z'; ++b)
                        keep_always(p + a + b, country);
                for (const std::string& c : file.lines[i].exact_calls)
                    if (c.starts_with(p)) m_always.insert(c);
            }
        }
    }

    // The country of the longest prefix of the call no longer than max_length; nullopt for none.
    std::optional<int> by_prefix(std::string_view call, std::size_t max_length) const {
        for (std::size_t n = std::min(call.size(), max_length); n > 0; --n) {
            if (const auto it = m_prefixes.find(std::string(call.substr(0, n))); it != m_prefixes.end())
                return it->second;
        }
        return std::nullopt;
    }
    std::optional<int> by_prefix(std::string_view call) const { return by_prefix(call, call.size()); }

    const std::unordered_map<std::string, int>& prefixes() const { return m_prefixes; }
    const std::unordered_map<std::string, int>& exact() const { return m_exact; }
    const std::vector<std::string>& exact_in_file_order() const { return m_exact_order; }
    // The calls that get a row of their own whatever else is chosen; among them an exact call
    // written the same as a prefix (EF6 the call is Spain, EF6 the prefix the Balearic Islands).
    bool always_kept(const std::string& call) const {
        return m_always.count(call) != 0 || m_prefixes.count(call) != 0;
    }

  private:
    void add_exact(const std::string& call, int country) {
        if (m_exact.emplace(call, country).second) m_exact_order.push_back(call);
    }
    void keep_always(const std::string& call, int country) {
        add_exact(call, country);
        m_always.insert(call);
    }

    // A call listed twice keeps its first line, as a reader going down the file would.
    std::unordered_map<std::string, int> m_prefixes;
    std::unordered_map<std::string, int> m_exact;
    std::vector<std::string> m_exact_order;
    std::unordered_set<std::string> m_always;
};

std::string format_degrees(double degrees) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", degrees);
    return std::string(text) == "-0.00" ? "0.00" : text;
}

// Prefix rows: one per prefix that changes the answer, siblings of one country merged.
std::vector<ListRow> prefix_rows(const Calls& calls, int& redundant) {
    std::map<std::string, std::map<char, int>> kept_by_parent; // parent -> last character -> country
    for (const auto& [prefix, country] : calls.prefixes()) {
        if (calls.by_prefix(prefix, prefix.size() - 1) == country) {
            ++redundant;
            continue;
        }
        kept_by_parent[prefix.substr(0, prefix.size() - 1)][prefix.back()] = country;
    }
    std::vector<ListRow> rows;
    for (const auto& [parent, children] : kept_by_parent) {
        // The range being gathered; a plain row and a flag, as GCC 12 sees uninitialised strings
        // in an optional row at -O2.
        ListRow run;
        bool open = false;
        const auto close = [&] {
            if (open) rows.push_back(run);
            open = false;
        };
        for (const char c : k_call_alphabet) {
            const std::string prefix = parent + c;
            const auto kept = children.find(c);
            if (kept != children.end()) {
                if (open && run.country == kept->second) {
                    run.high = prefix;
                } else {
                    close();
                    run = ListRow{prefix, prefix, kept->second};
                    open = true;
                }
            } else if (open && calls.by_prefix(prefix) != run.country) {
                // Taking this sibling into the range would change its calls' country.
                close();
            }
        }
        close();
    }
    return rows;
}

// The longest chosen exact call whose row holds the call: the call itself, or the call up to
// one of its "/".
const std::string* holding_exact_call(const std::string& call,
                                      const std::unordered_set<std::string>& chosen) {
    if (chosen.count(call) != 0) return &*chosen.find(call);
    for (std::size_t n = call.size(); n-- > 1;) {
        if (call[n] != '/') continue;
        const auto it = chosen.find(call.substr(0, n));
        if (it != chosen.end()) return &*it;
    }
    return nullptr;
}

std::vector<ListRow> exact_rows(const Calls& calls, ExactCalls which) {
    std::unordered_set<std::string> chosen;
    for (const std::string& call : calls.exact_in_file_order()) {
        const int country = calls.exact().at(call);
        const std::optional<int> by_prefix = calls.by_prefix(call);
        if (by_prefix == country) continue; // its prefix finds it anyway
        // A call no prefix gives any country (2Q0ABC, VF0X, CY7DP) would be no country at all
        // without its row, rather than merely another one.
        if (which == ExactCalls::all || calls.always_kept(call) || !by_prefix) chosen.insert(call);
    }
    // A row "X,X/" also holds X/Y. Where the file gives X/Y another country, X/Y needs its own
    // row, which then comes first; repeat until no exact call is misled.
    for (bool changed = true; changed;) {
        changed = false;
        for (const std::string& call : calls.exact_in_file_order()) {
            if (chosen.count(call) != 0) continue;
            const std::string* holder = holding_exact_call(call, chosen);
            if (holder != nullptr && calls.exact().at(*holder) != calls.exact().at(call)) {
                chosen.insert(call);
                changed = true;
            }
        }
    }
    std::vector<ListRow> rows;
    for (const std::string& call : chosen)
        rows.push_back({call, call + "/", calls.exact().at(call)}); // sorted later
    return rows;
}

} // namespace

LineCountries line_countries(const CtyFile& file, const std::map<int, int>& number_of) {
    LineCountries out;
    std::map<int, int> country_of_adif;
    for (const CtyLine& line : file.lines) {
        if (!line.is_dxcc() || country_of_adif.count(line.adif) != 0) continue;
        const auto number = number_of.find(line.adif);
        country_of_adif[line.adif] = static_cast<int>(out.countries.size());
        out.countries.push_back({number == number_of.end() ? 0 : number->second, list_name(line.name),
                                 line.latitude, line.east_longitude()});
    }
    for (const CtyLine& line : file.lines) {
        const auto found = country_of_adif.find(line.adif);
        if (found != country_of_adif.end()) {
            out.country_of_line.push_back(found->second);
            continue;
        }
        out.country_of_line.push_back(static_cast<int>(out.countries.size()));
        out.countries.push_back({0, list_name(line.name), line.latitude, line.east_longitude()});
    }
    return out;
}

BuiltList build_country_list(const CtyFile& file, const LineCountries& countries, ExactCalls exact) {
    const Calls calls(file, countries);
    BuiltList list;
    list.rows = prefix_rows(calls, list.redundant_prefixes);
    list.prefix_rows = static_cast<int>(list.rows.size());
    std::vector<ListRow> exact_list = exact_rows(calls, exact);
    list.exact_rows = static_cast<int>(exact_list.size());
    for (ListRow& row : exact_list)
        list.rows.push_back(std::move(row));

    // Longest first; an exact row before a prefix row of its length, since the prefix row holds
    // it; the rest alphabetical, so that the file reads the same from one run to the next.
    std::sort(list.rows.begin(), list.rows.end(), [](const ListRow& a, const ListRow& b) {
        if (a.low.size() != b.low.size()) return a.low.size() > b.low.size();
        const bool a_exact = a.high.size() > a.low.size(), b_exact = b.high.size() > b.low.size();
        if (a_exact != b_exact) return a_exact;
        return a.low < b.low;
    });
    return list;
}

std::string format_country_list(const BuiltList& list, const LineCountries& countries) {
    std::string text;
    for (const ListRow& row : list.rows) {
        const Country& c = countries.countries[static_cast<std::size_t>(row.country)];
        text += row.low + "," + row.high + "," + c.name + "," + std::to_string(c.number) + "," +
                format_degrees(c.latitude) + "," + format_degrees(c.longitude) + "\r\n";
    }
    return text;
}

std::string list_name(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (c == ',')
            out += ';';
        else if (c == '"')
            out += '\'';
        else if (c < ' ' || c > '~')
            out += '?';
        else
            out += c;
    }
    const auto first = out.find_first_not_of(' ');
    if (first == std::string::npos) return "?";
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

} // namespace kestrel::country_list
