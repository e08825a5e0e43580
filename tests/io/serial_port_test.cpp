#include "io/serial_port.hpp"
#include "support/fake_serial_line.hpp"

#include <gtest/gtest.h>

#include <optional>

namespace kestrel::io {
namespace {

using namespace std::chrono_literals;

TEST(ReplyLength, AReplyEndsAtItsCountOrTerminatorWhicheverComesFirst) {
    const struct {
        const char* name;
        Bytes arrived;
        std::size_t count;
        std::optional<std::uint8_t> terminator;
        std::optional<std::size_t> length;
    } cases[] = {
        {"count met", {1, 2, 3, 4, 5, 6}, 5, {}, 5},
        {"count met exactly", {1, 2, 3, 4, 5}, 5, {}, 5},
        {"count short", {1, 2, 3, 4}, 5, {}, std::nullopt},
        {"nothing yet", {}, 5, {}, std::nullopt},
        {"terminator ends it", {'F', 'A', '1', ';', 'M', 'D'}, 0, ';', 4},
        {"terminator first byte", {';'}, 0, ';', 1},
        {"no terminator yet", {'F', 'A', '1'}, 0, ';', std::nullopt},
        {"terminator before count", {0xFE, 0xFD, 7, 7}, 11, 0xFD, 2},
        {"count before terminator", {1, 2, 3, 0xFD}, 2, 0xFD, 2},
        {"terminator beyond count is not looked at", {1, 2, 3, 4, 0xFD}, 4, 0xFD, 4},
        {"neither count nor terminator yet", {1, 2}, 4, 0xFD, std::nullopt},
        {"neither takes everything", {1, 2, 3}, 0, {}, 3},
        {"neither takes nothing", {}, 0, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReadRequest request{.timeout = 0ms, .count = c.count, .terminator = c.terminator};
        EXPECT_EQ(reply_length(c.arrived, request), c.length);
    }
}

TEST(Exchange, DropsStaleBytesWritesTheCommandAndReadsItsReply) {
    testing::FakeSerialLine line;
    const Bytes poll{0x00, 0x00, 0x00, 0x00, 0x03};
    line.answer(poll, {0x01, 0x42, 0x50, 0x00, 0x01});
    auto port = std::move(line.open()).value();

    line.arrive({0x99, 0x98}); // left over from an earlier, slower reply
    const auto reply = exchange(*port, poll, ReadRequest{.timeout = 200ms, .count = 5});
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, (Bytes{0x01, 0x42, 0x50, 0x00, 0x01}));
    EXPECT_EQ(line.written(), poll);
    EXPECT_TRUE(line.unread().empty());
}

TEST(Exchange, ReportsWhyNoReplyCame) {
    const Bytes poll{'F', 'A', ';'};
    {
        testing::FakeSerialLine line; // a rig that is switched off answers nothing
        auto port = std::move(line.open()).value();
        const auto reply = exchange(*port, poll, ReadRequest{.timeout = 500ms, .terminator = ';'});
        ASSERT_FALSE(reply);
        EXPECT_EQ(reply.error(), DeviceError::timeout);
        EXPECT_EQ(line.clock().elapsed(), 500ms);
    }
    {
        testing::FakeSerialLine line;
        line.fail_writes(DeviceError::io_error);
        auto port = std::move(line.open()).value();
        const auto reply = exchange(*port, poll, ReadRequest{.timeout = 500ms, .terminator = ';'});
        ASSERT_FALSE(reply);
        EXPECT_EQ(reply.error(), DeviceError::io_error);
    }
    {
        testing::FakeSerialLine line;
        auto port = std::move(line.open()).value();
        port->close();
        const auto reply = exchange(*port, poll, ReadRequest{.timeout = 500ms, .terminator = ';'});
        ASSERT_FALSE(reply);
        EXPECT_EQ(reply.error(), DeviceError::not_open);
    }
}

} // namespace
} // namespace kestrel::io
