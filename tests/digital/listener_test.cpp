// The listener against real datagrams sent to it over the loopback interface.
#include "digital/listener.hpp"

#include "digital/spool.hpp"
#include "digital/wsjtx_datagrams.hpp"
#include "platform/posix/posix_devices.hpp"
#include "support/fake_devices.hpp"
#include "support/temp_dir.hpp"
#include "support/udp_sender.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace kestrel::digital {
namespace {

using namespace std::chrono_literals;
using testing::LoggedQso;

// Waits, a little at a time, until the listener has read `datagrams` datagrams.
bool read_all(const Listener& listener, int datagrams) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (listener.counts().datagrams < datagrams) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// A program logs a contact (both messages), sends its other messages and another program's
// noise; one contact is spooled, and the window is told once.
TEST(Listener, ContactsOfRealDatagramsGoToTheSpoolOnce) {
    testing::TempDir dir;
    Spool spool(dir.file("MYLOG.LOG"));
    std::atomic<int> notices = 0;
    spool.set_notice([&notices] { ++notices; });
    platform::posix::PosixDevices devices;
    Listener listener(devices, spool);
    ASSERT_TRUE(listener.start("127.0.0.1", 0, io::GroupJoin::loopback));
    ASSERT_TRUE(listener.listening());
    const int port = listener.port();

    LoggedQso q;
    q.mode = "FT4";
    testing::QtStreamWriter heartbeat;
    heartbeat.header(0).u32(3).utf8("2.7.0").utf8("abc");
    const testing::Datagram sent[] = {
        heartbeat.bytes(),
        testing::qso_logged(q),
        testing::logged_adif(testing::adif_of(q)),
        testing::Datagram{'n', 'o', 'i', 's', 'e'},
        testing::Datagram(),
    };
    testing::UdpSender sender;
    for (const testing::Datagram& d : sent)
        ASSERT_TRUE(sender.send(d, port));
    ASSERT_TRUE(read_all(listener, 5));

    EXPECT_EQ(listener.counts().contacts, 1);
    EXPECT_EQ(listener.counts().repeated, 1);
    EXPECT_EQ(notices.load(), 1);
    const Spool::Batch batch = spool.waiting();
    ASSERT_EQ(batch.contacts.size(), 1u);
    EXPECT_EQ(batch.contacts[0].record.mode, "FT4");

    listener.stop();
    EXPECT_FALSE(listener.listening());
    EXPECT_EQ(listener.port(), 0);
}

TEST(Listener, APortInUseIsToldAndNothingListens) {
    testing::TempDir dir;
    Spool spool(dir.file("MYLOG.LOG"));
    platform::posix::PosixDevices devices;
    Listener first(devices, spool);
    ASSERT_TRUE(first.start("127.0.0.1", 0, io::GroupJoin::loopback));
    Listener second(devices, spool);
    const io::Status started = second.start("127.0.0.1", first.port(), io::GroupJoin::loopback);
    ASSERT_FALSE(started);
    EXPECT_EQ(started.error(), io::DeviceError::busy);
    EXPECT_FALSE(second.listening());

    // Started again elsewhere, the first lets its port go.
    const int old_port = first.port();
    ASSERT_TRUE(first.start("127.0.0.1", 0, io::GroupJoin::loopback));
    EXPECT_TRUE(second.start("127.0.0.1", old_port, io::GroupJoin::loopback));
}

// WSJT-X sends to 224.0.0.1 by way of the loopback interface: a group joined there only hears it.
TEST(Listener, AGroupJoinedOnThisComputerOnlyHearsItsPrograms) {
    testing::TempDir dir;
    Spool spool(dir.file("MYLOG.LOG"));
    platform::posix::PosixDevices devices;
    Listener listener(devices, spool);
    const io::Status started = listener.start("224.0.0.1", 0, io::GroupJoin::loopback);
    if (!started)
        GTEST_SKIP() << "this machine cannot join a multicast group: " << io::message_of(started.error());
    testing::UdpSender sender;
    ASSERT_TRUE(sender.send(testing::qso_logged(LoggedQso{}), listener.port(), "224.0.0.1"));
    ASSERT_TRUE(sender.send("noise", listener.port(), "224.0.0.1"));
    ASSERT_TRUE(read_all(listener, 2)) << "the second read, the first was taken in";
    EXPECT_EQ(listener.counts().contacts, 1);
}

// The made-up machine of the tests: a port another program holds, then one free, fed by the test.
TEST(Listener, OverTheFakeDevicesAsOverTheRealOnes) {
    testing::TempDir dir;
    Spool spool(dir.file("MYLOG.LOG"));
    testing::FakeDevices devices;
    devices.datagram_port(2237).set_held_elsewhere(true);
    Listener listener(devices, spool);
    const io::Status refused = listener.start("127.0.0.1", 2237, io::GroupJoin::loopback);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), io::DeviceError::busy);

    devices.datagram_port(2237).set_held_elsewhere(false);
    ASSERT_TRUE(listener.start("127.0.0.1", 2237, io::GroupJoin::loopback));
    EXPECT_TRUE(devices.datagram_port(2237).receiver_open());
    devices.datagram_port(2237).send(testing::qso_logged(LoggedQso{}));
    ASSERT_TRUE(read_all(listener, 1));
    EXPECT_EQ(spool.waiting().contacts.size(), 1u);
    listener.stop();
    EXPECT_FALSE(devices.datagram_port(2237).receiver_open()) << "the port is let go";
}

} // namespace
} // namespace kestrel::digital
