// The rig link against hamlib's own programs, as an operator without a radio would try it:
// rigctld with its dummy rig holds the frequency, rigctl changes it, and rigctlcom puts a TS-2000
// emulation of the dummy on a serial line (a socat pseudo-terminal pair). Each test skips when the
// programs are not installed (Debian packages libhamlib-utils and socat).
#include "logstore/field_codes.hpp"
#include "platform/posix/posix_devices.hpp"
#include "platform/posix/tcp_stream.hpp"
#include "rig/outside_program.hpp"
#include "rig/rig_link.hpp"
#include "rig/station_settings.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace kestrel::rig {
namespace {

using namespace std::chrono_literals;
using testing::find_program;
using testing::OutsideProgram;

// The on-line window polls once a second, and the tests poll as it does: under a busy machine a
// shorter interval left the daemon too little time to answer within the two polls required.
constexpr auto k_poll_interval = 1s;

std::string missing_of(const std::vector<std::string>& programs) {
    std::string missing;
    for (const std::string& program : programs)
        if (!find_program(program)) missing += (missing.empty() ? "" : ", ") + program;
    return missing;
}

// The sample description shipped with the program, its port pointed at `port`:`rate`.
std::string sample_pointed_at(const std::string& sample, const std::string& port, const std::string& rate) {
    std::string text =
        testing::read_file(std::filesystem::path(KESTREL_SOURCE_DIR) / "resources" / "rigs" / sample);
    const auto end = text.find("\r\n");
    return rig_line_with_link(text.substr(0, end), port, rate) + text.substr(end);
}

class HamlibTest : public ::testing::Test {
  protected:
    // rigctld with the dummy rig on a free port of the loopback interface; false if it would not
    // come up.
    bool start_daemon() {
        m_daemon_port = testing::free_local_port();
        m_daemon.emplace(std::vector<std::string>{"rigctld", "-m", "1", "-T", "127.0.0.1", "-t",
                                                  std::to_string(m_daemon_port)},
                         m_dir.file("rigctld.log"));
        return m_daemon->started() &&
               testing::wait_until(
                   [&] {
                       return bool(platform::posix::TcpStream::connect("127.0.0.1", m_daemon_port, 200ms));
                   },
                   10s);
    }

    // What rigctl tells the daemon, as an operator turning the dial.
    void set_rig(const std::vector<std::string>& command) {
        std::vector<std::string> arguments = {"rigctl", "-m", "2", "-r",
                                              "127.0.0.1:" + std::to_string(m_daemon_port)};
        arguments.insert(arguments.end(), command.begin(), command.end());
        ASSERT_EQ(testing::run_program(arguments, 10s), 0) << "rigctl " << command.front();
    }

    // Polls as the window's clock would, until a reading with this frequency comes; how many
    // polls it took, or nothing within `polls`.
    std::optional<int> polls_until(RigLink& link, const std::string& frequency, int polls,
                                   RigReading* reading = nullptr) {
        for (int n = 1; n <= polls; ++n) {
            std::this_thread::sleep_for(k_poll_interval);
            if (const auto got = link.poll(); got && got->frequency_text == frequency) {
                if (reading) *reading = *got;
                return n;
            }
        }
        return std::nullopt;
    }

