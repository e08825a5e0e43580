#include "exchange/adif_bands.hpp"

#include "common/number_text.hpp"
#include "exchange/adif_modes.hpp"
#include "logstore/field_codes.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace kestrel::exchange {

void PrintTo(const AdifMode& mode, std::ostream* out) {
    *out << '"' << mode.mode << "\" / \"" << mode.submode << '"';
}

namespace {

TEST(AdifModes, StoredModesBecomeAdifModes) {
    const struct {
        const char* stored;
        AdifMode adif;
    } cases[] = {
        {"A1A", {"CW", ""}},
        {"J3E", {"SSB", ""}},
        {"F3E", {"FM", ""}},
        {"RTY", {"RTTY", ""}},
        {"RTT", {"RTTY", ""}},
        {"SST", {"SSTV", ""}},
        {"CW ", {"CW", ""}},
        {"ssb", {"SSB", ""}},
        {"AM", {"AM", ""}},
        {"PSK", {"PSK", ""}},
        {"FT8", {"FT8", ""}},
        {"FT4", {"MFSK", "FT4"}},
        {"JS8", {"MFSK", "JS8"}},
        {"Q65", {"MFSK", "Q65"}},
        {"FST", {"MFSK", "FST4"}},
        {"USB", {"SSB", "USB"}},
        {"PCW", {"CW", "PCW"}},
        {"DMR", {"DIGITALVOICE", "DMR"}},
        {"OLI", {"OLIVIA", ""}},
        {"MFS", {"MFSK", ""}},
        {"DOM", {"DOMINO", ""}},
        {"HEL", {"HELL", ""}},
        {"THR", {"THRB", ""}},
        {"QPS", {"PSK", ""}},
        {"VAR", {"DYNAMIC", ""}},
        {"CON", {"CONTESTI", ""}},
        {"MSK", {"MSK144", ""}},
        {"JT6", {"JT65", ""}},
        {"SCA", {"FSK", ""}},
        {"FT", {"", ""}},
        {"FRE", {"DIGITALVOICE", ""}},
        {"OFD", {"OFDM", ""}},
        {"RIB", {"OFDM", ""}},
        {"FT2", {"MFSK", "FT2"}},
        {"J2B", {"", ""}},
        {"XYZ", {"", ""}},
        {"", {"", ""}},
        {"   ", {"", ""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(adif_mode_of(c.stored), c.adif) << '"' << c.stored << '"';
    // Every contact goes out with a MODE: one ADIF has no name for stays among the data modes.
    for (const char* stored : {"J2B", "DG", "CQC", "", "   ", "XYZ"})
        EXPECT_EQ(exported_mode_of(stored), (AdifMode{"PSK", ""})) << '"' << stored << '"';
    EXPECT_EQ(exported_mode_of("FT4"), (AdifMode{"MFSK", "FT4"}));
}

TEST(AdifModes, ImportedModeKeepsTheSubmodeButNotUnderCwSsbFm) {
    EXPECT_EQ(stored_mode_of("MFSK", "FT4"), "FT4");
    EXPECT_EQ(stored_mode_of("", "JS8"), "JS8");
    EXPECT_EQ(stored_mode_of("SSB", "USB"), "SSB");
    EXPECT_EQ(stored_mode_of("cw", "PCW"), "cw");
    EXPECT_EQ(stored_mode_of("RTTY", ""), "RTY") << "the program's own name, which its defaults know";
    EXPECT_EQ(stored_mode_of("rtty", ""), "RTY");
    EXPECT_EQ(stored_mode_of("RTTY", "ASCI"), "ASCI");
    EXPECT_EQ(stored_mode_of("OFDM", "RIBBIT_PIX"), "RIBBIT_PIX");
    EXPECT_EQ(stored_mode_of("", ""), "");
}

TEST(AdifBands, ExportedFrequencyReadsBackAsItsBand) {
    // The lower and upper edges of the ADIF band each index names.
    const struct {
        double low, high;
    } edges[logstore::k_band_count] = {
        {1.8, 2.0},       {3.5, 4.0},    {7.0, 7.3},     {10.1, 10.15},  {14.0, 14.35},
        {18.068, 18.168}, {21.0, 21.45}, {24.89, 24.99}, {28.0, 29.7},   {50, 54},
        {70, 71},         {144, 148},    {420, 450},     {1240, 1300},   {2300, 2450},
        {3300, 3500},     {5650, 5925},  {10000, 10500}, {24000, 24250}, {5.06, 5.45},
    };
    for (int band = 0; band < logstore::k_band_count; ++band) {
        const std::string freq(adif_frequency_of(band));
        EXPECT_EQ(logstore::band_of_frequency(freq), band) << freq;
        EXPECT_EQ(imported_band_index(freq, ""), band) << freq;
        EXPECT_EQ(indexed_band_of_mhz(edges[band].low), band);
        EXPECT_EQ(indexed_band_of_mhz(edges[band].high), band);
        const double mhz = std::stod(freq);
        EXPECT_GE(mhz, edges[band].low) << band;
        EXPECT_LE(mhz, edges[band].high) << band;
    }
}

// -1: the contact is on no band the log has a place for, and is left out.
TEST(AdifBands, ImportedBandFromFrequencyThenBandName) {
    const struct {
        const char* freq;
        const char* band;
        int index;
    } cases[] = {
        {"222.100", "1.25m", -1}, {"903.1", "", -1},       {"", "33cm", -1},
        {"40.68", "", -1},        {"", "8m", -1},          {"0.4755", "", -1},
        {"", "630m", -1},         {"0.1365", "2190m", -1}, {"47088", "", -1},
        {"", "6mm", -1},          {"15.0", "", -1},        {"", "", -1},
        {"abc", "xyz", -1},       {"14.5", "20m", 4},      {"5.6GHz", "", 16},
        {"1.2GHz", "", 13},       {"1200", "", 13},        {"1296.2", "", 13},
        {"144.300", "", 11},      {"14.074123", "40m", 4}, {"7.025", "", 2},
        {"10368.1", "3cm", 17},   {"5.3570", "", 19},      {"0", "20m", 4},
        {"", "20M", 4},           {"", "2m", 11},          {"", "70CM", 12},
        {"", "23cm", 13},         {"", "13cm", 14},        {"", "1.25cm", 18},
        {"", "160m", 0},          {"", "60m", 19},         {"", "6m", 9},
        {"", "4m", 10},           {"", " 17 m", 5},        {"", "20", 4},
        {"1.2G", "", 13},
    };
    for (const auto& c : cases)
        EXPECT_EQ(imported_band_index(c.freq, c.band).value_or(-1), c.index) << c.freq << " / " << c.band;
    EXPECT_FALSE(band_index_of_adif_band("20 metres").has_value());
}

// A frequency written as plain digits is read quickly, to the same band as any other number
// text: at and beside every band edge, with leading zeros, a bare point, and more digits than
// the quick reading takes.
TEST(AdifBands, PlainFrequencyDigitsReadAsEveryNumberText) {
    const char* edges[] = {"1.8",   "2",     "3.5",    "4",     "5.06",   "5.45",   "7",     "7.3",
                           "10.1",  "10.15", "14",     "14.35", "18.068", "18.168", "21",    "21.45",
                           "24.89", "24.99", "28",     "29.7",  "50",     "54",     "70",    "71",
                           "144",   "148",   "420",    "450",   "1200",   "1240",   "1300",  "2300",
                           "2450",  "3300",  "3500",   "5600",  "5650",   "5925",   "10000", "10500",
                           "24000", "24250", "0.1357", "0.479", "222",    "902",    "47000", "300000"};
    std::mt19937 random(14074);
    for (const std::string edge : edges) {
        std::vector<std::string> texts = {edge, "0" + edge, edge + ".", edge + "0000000000000",
                                          edge + "00000000000001"};
        for (int i = 0; i < 20; ++i) {
            // A step of one in the last of up to twelve decimals, up or down.
            std::string text = edge.find('.') == std::string::npos ? edge + "." : edge;
            text.append(random() % 10, '0');
            text += static_cast<char>('0' + random() % 10);
            texts.push_back(text);
            if (i % 2 == 0) texts.push_back(std::to_string(std::stod(text) - 1e-9));
        }
        for (const std::string& text : texts)
            EXPECT_EQ(indexed_band_of_frequency(text), indexed_band_of_mhz(leading_number(text))) << text;
    }
}

} // namespace
} // namespace kestrel::exchange
