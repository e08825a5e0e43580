#include "rig/rig_daemon.hpp"

#include "support/fake_devices.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace kestrel::rig {
namespace {

using io::Bytes;

Bytes bytes_of(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

const Bytes k_questions = bytes_of("f\nm\n");

TEST(RigDaemon, AnswersAreReadLineByLineHoweverTheyArrive) {
    const struct {
        std::string name;
        std::vector<std::string> chunks;
        std::optional<std::string> frequency;
        std::string mode;
    } cases[] = {
        {"whole", {"14250000\nUSB\n2400\n"}, "14.250", "SSB"},
        {"line by line", {"7030000\n", "CW\n", "500\n"}, "7.030", "CW"},
        {"cut inside lines", {"70300", "00\r\nCW", "R\n50", "0\n"}, "7.030", "CW"},
        {"with decimals", {"14250000.000000\nRTTY\n2400\n"}, "14.250", "RTY"},
        {"data mode", {"14074000\nPKTUSB\n3000\n"}, "14.074", ""},
        {"frequency refused", {"RPRT -11\nFM\n15000\n"}, std::nullopt, "FM"},
        {"mode refused", {"145500000\nRPRT -11\n"}, "145.500", ""},
        {"too low", {"99999\nAM\n6000\n"}, std::nullopt, "AM"},
        {"garbled", {"14250x00\n\x01\x02\n\n"}, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DaemonAnswers answers;
        answers.expect_frequency_and_mode();
        DaemonAnswers::Decoded all;
        for (const std::string& chunk : c.chunks) {
            const auto decoded = answers.take(bytes_of(chunk));
            if (decoded.frequency_text) all.frequency_text = decoded.frequency_text;
            if (!decoded.mode.empty()) all.mode = decoded.mode;
        }
        EXPECT_EQ(all.frequency_text, c.frequency);
        EXPECT_EQ(all.mode, c.mode);
        EXPECT_FALSE(answers.waiting()) << "every answer owed has come";
    }
}

TEST(RigDaemon, LinesNobodyAskedForAreNotAnswers) {
    DaemonAnswers answers;
    EXPECT_FALSE(answers.take(bytes_of("14250000\nUSB\n")).frequency_text);
    answers.expect_frequency_and_mode();
    EXPECT_EQ(answers.take(bytes_of("3573000\n")).frequency_text, "3.573");
    EXPECT_TRUE(answers.waiting());
    answers.reset();
    EXPECT_FALSE(answers.waiting());
    EXPECT_EQ(answers.take(bytes_of("USB\n2400\n")).mode, "");
}

TEST(RigDaemon, ModesAreWrittenAsTheLogWritesThem) {
    const std::pair<std::string, std::string> cases[] = {
        {"USB", "SSB"}, {"LSB", "SSB"}, {"CW", "CW"},  {"CWR", "CW"},  {"RTTY", "RTY"}, {"RTTYR", "RTY"},
        {"AM", "AM"},   {"FM", "FM"},   {"WFM", "FM"}, {"PKTLSB", ""}, {"FAX", ""},     {"usb", ""},
    };
    for (const auto& [daemon, log] : cases)
        EXPECT_EQ(log_mode_of(daemon), log) << daemon;
}

class RigDaemonLinkTest : public ::testing::Test {
  protected:
    RigLoad load() {
        testing::write_file(m_dir.path() / "SHACK.RIG", "localhost:4532\r\n\r\n0,0,0\r\n0,0\r\n\r\n0,0\r\n");
        return load_rig(m_dir.path().string(), m_devices);
    }
    testing::TempDir m_dir;
    testing::FakeDevices m_devices;
};

TEST_F(RigDaemonLinkTest, EachPollReadsTheAnswersAndAsksAgain) {
    testing::FakeSerialLine& daemon = m_devices.network_peer("localhost", 4532);
    daemon.answer(k_questions, bytes_of("14250000\nUSB\n2400\n"));
    daemon.answer(k_questions, bytes_of("7030000\nCW\n500\n"));
    const RigLoad load = this->load();
    ASSERT_TRUE(load.link);
    EXPECT_FALSE(load.notice);
    EXPECT_EQ(load.settings.port, "localhost");
    EXPECT_EQ(load.settings.rate, "4532");
    EXPECT_FALSE(load.link->poll());
    EXPECT_EQ(load.link->poll(), (RigReading{"14.250", "SSB"}));
    EXPECT_EQ(load.link->poll(), (RigReading{"7.030", "CW"}));
    EXPECT_EQ(daemon.writes().size(), 3u);
    EXPECT_TRUE(m_devices.serial_line("1").writes().empty()) << "no serial port is touched";
}

TEST_F(RigDaemonLinkTest, ADaemonNotThereYetIsToldOnceAndConnectedToWhenItComes) {
    const RigLoad load = this->load();
    EXPECT_EQ(load.notice, (RigNotice{"localhost:4532 not available", "Rig Control Port"}));
    ASSERT_TRUE(load.link);
    EXPECT_FALSE(load.link->poll());
    m_devices.network_peer("localhost", 4532).answer(k_questions, bytes_of("3573000\nUSB\n2400\n"));
    std::optional<RigReading> reading;
    int polls = 0;
    while (!reading && polls < 30) {
        reading = load.link->poll();
        ++polls;
    }
    EXPECT_EQ(reading, (RigReading{"3.573", "SSB"}));
    EXPECT_LE(polls, 12) << "tried again within a few seconds";
}

TEST_F(RigDaemonLinkTest, AFailedConnectionOrASilentDaemonIsConnectedToAfresh) {
    testing::FakeSerialLine& daemon = m_devices.network_peer("localhost", 4532);
    const RigLoad load = this->load();
    ASSERT_TRUE(load.link);
    // Silent: the questions are asked once, then not again until a new connection.
    for (int i = 0; i < 20; ++i)
        EXPECT_FALSE(load.link->poll());
    const auto asked = daemon.writes().size();
    EXPECT_GE(asked, 2u);
    EXPECT_LE(asked, 4u);

    daemon.fail_writes(io::DeviceError::io_error);
    for (int i = 0; i < 20; ++i)
        EXPECT_FALSE(load.link->poll());
    daemon.fail_writes(std::nullopt);
    daemon.answer(k_questions, bytes_of("28400000\nUSB\n2400\n"));
    std::optional<RigReading> reading;
    for (int i = 0; i < 30 && !reading; ++i)
        reading = load.link->poll();
    EXPECT_EQ(reading, (RigReading{"28.400", "SSB"}));
}

} // namespace
} // namespace kestrel::rig
