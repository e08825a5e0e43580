#include "rig/rig_description.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrel::rig {
namespace {

using io::Bytes;

TEST(RigDescription, SixLinesGiveTheLinkTheCommandAndTheReplyLayout) {
    const DescriptionReading read = read_rig_description(
        "1:4800,N,8,2\r\n0000000003\r\n1,4,4\r\n5,15,SSB,SSB,CW,\"CW\",AM\r\n0000000000\r\n0,0\r\n",
        "ft817.rig");
    ASSERT_FALSE(read.problem) << read.problem->what;
    const RigDescription& rig = read.rig;
    EXPECT_EQ(rig.file_name, "FT817.RIG");
    EXPECT_EQ(rig.port_text, "1");
    EXPECT_EQ(rig.rate_text, "4800");
    EXPECT_EQ(rig.line, (io::LineSettings{4800, 8, io::Parity::none, io::StopBits::two}));
    EXPECT_EQ(rig.poll_command, (Bytes{0x00, 0x00, 0x00, 0x00, 0x03}));
    EXPECT_EQ(rig.frequency_start, 1);
    EXPECT_EQ(rig.frequency_length, 4);
    EXPECT_EQ(rig.frequency_format, k_bcd_forward);
    EXPECT_EQ(rig.mode_position, 5);
    EXPECT_EQ(rig.mode_mask, 15u);
    EXPECT_EQ(rig.mode_names, (std::vector<std::string>{"SSB", "SSB", "CW", "CW", "AM"}));
    EXPECT_FALSE(daemon_address(rig));
}

TEST(RigDescription, LineOneReadsPortsSpeedsAndLineSettings) {
    const struct {
        std::string line;
        std::string port;
        std::string rate;
        io::LineSettings settings;
    } cases[] = {
        {"2:9600,N,8,1", "2", "9600", {9600, 8, io::Parity::none, io::StopBits::one}},
        {"/dev/ttyUSB0:38400,E,7,2",
         "/dev/ttyUSB0",
         "38400",
         {38400, 7, io::Parity::even, io::StopBits::two}},
        {"/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0:19200,o,8,1",
         "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0",
         "19200",
         {19200, 8, io::Parity::odd, io::StopBits::one}},
        {"\" 1 : 1200 \",X,8,3", "1", "1200", {1200, 8, io::Parity::none, io::StopBits::one}},
        {"1:4800", "1", "4800", {4800, 8, io::Parity::none, io::StopBits::one}},
    };
    for (const auto& c : cases) {
        const DescriptionReading read = read_rig_description(c.line + "\r\n00\r\n1,1,0\r\n0,0\r\n", "A.RIG");
        ASSERT_FALSE(read.problem) << c.line << ": " << read.problem->what;
        EXPECT_EQ(read.rig.port_text, c.port) << c.line;
        EXPECT_EQ(read.rig.rate_text, c.rate) << c.line;
        EXPECT_EQ(read.rig.line, c.settings) << c.line;
    }
}

TEST(RigDescription, LineOneMayNameARigDaemonInstead) {
    const struct {
        std::string line;
        std::optional<DaemonAddress> address;
    } cases[] = {
        {"localhost:4532", DaemonAddress{"localhost", 4532}},
        {"shack-pi.local:4533,N,8,1", DaemonAddress{"shack-pi.local", 4533}},
        {"127.0.0.1:4532", DaemonAddress{"127.0.0.1", 4532}},
        {"[::1]:4532", DaemonAddress{"::1", 4532}},
        {"1:4532", std::nullopt},
        {"/dev/rig:4532", std::nullopt},
    };
    for (const auto& c : cases) {
        // The other lines do not matter for a daemon, and a serial rig is content with these.
        const DescriptionReading read = read_rig_description(c.line + "\r\n00\r\n1,1,0\r\n", "D.RIG");
        ASSERT_FALSE(read.problem) << c.line << ": " << read.problem->what;
        EXPECT_EQ(daemon_address(read.rig), c.address) << c.line;
    }
    EXPECT_FALSE(read_rig_description("localhost:4532", "D.RIG").problem) << "one line is enough";
}

TEST(RigDescription, AFaultyLineIsNamedAndNothingIsGuessed) {
    const struct {
        std::string text;
        int line;
    } cases[] = {
        {"", 1},
        {"14.250 MHz\r\n", 1},
        {"1-4800,N,8,2\r\n0000000003\r\n1,4,4\r\n", 1},
        {":4800,N,8,2\r\n0000000003\r\n1,4,4\r\n", 1},
        {"1:fast,N,8,2\r\n0000000003\r\n1,4,4\r\n", 1},
        {"1:4800,N,9,2\r\n0000000003\r\n1,4,4\r\n", 1},
        {"localhost:99999\r\n", 1},
        {"localhost:\r\n", 1},
        {"1:4800,N,8,2\r\n000000003\r\n1,4,4\r\n", 2},
        {"1:4800,N,8,2\r\n00000000G3\r\n1,4,4\r\n", 2},
        {"1:4800,N,8,2\r\n0000000003\r\n", 3},
        {"1:4800,N,8,2\r\n0000000003\r\n0,4,4\r\n", 3},
        {"1:4800,N,8,2\r\n0000000003\r\n1,4,11\r\n", 3},
        {"1:4800,N,8,2\r\n0000000003\r\n1,3,4\r\n", 3},
        {"1:4800,N,8,2\r\nFEFE94E003FD\r\n4,5,3\r\n", 3},
        {"1:4800,N,8,2\r\nFEFE\r\n10,5,3\r\n", 2},
        {"1:4800,N,8,2\r\n0000000003\r\n1,4,4\r\n-1,15\r\n", 4},
        {"1:4800,N,8,2\r\n0000000003\r\n1,4,4\r\n5,256\r\n", 4},
        {std::string("\x00\xff\x01:\r\n\x7f", 7), 1},
    };
    for (const auto& c : cases) {
        const DescriptionReading read = read_rig_description(c.text, "BAD.RIG");
        ASSERT_TRUE(read.problem) << c.text;
        EXPECT_EQ(read.problem->line, c.line) << c.text << ": " << read.problem->what;
        EXPECT_FALSE(read.problem->what.empty());
    }
}

TEST(RigDescription, EachLineIsReadOnItsOwnWhateverItsLineEnds) {
    // An item too many on line 1 and LF line ends: line 2 is still the command.
    const DescriptionReading read = read_rig_description(
        "1:4800,N,8,2,extra\n46 41 3b\n3,11,1\n0,0,a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r\n", "x.RIG");
    ASSERT_FALSE(read.problem) << read.problem->what;
    EXPECT_EQ(read.rig.poll_command, (Bytes{'F', 'A', ';'}));
    EXPECT_EQ(read.rig.frequency_format, k_ascii_decimal);
    EXPECT_EQ(read.rig.mode_names.size(), k_mode_name_count) << "names past the sixteenth are not kept";
}

TEST(RigDescription, TheFirstRigFileByNameInAnyCaseIsTheOne) {
    testing::TempDir dir;
    EXPECT_FALSE(find_rig_description(dir.path().string()));
    EXPECT_FALSE(find_rig_description((dir.path() / "missing").string()));
    testing::write_file(dir.path() / "RIG.LST", "");
    testing::write_file(dir.path() / "notes.RIG.txt", "");
    std::filesystem::create_directory(dir.path() / "A.RIG");
    EXPECT_FALSE(find_rig_description(dir.path().string()));
    testing::write_file(dir.path() / "ts590.rig", "");
    testing::write_file(dir.path() / "IC7300.RIG", "");
    EXPECT_EQ(find_rig_description(dir.path().string()), dir.file("IC7300.RIG"));
}

TEST(RigDescription, TheSamplesThatComeWithTheProgramReadAsTheirFamilies) {
    const struct {
        std::string name;
        int format;
        Bytes poll;
        int mode_position;
    } samples[] = {
        {"ASCII-IF.RIG", k_ascii_decimal, {'I', 'F', ';'}, 30},
        {"ASCII-FA.RIG", k_ascii_decimal, {'F', 'A', ';'}, 0},
        {"ADDRESSED-BCD.RIG", k_framed_bcd, {0xFE, 0xFE, 0x94, 0xE0, 0x03, 0xFD}, 6},
        {"PACKED-BCD.RIG", k_bcd_forward, {0x00, 0x00, 0x00, 0x00, 0x03}, 5},
    };
    const auto folder = std::filesystem::path(KESTREL_SOURCE_DIR) / "resources" / "rigs";
    for (const auto& sample : samples) {
        const DescriptionReading read =
            read_rig_description(testing::read_file(folder / sample.name), sample.name);
        ASSERT_FALSE(read.problem) << sample.name << ": " << read.problem->what;
        EXPECT_EQ(read.rig.frequency_format, sample.format) << sample.name;
        EXPECT_EQ(read.rig.poll_command, sample.poll) << sample.name;
        EXPECT_EQ(read.rig.mode_position, sample.mode_position) << sample.name;
        EXPECT_FALSE(daemon_address(read.rig)) << sample.name;
    }
    const DescriptionReading daemon =
        read_rig_description(testing::read_file(folder / "RIGCTLD.RIG"), "RIGCTLD.RIG");
    ASSERT_FALSE(daemon.problem);
    EXPECT_EQ(daemon_address(daemon.rig), (DaemonAddress{"localhost", 4532}));
}

} // namespace
} // namespace kestrel::rig
