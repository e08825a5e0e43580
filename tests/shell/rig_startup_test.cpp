#include "online/online_window.hpp"
#include "shell/main_window.hpp"
#include "shell/startup.hpp"
#include "shell_fixture.hpp"
#include "support/fake_devices.hpp"
#include "ui/context.hpp"

#include <filesystem>
#include <thread>

namespace kestrel::shell::testing {
namespace {

using ui::TestRun;
using W = online::OnlineWindow;

class RigStartUp : public ShellTest {
  protected:
    RigStartUp() {
        auto devices = std::make_unique<kestrel::testing::FakeDevices>();
        m_devices = devices.get();
        m_app.devices = std::move(devices);
        write("COUNTRY.LST", "G,G,England,223,52,-1\r\n");
        write("MYRIG.RIG", "1:9600,N,8,1\r\n46413B\r\n3,11,1\r\n0,0\r\n\r\n0,0\r\n");
    }
    int key_downs() {
        int downs = 0;
        for (const auto& change : m_devices->serial_line("2").line_changes())
            if (change.line == io::ControlLine::rts && change.level == io::LineLevel::on) ++downs;
        return downs;
    }
    kestrel::testing::FakeDevices* m_devices;
};

// A rig description in the station directory is loaded at start-up; the on-line window then
// follows the rig's frequency on its clock ticks, and CAT can be switched off there.
TEST_F(RigStartUp, TheOnLineWindowFollowsTheRigLoadedAtStartUp) {
    const io::Bytes poll{'F', 'A', ';'};
    m_devices->serial_line("1").answer(
        poll, {'F', 'A', '0', '0', '0', '0', '7', '0', '3', '0', '0', '0', '0', ';'});
    m_host.on_modal([&](TestRun& main) { main.click(MainWindow::k_online).command(MainWindow::k_exit); });
    m_host.on_modal([&](TestRun& online) {
        EXPECT_EQ(online.text(W::k_cat), "CA&T OFF");
        m_host.advance(std::chrono::milliseconds(1000));
        EXPECT_EQ(online.text(W::k_band), "7.030") << "the reply to the first poll, read a tick later";
        EXPECT_EQ(m_app.log.last_band(), 2);
        online.key(ui::Key::escape);
    });
    run_program(m_app, m_host);
    EXPECT_TRUE(m_app.rig != nullptr);
    EXPECT_EQ(m_app.rig_link.port, "1");
}

// The operator is told at start-up; CAT stays on offer, and polling changes nothing.
TEST_F(RigStartUp, APortThatCannotBeOpenedIsToldOnceAndPollingChangesNothing) {
    m_devices->serial_line("1").fail_open(io::DeviceError::busy);
    m_app.log.set_last_band(4);
    m_host.on_modal([&](TestRun& main) { main.click(MainWindow::k_online).command(MainWindow::k_exit); });
    m_host.on_modal([&](TestRun& online) {
        EXPECT_TRUE(online.exists(W::k_cat));
        m_host.advance(std::chrono::milliseconds(3000));
        EXPECT_EQ(online.text(W::k_band), "14MHz ");
        online.key(ui::Key::escape);
    });
    m_host.answer(ui::Answer::ok);
    run_program(m_app, m_host);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].title, "Rig Control Port");
}

} // namespace
} // namespace kestrel::shell::testing

namespace kestrel::shell::testing {
namespace {

// The stored message of CWTEXT.TXT keyed on the serial port's RTS line with the call put in;
// the on-line window hears the end from the keyer's thread.
TEST_F(RigStartUp, F5KeysTheFirstMessageOnTheCwPort) {
    std::filesystem::remove(file("MYRIG.RIG"));
    write("DMORSE.CDE", "71,--.\r\n52,....-\r\n65,.-\r\n66,-...\r\n67,-.-.\r\n");
    write("CWTEXT.TXT", "2\r\n2\r\n40\r\n#HCALL\r\n\r\n\r\n\r\n");
    m_host.on_modal([&](TestRun& main) { main.click(MainWindow::k_online).command(MainWindow::k_exit); });
    m_host.on_modal([&](TestRun& online) {
        online.type("G4ABC").key(ui::Key::f5);
        // The fake steady clock jumps to each deadline: the message goes as fast as the thread runs.
        for (int i = 0; i < 400 && key_downs() < 18; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        // Escape stops a message still going (its last key-up may be a moment away), then closes.
        online.key(ui::Key::escape);
        if (online.is_open()) online.key(ui::Key::escape);
    });
    run_program(m_app, m_host);
    // G --. 3, 4 ....- 5, A .- 2, B -... 4, C -.-. 4: eighteen elements.
    EXPECT_EQ(key_downs(), 18);
    EXPECT_EQ(m_devices->serial_line("2").level(io::ControlLine::rts), io::LineLevel::off);
}

} // namespace
} // namespace kestrel::shell::testing
