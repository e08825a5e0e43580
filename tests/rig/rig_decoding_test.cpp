#include "rig/rig_decoding.hpp"

#include <gtest/gtest.h>

#include <string>

namespace kestrel::rig {
namespace {

using io::Bytes;

RigDescription rig_of(int format, int start, int length, Bytes poll = {0x00, 0x00, 0x00, 0x00, 0x03}) {
    RigDescription rig;
    rig.frequency_format = format;
    rig.frequency_start = start;
    rig.frequency_length = length;
    rig.poll_command = std::move(poll);
    rig.mode_mask = 0x0F;
    rig.mode_names = {"SSB", "SSB", "CW", "FM", "AM"};
    return rig;
}

Bytes text_bytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST(RigDecoding, EveryFormatCodeReadsItsField) {
    const struct {
        int format;
        Bytes field;
        std::optional<double> hz;
    } cases[] = {
        {k_integer, {0x00, 0xD7, 0x70, 0xD0}, 14'119'120.0},
        {k_integer_with_vfo, {0x00, 0xD7, 0x70, 0xD0}, 14'119'120.0},
        {k_integer, {0x15, 0xBE, 0x68}, 14'250'000.0}, // three bytes count in 10 Hz
        {k_integer_5_8, {0x01, 0x5B, 0xE6, 0x80}, 14'250'000.0},
        {k_integer_10, {0x00, 0x15, 0xBE, 0x68}, 14'250'000.0},
        {k_integer_320, {0x00, 0x00, 0xAD, 0xF4}, 14'250'240.0},
        {k_ascii_decimal, text_bytes("00014250000"), 14'250'000.0},
        {k_ascii_decimal, text_bytes("  7030000"), 7'030'000.0},
        {k_bcd_forward, {0x01, 0x42, 0x50, 0x00}, 14'250'000.0},
        {k_bcd_backward, {0x00, 0x50, 0x42, 0x01}, 14'250'000.0},
        {k_bcd_echoed, {0x00, 0x50, 0x42, 0x01}, 14'250'000.0},
        // Garbled fields are no frequency, whatever digits they start with.
        {k_ascii_decimal, text_bytes("000142500x0"), std::nullopt},
        {k_ascii_decimal, text_bytes("           "), std::nullopt},
        {k_bcd_forward, {0x01, 0x4A, 0x50, 0x00}, std::nullopt},
        {k_bcd_forward, {0x01, 0x42, 0x50}, std::nullopt},
        {k_integer, {}, std::nullopt},
        {k_framed_bcd, {0x00, 0x50, 0x42, 0x01, 0x00}, std::nullopt}, // needs the whole frame
        {10, {0x01, 0x42, 0x50, 0x00}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("format " + std::to_string(c.format) + ", " + std::to_string(c.field.size()) + " bytes");
        EXPECT_EQ(field_frequency(c.format, c.field), c.hz);
    }
}

TEST(RigDecoding, FrequencyTextIsMegahertzWithThreeDecimals) {
    const struct {
        double hz;
        std::optional<std::string> text;
    } cases[] = {
        {14'250'000, "14.250"}, {1'825'000, "1.825"},          {144'300'000, "144.300"},
        {100'000, "0.100"},     {14'250'499, "14.250"},        {14'250'500, "14.251"},
        {14'119'120, "14.119"}, {10'368'100'000, "10368.100"}, {99'999, std::nullopt},
        {0, std::nullopt},      {1e11, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(frequency_text(c.hz), c.text) << c.hz;
}

TEST(RigDecoding, TheModeIsTheMaskedByteNamedInTheDescription) {
    RigDescription rig = rig_of(k_integer, 1, 4);
    const Bytes reply = {0x00, 0xD7, 0x70, 0xD0, 0x32, 0x0F, 0xF3};
    const struct {
        int position;
        std::string mode;
    } cases[] = {
        {5, "CW"}, // 0x32 & 0x0F = 2
        {7, "FM"}, // 0xF3 & 0x0F = 3
        {6, ""},   // 15: more than the names given
        {0, ""},   // the reply has no mode
        {8, ""},   // past the end of the reply
        {-1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mode_name(rig, reply, c.position), c.mode) << c.position;
    rig.mode_mask = 0xFF;
    EXPECT_EQ(mode_name(rig, reply, 7), "") << "a mask letting 243 through names nothing";
}

TEST(RigDecoding, AFullReplyGivesFrequencyAndModeAndTheSameRequestAgain) {
    const struct {
        std::string name;
        RigDescription rig;
        int mode_position;
        Bytes reply;
        std::optional<std::string> frequency;
        std::string mode;
    } cases[] = {
        {"BCD with mode byte",
         rig_of(k_bcd_forward, 1, 4),
         5,
         {0x01, 0x42, 0x50, 0x00, 0x02},
         "14.250",
         "CW"},
        {"ASCII", rig_of(k_ascii_decimal, 3, 11), 30, text_bytes("IF00014250000     +00000000002000000 ;"),
         "14.250", "CW"},
        {"ASCII without mode", rig_of(k_ascii_decimal, 3, 11), 0, text_bytes("FA00007030000;"), "7.030", ""},
        {"below 100 kHz", rig_of(k_ascii_decimal, 3, 11), 0, text_bytes("FA00000099999;"), std::nullopt, ""},
        {"short", rig_of(k_ascii_decimal, 3, 11), 30, text_bytes("FA0001425"), std::nullopt, ""},
        {"garbled", rig_of(k_bcd_forward, 1, 4), 5, {0xFF, 0x42, 0x50, 0x00, 0x02}, std::nullopt, ""},
        {"mode past the end", rig_of(k_bcd_forward, 1, 4), 9, {0x01, 0x42, 0x50, 0x00, 0x02}, "14.250", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RigDescription rig = c.rig;
        rig.mode_position = c.mode_position;
        PollState state(rig);
        const PollStep step = decode_reply(rig, state, c.reply);
        EXPECT_EQ(step.frequency_text, c.frequency);
        EXPECT_EQ(step.mode, c.mode);
        EXPECT_EQ(step.request, rig.poll_command);
        EXPECT_EQ(state.poll_command, rig.poll_command);
    }
}

TEST(RigDecoding, AnEchoOfFiveBytesIsAcknowledgedInsteadOfPolling) {
    const RigDescription rig = rig_of(k_bcd_echoed, 1, 4, {0x00, 0x00, 0x00, 0x00, 0x10});
    PollState state(rig);
    const Bytes echo = {0x00, 0x00, 0x00, 0x00, 0x10};
    PollStep step = decode_reply(rig, state, echo);
    EXPECT_EQ(step.request, (Bytes{0x00, 0x00, 0x00, 0x00, 0x0B}));
    EXPECT_FALSE(step.frequency_text);

    step = decode_reply(rig, state, Bytes{0x00, 0x50, 0x42, 0x01, 0x00, 0x00});
    EXPECT_EQ(step.frequency_text, "14.250");
    EXPECT_EQ(step.request, (Bytes{0x00, 0x00, 0x00, 0x01, 0x00}));
    EXPECT_EQ(state.poll_command, rig.poll_command) << "only that poll's request changes";

    const RigDescription backward = rig_of(k_bcd_backward, 1, 4);
    PollState other(backward);
    EXPECT_EQ(decode_reply(backward, other, echo).request, backward.poll_command)
        << "only format 5 rigs echo";
    EXPECT_EQ(decode_reply(rig, state, Bytes{}).request, rig.poll_command) << "nothing arrived";
}

TEST(RigDecoding, TheVfoByteChoosesTheRequestAndWhereTheModeIs) {
    RigDescription rig = rig_of(k_integer_with_vfo, 1, 4, {0x57, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x41});
    rig.mode_position = 12;
    PollState state(rig);
    Bytes reply = {0x00, 0xD7, 0x70, 0xD0, 0x00, 'B', 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x03};
    PollStep step = decode_reply(rig, state, reply);
    EXPECT_EQ(step.request[7], 'B');
    EXPECT_EQ(state.mode_position, 13);
    EXPECT_EQ(step.mode, "FM") << "VFO B's mode, in byte 13";
    EXPECT_EQ(state.poll_command, rig.poll_command) << "the request changes for this poll only";

    reply[5] = 'A';
    step = decode_reply(rig, state, reply);
    EXPECT_EQ(step.request[7], 'A');
    EXPECT_EQ(state.mode_position, 12);
    EXPECT_EQ(step.mode, "CW");

    PollState short_state(rig);
    step = decode_reply(rig, short_state, Bytes{0x00, 0xD7, 0x70});
    EXPECT_EQ(step.request, rig.poll_command) << "a reply without a VFO byte changes nothing";
    EXPECT_FALSE(step.frequency_text);
}

// The addressed protocol: the rig at 0x94, the controller at 0xE0, frequency in five bytes.
class FramedReplies : public ::testing::Test {
  protected:
    FramedReplies() {
        m_rig = rig_of(k_framed_bcd, 10, 5, {0xFE, 0xFE, 0x94, 0xE0, 0x03, 0xFD});
        m_rig.mode_position = 6;
        m_rig.mode_names = {"SSB", "SSB", "AM", "CW"};
    }
    RigDescription m_rig;
    const Bytes m_echo = {0xFE, 0xFE, 0x94, 0xE0, 0x03, 0xFD};
    const Bytes m_frequency = {0xFE, 0xFE, 0xE0, 0x94, 0x03, 0x00, 0x00, 0x25, 0x14, 0x00, 0xFD};
    const Bytes m_mode = {0xFE, 0xFE, 0xE0, 0x94, 0x04, 0x03, 0x01, 0xFD};
};

TEST_F(FramedReplies, EachReplyTurnsTheRequestToTheOtherQuestion) {
    PollState state(m_rig);
    EXPECT_EQ(decode_reply(m_rig, state, Bytes{}).request[4], 0x03) << "no reply: the same question";

    Bytes reply = m_echo;
    reply.insert(reply.end(), m_frequency.begin(), m_frequency.end());
    PollStep step = decode_reply(m_rig, state, reply);
    EXPECT_EQ(step.frequency_text, "14.250");
    EXPECT_EQ(step.mode, "");
    EXPECT_EQ(step.request, (Bytes{0xFE, 0xFE, 0x94, 0xE0, 0x04, 0xFD}));

    step = decode_reply(m_rig, state, m_mode);
    EXPECT_FALSE(step.frequency_text);
    EXPECT_EQ(step.mode, "CW");
    EXPECT_EQ(step.request[4], 0x03);
    EXPECT_EQ(state.poll_command, m_rig.poll_command);
}

TEST_F(FramedReplies, BothFramesInOneReplyGiveBothInEitherOrder) {
    for (const bool mode_first : {false, true}) {
        Bytes reply = mode_first ? m_mode : m_frequency;
        const Bytes& second = mode_first ? m_frequency : m_mode;
        reply.insert(reply.end(), second.begin(), second.end());
        PollState state(m_rig);
        const PollStep step = decode_reply(m_rig, state, reply);
        EXPECT_EQ(step.frequency_text, "14.250") << mode_first;
        EXPECT_EQ(step.mode, "CW") << mode_first;
    }
}

TEST_F(FramedReplies, FramesCutShortOrFromAnotherRigAreNoReading) {
    const struct {
        std::string name;
        Bytes reply;
    } cases[] = {
        {"echo only", m_echo},
        {"cut before the end byte", Bytes(m_frequency.begin(), m_frequency.end() - 1)},
        {"another rig's answer", {0xFE, 0xFE, 0xE0, 0x5C, 0x03, 0x00, 0x00, 0x25, 0x14, 0x00, 0xFD}},
        {"not BCD", {0xFE, 0xFE, 0xE0, 0x94, 0x03, 0x00, 0x0F, 0x25, 0x14, 0x00, 0xFD}},
        {"mode frame cut before the mode", {0xFE, 0xFE, 0xE0, 0x94, 0x04}},
        {"noise", {0xFE, 0xFE, 0xFE}},
    };
    for (const auto& c : cases) {
        PollState state(m_rig);
        const PollStep step = decode_reply(m_rig, state, c.reply);
        EXPECT_FALSE(step.frequency_text) << c.name;
        EXPECT_EQ(step.mode, "") << c.name;
    }
}

TEST_F(FramedReplies, AnOlderRigWithFourFrequencyBytesIsReadToo) {
    m_rig.frequency_start = 9;
    m_rig.frequency_length = 4;
    PollState state(m_rig);
    const Bytes reply = {0xFE, 0xFE, 0xE0, 0x94, 0x03, 0x00, 0x00, 0x25, 0x14, 0xFD};
    EXPECT_EQ(decode_reply(m_rig, state, reply).frequency_text, "14.250");
}

} // namespace
} // namespace kestrel::rig
