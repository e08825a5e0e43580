// Set Up/Digital Modes and DIGITAL.LST: whether, and where, contacts are listened for.
#include "digital/digital_link.hpp"
#include "digital/digital_setup_window.hpp"

#include "platform/posix/posix_devices.hpp"
#include "support/fake_devices.hpp"
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
        {"ON,0.0.0.0,2237,NETWORK\r\n", {true, "0.0.0.0", 2237, true}},
        {"ON,0.0.0.0,2237,network", {true, "0.0.0.0", 2237, true}},
        {"ON,0.0.0.0,2237,YES\r\n", {true, "0.0.0.0", 2237, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read_digital_settings(c.file), c.settings) << c.file;
    EXPECT_EQ(digital_settings_text({false, "224.0.0.73", 2238}), "OFF,224.0.0.73,2238\r\n");
    EXPECT_EQ(read_digital_settings(digital_settings_text({false, "::1", 5000})),
              (DigitalSettings{false, "::1", 5000}));
    // A file of three items is written back byte for byte; the fourth item only when it holds.
    for (const char* file : {"ON,127.0.0.1,2237\r\n", "ON,0.0.0.0,2237\r\n", "OFF,224.0.0.1,2238\r\n",
                             "ON,192.168.1.20,2237,NETWORK\r\n"})
        EXPECT_EQ(digital_settings_text(read_digital_settings(file)), file);
}

// Only the plain spellings of loopback and group addresses are taken as such: every other is
// taken to reach the network, as the system may read it so ("0177.0.0.1" is octal there).
TEST(DigitalSettings, WhatAnAddressLetsIn) {
    using R = AddressReach;
    const std::pair<const char*, R> cases[] = {
        {"127.0.0.1", R::this_computer},
        {"127.255.0.9", R::this_computer},
        {"localhost", R::this_computer},
        {"LocalHost", R::this_computer},
        {"::1", R::this_computer},
        {"0:0:0:0:0:0:0:1", R::this_computer},
        {"224.0.0.1", R::group},
        {"239.255.255.250", R::group},
        {"ff02::1", R::group},
        {"FF05::1:3", R::group},
        {"0.0.0.0", R::network},
        {"", R::network},
        {"::", R::network},
        {"192.168.1.20", R::network},
        {"223.255.255.255", R::network},
        {"240.0.0.1", R::network},
        {"127.1", R::network},
        {"0127.0.0.1", R::network},
        {"127.0.0.1.5", R::network},
        {"127.0.0.256", R::network},
        {"127..0.1", R::network},
        {"::ffff:127.0.0.1", R::network},
        {"1::2::1", R::network},
        {"fe80::1%lo", R::network},
        {"ff2::1", R::network},
        {"my-station.local", R::network},
        {"0x7f.0.0.1", R::network},
    };
    for (const auto& [address, reach] : cases)
        EXPECT_EQ(reach_of(address), reach) << address;
}

