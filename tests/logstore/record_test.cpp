#include "logstore/record.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace kestrel::logstore {
namespace {

std::string text_of(const RecordBytes& record) {
    return std::string(record.begin(), record.end());
}

RecordBytes with_call(const std::string& call12) {
    RecordBytes record{};
    for (std::size_t i = 0; i < 12; ++i)
        record[6 + i] = static_cast<std::uint8_t>(call12[i]);
    return record;
}

TEST(Records, QsoLayoutByteForByte) {
    QsoRecord qso;
    qso.date = 17571;  // 01-02-99
    qso.time_on = 754; // 12:34
    qso.time_off = -2; // shows the sign bits are kept
    qso.call = "G4ABC/P";
    qso.rst_sent = "599";
    qso.rst_received = "57";
    qso.band = coded_band_field(4);
    qso.mode = "CWX";
    qso.power = "100W TOO LONG";
    qso.comment = "Nice QSO";
    qso.qsl_flags = 3;

    const std::string expected = std::string("\xA3\x44\xF2\x02\xFE\xFF", 6) + "G4ABC/P     " + "599    " +
                                 "57     " + std::string("\0\0\x04", 3) + "CWX" + "100W " + "Nice QSO" +
                                 std::string(32, ' ') + "\x03";
    ASSERT_EQ(expected.size(), 84u);
    const RecordBytes bytes = qso.encode();
    EXPECT_EQ(text_of(bytes), expected);

    const QsoRecord back = QsoRecord::decode(bytes);
    EXPECT_EQ(back.date, 17571);
    EXPECT_EQ(back.time_on, 754);
    EXPECT_EQ(back.time_off, -2);
    EXPECT_EQ(back.call, "G4ABC/P     ");
    EXPECT_EQ(back.power, "100W ");
    EXPECT_EQ(back.band, coded_band_field(4));
    EXPECT_EQ(back.qsl_flags, 3);
    EXPECT_EQ(back.encode(), bytes);
}

TEST(Records, DecodedRecordsEncodeToTheSameBytes) {
    // Text-form band, NUL report fields of a CQ entry, import-style QSL byte.
    RecordBytes original{};
    for (std::size_t i = 0; i < original.size(); ++i)
        original[i] = static_cast<std::uint8_t>('A' + i % 26);
    original[32] = '1', original[33] = '4', original[34] = '.';
    for (std::size_t i = 18; i < 32; ++i)
        original[i] = 0;
    original[83] = '0' + 2;
    EXPECT_EQ(QsoRecord::decode(original).encode(), original);
}

TEST(Records, StationDataLayoutByteForByte) {
    StationDataRecord data;
    data.date = 18036;
    data.time = 60;
    data.operator_name = "G4ABC";
    data.transceiver = "IC-7300";
    data.antenna = "G5RV AT 10 METRES";
    data.band_index = 4;

    const std::string expected = std::string("\x74\x46\x3C\x00\x00\x00", 6) + "/DATA       " +
                                 "G4ABC       " + "IC-7300     " + "G5RV AT 10 M" +
                                 std::string("\x04\x00", 2) + std::string(28, '\0');
    ASSERT_EQ(expected.size(), 84u);
    const RecordBytes bytes = data.encode();
    EXPECT_EQ(text_of(bytes), expected);
    EXPECT_EQ(kind_of(bytes), RecordKind::station_data);

    const StationDataRecord back = StationDataRecord::decode(bytes);
    EXPECT_EQ(back.antenna, "G5RV AT 10 M");
    EXPECT_EQ(back.band_index, 4);
    EXPECT_EQ(back.encode(), bytes);
}

TEST(Records, TextLayoutByteForByte) {
    TextRecord note;
    note.date = 18036;
    note.time = 1439;
    note.text = std::string(70, 'x');

    const std::string expected = std::string("\x74\x46\x9F\x05\x00\x00", 6) + "/           " +
                                 std::string(64, 'x') + std::string(2, '\0');
    const RecordBytes bytes = note.encode();
    EXPECT_EQ(text_of(bytes), expected);
    EXPECT_EQ(kind_of(bytes), RecordKind::text);
    EXPECT_EQ(TextRecord::decode(bytes).text, std::string(64, 'x'));
    EXPECT_EQ(record_date(bytes), 18036);
    EXPECT_EQ(record_time(bytes), 1439);
}

TEST(Records, KindsAndContactsByCallField) {
    const struct {
        const char* call;
        RecordKind kind;
        bool contact;
        bool contact_fields;
    } cases[] = {
        {"/           ", RecordKind::text, false, false},
        {"/DATA       ", RecordKind::station_data, false, false},
        {"CQ          ", RecordKind::cq, false, true},
        {"G4ABC       ", RecordKind::qso, true, true},
        {"/X          ", RecordKind::qso, false, false},
        {"CQ DX       ", RecordKind::qso, false, true},
        {"CQX         ", RecordKind::qso, true, true},
        {"/DATAX      ", RecordKind::qso, false, false},
    };
    for (const auto& c : cases) {
        const RecordBytes record = with_call(c.call);
        EXPECT_EQ(kind_of(record), c.kind) << c.call;
        EXPECT_EQ(is_contact(record), c.contact) << c.call;
        EXPECT_EQ(has_contact_fields(record), c.contact_fields) << c.call;
    }
}

// The fields read in place are the fields decoding gives, whatever the bytes.
TEST(Records, FieldsReadInPlaceAreTheDecodedFields) {
    std::mt19937 random(84);
    for (int round = 0; round < 1000; ++round) {
        RecordBytes record;
        for (std::uint8_t& byte : record)
            byte = static_cast<std::uint8_t>(random());
        const QsoRecord q = QsoRecord::decode(record);
        EXPECT_EQ(record_date(record), q.date);
        EXPECT_EQ(record_time(record), q.time_on);
        EXPECT_EQ(call_view(record), q.call);
        EXPECT_EQ(call_field(record), q.call);
        EXPECT_EQ(received_report_view(record), q.rst_received);
        EXPECT_EQ(band_field(record), q.band);
        EXPECT_EQ(mode_view(record), q.mode);
        EXPECT_EQ(comment_view(record), q.comment);
    }
}

TEST(Records, IndexTextIsThePaddedBaseCall) {
    EXPECT_EQ(index_text_of(with_call("GW4ABC/P    ")), "G4ABC       ");
    EXPECT_EQ(index_text_of(with_call("/DATA       ")), "/DATA       ");
    EXPECT_EQ(index_text_of(with_call("CQ          ")), "CQ          ");
    EXPECT_EQ(index_text_of(with_call("MW0ABC      ")), "M0ABC       ");
}

} // namespace
} // namespace kestrel::logstore
