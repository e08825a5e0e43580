#include "offline/entry_record.hpp"

#include "common/fixed_text.hpp"
#include "countries/country_table.hpp"
#include "countries/status_chart.hpp"
#include "logstore/field_codes.hpp"

#include <gtest/gtest.h>

namespace kestrel::offline {
namespace {

using logstore::QsoRecord;

constexpr int k_this_year = 2026;

TypedEntry contact_typed(const std::string& call, const std::string& mode, const std::string& sent,
                         const std::string& received) {
    TypedEntry t;
    t.boxes = {"01/02/99", call, "1230", "", sent, received, "14.2", mode, "100", "Nice chat"};
    return t;
}

TEST(BuildEntry, EmptyReportsTakeTheModesDefaultAndTheReportSent) {
    struct Case {
        const char* call;
        const char* mode;
        const char* sent;
        const char* received;
        std::string stored_sent;
        std::string stored_received;
    };
    const std::string unused(7, '\0');
    const Case cases[] = {
        {"G4ABC", "CW", "", "", "599    ", "599    "},    {"G4ABC", "SSB", "", "", "59     ", "59     "},
        {"G4ABC", "RTY", "", "", "599    ", "599    "},   {"G4ABC", "CQC", "", "", "N      ", "N      "},
        {"G4ABC", "SSB", "57", "", "57     ", "57     "}, {"G4ABC", "CW", "579", "449", "579    ", "449    "},
        {"CQ", "CW", "599", "599", unused, unused},
    };
    for (const Case& c : cases) {
        const auto built = build_entry(contact_typed(c.call, c.mode, c.sent, c.received), k_this_year);
        ASSERT_TRUE(built) << c.call << " " << c.mode;
        const QsoRecord q = QsoRecord::decode(built->record);
        EXPECT_EQ(q.rst_sent, c.stored_sent) << c.mode << " " << c.sent;
        EXPECT_EQ(q.rst_received, c.stored_received) << c.mode << " " << c.received;
    }
}

TEST(BuildEntry, AContactIsStoredFieldByField) {
    TypedEntry t = contact_typed("GW4ABC/P", "SSB", "", "");
    t.qsl_received = true;
    const auto built = build_entry(t, k_this_year);
    ASSERT_TRUE(built);
    const QsoRecord q = QsoRecord::decode(built->record);
    EXPECT_EQ(q.date, logstore::day_number_of("01-02-99"));
    EXPECT_EQ(q.time_on, 750);
    EXPECT_EQ(q.time_off, 750) << "an empty time off is the time on";
    EXPECT_EQ(q.call, "GW4ABC/P    ");
    EXPECT_EQ(q.band, logstore::coded_band_field(4));
    EXPECT_EQ(q.comment, fixed_width("Nice chat", 40));
    EXPECT_EQ(q.qsl_flags, 2);
    EXPECT_EQ(built->index_text, "G4ABC") << "the index key: suffix and regional letter gone";
    EXPECT_EQ(built->date_text, "01/02/99");
}

TEST(BuildEntry, RefusesAnEmptyRequiredBoxOrABadDate) {
    for (int required : {box::call, box::time_on, box::frequency, box::mode, box::power}) {
        TypedEntry t = contact_typed("G4ABC", "CW", "", "");
        t.boxes[static_cast<std::size_t>(required)] = " ";
        const auto built = build_entry(t, k_this_year);
        ASSERT_FALSE(built) << required;
        EXPECT_EQ(built.error().missing_box, required);
        EXPECT_EQ(built.error().date_error, logstore::DateEntryError::none);
    }
    TypedEntry no_call = contact_typed("", "CW", "", "");
    no_call.boxes[box::power] = "";
    EXPECT_EQ(build_entry(no_call, k_this_year).error().missing_box, box::call)
        << "the first empty box is named";

    const std::pair<const char*, logstore::DateEntryError> dates[] = {
        {"", logstore::DateEntryError::bad_format},
        {"1/2/3", logstore::DateEntryError::bad_format},
        {"320199", logstore::DateEntryError::bad_format},
        {"01-02-2061", logstore::DateEntryError::not_storable},
        {"31-12-1929", logstore::DateEntryError::not_storable},
    };
    for (const auto& [date, error] : dates) {
        TypedEntry t = contact_typed("G4ABC", "CW", "", "");
        t.boxes[box::date] = date;
        const auto built = build_entry(t, k_this_year);
        ASSERT_FALSE(built) << date;
        EXPECT_EQ(built.error().date_error, error) << date;
    }
}

TEST(BuildEntry, TimesMustBeTimesOfDay) {
    const std::pair<const char*, bool> times[] = {
        {"1230", true},  {"930", true},   {"23:59", true},  {"0000", true}, {"2400", false},
        {"2561", false}, {"0961", false}, {"7", false},     {"12", false},  {"05", false},
        {"ab", false},   {"1:5", false},  {"1234x", false},
    };
    for (const auto& [time, good] : times) {
        for (int which : {box::time_on, box::time_off}) {
            TypedEntry t = contact_typed("G4ABC", "CW", "", "");
            t.boxes[static_cast<std::size_t>(which)] = time;
            const auto built = build_entry(t, k_this_year);
            EXPECT_EQ(static_cast<bool>(built), good) << time;
            if (!good) {
                EXPECT_EQ(built.error().missing_box, which) << time;
            }
        }
    }
    TypedEntry note;
    note.kind = EntryKind::text;
    note.boxes[box::date] = "01/02/99";
    note.boxes[box::time] = "2500";
    EXPECT_FALSE(build_entry(note, k_this_year));
}

TEST(BuildEntry, StationDataAndNotesNeedOnlyADate) {
    TypedEntry data;
    data.kind = EntryKind::station_data;
    data.boxes = {"1-12-05", "0930", "G4ABC", "FT-1000", "Dipole", "14.1"};
    auto built = build_entry(data, k_this_year);
    ASSERT_TRUE(built);
    const auto station = logstore::StationDataRecord::decode(built->record);
    EXPECT_EQ(station.time, 570);
    EXPECT_EQ(station.band_index, 4);
    EXPECT_EQ(station.transceiver, fixed_width("FT-1000", 12));
    EXPECT_EQ(logstore::kind_of(built->record), logstore::RecordKind::station_data);
    EXPECT_EQ(built->index_text, "/DATA");

    TypedEntry note;
    note.kind = EntryKind::text;
    note.boxes = {"010205", "", "Antenna down in the gale"};
    built = build_entry(note, k_this_year);
    ASSERT_TRUE(built);
    EXPECT_EQ(logstore::kind_of(built->record), logstore::RecordKind::text);
    EXPECT_EQ(logstore::TextRecord::decode(built->record).text, fixed_width("Antenna down in the gale", 64));
    EXPECT_EQ(logstore::record_time(built->record), 0);
    EXPECT_EQ(built->date_text, "01-02-05");
}

TEST(ShownEntry, ShowsWhatWasStoredTheWayItIsTyped) {
    const logstore::BandNameTable names = logstore::load_band_names();
    TypedEntry t = contact_typed("G4ABC", "CW", "", "");
    t.qsl_sent = true;
    const TypedEntry shown = shown_entry(build_entry(t, k_this_year)->record, names, k_this_year);
    EXPECT_EQ(shown.kind, EntryKind::qso);
    EXPECT_EQ(shown.boxes, (EntryTexts{"01-02-99", "G4ABC", "12:30", "12:30", "599", "599", "14MHz", "CW",
                                       "100", "Nice chat"}));
    EXPECT_TRUE(shown.qsl_sent);
    EXPECT_FALSE(shown.qsl_received);

    QsoRecord odd = QsoRecord::decode(build_entry(contact_typed("CQ", "CW", "", ""), k_this_year)->record);
    odd.band = {0, 0, 25};
    const TypedEntry cq = shown_entry(odd.encode(), names, k_this_year);
    EXPECT_EQ(cq.boxes[box::rst_sent], "") << "unused report bytes are not shown";
    EXPECT_EQ(cq.boxes[box::frequency], "") << "a band with no name shows empty";

    logstore::StationDataRecord data;
    data.band_index = 20;
    data.operator_name = "G4ABC";
    const TypedEntry station = shown_entry(data.encode(), names, k_this_year);
    EXPECT_EQ(station.kind, EntryKind::station_data);
    EXPECT_EQ(station.boxes[box::operator_name], "G4ABC");
    EXPECT_EQ(station.boxes[box::band], "");
    data.band_index = 0;
    EXPECT_EQ(shown_entry(data.encode(), names, k_this_year).boxes[box::band], "1.8MHz");
}

TEST(ChartMarking, OnlyAReceivedReportAboveOneMarksTheChart) {
    const std::pair<const char*, bool> reports[] = {{"599", true}, {"5NN", true}, {"2", true}, {"1", false},
                                                    {"0", false},  {"", false},   {"N", false}};
    for (const auto& [report, marks] : reports) {
        QsoRecord q;
        q.rst_received = report;
        EXPECT_EQ(report_marks_chart(q), marks) << report;
    }

    auto table = countries::parse_country_list("G,G,England,223,52,-1\r\n").table;
    countries::StatusChart chart;
    QsoRecord q = QsoRecord::decode(build_entry(contact_typed("G4ABC", "SSB", "", ""), k_this_year)->record);
    q.qsl_flags = 2;
    mark_chart(table, chart, q);
    EXPECT_TRUE(chart.worked(223, 4, logstore::k_mode_ssb));
    EXPECT_TRUE(chart.confirmed(223, 4, logstore::k_mode_ssb));
    EXPECT_FALSE(chart.worked(223, 4, logstore::k_mode_cw));
}

} // namespace
} // namespace kestrel::offline
