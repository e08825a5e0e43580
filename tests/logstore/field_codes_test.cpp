#include "logstore/band_names.hpp"
#include "logstore/field_codes.hpp"

#include <gtest/gtest.h>

namespace kestrel::logstore {
namespace {

TEST(FieldCodes, BandsOfFrequencies) {
    const struct {
        const char* text;
        int band;
    } cases[] = {
        {"14.025", 4}, {"7", 2},      {"5.3", 19},  {"1.2G", 13}, {"10G", 17},  {"145", 11}, {"", 19},
        {"abc", 19},   {"0", 19},     {"1.8", 0},   {"3", 0},     {"3.5", 1},   {"4", 1},    {"6", 1},
        {"13", 3},     {"14", 4},     {"18.1", 5},  {"21", 6},    {"24.9", 7},  {"28.5", 8}, {"50.1", 9},
        {"70.2", 10},  {"432", 12},   {"2.3g", 14}, {"3.4G", 15}, {"5.7G", 16}, {"24G", 18}, {" 15", 4},
        {"144", 11},   {"11001", 18}, {"-7", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(band_of_frequency(c.text), c.band) << c.text;
}

TEST(FieldCodes, BandsOfBothFormsOfTheBandField) {
    EXPECT_EQ(band_of_field({0x00, 0x00, 0x0C}), 12);
    EXPECT_EQ(band_of_field(coded_band_field(4)), 4);
    EXPECT_EQ(band_of_field(text_band_field("3.5")), 1);
    EXPECT_EQ(band_of_field(text_band_field("14")), 4);
    EXPECT_EQ(band_of_field(text_band_field("14.074")), 4); // kept as "14."
    EXPECT_EQ(band_of_field(text_band_field(" 21")), 6);
    EXPECT_EQ(band_of_field({0x00, 0x00, 0xFF}), 255); // readers treat it as no band
    EXPECT_EQ(text_band_field("14"), (BandField{'1', '4', ' '}));
}

TEST(FieldCodes, ModeClasses) {
    const struct {
        const char* mode;
        int mode_class;
    } cases[] = {
        {"cw", 0}, {"A1A", 0}, {"CW ", 0}, {"J3E", 1}, {"ssb", 1}, {"F3E", 2},
        {"FM", 2}, {"RTY", 3}, {"", 3},    {"C W", 3}, {"j2b", 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mode_class_of(c.mode), c.mode_class) << c.mode;
}

TEST(FieldCodes, QslTagsLookAtTwoBitsOnly) {
    EXPECT_EQ(qsl_tag_of(0), "--");
    EXPECT_EQ(qsl_tag_of(1), "S-");
    EXPECT_EQ(qsl_tag_of(2), "-R");
    EXPECT_EQ(qsl_tag_of(3), "SR");
    EXPECT_EQ(qsl_tag_of('0' + 3), "SR"); // as the import tools write it
    EXPECT_EQ(qsl_tag_of(0xFC), "--");
}

TEST(FieldCodes, BaseCalls) {
    const struct {
        const char* call;
        const char* base;
    } cases[] = {
        {"GW4ABC/P ", "G4ABC"},
        {"GB2XYZ ", "GB2XYZ "},
        {"M0ABC/MM ", "M0ABC"},
        {"MW0ABC ", "M0ABC "},
        {"G4ABC/P     ", "G4ABC    "},
        {"GM3XYZ/A ", "G3XYZ"},
        {"GR2ABC ", "GR2ABC "},
        {"MB7ABC ", "MB7ABC "},
        {"G3ABC ", "G3ABC "},
        {"DL1ABC/M ", "DL1ABC"},
        {"/DATA       ", "/DATA       "},
        {"CQ          ", "CQ          "},
        {"G4ABC/PX ", "G4ABC/PX "},
        {"G", "G"},
        {"", ""},
        {"W1ABC/P/M ", "W1ABC/P"},
        {"W1ABC/P /M ", "W1ABC"},
        {"GW4ABC", "G4ABC"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(base_call(c.call), c.base) << c.call;
}

TEST(FieldCodes, DefaultReportsFollowTheModeAsEntered) {
    EXPECT_EQ(default_report("CW"), "599");
    EXPECT_EQ(default_report("A1A"), "599");
    EXPECT_EQ(default_report("RTY"), "599");
    EXPECT_EQ(default_report("J2B"), "599");
    EXPECT_EQ(default_report("CQC"), "N");
    EXPECT_EQ(default_report("SSB"), "59");
    EXPECT_EQ(default_report("cw"), "59");
}

TEST(BandNames, BothFacesOfTheTable) {
    const BandNameTable table = load_band_names();
    EXPECT_EQ(table.name(0), "1.8MHz");
    EXPECT_EQ(table.name(4), "14MHz ");
    EXPECT_EQ(table.name(13), "1.2GHz");
    EXPECT_EQ(table.name(19), "5MHz  ");
    EXPECT_EQ(table.name(20), "5MHz  ");
    EXPECT_EQ(table.name(-1), "5MHz  ");
    EXPECT_EQ(table.name_or_blank(12), "430MHz");
    EXPECT_EQ(table.name_or_blank(20), "");
    EXPECT_EQ(table.name_or_blank(255), "");
    EXPECT_EQ(table.names_with_blank().size(), 21u);
    for (const auto& name : table.names())
        EXPECT_EQ(name.size(), 6u);
}

} // namespace
} // namespace kestrel::logstore
