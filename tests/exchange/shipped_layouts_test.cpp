#include "common/fixed_text.hpp"
#include "exchange/cabrillo_import.hpp"
#include "exchange/cabrillo_layout.hpp"
#include "exchange/cabrillo_reader.hpp"
#include "logstore/dates.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

namespace kestrel::exchange {
namespace {

// The CABRILLO.FRM that comes with the program, in the source tree.
std::string shipped_layouts() {
    const std::filesystem::path path(KESTREL_SHIPPED_LAYOUTS);
    const auto bytes = read_layout_file(path.string());
    return bytes.value_or("");
}

std::vector<std::string> lines_of(const std::string& bytes) {
    std::vector<std::string> lines;
    LineSplitter splitter;
    const auto take = [&lines](std::string_view line) { lines.emplace_back(line); };
    splitter.feed(bytes, take);
    splitter.finish(take);
    return lines;
}

// One QSO line of each contest, laid out as its Cabrillo QSO template lays it out, with the call
// and the reports the import must find in it.
struct Sample {
    const char* contest;
    const char* line;
    const char* call;
    const char* sent;
    const char* received;
};

const Sample k_samples[] = {
    {"CQ-WW-CW", "QSO: 14025 CW 2024-11-23 1432 G4ABC         599 14     K1ABC         579 05     0", "K1ABC",
     "599", "579"},
    {"CQ-WW-SSB", "QSO:  3799 PH 2000-11-26 0711 N6TW          59  03     JT1Z          57  23     0", "JT1Z",
     "59", "57"},
    {"CQ-WPX-CW", "QSO: 21030 CW 2024-05-25 0012 G4ABC         599 001    JA1XYZ        599 123    0",
     "JA1XYZ", "599", "599"},
    {"CQ-WPX-SSB", "QSO:  3799 PH 1999-03-06 0711 HC8N          59  001    W1AW          59  001    0",
     "W1AW", "59", "59"},
    {"ARRL-DX-CW", "QSO: 14025 CW 2024-02-17 0005 G4ABC         599 100    W1AW          559 CT     0",
     "W1AW", "599", "559"},
    {"ARRL-DX-SSB", "QSO: 21250 PH 2024-03-02 1500 G4ABC         59  100    VE3XYZ        58  ON     0",
     "VE3XYZ", "59", "58"},
    {"IARU-HF", "QSO: 21303 PH 1999-07-10 1202 K5TR          59  07     NU1AW         59  IARU", "NU1AW",
     "59", "59"},
    {"ARRL-10", "QSO: 28450 PH 2024-12-14 1658 G4ABC         59  001    VE6FI         59  AB", "VE6FI", "59",
     "59"},
    {"ARRL-160", "QSO:  1830 CW 2024-12-06 2210 G4ABC         599 DX     W1AW          599 CT", "W1AW", "599",
     "599"},
    {"CQ-160-CW", "QSO:  1825 CW 2025-01-25 0130 G4ABC         599 G      K1ABC         599 MA     0",
     "K1ABC", "599", "599"},
    {"CQ-160-SSB", "QSO:  1850 PH 2025-02-22 0130 G4ABC         59  G      K1ABC         59  MA     0",
     "K1ABC", "59", "59"},
    {"DARC-WAEDC-CW", "QSO: 14000 CW 2017-08-12 0508 A45WG         599 001    UA7K          599 112    0",
     "UA7K", "599", "599"},
    {"DARC-WAEDC-SSB", "QSO: 14000 PH 2017-09-09 0510 A45WG         599 002    DF0HQ         599 076    0",
     "DF0HQ", "599", "599"},
    {"DARC-WAEDC-RTTY", "QSO: 14080 RY 2017-11-11 0511 A45WG         599 003    DL5L          599 45     0",
     "DL5L", "599", "599"},
    {"RSGB-IOTA", "QSO: 28000 CW 2002-07-27 1602 G3XTT         599 0003 EU-005 M6T           599 0451 EU-005",
     "M6T", "599", "599"},
    {"ARRL-SS-CW", "QSO: 21042 CW 1997-11-01 2102 N5KO          3 B 74 STX K9ZO          2 A 69 IL", "K9ZO",
     "599", "599"},
    {"ARRL-SS-SSB", "QSO: 14250 PH 1997-11-16 2102 N5KO          3 B 74 STX KA5WSS/VE3 1071 A 74 ON",
     "KA5WSS/VE3", "59", "59"},
    {"CQ-WW-RTTY", "QSO:  3799 RY 1999-03-06 0711 N6TW          599 03 CA  K9QZO         599 04 IL  0",
     "K9QZO", "599", "599"},
    {"CQ-WPX-RTTY", "QSO: 14080 RY 2024-02-10 0005 G4ABC         599 001    JA1XYZ        599 123    0",
     "JA1XYZ", "599", "599"},
    {"ARRL-RTTY", "QSO:  3584 RY 2024-01-06 1800 G4ABC         599 001    W1AW          579 CT", "W1AW",
     "599", "579"},
    {"NAQP-CW", "QSO: 28048 CW 2014-01-11 1804 N5KO            TREY       CA  K8JQ            STEVE      WV",
     "K8JQ", "599", "599"},
    {"NAQP-SSB", "QSO: 14250 PH 2024-01-20 1900 K1ABC           JOHN       MA  VE2XYZ          PAUL       QC",
     "VE2XYZ", "59", "59"},
    {"NAQP-RTTY",
     "QSO: 14080 RY 2024-02-24 1800 K1ABC           JOHN       MA  N5KO            TREY       CA", "N5KO",
     "599", "599"},
};

// The line with its fields parted by single blanks, as a hand-edited log has it.
std::string squeezed(std::string_view line) {
    std::string out;
    for (const char c : line)
        if (c != ' ' || (!out.empty() && out.back() != ' ')) out += c;
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

TEST(ShippedLayouts, EveryLineIsALayoutOfItsOwnContest) {
    const std::string bytes = shipped_layouts();
    ASSERT_FALSE(bytes.empty()) << "CABRILLO.FRM not found beside the sources";
    std::set<std::string> names;
    for (const std::string& line : lines_of(bytes)) {
        SCOPED_TRACE(line);
        const std::string name = line.substr(0, line.find(','));
        EXPECT_EQ(upper_case(name), name);
        EXPECT_TRUE(names.insert(name).second) << "named twice";
        // No earlier line may take this contest's place by holding its name.
        const auto found = find_layout(bytes, name);
        ASSERT_TRUE(found);
        const CabrilloLayout own = parse_layout_line(line);
        EXPECT_EQ(found->call.column, own.call.column);
        EXPECT_EQ(found->rst_received.column, own.rst_received.column);
        // The call and reports lie after the shared columns (which end at 29) or are fixed texts.
        EXPECT_GT(own.call.column, 29);
        EXPECT_GE(own.call.length, 10);
        for (const auto* report : {&own.rst_sent, &own.rst_received}) {
            if (report->column == 0) {
                EXPECT_FALSE(report->text.empty());
            } else {
                EXPECT_GT(report->column, 29);
                EXPECT_GT(report->length, 0);
            }
        }
    }
    std::set<std::string> sampled;
    for (const Sample& s : k_samples)
        sampled.insert(s.contest);
    EXPECT_EQ(names, sampled) << "every shipped contest needs a sample line, and every sample its layout";
}

TEST(ShippedLayouts, ASampleLineOfEachContestImportsItsCallAndReports) {
    const std::string bytes = shipped_layouts();
    for (const Sample& s : k_samples) {
        SCOPED_TRACE(s.contest);
        const auto layout = find_layout(bytes, s.contest);
        ASSERT_TRUE(layout);
        const auto q = qso_of_line(s.line, *layout, {});
        ASSERT_TRUE(q);
        EXPECT_EQ(trim_trailing_spaces(logstore::QsoRecord::decode(q->encode()).call), s.call);
        EXPECT_EQ(trim_trailing_spaces(q->rst_sent), s.sent);
        EXPECT_EQ(trim_trailing_spaces(q->rst_received), s.received);
        // The same line out of its columns reads the same, field by field.
        const auto loose = qso_of_line(squeezed(s.line), *layout, {});
        ASSERT_TRUE(loose) << squeezed(s.line);
        EXPECT_EQ(loose->encode(), q->encode());
        const std::string_view line(s.line);
        EXPECT_EQ(logstore::date_text_of(q->date), std::string(line.substr(22, 2)) + "-" +
                                                       std::string(line.substr(19, 2)) + "-" +
                                                       std::string(line.substr(16, 2)));
        EXPECT_EQ(logstore::time_text_of(q->time_on),
                  std::string(line.substr(25, 2)) + ":" + std::string(line.substr(27, 2)));
    }
}

} // namespace
} // namespace kestrel::exchange
