#pragma once

#include "logstore/record.hpp"
#include "printing/label_text.hpp"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel::logstore {
class BandNameTable;
}

namespace kestrel::printing {

inline constexpr std::string_view k_thanks_for_qsl = "Thanks for your QSL";
inline constexpr std::string_view k_please_qsl = "Please QSL via Bureau or Direct";

// What one QSL label says, placeholder by placeholder.
struct LabelValues {
    std::string call;          // $A$, with " via " and the manager when the comment names one
    std::string date;          // $B$, DD Mon YY
    std::string time;          // $C$, HH:MM
    std::string rst_sent;      // $D$, 7 characters
    std::string mode;          // $E$, 3 characters
    std::string band_name;     // $F$
    std::string band_metres;   // $G$
    std::string request;       // $H$
    std::string transceiver;   // $I$
    std::string antenna;       // $J$
    std::string power;         // $K$, 5 characters
    std::string operator_name; // $L$
    std::string extra_line;    // $M$
    int band = 0;              // the band index behind $F$ and $G$
    bool received = false;     // the card of the other station is in

    [[nodiscard]] Placeholders placeholders() const;
};

// The operator, transceiver and antenna a label names.
struct StationTexts {
    std::string operator_name;
    std::string transceiver;
    std::string antenna;
};

// A day number as "07 Mar 24"; a month the date cannot have shows as three blanks.
[[nodiscard]] std::string month_date_text(int day_number);
// A date typed as dd?mm?yy the same way; a text that is no such date stays as typed.
[[nodiscard]] std::string month_date_of_typed(std::string_view typed, int this_year);

// The band in metres, four characters wide on the HF and VHF bands as the status chart writes
// them ("160m", " 20m", "70cm"), and the wavelength of the bands above (" 23cm" to "1.2cm") and
// of 5 MHz (" 60m").
[[nodiscard]] std::string band_in_metres(int band_index);

// The call without its padding; when the comment names a QSL manager ("QSL VIA G9QQQ"), the call,
// " via " and the manager's call.
[[nodiscard]] std::string call_with_manager(std::string_view call, std::string_view comment);

// The label of a contact of the log, with the station texts of its band.
[[nodiscard]] LabelValues contact_label(const logstore::QsoRecord& contact, const StationTexts& station,
                                        const logstore::BandNameTable& band_names);

// The sample label of the test sheet.
[[nodiscard]] LabelValues test_label(const logstore::BandNameTable& band_names);

// The station a multi label is for: the call of the label without /M, /P, /MM and blanks, so
// that G9QQQ and G9QQQ/P share a label.
[[nodiscard]] std::string label_station(std::string_view label_call);

} // namespace kestrel::printing