    testing::TempDir m_dir;
    int m_daemon_port = 0;
    std::optional<OutsideProgram> m_daemon;
    platform::posix::PosixDevices m_devices;
};

TEST_F(HamlibTest, TheEmulatedRigOnASerialLineIsFollowed) {
    if (const std::string missing = missing_of({"rigctld", "rigctl", "rigctlcom", "socat"}); !missing.empty())
        GTEST_SKIP() << "not installed: " << missing << " (Debian packages libhamlib-utils and socat)";
    ASSERT_TRUE(start_daemon()) << testing::read_file(m_dir.path() / "rigctld.log");

    const std::string ours = m_dir.file("kestrel-end");
    const std::string emulator = m_dir.file("emulator-end");
    OutsideProgram line({"socat", "pty,raw,echo=0,link=" + ours, "pty,raw,echo=0,link=" + emulator},
                        m_dir.file("socat.log"));
    ASSERT_TRUE(testing::wait_until(
        [&] { return std::filesystem::exists(ours) && std::filesystem::exists(emulator); }, 10s))
        << testing::read_file(m_dir.path() / "socat.log");
    // This rigctlcom answers "FA;" but not "IF;", so the frequency-only description is the one.
    OutsideProgram rig({"rigctlcom", "-m", "2", "-r", "127.0.0.1:" + std::to_string(m_daemon_port), "-R",
                        emulator, "-S", "9600"},
                       m_dir.file("rigctlcom.log"));
    ASSERT_TRUE(rig.started());

    testing::write_file(m_dir.path() / "ASCII-FA.RIG", sample_pointed_at("ASCII-FA.RIG", ours, "9600"));
    const RigLoad load = load_rig(m_dir.path().string(), m_devices);
    ASSERT_FALSE(load.notice) << load.notice->text;
    ASSERT_TRUE(load.link);
    // The emulator takes a moment to start; until then the rig says nothing.
    ASSERT_TRUE(polls_until(*load.link, "145.000", 20)) << testing::read_file(m_dir.path() / "rigctlcom.log");

    set_rig({"F", "14250000"});
    const auto polls = polls_until(*load.link, "14.250", 2);
    ASSERT_TRUE(polls) << "the new frequency within two polls";

    set_rig({"F", "7030000"});
    RigReading reading;
    ASSERT_TRUE(polls_until(*load.link, "7.030", 2, &reading));
    EXPECT_EQ(logstore::band_of_frequency(reading.frequency_text), 2) << "the 7 MHz band";
    EXPECT_EQ(reading.mode, "") << "the description reads no mode";
    EXPECT_TRUE(rig.running()) << "the emulator survived the polling";
}

TEST_F(HamlibTest, TheRigDaemonIsAskedForFrequencyAndMode) {
    if (const std::string missing = missing_of({"rigctld", "rigctl"}); !missing.empty())
        GTEST_SKIP() << "not installed: " << missing << " (Debian package libhamlib-utils)";
    ASSERT_TRUE(start_daemon()) << testing::read_file(m_dir.path() / "rigctld.log");
    testing::write_file(m_dir.path() / "RIGCTLD.RIG",
                        sample_pointed_at("RIGCTLD.RIG", "127.0.0.1", std::to_string(m_daemon_port)));
    const RigLoad load = load_rig(m_dir.path().string(), m_devices);
    ASSERT_FALSE(load.notice) << load.notice->text;
    ASSERT_TRUE(load.link);

    set_rig({"M", "CW", "500"});
    set_rig({"F", "14025000"});
    RigReading reading;
    ASSERT_TRUE(polls_until(*load.link, "14.025", 3, &reading));
    EXPECT_EQ(reading.mode, "CW");

    set_rig({"M", "USB", "2400"});
    set_rig({"F", "7150000"});
    ASSERT_TRUE(polls_until(*load.link, "7.150", 2, &reading)) << "within two polls";
    EXPECT_EQ(reading.mode, "SSB");
    EXPECT_EQ(logstore::band_of_frequency(reading.frequency_text), 2);

    // The daemon restarts: the link finds it again on its own.
    m_daemon.reset();
    for (int i = 0; i < 3; ++i)
        (void)load.link->poll();
    m_daemon.emplace(std::vector<std::string>{"rigctld", "-m", "1", "-T", "127.0.0.1", "-t",
                                              std::to_string(m_daemon_port)},
                     m_dir.file("rigctld.log"));
    ASSERT_TRUE(testing::wait_until(
        [&] { return bool(platform::posix::TcpStream::connect("127.0.0.1", m_daemon_port, 200ms)); }, 10s));
    set_rig({"F", "3573000"});
    EXPECT_TRUE(polls_until(*load.link, "3.573", 15)) << "connected again within a few seconds";
}

} // namespace
} // namespace kestrel::rig
