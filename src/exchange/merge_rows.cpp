#include "exchange/merge_rows.hpp"

#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"

namespace kestrel::exchange {

namespace {

constexpr std::size_t k_marker_column = 11; // 0-based: after the date, a blank and the marker

std::string row_start(int date, bool marked) {
    return logstore::date_text_of(date) + " " + (marked ? "* " : "  ");
}

} // namespace

std::string merge_row(const logstore::RecordBytes& record, bool marked,
                      const logstore::BandNameTable& names) {
    using namespace logstore;
    if (kind_of(record) == RecordKind::station_data) {
        const StationDataRecord s = StationDataRecord::decode(record);
        const int band = s.band_index >= 0 && s.band_index < k_band_count ? s.band_index : k_fallback_band;
        return row_start(s.date, marked) + "@ " + time_text_of(s.time) + " " + " Op: " + s.operator_name +
               " Tcvr: " + s.transceiver + " Ant: " + s.antenna + " B:" + names.name(band);
    }
    if (!has_contact_fields(record)) {
        const TextRecord t = TextRecord::decode(record);
        return row_start(t.date, marked) + "@ " + time_text_of(t.time) + " " + t.text;
    }
    const QsoRecord q = QsoRecord::decode(record);
    return row_start(q.date, marked) + q.call + " " + time_text_of(q.time_on) + " " +
           time_text_of(q.time_off) + " " + names.name(band_of_field(q.band)) + " " + q.mode + " " + q.power +
           " " + qsl_tag_of(q.qsl_flags) + " " + q.comment;
}

bool is_contact_row(std::string_view row) {
    return row.size() <= k_marker_column || row[k_marker_column] != '@';
}

} // namespace kestrel::exchange
