#include "browse/page_drawing.hpp"
#include "browse/page_line.hpp"

#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

namespace kestrel::browse {
namespace {

using logstore::QsoRecord;
using Op = ui::RecordingCanvas::OpKind;

QsoRecord sample_contact() {
    QsoRecord q;
    q.date = logstore::day_number_of("01-02-99");
    q.time_on = 754;
    q.time_off = 800;
    q.call = "G4ABC/P";
    q.rst_sent = "579";
    q.rst_received = "559";
    q.band = logstore::coded_band_field(4);
    q.mode = "CW";
    q.power = "100";
    q.comment = "Nice chat";
    q.qsl_flags = 1;
    return q;
}

TEST(PageLine, EachKindOfRecordAtItsStoredWidths) {
    const auto names = logstore::load_band_names();
    const std::string contact = page_line(sample_contact().encode(), names);
    EXPECT_EQ(contact, "\xFF"
                       "01-02-99 G4ABC/P      12:34 13:20 14MHz  CW  100   559     579     S- Nice chat" +
                           std::string(31, ' '));
    EXPECT_EQ(contact.size(), 1u + 110u);

    QsoRecord cq = sample_contact();
    cq.call = "CQ";
    cq.rst_sent = cq.rst_received = std::string(7, '\0');
    cq.band = {'1', '4', '.'}; // a frequency left in the field by an import
    EXPECT_EQ(page_line(cq.encode(), names).substr(1, 70),
              "01-02-99 CQ           12:34 13:20 14MHz  CW  100                   S- ")
        << "unused report bytes show as blanks";

    logstore::TextRecord note;
    note.date = logstore::day_number_of("02-02-99");
    note.time = 65;
    note.text = "Gale";
    EXPECT_EQ(page_line(note.encode(), names), "\xFF"
                                               "02-02-99  @ 01:05 Gale" +
                                                   std::string(60, ' '));

    logstore::StationDataRecord data;
    data.date = logstore::day_number_of("02-02-99");
    data.time = 600;
    data.operator_name = "G4ABC";
    data.transceiver = "FT-1000";
    data.antenna = "Dipole";
    data.band_index = 42;
    EXPECT_EQ(visible_text(page_line(data.encode(), names)),
              "02-02-99  @ 10:00  Op: G4ABC        Tcvr: FT-1000      Ant: Dipole       B:5MHz  ")
        << "a band index outside the table shows the last band";
}

TEST(PageLine, TheHeadingStandsOverItsColumns) {
    // A contact's columns: date, call, time on, time off, band, mode, power, reports, tag, comment.
    const int widths[] = {8, 12, 5, 5, 6, 3, 5, 7, 7, 2, 40};
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; int w : widths) {
        starts.push_back(at);
        at += static_cast<std::size_t>(w) + 1;
    }
    const std::string line(visible_text(page_line(sample_contact().encode(), logstore::load_band_names())));
    const std::pair<const char*, int> fields[] = {{"01-02-99", 0}, {"G4ABC/P", 1}, {"12:34", 2}, {"13:20", 3},
                                                  {"14MHz", 4},    {"CW", 5},      {"100", 6},   {"559", 7},
                                                  {"579", 8},      {"S-", 9},      {"Nice", 10}};
    for (const auto& [text, column] : fields)
        EXPECT_EQ(line.find(text), starts[column]) << text;

    // Each heading lies over its column (or columns), reaching at most into the gap after it.
    struct Heading {
        const char* text;
        int first, last;
    };
    const Heading headings[] = {{"Date", 0, 0}, {"Call Sign", 1, 1}, {"Time on/off", 2, 3}, {"Freq", 4, 4},
                                {"Mde", 5, 5},  {"Power", 6, 6},     {"RST rx", 7, 7},      {"RST tx", 8, 8},
                                {"QSL", 9, 9},  {"Comments", 10, 10}};
    for (const Heading& h : headings) {
        const std::size_t at = k_page_heading.find(h.text);
        ASSERT_NE(at, std::string_view::npos) << h.text;
        EXPECT_GE(at, starts[h.first]) << h.text;
        EXPECT_LE(at + std::string_view(h.text).size(), starts[h.last] + widths[h.last] + 1) << h.text;
    }
}

TEST(PageDrawing, ALineIsTextOnWhiteWithRulesAndTheSelectedDateOnNavy) {
    const auto names = logstore::load_band_names();
    const std::string line = page_line(sample_contact().encode(), names);
    const ui::DrawItem item{3074, 2, {0, 26, 620, 13}, true, true};
    ui::RecordingCanvas canvas; // six pixels a character
    draw_page_line(canvas, item, visible_text(line));

    ASSERT_GE(canvas.ops.size(), 4u);
    EXPECT_EQ(canvas.ops[0].kind, Op::fill);
    EXPECT_EQ(canvas.ops[0].colour, ui::colours::white);
    EXPECT_EQ(canvas.ops[1].words, visible_text(line)) << "the mark is never drawn";
    EXPECT_EQ(canvas.ops[1].colour, ui::colours::black);
    EXPECT_EQ(canvas.ops[2].area, (ui::Rect{0, 26, 48, 13}));
    EXPECT_EQ(canvas.ops[2].colour, ui::colours::navy);
    EXPECT_EQ(canvas.ops[3].words, "01-02-99");
    EXPECT_EQ(canvas.ops[3].colour, ui::colours::white);

    std::vector<int> rules;
    for (const auto& op : canvas.ops) {
        if (op.kind != Op::line) continue;
        EXPECT_EQ(op.colour, (ui::Colour{128, 128, 128}));
        if (op.area.h == 0) {
            EXPECT_EQ(op.area, (ui::Rect{0, 38, 620, 0})) << "the rule under the line";
        } else {
            EXPECT_EQ(op.area.h, 13);
            rules.push_back(op.area.x);
        }
    }
    // The rules of an eight-pixel font (68, 174, ... 556) moved to a six-pixel one: between columns.
    EXPECT_EQ(rules, (std::vector<int>{51, 130, 165, 201, 243, 267, 304, 351, 397, 417}));
    for (int x : rules)
        EXPECT_EQ(line[static_cast<std::size_t>(x / 6) + 1], ' ') << "a rule at " << x;

    logstore::TextRecord note;
    ui::RecordingCanvas plain;
    draw_page_line(plain, {3074, 0, {0, 0, 620, 13}, false, false},
                   visible_text(page_line(note.encode(), names)));
    int fills = 0, vertical = 0;
    for (const auto& op : plain.ops) {
        fills += op.kind == Op::fill;
        vertical += op.kind == Op::line && op.area.h != 0;
    }
    EXPECT_EQ(fills, 1) << "no navy date when not selected";
    EXPECT_EQ(vertical, 1) << "a note has only the rule after its date";
}

} // namespace
} // namespace kestrel::browse
