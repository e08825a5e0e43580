#include "support/fake_serial_line.hpp"

#include <deque>
#include <map>
#include <mutex>

namespace kestrel::testing {

struct FakeSerialLine::State {
    std::mutex mutex;
    std::shared_ptr<FakeSteadyClock> clock;
    bool open = false;
    std::map<io::Bytes, std::deque<io::Bytes>> answers;
    io::Bytes input;
    std::optional<io::DeviceError> open_failure, settings_failure, line_failure, write_failure;
    std::vector<WrittenBytes> writes;
    std::vector<LineChange> changes;
    io::LineLevel rts = io::LineLevel::off;
    io::LineLevel dtr = io::LineLevel::off;
    std::optional<io::LineSettings> settings;
};

namespace {

using State = FakeSerialLine::State;

class FakeSerialPort final : public io::SerialPort {
  public:
    explicit FakeSerialPort(std::shared_ptr<State> state) : m_state(std::move(state)) {}
    ~FakeSerialPort() override { close(); }

    io::Status configure(const io::LineSettings& settings) override {
        std::lock_guard lock(m_state->mutex);
        if (!m_open) return io::DeviceError::not_open;
        if (m_state->settings_failure) return *m_state->settings_failure;
        m_state->settings = settings;
        return {};
    }

    io::Status set_line(io::ControlLine line, io::LineLevel level) override {
        std::lock_guard lock(m_state->mutex);
        if (!m_open) return io::DeviceError::not_open;
        m_state->changes.push_back({line, level, m_state->clock->now()});
        if (m_state->line_failure) return *m_state->line_failure;
        (line == io::ControlLine::rts ? m_state->rts : m_state->dtr) = level;
        return {};
    }

    io::Status write(std::span<const std::uint8_t> bytes) override {
        std::lock_guard lock(m_state->mutex);
        if (!m_open) return io::DeviceError::not_open;
        if (m_state->write_failure) return *m_state->write_failure;
        io::Bytes command(bytes.begin(), bytes.end());
        m_state->writes.push_back({command, m_state->clock->now()});
        if (auto found = m_state->answers.find(command); found != m_state->answers.end()) {
            auto& replies = found->second;
            m_state->input.insert(m_state->input.end(), replies.front().begin(), replies.front().end());
            if (replies.size() > 1) replies.pop_front();
        }
        return {};
    }

    // Everything the far end will send has arrived already, so a read that cannot be completed
    // now never will be: the clock moves on by the whole timeout, as the real wait would.
    Result<io::Bytes, io::DeviceError> read(const io::ReadRequest& request) override {
        std::lock_guard lock(m_state->mutex);
        if (!m_open) return io::DeviceError::not_open;
        auto& input = m_state->input;
        const bool open_ended = request.count == 0 && !request.terminator;
        const auto length = io::reply_length(input, request);
        if (open_ended || !length) m_state->clock->advance(request.timeout);
        if (!length) return io::DeviceError::timeout;
        io::Bytes reply(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(*length));
        input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(*length));
        return reply;
    }

    void close() override {
        std::lock_guard lock(m_state->mutex);
        if (m_open) m_state->open = false;
        m_open = false;
    }

    bool is_open() const override { return m_open; }

  private:
    std::shared_ptr<State> m_state;
    bool m_open = true;
};

} // namespace

FakeSerialLine::FakeSerialLine(std::shared_ptr<FakeSteadyClock> clock)
    : m_clock(std::move(clock)), m_state(std::make_shared<State>()) {
    m_state->clock = m_clock;
}

Result<std::unique_ptr<io::SerialPort>, io::DeviceError> FakeSerialLine::open() {
    std::lock_guard lock(m_state->mutex);
    if (m_state->open_failure) return *m_state->open_failure;
    if (m_state->open) return io::DeviceError::busy;
    m_state->open = true;
    return std::unique_ptr<io::SerialPort>(std::make_unique<FakeSerialPort>(m_state));
}

void FakeSerialLine::answer(io::Bytes command, io::Bytes reply) {
    std::lock_guard lock(m_state->mutex);
    m_state->answers[std::move(command)].push_back(std::move(reply));
}

void FakeSerialLine::arrive(const io::Bytes& bytes) {
    std::lock_guard lock(m_state->mutex);
    m_state->input.insert(m_state->input.end(), bytes.begin(), bytes.end());
}

void FakeSerialLine::fail_open(std::optional<io::DeviceError> error) {
    std::lock_guard lock(m_state->mutex);
    m_state->open_failure = error;
}

void FakeSerialLine::fail_settings(std::optional<io::DeviceError> error) {
    std::lock_guard lock(m_state->mutex);
    m_state->settings_failure = error;
}

void FakeSerialLine::fail_line_changes(std::optional<io::DeviceError> error) {
    std::lock_guard lock(m_state->mutex);
    m_state->line_failure = error;
}

void FakeSerialLine::fail_writes(std::optional<io::DeviceError> error) {
    std::lock_guard lock(m_state->mutex);
    m_state->write_failure = error;
}

std::vector<WrittenBytes> FakeSerialLine::writes() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->writes;
}

io::Bytes FakeSerialLine::written() const {
    std::lock_guard lock(m_state->mutex);
    io::Bytes all;
    for (const auto& write : m_state->writes)
        all.insert(all.end(), write.bytes.begin(), write.bytes.end());
    return all;
}

std::vector<LineChange> FakeSerialLine::line_changes() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->changes;
}

io::LineLevel FakeSerialLine::level(io::ControlLine line) const {
    std::lock_guard lock(m_state->mutex);
    return line == io::ControlLine::rts ? m_state->rts : m_state->dtr;
}

std::optional<io::LineSettings> FakeSerialLine::settings() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->settings;
}

io::Bytes FakeSerialLine::unread() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->input;
}

bool FakeSerialLine::is_open() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->open;
}

} // namespace kestrel::testing
