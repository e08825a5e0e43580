// The UDP receiver against datagrams this test sends over the loopback interface.
#include "platform/posix/posix_devices.hpp"

#include "support/udp_sender.hpp"

#include <gtest/gtest.h>

namespace kestrel::platform::posix {
namespace {

using namespace std::chrono_literals;
using io::DeviceError;
using testing::UdpSender;

std::string text_of(const io::Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

TEST(UdpReceiver, DatagramsArriveWholeAndInOrderAndSilenceIsNothing) {
    PosixDevices devices;
    auto socket = devices.open_datagram_receiver("127.0.0.1", 0, io::GroupJoin::loopback);
    ASSERT_TRUE(socket);
    const int port = (*socket)->port();
    ASSERT_GT(port, 0) << "the system chose a free port";

    const auto silence = (*socket)->receive(0ms);
    ASSERT_TRUE(silence);
    EXPECT_FALSE(silence->has_value());

    UdpSender sender;
    const std::string large(60'000, 'x');
    for (const std::string& text : {std::string("first"), std::string(), large})
        ASSERT_TRUE(sender.send(text, port));
    for (const std::string& text : {std::string("first"), std::string(), large}) {
        const auto got = (*socket)->receive(2s);
        ASSERT_TRUE(got && got->has_value());
        EXPECT_EQ(text_of(**got), text) << "length " << text.size();
    }

    (*socket)->close();
    const auto closed = (*socket)->receive(0ms);
    ASSERT_FALSE(closed);
    EXPECT_EQ(closed.error(), DeviceError::not_open);
}

TEST(UdpReceiver, APortTakenAnAddressNotOursAndNoAddressAreEachTold) {
    PosixDevices devices;
    auto first = devices.open_datagram_receiver("127.0.0.1", 0, io::GroupJoin::loopback);
    ASSERT_TRUE(first);
    const int taken = (*first)->port();

    struct Case {
        const char* address;
        int port;
        DeviceError error;
    };
    const Case cases[] = {
        {"127.0.0.1", taken, DeviceError::busy},
        {"192.0.2.7", 0, DeviceError::no_such_port}, // a documentation address, never this machine's
        {"not an address", 0, DeviceError::bad_port_name},
        {"127.0.0.1", 70000, DeviceError::bad_port_name},
    };
    for (const Case& c : cases) {
        const auto second = devices.open_datagram_receiver(c.address, c.port, io::GroupJoin::loopback);
        ASSERT_FALSE(second) << c.address;
        EXPECT_EQ(second.error(), c.error) << c.address;
    }
}

// A program on this computer sends to the group by way of the loopback interface: heard whether
// the group is joined there only or on every interface.
TEST(UdpReceiver, AMulticastGroupIsJoinedAndItsPortShared) {
    PosixDevices devices;
    const char* group = "239.255.18.21";
    for (const io::GroupJoin join : {io::GroupJoin::every_interface, io::GroupJoin::loopback}) {
        const int how = static_cast<int>(join);
        auto first = devices.open_datagram_receiver(group, 0, join);
        if (!first)
            GTEST_SKIP() << "this machine cannot join a multicast group: " << io::message_of(first.error());
        const int port = (*first)->port();
        auto second = devices.open_datagram_receiver(group, port, join);
        ASSERT_TRUE(second) << "a second program listens to the same group and port; join " << how;

        UdpSender sender;
        ASSERT_TRUE(sender.send("to the group", port, group));
        for (auto* socket : {&*first, &*second}) {
            const auto got = (*socket)->receive(2s);
            ASSERT_TRUE(got && got->has_value()) << "join " << how;
            EXPECT_EQ(text_of(**got), "to the group");
        }
    }
}

} // namespace
} // namespace kestrel::platform::posix
