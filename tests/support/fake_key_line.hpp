#pragma once

#include "common/result.hpp"
#include "io/key_line.hpp"
#include "support/fake_clocks.hpp"

#include <memory>
#include <optional>
#include <vector>

namespace kestrel::testing {

enum class KeyEdge { down, up };

// One key_down() or key_up() call with the steady time it was made.
struct KeyEvent {
    KeyEdge edge;
    io::SteadyClock::time_point at;

    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

// A key line that records every keying call. Like FakeSerialLine it hands out the line and keeps
// the record itself, so a test reads it after the code under test let the line go. Unlike the
// real lines it does not key up when let go: a line left down is there to be seen.
class FakeKeyLine {
  public:
    explicit FakeKeyLine(std::shared_ptr<FakeSteadyClock> clock = std::make_shared<FakeSteadyClock>());

    [[nodiscard]] Result<std::unique_ptr<io::KeyLine>, io::DeviceError> open();

    // Failures on demand for every later call of that kind; std::nullopt cures them.
    void fail_open(std::optional<io::DeviceError> error);
    void fail_keying(std::optional<io::DeviceError> error);

    [[nodiscard]] std::vector<KeyEvent> events() const;
    [[nodiscard]] bool is_down() const;
    [[nodiscard]] bool is_open() const;

    FakeSteadyClock& clock() { return *m_clock; }

    struct State;

  private:
    std::shared_ptr<FakeSteadyClock> m_clock;
    std::shared_ptr<State> m_state;
};

} // namespace kestrel::testing
