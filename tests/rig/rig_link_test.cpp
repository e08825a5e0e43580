#include "rig/rig_link.hpp"

#include "support/fake_devices.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace kestrel::rig {
namespace {

using io::Bytes;
using io::ControlLine;
using io::LineLevel;

const std::string k_bcd_rig =
    "1:4800,N,8,2\r\n0000000003\r\n1,4,4\r\n5,15,SSB,SSB,CW\r\n0000000000\r\n0,0\r\n";
const Bytes k_bcd_poll = {0x00, 0x00, 0x00, 0x00, 0x03};

class RigLinkTest : public ::testing::Test {
  protected:
    RigLoad load(const std::string& name, const std::string& text) {
        testing::write_file(m_dir.path() / name, text);
        return load_rig(m_dir.path().string(), m_devices);
    }
    std::vector<Bytes> writes(const std::string& port = "1") {
        std::vector<Bytes> all;
        for (const auto& write : m_devices.serial_line(port).writes())
            all.push_back(write.bytes);
        return all;
    }

    testing::TempDir m_dir;
    testing::FakeDevices m_devices;
};

TEST_F(RigLinkTest, WithoutADescriptionThereIsNoRigAndNothingToSay) {
    testing::write_file(m_dir.path() / "RIG.LST", "");
    const RigLoad none = load_rig(m_dir.path().string(), m_devices);
    EXPECT_FALSE(none.link);
    EXPECT_FALSE(none.notice);
    EXPECT_FALSE(none.settings.description_path);
}

TEST_F(RigLinkTest, LoadingOpensThePortAsTheDescriptionAndItsNameSay) {
    const struct {
        std::string name;
        std::vector<std::pair<ControlLine, LineLevel>> changes;
        std::vector<Bytes> writes;
    } cases[] = {
        {"TS590.RIG", {{ControlLine::rts, LineLevel::on}}, {}},
        {"FT767GX.RIG", {{ControlLine::rts, LineLevel::off}, {ControlLine::dtr, LineLevel::off}}, {}},
        {"ft847.rig", {{ControlLine::rts, LineLevel::on}}, {{0x00, 0x00, 0x00, 0x00, 0x00}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        testing::FakeDevices devices;
        testing::write_file(dir.path() / c.name, k_bcd_rig);
        const RigLoad load = load_rig(dir.path().string(), devices);
        ASSERT_TRUE(load.link);
        EXPECT_FALSE(load.notice);
        EXPECT_EQ(load.settings.description_path, dir.file(c.name));
        EXPECT_EQ(load.settings.port, "1");
        EXPECT_EQ(load.settings.rate, "4800");
        const testing::FakeSerialLine& line = devices.serial_line("1");
        EXPECT_TRUE(line.is_open());
        EXPECT_EQ(line.settings(), (io::LineSettings{4800, 8, io::Parity::none, io::StopBits::two}));
        std::vector<std::pair<ControlLine, LineLevel>> changes;
        for (const auto& change : line.line_changes())
            changes.emplace_back(change.line, change.level);
        EXPECT_EQ(changes, c.changes);
        std::vector<Bytes> written;
        for (const auto& write : line.writes())
            written.push_back(write.bytes);
        EXPECT_EQ(written, c.writes);
    }
}

TEST_F(RigLinkTest, APortThatCannotBeOpenedIsToldOnceAndPollsFindNothing) {
    m_devices.serial_line("3").fail_open(io::DeviceError::busy);
    const RigLoad load = this->load("IC706.RIG", "3:9600,N,8,1\r\n0000000003\r\n1,4,4\r\n0,0\r\n");
    EXPECT_EQ(load.notice, (RigNotice{"/dev/ttyS2 not available", "Rig Control Port"}));
    ASSERT_TRUE(load.link) << "rig control stays available; the CAT button shows";
    EXPECT_FALSE(load.link->poll());
    EXPECT_FALSE(load.link->poll());

    testing::TempDir dir;
    testing::FakeDevices devices;
    devices.serial_line("1").fail_settings(io::DeviceError::bad_settings);
    testing::write_file(dir.path() / "X.RIG", k_bcd_rig);
    EXPECT_EQ(load_rig(dir.path().string(), devices).notice,
              (RigNotice{"/dev/ttyS0 refused the line settings", "Rig Control Port"}));
}

TEST_F(RigLinkTest, AFaultyDescriptionIsToldWithItsLineAndRigControlStaysOff) {
    const RigLoad load = this->load("BAD.RIG", "2:9600,N,8,1\r\n0000000003\r\n1,4,12\r\n");
    EXPECT_FALSE(load.link);
    ASSERT_TRUE(load.notice);
    EXPECT_EQ(load.notice->title, "Rig Description");
    EXPECT_TRUE(load.notice->text.starts_with("BAD.RIG line 3: ")) << load.notice->text;
    EXPECT_EQ(load.settings.port, "2") << "the set-up window can still change the port";
    EXPECT_EQ(load.settings.description_path, m_dir.file("BAD.RIG"));
    EXPECT_TRUE(writes("2").empty());
}

TEST_F(RigLinkTest, EachPollReadsTheReplyToTheLastRequestThenAsksAgain) {
    m_devices.serial_line("1").answer(k_bcd_poll, {0x01, 0x42, 0x50, 0x00, 0x02});
    const RigLoad load = this->load("FT817.RIG", k_bcd_rig);
    ASSERT_TRUE(load.link);
    EXPECT_FALSE(load.link->poll()) << "the first poll only asks";
    EXPECT_EQ(load.link->poll(), (RigReading{"14.250", "CW"}));
    EXPECT_EQ(load.link->poll(), (RigReading{"14.250", "CW"}));
    EXPECT_EQ(writes(), (std::vector<Bytes>{k_bcd_poll, k_bcd_poll, k_bcd_poll}));
    EXPECT_EQ(m_devices.serial_line("1").unread(), (Bytes{0x01, 0x42, 0x50, 0x00, 0x02}))
        << "the answer to the last request waits for the next poll";
}

TEST_F(RigLinkTest, EmptyGarbledOrShortRepliesGiveNoReading) {
    testing::FakeSerialLine& line = m_devices.serial_line("1");
    const RigLoad load = this->load("FT817.RIG", k_bcd_rig);
    ASSERT_TRUE(load.link);
    for (const Bytes& reply : {Bytes{}, Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, Bytes{0x01, 0x42, 0x50},
                               Bytes{0x00, 0x00, 0x99, 0x99, 0x00}}) {
        line.arrive(reply);
        EXPECT_FALSE(load.link->poll()) << reply.size();
    }
    line.fail_writes(io::DeviceError::io_error);
    line.arrive({0x01, 0x42, 0x50, 0x00, 0x02});
    EXPECT_EQ(load.link->poll(), (RigReading{"14.250", "CW"})) << "a failed request harms no reading";
}

TEST_F(RigLinkTest, AnEchoingRigIsAcknowledgedThenReadThenAskedForTheRest) {
    const Bytes poll = {0x00, 0x00, 0x00, 0x00, 0x10};
    const Bytes acknowledge = {0x00, 0x00, 0x00, 0x00, 0x0B};
    testing::FakeSerialLine& line = m_devices.serial_line("1");
    line.answer(poll, poll);
    line.answer(acknowledge, {0x00, 0x50, 0x42, 0x01, 0x00, 0x00});
    const RigLoad load = this->load("FT990.RIG", "1:4800,N,8,2\r\n0000000010\r\n1,4,5\r\n0,0\r\n");
    ASSERT_TRUE(load.link);
    EXPECT_FALSE(load.link->poll());
    EXPECT_FALSE(load.link->poll());
    EXPECT_EQ(load.link->poll(), (RigReading{"14.250", ""}));
    EXPECT_EQ(writes(), (std::vector<Bytes>{poll, acknowledge, {0x00, 0x00, 0x00, 0x01, 0x00}}));
}

TEST_F(RigLinkTest, AnAddressedRigIsAskedInTurnAndItsModeFollowsTheFrequency) {
    const Bytes ask_frequency = {0xFE, 0xFE, 0x94, 0xE0, 0x03, 0xFD};
    const Bytes ask_mode = {0xFE, 0xFE, 0x94, 0xE0, 0x04, 0xFD};
    testing::FakeSerialLine& line = m_devices.serial_line("1");
    Bytes frequency = ask_frequency; // the echo on the shared bus comes first
    for (const std::uint8_t b : {0xFE, 0xFE, 0xE0, 0x94, 0x03, 0x00, 0x00, 0x03, 0x07, 0x00, 0xFD})
        frequency.push_back(b);
    line.answer(ask_frequency, frequency);
    line.answer(ask_mode, {0xFE, 0xFE, 0xE0, 0x94, 0x04, 0x03, 0x01, 0xFD});
    const RigLoad load =
        this->load("IC7300.RIG", "1:19200,N,8,1\r\nFEFE94E003FD\r\n10,5,3\r\n6,15,SSB,SSB,AM,CW\r\n");
    ASSERT_TRUE(load.link);
    EXPECT_FALSE(load.link->poll());
    EXPECT_EQ(load.link->poll(), (RigReading{"7.030", ""}));
    EXPECT_EQ(load.link->poll(), (RigReading{"7.030", "CW"}));
    EXPECT_EQ(load.link->poll(), (RigReading{"7.030", ""}));
    EXPECT_EQ(writes(), (std::vector<Bytes>{ask_frequency, ask_mode, ask_frequency, ask_mode}));
}

TEST(ReadingKeeper, AModeAloneGoesWithTheLastFrequency) {
    ReadingKeeper keeper;
    const struct {
        std::optional<std::string> frequency;
        std::string mode;
        std::optional<RigReading> reading;
    } steps[] = {
        {std::nullopt, "", std::nullopt},
        {std::nullopt, "CW", std::nullopt}, // no frequency yet: held
        {"14.025", "", RigReading{"14.025", "CW"}},
        {"14.030", "", RigReading{"14.030", ""}},
        {std::nullopt, "SSB", RigReading{"14.030", "SSB"}},
        {"7.030", "CW", RigReading{"7.030", "CW"}},
    };
    for (const auto& step : steps)
        EXPECT_EQ(keeper.reading(step.frequency, step.mode), step.reading) << step.mode;
}

} // namespace
} // namespace kestrel::rig
