// make_country_list: makes COUNTRY.LST, the list that resolves calls to DXCC countries, from the
// public country file cty.csv (by Jim Reisert AD1C, country-files.com), then reads the list back
// as the program does and checks it against the country file's own answers.
//
//   make_country_list [--cty FILE] [--numbers FILE] [--out FILE] [--home CODE|PREFIX]
//                     [--all-exact-calls] [--update-numbers]
//
// Run by hand from the top of the source tree; see README.md beside this file.

#include "common/side_file.hpp"
#include "countries/country_table.hpp"
#include "country_numbers.hpp"
#include "cty_file.hpp"
#include "list_builder.hpp"
#include "list_check.hpp"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>

namespace {

using namespace kestrel::country_list;

constexpr std::size_t k_disagreements_shown = 50;

struct Options {
    std::string cty = "/usr/share/hamradio-files/cty.csv";
    std::string numbers = "tools/make_country_list/country_numbers.csv";
    std::string out = "resources/data/COUNTRY.LST";
    std::string home = std::to_string(k_england_adif);
    ExactCalls exact = ExactCalls::unreachable_entities;
    bool update_numbers = false;
};

constexpr const char* k_usage =
    "usage: make_country_list [--cty FILE] [--numbers FILE] [--out FILE] [--home CODE|PREFIX]\n"
    "                         [--all-exact-calls] [--update-numbers]\n"
    "  --cty FILE        the country file (default /usr/share/hamradio-files/cty.csv)\n"
    "  --numbers FILE    our country numbers (default tools/make_country_list/country_numbers.csv)\n"
    "  --out FILE        the list to write (default resources/data/COUNTRY.LST)\n"
    "  --home X          the entity that becomes number 1: its DXCC entity code or a prefix\n"
    "                    (default 223, England)\n"
    "  --all-exact-calls a row for every exact call the prefixes get wrong, not only for the\n"
    "                    entities that have no prefix\n"
    "  --update-numbers  record numbers given to new entities in the numbers file\n";

std::optional<Options> read_options(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--cty" && has_value)
            o.cty = argv[++i];
        else if (arg == "--numbers" && has_value)
            o.numbers = argv[++i];
        else if (arg == "--out" && has_value)
            o.out = argv[++i];
        else if (arg == "--home" && has_value)
            o.home = argv[++i];
        else if (arg == "--all-exact-calls")
            o.exact = ExactCalls::all;
        else if (arg == "--update-numbers")
            o.update_numbers = true;
        else
            return std::nullopt;
    }
    return o;
}

std::optional<std::string> read_whole_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Plain printable ASCII (so also Windows-1252) with every line ended by CR LF.
bool plain_lines(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n') return false;
            ++i;
        } else if (c < ' ' || c > '~') {
            return false;
        }
    }
    return text.empty() || text.back() == '\n';
}

void print_part(const char* what, const CheckPart& part, const std::map<int, std::string>& names) {
    std::printf("%-32s %6d of %6d agree\n", what, part.agree, part.total);
    const auto name = [&](int number) {
        const auto it = names.find(number);
        return number < 0 ? std::string("(none)") : it == names.end() ? std::string("?") : it->second;
    };
    for (std::size_t i = 0; i < part.disagreements.size() && i < k_disagreements_shown; ++i) {
        const Disagreement& d = part.disagreements[i];
        std::printf("    %-14s list %3d %-26s file %3d %s\n", d.call.c_str(), d.ours, name(d.ours).c_str(),
                    d.expected, name(d.expected).c_str());
    }
    if (part.disagreements.size() > k_disagreements_shown)
        std::printf("    ... and %zu more\n", part.disagreements.size() - k_disagreements_shown);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "make_country_list: %s\n", message.c_str());
    return 1;
}

