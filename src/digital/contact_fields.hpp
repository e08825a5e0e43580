#pragma once

#include "exchange/adif_reader.hpp"
#include "exchange/left_out.hpp"
#include "logstore/record.hpp"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::digital {

// A contact as a digital-mode program told of it: ADIF fields, each name in lower case and each
// value in Windows-1252, in the order they came. This is what the spool keeps.
using ContactFields = std::vector<exchange::AdifField>;

// What the log takes of it: the record as an ADIF import would make it (the band from the
// frequency, coded; the mode as import stores it, FT4 rather than MFSK) and the locator of the
// station worked, for the worked squares.
struct DigitalContact {
    logstore::QsoRecord record;
    std::string locator;
};

// The contact the fields describe, their values cleaned as the spool keeps them. Nothing without
// a call, a date and a start time, and nothing dated where the log cannot hold it. Reports, power and QSL
// marks stay as the fields give them (empty when none came); filling them in is the log's side.
[[nodiscard]] std::optional<DigitalContact> contact_of(const ContactFields& fields);

// The same, with the reason the ADIF import gives for leaving out one the log cannot hold (a
// band it has no place for, no frequency and no band, a date before 1930, no call). Fields with
// no value at all describe nothing and have neither.
struct SortedContact {
    std::optional<DigitalContact> contact;
    std::optional<exchange::LeftOut> left_out;
};
[[nodiscard]] SortedContact sort_contact(const ContactFields& fields);

// What makes two reports one contact: the call, the day and minute it began, the band and the
// mode, as the log holds them. The programs send each contact twice (as fields and as ADIF) and
// may send it again later; every copy has the same key.
struct ContactKey {
    std::string call; // trimmed, in capitals
    int date = 0;     // day number
    std::int16_t time_on = 0;
    int band = 0;
    std::string mode; // trimmed, in capitals
    friend auto operator<=>(const ContactKey&, const ContactKey&) = default;
};
[[nodiscard]] ContactKey key_of(const logstore::RecordBytes& record);
[[nodiscard]] ContactKey key_of(const logstore::QsoRecord& record);

// A value as the spool keeps it: line breaks and other control characters made blanks, so that a
// record never spans two lines, and the blanks at either end dropped.
[[nodiscard]] std::string clean_value(std::string_view value);

// One line of ADIF for a contact: each field with a value left once cleaned, with its length,
// then "<eor>" and CR LF. A line cut short (by the computer stopping as it was written) is found
// as such.
[[nodiscard]] std::string adif_record_line(const ContactFields& fields);

// The fields of one line written so; nothing for a line without its "<eor>".
[[nodiscard]] std::optional<ContactFields> fields_of_line(std::string_view line);

// The value of the first field of that name, empty when there is none.
[[nodiscard]] std::string_view field_value(const ContactFields& fields, std::string_view name);

} // namespace kestrel::digital
