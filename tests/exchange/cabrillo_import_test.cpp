#include "exchange/cabrillo_import.hpp"

#include "common/fixed_text.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace kestrel::exchange {
namespace {

using kestrel::testing::TempDir;
using kestrel::testing::write_file;

// Takes entries until it has been given `room` of them.
class VectorSink final : public RecordSink {
  public:
    explicit VectorSink(std::size_t room = SIZE_MAX) : m_room(room) {}
    logstore::LogStatus append(const logstore::RecordBytes& record) override {
        if (records.size() >= m_room) return logstore::LogError::disk_full;
        records.push_back(record);
        return {};
    }
    std::vector<std::string> calls() const {
        std::vector<std::string> out;
        for (const auto& r : records)
            out.emplace_back(trim_trailing_spaces(logstore::call_field(r)));
        return out;
    }
    std::vector<logstore::RecordBytes> records;

  private:
    std::size_t m_room;
};

const char* const k_layouts = "CQ-WW-CW,56,13,45,3,70,3\r\nARRL-SS-CW,56,10,0,599,0,599\r\n";

std::string qso_line(const std::string& call, const std::string& time = "0001") {
    std::string line = "QSO: 14025 CW 2024-11-23 " + time + " G4ABC         599 14     ";
    line += call + std::string(14 - call.size(), ' ') + "599 05     0\r\n";
    return line;
}

class CabrilloRead : public ::testing::Test {
  protected:
    CabrilloRead() {
        write_file(m_dir.path() / "CABRILLO.FRM", k_layouts);
        m_options.layout_file = m_dir.file("CABRILLO.FRM");
    }
    ImportTally read(const std::string& text, RecordSink& sink) {
        std::istringstream in(text);
        return read_cabrillo(in, m_options, sink);
    }
    TempDir m_dir;
    CabrilloOptions m_options;
};

TEST_F(CabrilloRead, EntriesFollowInFileOrderAcrossContestLines) {
    // Two logs run together: the second CONTEST: line does not start the count again.
    const std::string text =
        "START-OF-LOG: 3.0\r\nQSO: before any contest is named\r\ncontest: cq-ww-cw\r\n" + qso_line("K1ABC") +
        "X-QSO: 14025 CW 2024-11-23 0002 G4ABC 599 14 W1XX 599 05\r\n" + qso_line("JA1XYZ") +
        "END-OF-LOG:\r\nSTART-OF-LOG: 3.0\r\nCONTEST: ARRL-SS-CW\r\n" + qso_line("W9ABC") +
        "QSO: 14025 CW 2024-11-23 99\r\n";
    VectorSink sink;
    const ImportTally tally = read(text, sink);
    EXPECT_EQ(tally.end, ImportEnd::complete);
    EXPECT_EQ(tally.imported, 3);
    EXPECT_EQ(tally.left_out.count(LeftOut::before_contest), 1);
    EXPECT_EQ(tally.left_out.count(LeftOut::unreadable), 1);
    EXPECT_EQ(tally.rejected,
              "START-OF-LOG: 3.0\r\nQSO: before any contest is named\r\nCONTEST: ARRL-SS-CW\r\n"
              "QSO: 14025 CW 2024-11-23 99\r\nEND-OF-LOG:\r\n");
    EXPECT_EQ(sink.calls(), (std::vector<std::string>{"K1ABC", "JA1XYZ", "W9ABC"}));
    // The second contest's layout has fixed reports and ten call columns.
    const auto last = logstore::QsoRecord::decode(sink.records.back());
    EXPECT_EQ(last.rst_sent, "599    ");
    EXPECT_EQ(last.call, "W9ABC       ");
}

// QSO lines of every shape under one contest: what each stores, or why it is left out; the
// lines left out are kept exactly as they were.
TEST_F(CabrilloRead, EachLineIsStoredOrLeftOutForItsReason) {
    const struct {
        const char* line;
        const char* call; // nullptr: left out
        LeftOut why;
        const char* sent;
        const char* received;
    } cases[] = {
        {"QSO: 14025 CW 2024-11-23 0001 G4ABC         599 14     K1ABC         579 05     0", "K1ABC",
         LeftOut::unreadable, "599", "579"},
        {"QSO: 7025 CW 2024-11-23 0002 G4ABC 599 14 K2ABC 579 05", "K2ABC", LeftOut::unreadable, "599",
         "579"},
        {"QSO:\t3525\tCW\t2024-11-23\t0003\tG4ABC\t599\t14\tK3ABC/P\t559\t05", "K3ABC/P", LeftOut::unreadable,
         "599", "559"},
        {"QSO:  3799 CW 2024-11-23 0004 G4ABC          59 14     K4ABC          57 05     0", "K4ABC",
         LeftOut::unreadable, "59", "57"},
        {"qso: 1825 cw 2024-11-23 0005 g4abc 599 14 k5abc 599 05", "K5ABC", LeftOut::unreadable, "599",
         "599"},
        {"QSO:   222 CW 2024-11-23 0006 G4ABC         599 14     K6ABC         579 05     0", nullptr,
         LeftOut::band, "", ""},
        {"QSO: 902 CW 2024-11-23 0007 G4ABC 599 14 K7ABC 579 05", nullptr, LeftOut::band, "", ""},
        {"QSO: LIGHT CW 2024-11-23 0008 G4ABC 599 14 K8ABC 579 05", nullptr, LeftOut::band, "", ""},
        {"QSO: 40670 CW 2024-11-23 0009 G4ABC 599 14 K9ABC 579 05", nullptr, LeftOut::band, "", ""},
        {"QSO: 14025 CW 2024-11-23 2400 G4ABC 599 14 W1ABC 579 05", nullptr, LeftOut::time, "", ""},
        {"QSO: 14025 CW 2024-11-23 2561 G4ABC 599 14 W2ABC 579 05", nullptr, LeftOut::time, "", ""},
        {"QSO: 14025 CW 1929-12-31 1200 G4ABC 599 14 W3ABC 579 05", nullptr, LeftOut::date, "", ""},
        {"QSO: 14025 CW 2023-02-29 1200 G4ABC 599 14 W4ABC 579 05", nullptr, LeftOut::date, "", ""},
        {"QSO: 14025 CW 2024-11-23 1200 G4ABC 599 14", nullptr, LeftOut::unreadable, "", ""},
        {"QSO: 14025 CW 2024-11-23 1200 G4ABC 599 14 W5ABC", nullptr, LeftOut::unreadable, "", ""},
        {"QSO: 14025 CW 23-11-2024 1200 G4ABC 599 14 W6ABC 579 05", nullptr, LeftOut::unreadable, "", ""},
        {"QSO: 14025 CW 2024-11-23 12:00 G4ABC 599 14 W7ABC 579 05", nullptr, LeftOut::unreadable, "", ""},
        {"QSO: garbage", nullptr, LeftOut::unreadable, "", ""},
    };
    std::string text = "START-OF-LOG: 3.0\r\nCONTEST: CQ-WW-CW\r\n";
    std::string rejected = "START-OF-LOG: 3.0\r\nCONTEST: CQ-WW-CW\r\n";
    LeftOutTally expected;
    std::vector<std::string> calls;
    for (const auto& c : cases) {
        text += std::string(c.line) + "\r\n";
        if (c.call) {
            calls.emplace_back(c.call);
        } else {
            rejected += std::string(c.line) + "\r\n";
            expected.add(c.why);
        }
    }
    text += "END-OF-LOG:\r\n";
    rejected += "END-OF-LOG:\r\n";

    VectorSink sink;
    const ImportTally tally = read(text, sink);
    EXPECT_EQ(tally.end, ImportEnd::complete);
    EXPECT_EQ(sink.calls(), calls);
    EXPECT_EQ(tally.rejected, rejected);
    for (const LeftOut why : {LeftOut::unreadable, LeftOut::date, LeftOut::time, LeftOut::band})
        EXPECT_EQ(tally.left_out.count(why), expected.count(why)) << static_cast<int>(why);
    std::size_t n = 0;
    for (const auto& c : cases) {
        if (!c.call) continue;
        SCOPED_TRACE(c.line);
        const auto q = logstore::QsoRecord::decode(sink.records.at(n++));
        EXPECT_EQ(q.rst_sent, fixed_width(c.sent, 7));
        EXPECT_EQ(q.rst_received, fixed_width(c.received, 7));
    }
}

TEST_F(CabrilloRead, TheImportStopsWhereTheContestHasNoLayout) {
    const struct {
        std::string text;
        bool layout_file;
        ImportEnd end;
        int imported;
    } cases[] = {
        {"CONTEST: CQ-WW-CW\n" + qso_line("K1ABC") + "CONTEST: RSGB-80M-CC\n" + qso_line("K2ABC"), true,
         ImportEnd::contest_unknown, 1},
        {"CONTEST:\n" + qso_line("K1ABC"), true, ImportEnd::contest_unknown, 0},
        {"CONTEST: CQ-WW-CW\n" + qso_line("K1ABC"), false, ImportEnd::layout_file_missing, 0},
        {qso_line("K1ABC"), false, ImportEnd::complete, 0},
        {"CONTEST: CQ-WW-CW\nEND-OF-LOG:\n", true, ImportEnd::complete, 0},
        {"", true, ImportEnd::complete, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        m_options.layout_file = c.layout_file ? m_dir.file("CABRILLO.FRM") : m_dir.file("NONE.FRM");
        VectorSink sink;
        const ImportTally tally = read(c.text, sink);
        EXPECT_EQ(tally.end, c.end);
        EXPECT_EQ(tally.imported, c.imported);
        EXPECT_EQ(static_cast<int>(sink.records.size()), c.imported);
    }
}

TEST_F(CabrilloRead, AnEntryTheLogRefusesStopsTheImport) {
    VectorSink sink(1);
    const ImportTally tally = read("CONTEST: CQ-WW-CW\n" + qso_line("K1ABC") + qso_line("K2ABC"), sink);
    EXPECT_EQ(tally.end, ImportEnd::write_failed);
    EXPECT_EQ(tally.write_status, logstore::LogError::disk_full);
    EXPECT_EQ(tally.imported, 1);
}

TEST_F(CabrilloRead, ALastLineWithoutLineEndCounts) {
    std::string text = "CONTEST: CQ-WW-CW\n" + qso_line("K1ABC");
    text.resize(text.size() - 2);
    VectorSink sink;
    EXPECT_EQ(read(text, sink).imported, 1);
}

TEST_F(CabrilloRead, RandomAndTruncatedFilesNeverGoWrong) {
    std::mt19937 random(7);
    std::string good = "START-OF-LOG: 3.0\r\nCONTEST: CQ-WW-CW\r\n";
    for (int i = 0; i < 40; ++i)
        good += qso_line("K" + std::to_string(i) + "AB", "12" + std::to_string(10 + i));
    good += "END-OF-LOG:\r\n";
    const auto qso_lines = [](const std::string& text) {
        int n = 0;
        for (std::size_t at = text.find("QSO:"); at != std::string::npos; at = text.find("QSO:", at + 1))
            ++n;
        return n;
    };
    for (std::size_t cut = 0; cut <= good.size(); cut += 7) {
        VectorSink sink;
        const std::string text = good.substr(0, cut);
        const ImportTally tally = read(text, sink);
        EXPECT_LE(tally.imported, qso_lines(text));
        EXPECT_EQ(tally.imported, static_cast<int>(sink.records.size()));
    }
    for (int round = 0; round < 300; ++round) {
        std::string text = round % 2 ? good : std::string();
        const std::size_t noise = random() % 3000;
        for (std::size_t k = 0; k < noise; ++k) {
            const auto at = text.empty() ? 0 : random() % text.size();
            const char c = static_cast<char>(random() % 8 == 0 ? "\r\n:Q"[random() % 4] : random() % 256);
            if (round % 2) {
                text[at] = c;
            } else {
                text += c;
            }
        }
        VectorSink sink;
        const ImportTally tally = read(text, sink);
        EXPECT_LE(tally.imported, qso_lines(upper_case(text)));
        for (const auto& r : sink.records)
            EXPECT_LE(logstore::record_time(r), 1439);
    }
}

} // namespace
} // namespace kestrel::exchange
