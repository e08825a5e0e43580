#pragma once

#include "common/result.hpp"
#include "io/serial_port.hpp"
#include "support/fake_clocks.hpp"

#include <memory>
#include <optional>
#include <vector>

namespace kestrel::testing {

// One write() call as the far end saw it.
struct WrittenBytes {
    io::Bytes bytes;
    io::SteadyClock::time_point at;
};

// One RTS or DTR switch, refused or not.
struct LineChange {
    io::ControlLine line;
    io::LineLevel level;
    io::SteadyClock::time_point at;

    friend bool operator==(const LineChange&, const LineChange&) = default;
};

// A serial line with a scripted device at the far end: it hands out ports that behave as a real
// one and records, with the steady time, every byte written and every control line switched.
// It outlives the ports it opened (they share its state), so a test may look at it after the
// code under test has let go of its port.
class FakeSerialLine {
  public:
    explicit FakeSerialLine(std::shared_ptr<FakeSteadyClock> clock = std::make_shared<FakeSteadyClock>());

    // The port, or the failure fail_open() asked for; busy while a port of this line is open.
    [[nodiscard]] Result<std::unique_ptr<io::SerialPort>, io::DeviceError> open();

    // The far end. A write that equals `command` puts `reply` in the input at once. Several
    // replies to one command are given in turn, the last one for every later write.
    void answer(io::Bytes command, io::Bytes reply);
    // Bytes that arrive now, unasked.
    void arrive(const io::Bytes& bytes);

    // Failures on demand, for every later call of that kind; std::nullopt cures them.
    void fail_open(std::optional<io::DeviceError> error);
    void fail_settings(std::optional<io::DeviceError> error);
    void fail_line_changes(std::optional<io::DeviceError> error);
    void fail_writes(std::optional<io::DeviceError> error);

    [[nodiscard]] std::vector<WrittenBytes> writes() const;
    [[nodiscard]] io::Bytes written() const; // every byte written, in order
    [[nodiscard]] std::vector<LineChange> line_changes() const;
    [[nodiscard]] io::LineLevel level(io::ControlLine line) const;
    [[nodiscard]] std::optional<io::LineSettings> settings() const; // nothing until configured
    [[nodiscard]] io::Bytes unread() const;
    [[nodiscard]] bool is_open() const;

    FakeSteadyClock& clock() { return *m_clock; }

    struct State;

  private:
    std::shared_ptr<FakeSteadyClock> m_clock;
    std::shared_ptr<State> m_state;
};

} // namespace kestrel::testing
