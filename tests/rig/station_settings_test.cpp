#include "rig/station_settings.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrel::rig {
namespace {

TEST(StationSettings, AnEmptyTableIsNineteenLinesOfFourCommasThenThreeEmptyLines) {
    std::string expected;
    for (int r = 0; r < 19; ++r)
        expected += ",,,,\r\n";
    expected += "\r\n\r\n\r\n";
    EXPECT_EQ(settings_file_text(StationSettings{}), expected);
}

TEST(StationSettings, TheFileReadsBackAsWritten) {
    testing::TempDir dir;
    StationSettings s;
    s.rows[4] = {"FT-1000", "3 el Yagi", "100", "SSB", "G9QQQ"};
    s.rows[18] = {"Transverter", "Dish", "10", "CW", "M0XYZ"};
    s.latitude = "52.5";
    s.longitude = "-1.2";
    s.backup = "/media/backup/logs";
    ASSERT_TRUE(write_settings_file(s, dir.file("RIG.LST")));
    const std::string text = testing::read_file(dir.path() / "RIG.LST");
    EXPECT_NE(text.find("\r\nFT-1000,100,3 el Yagi,G9QQQ,SSB\r\n"), std::string::npos)
        << "transceiver, power, antenna, operator, mode";
    EXPECT_TRUE(text.ends_with("\r\n52.5\r\n-1.2\r\n/media/backup/logs\r\n"));
    EXPECT_EQ(read_settings_file(dir.file("RIG.LST")), s);
}

TEST(StationSettings, QuotedItemsFromAnOlderFileSurviveARewrite) {
    testing::TempDir dir;
    testing::write_file(dir.path() / "RIG.LST", "\"FT-1000, MP\",\" 100\",\"Yagi \",G9QQQ,CW\r\n");
    const StationSettings s = read_settings_file(dir.file("RIG.LST"));
    EXPECT_EQ(s.rows[0], (StationRow{"FT-1000, MP", "Yagi ", " 100", "CW", "G9QQQ"}));
    ASSERT_TRUE(write_settings_file(s, dir.file("RIG.LST")));
    EXPECT_EQ(read_settings_file(dir.file("RIG.LST")), s);
}

TEST(StationSettings, MissingOrShortFilesLeaveTheRestEmpty) {
    testing::TempDir dir;
    EXPECT_EQ(read_settings_file(dir.file("RIG.LST")), StationSettings{});
    testing::write_file(dir.path() / "RIG.LST", "IC-7300, 100 ,\"Dipole\",G9QQQ,CW\r\nFT-817");
    const StationSettings s = read_settings_file(dir.file("RIG.LST"));
    EXPECT_EQ(s.rows[0], (StationRow{"IC-7300", "Dipole", "100", "CW", "G9QQQ"}));
    EXPECT_EQ(s.rows[1].transceiver, "FT-817");
    EXPECT_EQ(s.rows[1].power, "");
    EXPECT_EQ(s.backup, "");
    EXPECT_EQ(&s.row_for_band(19), &s.rows[2]) << "5 MHz uses the 7 MHz row";
}

TEST(RigLink, APortChangeRewritesTheFirstLineOfTheRigDescription) {
    EXPECT_EQ(rig_line_with_link("1:4800,N,8,2", "2", "4800"), "2:4800,N,8,2");
    EXPECT_EQ(rig_line_with_link("1:4800,N,8,2", "/dev/ttyUSB0", "9600"), "/dev/ttyUSB0:9600,N,8,2");

    testing::TempDir dir;
    const std::string rig = dir.file("FT847.RIG");
    testing::write_file(rig, "1:4800,N,8,2\r\n0000000003\r\n1,4,4\r\n5,255,LSB,USB\r\n0000000000\r\n0,0\r\n");
    RigLinkSettings link{rig, "2", "4800", true};
    ASSERT_TRUE(apply_rig_link_change(link));
    EXPECT_FALSE(link.changed);
    EXPECT_EQ(testing::read_file(rig),
              "2:4800,N,8,2\r\n0000000003\r\n1,4,4\r\n5,255,LSB,USB\r\n0000000000\r\n0,0\r\n");

    RigLinkSettings no_rig{std::nullopt, "3", "9600", true};
    EXPECT_TRUE(apply_rig_link_change(no_rig)) << "nothing to rewrite without a rig description";
    RigLinkSettings gone{dir.file("GONE.RIG"), "3", "9600", true};
    EXPECT_FALSE(apply_rig_link_change(gone));
    EXPECT_TRUE(gone.changed);
}

TEST(RigLink, OnlyThePortAndRateChangeWhateverTheRestOfTheFileLooksLike) {
    const struct {
        std::string line;
        std::string port;
        std::string rate;
        std::string rewritten;
    } lines[] = {
        {"1:4800,N,8,1 ", "2", "4800", "2:4800,N,8,1 "},
        {"1:4800, N, 8, 2", "2", "9600", "2:9600, N, 8, 2"},
        {"1:4800", "2", "4800", "2:4800"},
        {"\"1:4800\",N,8,2", "/dev/ttyUSB0", "4800", "/dev/ttyUSB0:4800,N,8,2"},
        {"localhost:4532", "shack-pi", "4532", "shack-pi:4532"},
        {"", "1", "4800", "1:4800"},
    };
    for (const auto& c : lines)
        EXPECT_EQ(rig_line_with_link(c.line, c.port, c.rate), c.rewritten) << c.line;

    testing::TempDir dir;
    const std::string rig = dir.file("TS2000.RIG");
    const std::string rest = "\n46413B\n3,11,1\n0,0\n\n0,0\nNotes: kept as they are\n";
    testing::write_file(rig, "1:9600,N,8,1" + rest);
    RigLinkSettings link{rig, "/dev/ttyUSB1", "38400", true};
    ASSERT_TRUE(apply_rig_link_change(link));
    EXPECT_EQ(testing::read_file(rig), "/dev/ttyUSB1:38400,N,8,1" + rest);
    EXPECT_FALSE(std::filesystem::exists(rig + ".kestrel-tmp"));
}

} // namespace
} // namespace kestrel::rig
