#include "digital/wsjtx_messages.hpp"

#include "common/fixed_text.hpp"
#include "common/windows1252.hpp"
#include "exchange/adif_modes.hpp"

#include <array>
#include <chrono>
#include <cstdio>
#include <utility>

namespace kestrel::digital {

namespace {

// The fields of a logged ADIF record the log has a use for; the rest (the sender's own call and
// locator, the operator, contest exchanges) are passed over. QSL marks are left out too: a
// contact just logged has had no card.
constexpr std::array k_kept_fields = {"call", "qso_date", "time_on",  "time_off", "freq",      "band",
                                      "mode", "submode",  "rst_sent", "rst_rcvd", "tx_pwr",    "comment",
                                      "name", "notes",    "qth",      "iota",     "gridsquare"};

bool kept(const std::string& name) {
    for (const char* field : k_kept_fields)
        if (name == field) return true;
    return false;
}

void add(ContactFields& fields, const char* name, std::string value) {
    value = clean_value(value);
    if (!value.empty()) fields.push_back({name, std::move(value)});
}

// "20261207" and "143015" of a moment.
std::pair<std::string, std::string> adif_date_and_time(UtcTime moment) {
    using namespace std::chrono;
    const sys_days day = floor<days>(moment);
    const year_month_day date(day);
    const hh_mm_ss<seconds> time(floor<seconds>(moment - day));
    char date_text[16];
    char time_text[16];
    std::snprintf(date_text, sizeof date_text, "%04d%02u%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    std::snprintf(time_text, sizeof time_text, "%02d%02d%02d", static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()));
    return {date_text, time_text};
}

std::optional<std::string> text(QtStreamReader& reader) {
    auto utf8 = reader.bytes();
    if (!utf8) return std::nullopt;
    return windows1252_from_utf8(*utf8);
}

// Type 5: end, call, locator, frequency, mode, reports, power, comments, name, then (from newer
// programs) the start and fields of the sender's own that the log does not keep.
std::vector<ContactFields> qso_logged(QtStreamReader& reader) {
    const auto off = reader.date_time();
    const auto call = text(reader);
    const auto grid = text(reader);
    const auto hertz = reader.u64();
    const auto mode = text(reader);
    const auto sent = text(reader);
    const auto received = text(reader);
    const auto power = text(reader);
    const auto comments = text(reader);
    const auto name = text(reader);
    if (reader.broken()) return {};
    std::optional<QtDateTime> on = off;
    if (!reader.at_end()) {
        on = reader.date_time();
        if (!on) return {};
    }
    const auto end = utc_of(*off);
    const auto start = utc_of(*on);
    if (!end || !start) return {};

    ContactFields fields;
    add(fields, "call", upper_case(*call));
    const auto [date_on, time_on] = adif_date_and_time(*start);
    const auto [date_off, time_off] = adif_date_and_time(*end);
    add(fields, "qso_date", date_on);
    add(fields, "time_on", time_on);
    add(fields, "qso_date_off", date_off);
    add(fields, "time_off", time_off);
    if (*hertz > 0) add(fields, "freq", megahertz_text(*hertz));
    // The programs name the mode as it is known on the air (FT4); ADIF files FT4 under MFSK.
    const std::string on_air = upper_case(clean_value(*mode));
    const exchange::AdifMode adif = exchange::adif_mode_of(on_air);
    if (!adif.submode.empty() && adif.submode == on_air) {
        add(fields, "mode", adif.mode);
        add(fields, "submode", adif.submode);
    } else {
        add(fields, "mode", on_air);
    }
    add(fields, "rst_sent", *sent);
    add(fields, "rst_rcvd", *received);
    add(fields, "tx_pwr", *power);
    add(fields, "comment", *comments);
    add(fields, "name", *name);
    add(fields, "gridsquare", upper_case(*grid));
    return {std::move(fields)};
}

// Type 12: an ADIF file, header and all, normally of one record. The program made it just now,
// so its counts are taken exactly: a comment that holds "<call:5>K1ABC" is a comment, whatever
// its count says. A field given twice counts the first time only.
std::vector<ContactFields> logged_adif(QtStreamReader& reader) {
    const auto adif = reader.bytes();
    if (!adif) return {};
    std::vector<ContactFields> contacts;
    exchange::AdifScanner scanner(*adif, exchange::TextEncoding::utf8, exchange::ValueCounts::exact);
    ContactFields fields;
    exchange::AdifField field;
    while (scanner.next(field)) {
        if (field.name == "eoh") {
            fields.clear();
        } else if (field.name == "eor") {
            contacts.push_back(std::exchange(fields, {}));
        } else if (kept(field.name) && field_value(fields, field.name).empty()) {
            field.value = clean_value(field.value);
            if (!field.value.empty()) fields.push_back(std::move(field));
        }
    }
    return contacts;
}

} // namespace

std::string megahertz_text(std::uint64_t hertz) {
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%06llu", static_cast<unsigned long long>(hertz / 1'000'000),
                  static_cast<unsigned long long>(hertz % 1'000'000));
    return text;
}

std::vector<ContactFields> contacts_of_datagram(std::span<const std::uint8_t> datagram) {
    QtStreamReader reader(datagram);
    const auto magic = reader.u32();
    const auto schema = reader.u32();
    const auto type = reader.u32();
    const auto id = reader.bytes();
    if (!magic || *magic != k_magic || !schema || *schema < k_first_schema || !type || !id) return {};
    switch (static_cast<MessageType>(*type)) {
    case MessageType::qso_logged: return qso_logged(reader);
    case MessageType::logged_adif: return logged_adif(reader);
    }
    return {};
}

} // namespace kestrel::digital
