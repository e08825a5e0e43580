// Records of a log file, 84 bytes at a time: a contact decodes and encodes back to the same
// 84 bytes; a note or a station-data record keeps every byte its layout uses (the bytes it
// leaves unused are written as 0x00).
#include "fuzz_support.hpp"
#include "logstore/record.hpp"

#include <algorithm>

namespace {

using namespace kestrel;
using logstore::RecordBytes;

bool same_range(const RecordBytes& a, const RecordBytes& b, std::size_t from, std::size_t to) {
    return std::equal(a.begin() + static_cast<std::ptrdiff_t>(from),
                      a.begin() + static_cast<std::ptrdiff_t>(to),
                      b.begin() + static_cast<std::ptrdiff_t>(from));
}

void check_record(const RecordBytes& record) {
    namespace at = logstore::record_layout;
    fuzz::check(logstore::QsoRecord::decode(record).encode() == record,
                "a contact encodes back to its bytes");
    fuzz::check(logstore::index_text_of(record).size() == logstore::k_call_width, "an index text is 12 wide");
    fuzz::check(logstore::call_field(record).size() == logstore::k_call_width, "a call field is 12 wide");

    const bool is_data = logstore::kind_of(record) == logstore::RecordKind::station_data;
    const RecordBytes data = logstore::StationDataRecord::decode(record).encode();
    fuzz::check(same_range(data, record, 0, 4) &&
                    same_range(data, record, at::operator_name, at::band_index + 2),
                "station data keeps its fields");
    if (is_data)
        fuzz::check(same_range(data, record, at::call, at::operator_name), "station data keeps its mark");
    fuzz::check(logstore::StationDataRecord::decode(data).encode() == data, "station data encodes back");

    const bool is_note = logstore::kind_of(record) == logstore::RecordKind::text;
    const RecordBytes note = logstore::TextRecord::decode(record).encode();
    fuzz::check(same_range(note, record, 0, 4) &&
                    same_range(note, record, at::text, at::text + logstore::k_note_width),
                "a note keeps its text");
    if (is_note) fuzz::check(same_range(note, record, at::call, at::text), "a note keeps its mark");
    fuzz::check(logstore::TextRecord::decode(note).encode() == note, "a note encodes back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (std::size_t at = 0; at + logstore::k_record_size <= size; at += logstore::k_record_size) {
        RecordBytes record;
        std::copy_n(data + at, logstore::k_record_size, record.begin());
        check_record(record);
    }
    return 0;
}
