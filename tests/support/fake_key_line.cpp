#include "support/fake_key_line.hpp"

#include <mutex>

namespace kestrel::testing {

struct FakeKeyLine::State {
    std::mutex mutex;
    std::shared_ptr<FakeSteadyClock> clock;
    bool open = false;
    bool down = false;
    std::optional<io::DeviceError> open_failure, keying_failure;
    std::vector<KeyEvent> events;
};

namespace {

using State = FakeKeyLine::State;

class FakeKeyLinePort final : public io::KeyLine {
  public:
    explicit FakeKeyLinePort(std::shared_ptr<State> state) : m_state(std::move(state)) {}
    ~FakeKeyLinePort() override {
        std::lock_guard lock(m_state->mutex);
        m_state->open = false;
    }

    io::Status key_down() override { return key(KeyEdge::down); }
    io::Status key_up() override { return key(KeyEdge::up); }

  private:
    io::Status key(KeyEdge edge) {
        std::lock_guard lock(m_state->mutex);
        m_state->events.push_back({edge, m_state->clock->now()});
        if (m_state->keying_failure) return *m_state->keying_failure;
        m_state->down = edge == KeyEdge::down;
        return {};
    }

    std::shared_ptr<State> m_state;
};

} // namespace

FakeKeyLine::FakeKeyLine(std::shared_ptr<FakeSteadyClock> clock)
    : m_clock(std::move(clock)), m_state(std::make_shared<State>()) {
    m_state->clock = m_clock;
}

Result<std::unique_ptr<io::KeyLine>, io::DeviceError> FakeKeyLine::open() {
    std::lock_guard lock(m_state->mutex);
    if (m_state->open_failure) return *m_state->open_failure;
    if (m_state->open) return io::DeviceError::busy;
    m_state->open = true;
    return std::unique_ptr<io::KeyLine>(std::make_unique<FakeKeyLinePort>(m_state));
}

void FakeKeyLine::fail_open(std::optional<io::DeviceError> error) {
    std::lock_guard lock(m_state->mutex);
    m_state->open_failure = error;
}

void FakeKeyLine::fail_keying(std::optional<io::DeviceError> error) {
    std::lock_guard lock(m_state->mutex);
    m_state->keying_failure = error;
}

std::vector<KeyEvent> FakeKeyLine::events() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->events;
}

bool FakeKeyLine::is_down() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->down;
}

bool FakeKeyLine::is_open() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->open;
}

} // namespace kestrel::testing
