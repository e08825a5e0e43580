#pragma once

#include "io/devices.hpp"
#include "rig/rig_description.hpp"
#include "rig/rig_link.hpp"

#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace kestrel::rig {

// The rig daemon's word for a mode as the log writes it: USB and LSB are SSB, CWR is CW, RTTY is
// RTY, the AM and FM variants AM and FM. Data modes (PKTUSB...) give "", since what is sent
// through them (FT8, PSK31) is the operator's to say.
[[nodiscard]] std::string log_mode_of(std::string_view daemon_mode);

// The daemon's plain answers, line by line as they arrive: "f" gives the frequency in Hz, "m" the
// mode and then the passband; a command that failed gives one line "RPRT <error>" instead.
class DaemonAnswers {
  public:
    // The request "f\nm\n" went out.
    void expect_frequency_and_mode();
    // Answers are still owed.
    [[nodiscard]] bool waiting() const { return !m_expected.empty(); }
    // Forgets owed answers and half lines (a new connection).
    void reset();

    struct Decoded {
        std::optional<std::string> frequency_text; // at least 100 kHz, as the band list shows it
        std::string mode;                          // as the log writes it; "" for none
    };
    // Takes the bytes that arrived; what the answers completed by them said.
    [[nodiscard]] Decoded take(std::span<const std::uint8_t> arrived);

  private:
    enum class Answer { frequency, mode, passband };
    void answer(const std::string& line, Decoded& decoded);

    std::deque<Answer> m_expected;
    std::string m_partial; // a line not yet ended
};

// A rig shared through hamlib's rig daemon (rigctld), asked in its plain text protocol. Each poll
// reads the answers to the last poll's questions and asks again, so it waits for nothing. A
// daemon that goes away, or stops answering, is connected to again every few polls.
class RigDaemonLink final : public RigLink {
  public:
    // Without a stream (the daemon was not there at start-up) the first polls try to connect.
    RigDaemonLink(io::Devices& devices, DaemonAddress address, std::unique_ptr<io::ByteStream> stream);
    [[nodiscard]] std::optional<RigReading> poll() override;

  private:
    void drop();

    io::Devices& m_devices;
    DaemonAddress m_address;
    std::unique_ptr<io::ByteStream> m_stream;
    DaemonAnswers m_answers;
    ReadingKeeper m_readings;
    int m_polls_unanswered = 0;
    int m_polls_until_retry = 0;
};

} // namespace kestrel::rig
