#pragma once

#include "exchange/adif_reader.hpp"
#include "exchange/left_out.hpp"
#include "logstore/record.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::exchange {

// What the operator gives an import: a power for contacts that name none, and a text added to
// every comment. Windows-1252, as typed.
struct ImportOptions {
    std::string power;
    std::string extra_comment;
};

// What became of one record of an ADIF file at its "<eor>".
struct FinishedEntry {
    std::optional<logstore::RecordBytes> contact; // the contact's record, when the log can hold it
    LeftOut why = LeftOut::no_call;               // else why it is left out
    bool had_fields = false;                      // false for an "<eor>" with nothing before it
};

// Turns the fields of an ADIF file into contacts of the log, one per "<eor>".
//
// The fields read are qso_date, time_on, time_off, call, freq, band, mode, submode, rst_rcvd,
// rst_sent, tx_pwr, comment, name, notes, iota, qth, qsl_rcvd and qsl_sent, and the fields our
// export writes beside them (app_kestrel_call and the like), which hold the exact stored text
// and win over the ADIF field; the rest are passed over. When the header says our fields are
// escaped (app_kestrel_encoding), they are decoded so. A power once read stays for the contacts
// after it that carry none. What the header holds, and what a record left out held, is dropped
// at its end and never carried into the next contact.
//
// A contact is left out whole, never stored wrong, when it has no call, no date the log can hold,
// no time of day, or no band the log has a place for.
class ContactBuilder {
  public:
    explicit ContactBuilder(ImportOptions options);

    // Takes one field; at "eor" tells what became of the record.
    [[nodiscard]] std::optional<FinishedEntry> take(const AdifField& field);
    // The same for a field read in place; its name in any case.
    [[nodiscard]] std::optional<FinishedEntry> take(const AdifFieldView& field);
    const LeftOutTally& left_out() const { return m_left_out; }
    // What the header's app_kestrel_encoding said; empty when it had none.
    const std::string& declared_encoding() const { return m_declared_encoding; }

    // What the builder carries from one record to the next: the power last read, and what the
    // header said of the encoding.
    struct Carried {
        std::string power;
        std::string declared_encoding;
        bool own_fields_escaped = false;
        friend bool operator==(const Carried&, const Carried&) = default;
    };
    Carried carried() const { return {m_power, m_declared_encoding, m_own_fields_escaped}; }
    // A builder for the records further on in the same file, carrying what this one carries now,
    // with nothing counted yet.
    [[nodiscard]] ContactBuilder continued() const;
    // Whether a contact took the power this builder started with, no power having been read
    // since: then what follows depends on the records before it.
    bool used_power_carried_in() const { return m_used_power_carried_in; }

  private:
    // One of the exact stored texts our export writes beside the ADIF fields, when given.
    struct OwnText {
        bool given = false;
        std::string text;
    };
    // The record being read. It is emptied rather than made anew at each record, so its texts keep
    // their room and a file of many records costs no allocation per field.
    struct Entry {
        bool any_field = false;
        std::optional<int> date; // the day number; nothing: none given, or none the log can hold
        std::optional<std::int16_t> time_on;
        std::optional<std::int16_t> time_off;
        bool has_time_off = false;
        // The contact being made: its call, reports and comment as the ADIF fields give them,
        // the rest set at the record's end.
        logstore::QsoRecord contact;
        std::string frequency;
        std::string band;
        std::string mode;
        std::string submode;
        std::uint8_t qsl_bits = 0;
        OwnText own_call, own_rst_sent, own_rst_received, own_power, own_mode, own_comment;

        void clear();
    };
    void take_own(std::string_view name, std::string_view text);
    [[nodiscard]] FinishedEntry finish();
    [[nodiscard]] FinishedEntry finished_entry();

    ImportOptions m_options;
    std::string m_power;
    Entry m_entry;
    LeftOutTally m_left_out;
    std::string m_declared_encoding;
    bool m_own_fields_escaped = false;
    bool m_power_read = false;
    bool m_used_power_carried_in = false;
};

// The day number of an ADIF date (YYYYMMDD; other characters among the digits are passed over,
// so 2024-03-05 is read too), when the log can hold it.
[[nodiscard]] std::optional<int> storable_adif_date(std::string_view value);
// The minute of the day of an ADIF time (HHMM or HHMMSS), when it is a time of day.
[[nodiscard]] std::optional<std::int16_t> adif_time_of_day(std::string_view value);

} // namespace kestrel::exchange
