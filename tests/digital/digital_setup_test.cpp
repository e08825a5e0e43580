// Set Up/Digital Modes and DIGITAL.LST: whether, and where, contacts are listened for.
#include "digital/digital_link.hpp"
#include "digital/digital_setup_window.hpp"

#include "platform/posix/posix_devices.hpp"
#include "support/opener.hpp"
#include "support/temp_dir.hpp"
#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

namespace kestrel::digital {
namespace {

using W = DigitalSetupWindow;

TEST(DigitalSettings, ReadFromDigitalLstWithDefaultsForWhatIsMissing) {
    struct Case {
        const char* file;
        DigitalSettings settings;
    };
    const Case cases[] = {
        {"", {true, "127.0.0.1", 2237}},
        {"OFF,224.0.0.73,2238\r\n", {false, "224.0.0.73", 2238}},
        {"on , 0.0.0.0 , 2239", {true, "0.0.0.0", 2239}},
        {"ON,,99999\r\n", {true, "127.0.0.1", 2237}},
        {"OFF", {false, "127.0.0.1", 2237}},
        {"ON,127.0.0.1,-5", {true, "127.0.0.1", 2237}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read_digital_settings(c.file), c.settings) << c.file;
    EXPECT_EQ(digital_settings_text({false, "224.0.0.73", 2238}), "OFF,224.0.0.73,2238\r\n");
    EXPECT_EQ(read_digital_settings(digital_settings_text({false, "::1", 5000})),
              (DigitalSettings{false, "::1", 5000}));
}

class DigitalSetup : public ::testing::Test {
  protected:
    DigitalSetupEnv env() {
        return {m_settings, m_dir.path().string(),
                [this]() -> std::optional<std::string> {
                    ++m_applied;
                    return m_failure;
                },
                "Listening on 127.0.0.1 port 2237."};
    }
    std::string written() const { return testing::read_file(m_dir.path() / k_settings_file); }

    testing::TempDir m_dir;
    DigitalSettings m_settings;
    int m_applied = 0;
    std::optional<std::string> m_failure;
    ui::TestHost m_host;
};

TEST_F(DigitalSetup, SaveKeepsTheSettingsAndListensAsTheySayAtOnce) {
    auto run = m_host.open(W{env()});
    EXPECT_EQ(run.caption(), "Digital Modes");
    EXPECT_TRUE(run.checked(W::k_listen));
    EXPECT_EQ(run.text(W::k_address), "127.0.0.1");
    EXPECT_EQ(run.text(W::k_port), "2237");
    EXPECT_EQ(run.text(W::k_status), "Listening on 127.0.0.1 port 2237.");
    run.alt('A').type("224.0.0.73").alt('P').type("2238").click(W::k_listen).click(W::k_save);
    EXPECT_FALSE(run.is_open());
    EXPECT_EQ(m_settings, (DigitalSettings{false, "224.0.0.73", 2238}));
    EXPECT_EQ(written(), "OFF,224.0.0.73,2238\r\n");
    EXPECT_EQ(m_applied, 1);

    // No address is this computer's; a port that cannot be had is told, and the settings kept.
    m_failure = "port in use";
    m_host.expect_message("port in use");
    auto again = m_host.open(W{env()});
    again.replace(W::k_address, "").click(W::k_listen).click(W::k_save);
    EXPECT_FALSE(again.is_open());
    EXPECT_EQ(written(), "ON,127.0.0.1,2238\r\n");
}

TEST_F(DigitalSetup, APortOutsideTheRangeIsRefusedAndExitChangesNothing) {
    for (const char* port : {"", "0", "65536", "99999"}) {
        m_host.expect_message(
            "The port is a number from 1 to 65535: the one the digital-mode program sends to "
            "(2237 unless it was changed there).");
        auto run = m_host.open(W{env()});
        run.replace(W::k_port, port).click(W::k_save);
        EXPECT_TRUE(run.is_open()) << port;
        EXPECT_EQ(run.focused(), W::k_port);
        run.click(W::k_exit);
    }
    auto run = m_host.open(W{env()});
    run.replace(W::k_port, "2300").key(ui::Key::escape);
    EXPECT_EQ(m_settings, DigitalSettings{});
    EXPECT_EQ(m_applied, 0);
    EXPECT_FALSE(std::filesystem::exists(m_dir.path() / k_settings_file));
}

bool overlap(const ui::Rect& a, const ui::Rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

TEST_F(DigitalSetup, EveryControlInsideTheWindowAndNoneOnAnother) {
    const ui::Form form = W{env()}.build();
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        const ui::Rect& r = form.controls[i].rect;
        EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= form.frame.w && r.y + r.h <= form.frame.h)
            << form.controls[i].id;
        for (std::size_t j = i + 1; j < form.controls.size(); ++j)
            EXPECT_FALSE(overlap(r, form.controls[j].rect))
                << form.controls[i].id << " " << form.controls[j].id;
    }
}

// A free port of this machine (taken and let go at once).
int free_port(io::Devices& devices) {
    auto socket = devices.open_datagram_receiver("127.0.0.1", 0);
    return socket ? (*socket)->port() : 0;
}

// At start-up a port in use is told once and logging goes on; Set Up then moves to a free port
// and listens there at once.
TEST(DigitalLink, APortInUseAtStartIsToldOnceAndSetUpMovesOn) {
    testing::TempDir dir;
    platform::posix::PosixDevices devices;
    auto holder = devices.open_datagram_receiver("127.0.0.1", 0);
    ASSERT_TRUE(holder);
    const int taken = (*holder)->port();
    testing::write_file(dir.path() / k_settings_file, "ON,127.0.0.1," + std::to_string(taken) + "\r\n");

    DigitalLink link(devices, dir.path().string() + "/");
    ui::TestHost host;
    const DigitalSettings settings{true, "127.0.0.1", taken};
    host.expect_message(listen_failure_text(settings, io::DeviceError::busy));
    link.start(host, nullptr, dir.file("MYLOG.LOG"));
    EXPECT_FALSE(link.listening());
    EXPECT_EQ(link.spool().path(), dir.file("MYLOG.SPOOL.ADI"));
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].title, "Digital Modes");

    const int port = free_port(devices);
    auto opener = host.open(testing::Opener{[&link](ui::Context& ctx) { link.setup_window(ctx); }});
    host.on_modal([port](ui::TestRun& run) {
        EXPECT_EQ(run.text(W::k_status), "Not listening: the port could not be had.");
        run.replace(W::k_port, std::to_string(port)).click(W::k_save);
    });
    opener.command(testing::Opener::k_open);
    EXPECT_TRUE(link.listening());
    EXPECT_EQ(link.port(), port);
    EXPECT_EQ(testing::read_file(dir.path() / k_settings_file),
              "ON,127.0.0.1," + std::to_string(port) + "\r\n");

    host.on_modal([port](ui::TestRun& run) {
        EXPECT_EQ(run.text(W::k_status), "Listening on 127.0.0.1 port " + std::to_string(port) + ".");
        run.click(W::k_listen).click(W::k_save);
    });
    opener.command(testing::Opener::k_open);
    EXPECT_FALSE(link.listening());
}

} // namespace
} // namespace kestrel::digital