// Our numbers for every entity of the file: the table's, and new ones for entities it lacks.
std::optional<NumberTable> numbers_for(const Options& options, const CtyFile& file) {
    NumberTable numbers;
    if (const auto text = read_whole_file(options.numbers)) {
        NumberTableParse parse = parse_number_table(*text);
        if (parse.bad_line != 0) {
            fail(options.numbers + " line " + std::to_string(parse.bad_line) + ": " + parse.why);
            return std::nullopt;
        }
        numbers = std::move(parse.table);
    } else {
        std::printf("%s not found: numbering every entity afresh\n", options.numbers.c_str());
    }
    const auto added = number_new_entities(numbers, file);
    if (!added) {
        fail("more entities than numbers 1 to " + std::to_string(k_highest_number));
        return std::nullopt;
    }
    for (const NewEntity& e : *added)
        std::printf("new entity %d %s: number %d\n", e.adif, e.name.c_str(), e.number);
    if (!added->empty() && options.update_numbers) {
        if (!kestrel::write_side_file(options.numbers, format_number_table(numbers))) {
            fail("cannot write " + options.numbers);
            return std::nullopt;
        }
        std::printf("recorded in %s\n", options.numbers.c_str());
    } else if (!added->empty()) {
        std::printf("not recorded: run again with --update-numbers to keep these numbers\n");
    }
    for (const auto& [adif, number] : numbers.number_of) {
        const bool listed = std::any_of(file.lines.begin(), file.lines.end(), [&](const CtyLine& line) {
            return line.is_dxcc() && line.adif == adif;
        });
        if (!listed)
            std::printf("entity %d (number %d) is no longer in the file: its number stays unused\n", adif,
                        number);
    }
    return numbers;
}

// Reads back what was written, the way the program will read it, and compares it with the file.
int check_written(const Options& options, const CtyFile& file, const LineCountries& countries,
                  const BuiltList& list) {
    const auto written = read_whole_file(options.out);
    if (!written) return fail("cannot read back " + options.out);
    if (!plain_lines(*written)) return fail(options.out + " is not plain ASCII lines ended by CR LF");
    const auto load = kestrel::countries::parse_country_list(*written);
    if (load.bad_line) return fail(kestrel::countries::bad_line_message(*load.bad_line));
    if (load.table.entry_count() != static_cast<int>(list.rows.size()))
        return fail("rows lost on reading back");

    std::vector<int> number_of_line;
    for (const int c : countries.country_of_line)
        number_of_line.push_back(countries.countries[static_cast<std::size_t>(c)].number);
    std::map<int, std::string> names;
    for (const Country& c : countries.countries)
        names.emplace(c.number, c.name);

    std::printf("%s: %d rows (%d prefix rows, %d exact-call rows; %d prefixes left out as a shorter "
                "prefix gives the same country), highest country number %d, number 1 %s\n",
                options.out.c_str(), load.table.entry_count(), list.prefix_rows, list.exact_rows,
                list.redundant_prefixes, load.table.highest_country(), names[1].c_str());
    const CheckReport report = check_country_list(load.table, file, number_of_line);
    print_part("prefixes:", report.prefixes, names);
    print_part("calls made from prefixes:", report.calls_from_prefixes, names);
    print_part("calls in the list's ranges:", report.calls_in_ranges, names);
    print_part("exact calls:", report.exact_calls, names);
    const bool sound = report.prefixes.disagreements.empty() &&
                       report.calls_from_prefixes.disagreements.empty() &&
                       report.calls_in_ranges.disagreements.empty();
    return sound ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const auto options = read_options(argc, argv);
    if (!options) {
        std::fputs(k_usage, stderr);
        return 2;
    }
    const auto cty_text = read_whole_file(options->cty);
    if (!cty_text) return fail("cannot read " + options->cty);
    const CtyParse cty = parse_cty_csv(*cty_text);
    if (cty.bad_line != 0)
        return fail(options->cty + " line " + std::to_string(cty.bad_line) + ": " + cty.why);
    if (cty.file.lines.empty()) return fail(options->cty + " lists no entity");

    const auto numbers = numbers_for(*options, cty.file);
    if (!numbers) return 1;
    const auto home = home_entity(options->home, cty.file);
    if (!home) return fail("--home " + options->home + " names no DXCC entity of " + options->cty);
    std::map<int, int> number_of = numbers->number_of;
    make_home(number_of, *home);

    const LineCountries countries = line_countries(cty.file, number_of);
    const BuiltList list = build_country_list(cty.file, countries, options->exact);
    if (!kestrel::write_side_file(options->out, format_country_list(list, countries)))
        return fail("cannot write " + options->out);
    return check_written(*options, cty.file, countries, list);
}
