// Our export read by a strict reader of another's making: tcadif from npm refuses a whole file for
// one value of the wrong data type or outside ADIF's enumerations, as award services do. It runs
// on node, installed with it by scripts/setup; without them the test says so and is skipped.
#include "exchange/adif_import_text.hpp"
#include "exchange/adif_modes.hpp"
#include "exchange/adif_writer.hpp"
#include "exchange/cabrillo_import.hpp"

#include "adif_fixture.hpp"
#include "common/fixed_text.hpp"
#include "logstore/field_codes.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <sys/wait.h>

namespace kestrel::exchange::testing {
namespace {

using namespace std::string_view_literals;

// node on the PATH, by either of its names.
std::optional<std::string> node_program() {
    const char* path = std::getenv("PATH");
    for (std::string_view rest = path ? path : ""; !rest.empty();) {
        const std::size_t colon = std::min(rest.find(':'), rest.size());
        const std::filesystem::path dir(rest.substr(0, colon));
        rest.remove_prefix(std::min(colon + 1, rest.size()));
        for (const char* name : {"node", "nodejs"}) {
            std::error_code error;
            if (std::filesystem::is_regular_file(dir / name, error)) return (dir / name).string();
        }
    }
    return std::nullopt;
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct Verdict {
    int status = -1;
    std::string output;
};

// The strict reader's verdict on a file: exit status 0 and the number of records it took, or
// why it refused the file.
Verdict strict_reading(const std::string& node, const std::string& adi) {
    const std::string command = quoted(node) + " " + quoted(KESTREL_TCADIF_CHECK) + " " +
                                quoted(KESTREL_NODE_MODULES) + " " + quoted(adi) + " 2>&1";
    Verdict verdict;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return verdict;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        verdict.output.append(buffer, got);
    const int status = ::pclose(pipe);
    verdict.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return verdict;
}

// Every stored mode the program meets: its own emission codes and names, Cabrillo's, every ADIF
// mode and submode as the log's three characters keep it, and texts ADIF has no name for.
std::vector<std::string> every_stored_mode() {
    std::set<std::string> modes = {"A1A", "J3E", "F3E", "RTY", "J2B", "CQC", "DG",  "PH",
                                   "RY",  "A3E", "R3E", "H3E", "G3E", "F1B", "C3F", "A3F",
                                   "F3F", "",    "   ", "XYZ", "ft8", "rtt", "U",   "5 9"};
    for (const std::string_view name : adif_mode_names())
        modes.insert(std::string(name.substr(0, logstore::k_mode_width)));
    return {modes.begin(), modes.end()};
}

// A text field as a log record keeps it: cut to its width, padded with blanks, where the 0x00
// bytes that older logs pad with count as padding too.
std::string padded(std::string_view text, std::size_t width) {
    text = text.substr(0, std::min(text.size(), width));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.remove_suffix(1);
    return fixed_width(text, width);
}

class StrictReader : public ExchangeTest {
  protected:
    void SetUp() override {
        node = node_program();
        if (!node) GTEST_SKIP() << "node is not installed; scripts/setup installs Debian's nodejs and npm";
        if (!std::filesystem::exists(std::filesystem::path(KESTREL_NODE_MODULES) / "tcadif" / "package.json"))
            GTEST_SKIP() << "tcadif is not installed in " << KESTREL_NODE_MODULES
                         << "; scripts/setup installs it";
    }
    std::optional<std::string> node;
};

TEST_F(StrictReader, TakesTheWholeExportOfAVariedLogWhichImportsBackTheSame) {

    // Hostile and odd values, each in a contact of its own.
    const struct {
        const char* call;
        const char* sent;
        const char* received;
        const char* power;
        std::string_view comment; // "..."sv: with the 0x00 byte one holds
    } odd[] = {
        {"DL1ABC", "599", "579", "100W",
         "Gr\xFC\xDF"
         "e aus K\xF6ln"sv},
        {"DL2\xC4"
         "BC",
         "5 9", "", "1 kW", "5\x80 for the QSL, 100% sure"sv},
        {"F5XYZ/P", "-10", "+03", "5", "\xCE\xBA reads as UTF-8 but is not"sv},
        {"G4ABC", "599+", "5\xB0", "QRP", "<eor> and <call:3>ABC are only text"sv},
        {"K1ABC", "", "", "1,5kW", "tab\there, line\r\nbreak, \x01 control"sv},
        {"W1AW", "59", "57", "500mW", "  leading blanks and a 0x00\0byte"sv},
        {"JA1XYZ", "5NN", "ENN", "  50",
         "\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9"
         "\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9"
         "\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9"sv},
        {"VK2\xDF", "59", "59", "0", ""sv},
    };
    std::vector<logstore::QsoRecord> log;
    const std::vector<std::string> modes = every_stored_mode();
    const std::size_t count = std::max<std::size_t>(modes.size(), 20 * 3);
    for (std::size_t i = 0; i < count; ++i) {
        const auto& o = odd[i % std::size(odd)];
        // Dates from the first to the last the log holds, both centuries, a leap day among them.
        const char* years[] = {"30", "99", "00", "24", "29"};
        const int day = 1 + static_cast<int>(i % 28), month = 1 + static_cast<int>(i % 7);
        std::string date = (day < 10 ? "0" : "") + std::to_string(day) + "-0" + std::to_string(month) + "-" +
                           years[i % std::size(years)];
        if (i == 0) date = "22-07-29";
        if (i == 1) date = "29-02-24";
        auto q = contact(date, i % 3 ? "0000" : "2359", "2359", o.call);
        q.rst_sent = o.sent;
        q.rst_received = o.received;
        q.power = o.power;
        q.comment = o.comment;
        q.mode = modes[i % modes.size()];
        // Every band, coded; the text form older logs kept; and a code no band has.
        q.band = i % 3 == 0 ? logstore::text_band_field(i % 2 ? "14." : "1.2")
                            : logstore::coded_band_field(static_cast<int>(i % 20));
        if (i == count - 1) q.band = logstore::coded_band_field(40);
        q.qsl_flags = static_cast<std::uint8_t>('0' + i % 4);
        log.push_back(q);
    }
    open_log("VARIED.LOG", bytes_of(log));
    const auto made = adif_text_of_log(m_log, {2024, 3, 5});
    ASSERT_TRUE(made);
    ASSERT_EQ(made->entries, static_cast<int>(log.size()));
    for (const char c : made->text)
        ASSERT_TRUE(c == '\r' || c == '\n' || (c >= ' ' && c <= '~')) << "a byte outside printable ASCII";
    write("VARIED.ADI", made->text);

    const Verdict verdict = strict_reading(*node, file("VARIED.ADI"));
    ASSERT_EQ(verdict.status, 0) << verdict.output;
    EXPECT_EQ(verdict.output.substr(0, verdict.output.find('\n')), std::to_string(log.size()))
        << "every record taken";

    // Read back by our own import, every contact is the one exported.
    const ImportedLog back = import_adif_text(made->text, {});
    ASSERT_EQ(back.entries, static_cast<int>(log.size())) << back.rejected;
    for (std::size_t i = 0; i < log.size(); ++i) {
        SCOPED_TRACE(i);
        logstore::RecordBytes bytes;
        std::copy_n(back.records.begin() + static_cast<std::ptrdiff_t>(i * logstore::k_record_size),
                    logstore::k_record_size, bytes.begin());
        const logstore::QsoRecord is = logstore::QsoRecord::decode(bytes);
        const logstore::QsoRecord was = logstore::QsoRecord::decode(log[i].encode());
        EXPECT_EQ(is.date, was.date);
        EXPECT_EQ(is.time_on, was.time_on);
        EXPECT_EQ(is.time_off, was.time_off);
        EXPECT_EQ(is.call, padded(was.call, logstore::k_call_width));
        EXPECT_EQ(is.rst_sent, padded(was.rst_sent, logstore::k_report_width));
        EXPECT_EQ(is.rst_received, padded(was.rst_received, logstore::k_report_width));
        EXPECT_EQ(is.mode, padded(was.mode, logstore::k_mode_width));
        EXPECT_EQ(is.power, padded(was.power, logstore::k_power_width));
        EXPECT_EQ(is.comment, padded(was.comment, logstore::k_comment_width));
        const int band = logstore::band_of_field(was.band);
        EXPECT_EQ(logstore::band_of_field(is.band),
                  band < logstore::k_band_count ? band : logstore::k_fallback_band);
        EXPECT_EQ(is.qsl_flags & 3, was.qsl_flags & 3);
    }
}

// Takes every record it is given.
class Collect final : public RecordSink {
  public:
    logstore::LogStatus append(const logstore::RecordBytes& record) override {
        records += bytes_of(record);
        return {};
    }
    std::string records;
};

// A log made from other programs' files goes out whole and comes back byte for byte; what it
// could not hold is kept aside and counted.
TEST_F(StrictReader, ALogMadeFromOtherProgramsFilesGoesRoundWhole) {

    const std::string adif =
        "Exported by another logger<eoh>\n"
        "<call:6>DL1ABC<name:13>J\xC3\xBCrgen M\xC3\xBCller<comment:9>73 \xC3\xA0 "
        "bient\xC3\xB4t<qso_date:8>20240305"
        "<time_on:6>143215<freq:9>14.074123<mode:3>FT8<rst_sent:3>-10<rst_rcvd:3>-15<tx_pwr:4>100W<eor>\n"
        "<call:5>F5XYZ<qso_date:8>20240306<time_on:4>0101<band:3>40m<mode:4>MFSK<submode:3>FT4<tx_pwr:4>1 kW"
        "<qsl_rcvd:1>Y<eor>\n"
        "<call:5>K1OFD<qso_date:8>20240307<time_on:4>0202<band:3>20m<mode:4>OFDM<submode:10>RIBBIT_SMS<eor>\n"
        "<call:4>W1AW<qso_date:8>20240308<time_on:4>0303<band:3>20m<mode:4>RTTY<rst_sent:3>599<eor>\n"
        "<call:5>W6222<qso_date:8>20240309<time_on:4>0404<freq:7>222.100<mode:2>FM<eor>\n"
        "<call:5>W7LOW<qso_date:8>20240310<time_on:4>0505<band:5>2190m<mode:2>CW<eor>\n";
    const ImportedLog from_adif = import_adif_text(adif, {});
    EXPECT_EQ(from_adif.entries, 4);
    EXPECT_EQ(from_adif.left_out.count(LeftOut::band), 2);
    EXPECT_NE(from_adif.rejected.find("W6222"), std::string::npos);
    EXPECT_NE(from_adif.rejected.find("W7LOW"), std::string::npos);

    write("CABRILLO.FRM", "CQ-WW-CW,56,13,45,3,70,3\r\n");
    std::istringstream cabrillo("START-OF-LOG: 3.0\nCONTEST: CQ-WW-CW\n"
                                "QSO: 7025 CW 2024-11-23 0001 G4ABC 599 14 K1ABC 579 05\n"
                                "QSO: 14025 CW 2024-11-23 0002 G4ABC 599 14 JA1XYZ 599 25\n"
                                "QSO: 222 CW 2024-11-23 0003 G4ABC 599 14 W1XYZ 599 05\nEND-OF-LOG:\n");
    CabrilloOptions options;
    options.constants = {"100", ""};
    options.layout_file = file("CABRILLO.FRM");
    Collect from_cabrillo;
    const ImportTally tally = read_cabrillo(cabrillo, options, from_cabrillo);
    EXPECT_EQ(tally.imported, 2);
    EXPECT_EQ(tally.left_out.count(LeftOut::band), 1);

    open_log("MIXED.LOG", from_adif.records + from_cabrillo.records);
    const auto made = adif_text_of_log(m_log, {2024, 12, 1});
    ASSERT_TRUE(made);
    write("MIXED.ADI", made->text);
    const Verdict verdict = strict_reading(*node, file("MIXED.ADI"));
    ASSERT_EQ(verdict.status, 0) << verdict.output;
    EXPECT_EQ(verdict.output.substr(0, verdict.output.find('\n')), "6");
    EXPECT_EQ(import_adif_text(made->text, {}).records, from_adif.records + from_cabrillo.records);
}

} // namespace
} // namespace kestrel::exchange::testing
