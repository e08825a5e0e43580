#include "exchange/adif_modes.hpp"

#include "common/fixed_text.hpp"
#include "logstore/field_codes.hpp"

#include <algorithm>
#include <vector>

namespace kestrel::exchange {

namespace {

// The Mode enumeration of ADIF 3.1.7: each mode with its submodes, leaving out the modes ADIF
// marks import-only (their names live on as submodes where ADIF kept them).
struct Family {
    std::string_view mode;
    std::string_view submodes; // separated by ','; some hold a blank ("VARA HF")
};

constexpr Family k_families[] = {
    {"AM", ""},
    {"ARDOP", ""},
    {"ATV", ""},
    {"CHIP", "CHIP64,CHIP128"},
    {"CLO", ""},
    {"CONTESTI", ""},
    {"CW", "PCW"},
    {"DIGITALVOICE", "C4FM,DMR,DSTAR,FREEDV,M17"},
    {"DOMINO", "DOM-M,DOM4,DOM5,DOM8,DOM11,DOM16,DOM22,DOM44,DOM88,DOMINOEX,DOMINOF"},
    {"DYNAMIC", "FREEDATA,VARA HF,VARA SATELLITE,VARA FM 1200,VARA FM 9600"},
    {"FAX", ""},
    {"FM", ""},
    {"FSK", "SCAMP_FAST,SCAMP_SLOW,SCAMP_VSLOW"},
    {"FSK441", ""},
    {"FT8", ""},
    {"HELL", "FMHELL,FSKH105,FSKH245,FSKHELL,HELL80,HELLX5,HELLX9,HFSK,PSKHELL,SLOWHELL"},
    {"ISCAT", "ISCAT-A,ISCAT-B"},
    {"JT4", "JT4A,JT4B,JT4C,JT4D,JT4E,JT4F,JT4G"},
    {"JT44", ""},
    {"JT65", "JT65A,JT65B,JT65B2,JT65C,JT65C2"},
    {"JT6M", ""},
    {"JT9", "JT9-1,JT9-2,JT9-5,JT9-10,JT9-30,JT9A,JT9B,JT9C,JT9D,JT9E,JT9E FAST,JT9F,JT9F FAST,JT9G,"
            "JT9G FAST,JT9H,JT9H FAST"},
    {"MFSK", "FSQCALL,FST4,FST4W,FT2,FT4,JS8,JTMS,MFSK4,MFSK8,MFSK11,MFSK16,MFSK22,MFSK31,MFSK32,MFSK64,"
             "MFSK64L,MFSK128,MFSK128L,Q65"},
    {"MSK144", ""},
    {"MT63", ""},
    {"MTONE", "SCAMP_OO,SCAMP_OO_SLW"},
    {"OFDM", "RIBBIT_PIX,RIBBIT_SMS"},
    {"OLIVIA", "OLIVIA 4/125,OLIVIA 4/250,OLIVIA 8/250,OLIVIA 8/500,OLIVIA 16/500,OLIVIA 16/1000,"
               "OLIVIA 32/1000"},
    {"OPERA", "OPERA-BEACON,OPERA-QSO"},
    {"PAC", "PAC2,PAC3,PAC4"},
    {"PAX", "PAX2"},
    {"PKT", ""},
    {"PSK", "8PSK125,8PSK125F,8PSK125FL,8PSK250,8PSK250F,8PSK250FL,8PSK500,8PSK500F,8PSK1000,8PSK1000F,"
            "8PSK1200F,FSK31,PSK10,PSK31,PSK63,PSK63F,PSK63RC4,PSK63RC5,PSK63RC10,PSK63RC20,PSK63RC32,"
            "PSK125,PSK125C12,PSK125R,PSK125RC10,PSK125RC12,PSK125RC16,PSK125RC4,PSK125RC5,PSK250,"
            "PSK250C6,PSK250R,PSK250RC2,PSK250RC3,PSK250RC5,PSK250RC6,PSK250RC7,PSK500,PSK500C2,"
            "PSK500C4,PSK500R,PSK500RC2,PSK500RC3,PSK500RC4,PSK800C2,PSK800RC2,PSK1000,PSK1000C2,"
            "PSK1000R,PSK1000RC2,PSKAM10,PSKAM31,PSKAM50,PSKFEC31,QPSK31,QPSK63,QPSK125,QPSK250,"
            "QPSK500,SIM31"},
    {"PSK2K", ""},
    {"Q15", ""},
    {"QRA64", "QRA64A,QRA64B,QRA64C,QRA64D,QRA64E"},
    {"ROS", "ROS-EME,ROS-HF,ROS-MF"},
    {"RTTY", "ASCI"},
    {"RTTYM", ""},
    {"SSB", "LSB,USB"},
    {"SSTV", ""},
    {"T10", ""},
    {"THOR", "THOR-M,THOR4,THOR5,THOR8,THOR11,THOR16,THOR22,THOR25X4,THOR50X1,THOR50X2,THOR100"},
    {"THRB", "THRBX,THRBX1,THRBX2,THRBX4,THROB1,THROB2,THROB4"},
    {"TOR", "AMTORFEC,GTOR,NAVTEX,SITORB"},
    {"V4", ""},
    {"VOI", ""},
    {"WINMOR", ""},
    {"WSPR", ""},
};

// One name of the enumeration: a mode (no parent) or a submode and its mode.
struct Name {
    std::string_view name;
    std::string_view parent;
};

// Every name, modes first, made once from the table above.
const std::vector<Name>& adif_names() {
    static const std::vector<Name> names = [] {
        std::vector<Name> out;
        for (const Family& family : k_families)
            out.push_back({family.mode, {}});
        for (const Family& family : k_families) {
            for (std::string_view rest = family.submodes; !rest.empty();) {
                const std::size_t comma = std::min(rest.find(','), rest.size());
                out.push_back({rest.substr(0, comma), family.mode});
                rest.remove_prefix(std::min(comma + 1, rest.size()));
            }
        }
        return out;
    }();
    return names;
}

// Emission designators and the program's own short names, with the ADIF mode they stand for.
// RTY is how the program has always written RTTY; the rest are the ITU designators an operator
// is likely to have typed for the same modes.
struct Alias {
    std::string_view stored;
    std::string_view mode;
};

constexpr Alias k_aliases[] = {
    {"A1A", "CW"},  {"J3E", "SSB"}, {"F3E", "FM"},   {"RTY", "RTTY"}, {"A3E", "AM"},  {"R3E", "SSB"},
    {"H3E", "SSB"}, {"G3E", "FM"},  {"F1B", "RTTY"}, {"C3F", "ATV"},  {"A3F", "ATV"}, {"F3F", "ATV"},
};

// Three letters that start names of more than one mode, and the mode they are taken for: the one
// an operator is likeliest to have meant.
constexpr Alias k_shared_starts[] = {
    {"FRE", "DIGITALVOICE"}, // FREEDV rather than the newer FREEDATA
    {"JT6", "JT65"},         // rather than the long-gone JT6M
    {"SCA", "FSK"},          // three of the five SCAMP submodes
};

AdifMode mode_of(const Name& entry) {
    if (entry.parent.empty()) return {std::string(entry.name), {}};
    return {std::string(entry.parent), std::string(entry.name)};
}

std::string_view family_of(const Name& entry) {
    return entry.parent.empty() ? entry.name : entry.parent;
}

} // namespace

AdifMode adif_mode_of(std::string_view stored_mode) {
    std::string text = upper_case(stored_mode);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.pop_back();
    while (!text.empty() && text.front() == ' ')
        text.erase(0, 1);
    if (text.empty()) return {};

    for (const Alias& alias : k_aliases)
        if (alias.stored == text) return {std::string(alias.mode), {}};
    for (const Name& entry : adif_names())
        if (entry.name == text) return mode_of(entry);
    for (const Alias& shared : k_shared_starts)
        if (shared.stored == text) return {std::string(shared.mode), {}};

    std::vector<const Name*> starting;
    for (const Name& entry : adif_names())
        if (entry.name.starts_with(text)) starting.push_back(&entry);
    if (starting.empty()) return {};

    // One name that every other candidate extends is what was meant (RTTY over RTTYM).
    const auto shortest =
        std::min_element(starting.begin(), starting.end(),
                         [](const Name* a, const Name* b) { return a->name.size() < b->name.size(); });
    const bool extended_by_all = std::all_of(starting.begin(), starting.end(), [&](const Name* e) {
        return e->name.starts_with((*shortest)->name);
    });
    if (extended_by_all) return mode_of(**shortest);

    // Several submodes of one family: the family is still certain.
    const std::string_view family = family_of(*starting.front());
    const bool one_family =
        std::all_of(starting.begin(), starting.end(), [&](const Name* e) { return family_of(*e) == family; });
    if (one_family) return {std::string(family), {}};
    return {};
}

AdifMode exported_mode_of(std::string_view stored_mode) {
    AdifMode mode = adif_mode_of(stored_mode);
    if (mode.mode.empty()) mode.mode = k_data_mode_fallback;
    return mode;
}

std::vector<std::string_view> adif_mode_names() {
    std::vector<std::string_view> out;
    for (const Name& entry : adif_names())
        out.push_back(entry.name);
    return out;
}

std::string stored_mode_of(std::string_view mode, std::string_view submode) {
    // RTY is what the program has always called RTTY: its default reports and the extract know it.
    if (submode.empty() && mode.size() == 4 && upper_case(mode) == "RTTY") return "RTY";
    if (submode.empty()) return std::string(mode);
    if (mode.empty() || logstore::mode_class_of(mode) == logstore::k_mode_other) return std::string(submode);
    return std::string(mode);
}

} // namespace kestrel::exchange