// Where the listener listens: what the settings say, save an address other computers could
// send to that the operator never let in, heard on 127.0.0.1; a group is joined on the loopback
// interface unless the operator let the network in.
TEST(DigitalSettings, WhereTheListenerListens) {
    using J = io::GroupJoin;
    struct Case {
        const char* address;
        bool network;
        const char* heard;
        J join;
        bool narrowed;
    };
    const Case cases[] = {
        {"127.0.0.1", false, "127.0.0.1", J::loopback, false},
        {"127.0.0.1", true, "127.0.0.1", J::every_interface, false},
        {"::1", false, "::1", J::loopback, false},
        {"0.0.0.0", false, "127.0.0.1", J::loopback, true},
        {"0.0.0.0", true, "0.0.0.0", J::every_interface, false},
        {"192.168.1.20", false, "127.0.0.1", J::loopback, true},
        {"::", false, "127.0.0.1", J::loopback, true},
        {"my-station.local", true, "my-station.local", J::every_interface, false},
        {"224.0.0.1", false, "224.0.0.1", J::loopback, false},
        {"224.0.0.1", true, "224.0.0.1", J::every_interface, false},
        {"ff02::1", false, "ff02::1", J::loopback, false},
    };
    for (const Case& c : cases) {
        const ListenPlan plan = listen_plan({true, c.address, 2237, c.network});
        EXPECT_EQ(plan.address, c.heard) << c.address << " " << c.network;
        EXPECT_EQ(plan.join, c.join) << c.address << " " << c.network;
        EXPECT_EQ(plan.narrowed, c.narrowed) << c.address << " " << c.network;
    }
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

// Save with an address other computers could send to asks first, unless the operator let the
// network in for that very address before; Yes lets it in, No keeps to this computer, Cancel goes
// back to the address and saves nothing. Loopback addresses, and settings that do not listen,
// are saved without a question.
TEST_F(DigitalSetup, AnAddressOtherComputersCouldSendToIsAskedAboutFirst) {
    using A = ui::Answer;
    struct Case {
        DigitalSettings before;
        const char* typed; // nullptr: the address is left as it was
        bool switch_off;
        std::optional<A> answer; // nothing: no question
        const char* written;     // nullptr: nothing written, the window stays open
    };
    const DigitalSettings plain;
    const DigitalSettings from_a_file{true, "0.0.0.0", 2237, false};
    const DigitalSettings let_in{true, "0.0.0.0", 2237, true};
    const Case cases[] = {
        {plain, "0.0.0.0", false, A::yes, "ON,0.0.0.0,2237,NETWORK\r\n"},
        {plain, "0.0.0.0", false, A::no, "ON,127.0.0.1,2237\r\n"},
        {plain, "0.0.0.0", false, A::cancel, nullptr},
        {plain, "224.0.0.1", false, A::yes, "ON,224.0.0.1,2237,NETWORK\r\n"},
        {plain, "224.0.0.1", false, A::no, "ON,224.0.0.1,2237\r\n"},
        {plain, "0.0.0.0", true, std::nullopt, "OFF,0.0.0.0,2237\r\n"},
        {plain, "localhost", false, std::nullopt, "ON,localhost,2237\r\n"},
        {from_a_file, nullptr, false, A::yes, "ON,0.0.0.0,2237,NETWORK\r\n"},
        {from_a_file, nullptr, false, A::no, "ON,127.0.0.1,2237\r\n"},
        {let_in, nullptr, false, std::nullopt, "ON,0.0.0.0,2237,NETWORK\r\n"},
        {let_in, "192.168.1.20", false, A::no, "ON,127.0.0.1,2237\r\n"},
        {let_in, "127.0.0.1", false, std::nullopt, "ON,127.0.0.1,2237\r\n"},
    };
    for (const Case& c : cases) {
        const std::string what = std::string(c.typed ? c.typed : "as it was") + " after " + c.before.address;
        std::filesystem::remove(m_dir.path() / k_settings_file);
        m_settings = c.before;
        m_applied = 0;
        const std::size_t shown = m_host.messages().size();
        if (c.answer) m_host.answer(*c.answer);
        auto run = m_host.open(W{env()});
        if (c.typed) run.replace(W::k_address, c.typed);
        if (c.switch_off) run.click(W::k_listen);
        run.click(W::k_save);

        ASSERT_EQ(m_host.messages().size(), shown + (c.answer ? 1 : 0)) << what;
        if (c.answer) {
            const ui::Message& question = m_host.messages().back();
            const std::string address = c.typed ? c.typed : c.before.address;
            EXPECT_NE(question.text.find("Programs on other computers can send contacts to"),
                      std::string::npos);
            EXPECT_NE(question.text.find(address + ", and each would be logged in this log."),
                      std::string::npos)
                << what;
            EXPECT_EQ(question.buttons, ui::Buttons::yes_no_cancel);
            EXPECT_EQ(question.default_answer, A::no) << "a hasty Enter keeps to this computer";
        }
        if (c.written) {
            EXPECT_FALSE(run.is_open()) << what;
            EXPECT_EQ(written(), c.written) << what;
            EXPECT_EQ(m_settings, read_digital_settings(c.written)) << what;
            EXPECT_EQ(m_applied, 1) << what;
        } else {
            EXPECT_TRUE(run.is_open()) << what;
            EXPECT_EQ(run.focused(), W::k_address);
            EXPECT_FALSE(std::filesystem::exists(m_dir.path() / k_settings_file)) << what;
            EXPECT_EQ(m_settings, c.before);
            EXPECT_EQ(m_applied, 0);
            run.click(W::k_exit);
        }
    }
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
    auto socket = devices.open_datagram_receiver("127.0.0.1", 0, io::GroupJoin::loopback);
    return socket ? (*socket)->port() : 0;
}

// At start-up a port in use is told once and logging goes on; Set Up then moves to a free port
// and listens there at once.
TEST(DigitalLink, APortInUseAtStartIsToldOnceAndSetUpMovesOn) {
    testing::TempDir dir;
    platform::posix::PosixDevices devices;
    auto holder = devices.open_datagram_receiver("127.0.0.1", 0, io::GroupJoin::loopback);
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

// The made-up machine, telling where it was asked to listen.
class AskedDevices final : public io::Devices {
  public:
    struct Asked {
        std::string address;
        int port;
        io::GroupJoin join;
        friend bool operator==(const Asked&, const Asked&) = default;
    };
    Result<std::unique_ptr<io::SerialPort>, io::DeviceError>
    open_serial_port(std::string_view port) override {
        return m_fake.open_serial_port(port);
    }
    Result<std::unique_ptr<io::ByteStream>, io::DeviceError>
    connect_stream(std::string_view host, int port, std::chrono::milliseconds timeout) override {
        return m_fake.connect_stream(host, port, timeout);
    }
    Result<std::unique_ptr<io::DatagramSocket>, io::DeviceError>
    open_datagram_receiver(std::string_view address, int port, io::GroupJoin join) override {
        asked.push_back({std::string(address), port, join});
        return m_fake.open_datagram_receiver(address, port, join);
    }
    Result<std::unique_ptr<io::KeyLine>, io::DeviceError> open_parallel_key_line() override {
        return m_fake.open_parallel_key_line();
    }
    io::WallClock& wall_clock() override { return m_fake.wall_clock(); }
    io::SteadyClock& steady_clock() override { return m_fake.steady_clock(); }

    std::vector<Asked> asked;

  private:
    testing::FakeDevices m_fake;
};

// A DIGITAL.LST brought from another station names 0.0.0.0: this computer only is listened to,
// the operator is told once at start, and Set Up says so until he gives the address there; from
// then on it is listened on, at this start and the next, without a word.
TEST(DigitalLink, AnAddressOfAFileIsHeardOnThisComputerOnlyUntilGivenInSetUp) {
    testing::TempDir dir;
    testing::write_file(dir.path() / k_settings_file, "ON,0.0.0.0,2237\r\n");
    const std::string file = dir.path().string() + "/" + k_settings_file;
    AskedDevices devices;
    ui::TestHost host;
    {
        DigitalLink link(devices, dir.path().string() + "/");
        host.expect_message(narrowed_text(file, "0.0.0.0"));
        link.start(host, nullptr, dir.file("MYLOG.LOG"));
        ASSERT_EQ(host.messages().size(), 1u);
        EXPECT_EQ(host.messages()[0].title, "Digital Modes");
        EXPECT_NE(host.messages()[0].text.find(file + " names 0.0.0.0"), std::string::npos);
        EXPECT_TRUE(link.listening());
        ASSERT_EQ(devices.asked.size(), 1u);
        EXPECT_EQ(devices.asked[0], (AskedDevices::Asked{"127.0.0.1", 2237, io::GroupJoin::loopback}));
        EXPECT_EQ(testing::read_file(dir.path() / k_settings_file), "ON,0.0.0.0,2237\r\n")
            << "the file is left as it was";

        auto opener = host.open(testing::Opener{[&link](ui::Context& ctx) { link.setup_window(ctx); }});
        host.on_modal([](ui::TestRun& run) {
            EXPECT_EQ(run.text(W::k_hint), "Kestrel listens on this computer only (127.0.0.1) unless an\r\n"
                                           "address is given here; another address lets other computers\r\n"
                                           "log contacts. 224.0.0.1 and the like: a multicast group.");
            EXPECT_EQ(run.text(W::k_address), "0.0.0.0");
            EXPECT_EQ(run.text(W::k_status),
                      "Listening on 127.0.0.1 port 2237, this computer only:\r\n0.0.0.0 was not given here.");
            run.click(W::k_save);
        });
        host.answer(ui::Answer::yes);
        opener.command(testing::Opener::k_open);
        EXPECT_EQ(testing::read_file(dir.path() / k_settings_file), "ON,0.0.0.0,2237,NETWORK\r\n");
        ASSERT_EQ(devices.asked.size(), 2u);
        EXPECT_EQ(devices.asked[1], (AskedDevices::Asked{"0.0.0.0", 2237, io::GroupJoin::every_interface}));
        host.on_modal([](ui::TestRun& run) {
            EXPECT_EQ(run.text(W::k_status), "Listening on 0.0.0.0 port 2237.");
            run.click(W::k_exit);
        });
        opener.command(testing::Opener::k_open);
    }
    const std::size_t told = host.messages().size();
    DigitalLink next(devices, dir.path().string());
    next.start(host, nullptr, dir.file("MYLOG.LOG"));
    EXPECT_EQ(host.messages().size(), told) << "nothing to tell at the next start";
    EXPECT_EQ(devices.asked.back(), (AskedDevices::Asked{"0.0.0.0", 2237, io::GroupJoin::every_interface}));

    // A group the file names is joined on this computer only, and that is no news.
    testing::write_file(dir.path() / k_settings_file, "ON,224.0.0.1,2237\r\n");
    next.start(host, nullptr, dir.file("MYLOG.LOG"));
    EXPECT_EQ(host.messages().size(), told);
    EXPECT_EQ(devices.asked.back(), (AskedDevices::Asked{"224.0.0.1", 2237, io::GroupJoin::loopback}));
}

} // namespace
} // namespace kestrel::digital
