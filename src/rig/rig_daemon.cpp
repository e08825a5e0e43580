#include "rig/rig_daemon.hpp"

#include "common/number_text.hpp"
#include "rig/rig_decoding.hpp"

#include <algorithm>
#include <array>
#include <utility>

namespace kestrel::rig {

namespace {

constexpr std::string_view k_questions = "f\nm\n";
constexpr std::string_view k_failure = "RPRT";

// A connection that fails, or a daemon silent this many polls, is tried again after as many.
constexpr int k_patience_polls = 5;
constexpr int k_retry_polls = 10;
// A reconnection runs on the window's clock tick, so it may hold it up only briefly.
constexpr std::chrono::milliseconds k_reconnect_timeout{300};

// Longer than any answer: a daemon sending this much without a line end is not one.
constexpr std::size_t k_longest_line = 256;

// "14250000", or "14250000.000000" as some versions write it.
std::optional<double> hertz_of(std::string_view line) {
    const auto point = line.find('.');
    const std::string_view whole = line.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? "" : line.substr(point + 1);
    const auto digits = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || !digits(whole) || !digits(fraction)) return std::nullopt;
    return leading_number(line);
}

} // namespace

std::string log_mode_of(std::string_view daemon_mode) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 14> k_modes = {{
        {"USB", "SSB"},
        {"LSB", "SSB"},
        {"CW", "CW"},
        {"CWR", "CW"},
        {"CWN", "CW"},
        {"RTTY", "RTY"},
        {"RTTYR", "RTY"},
        {"AM", "AM"},
        {"AMS", "AM"},
        {"AMN", "AM"},
        {"SAM", "AM"},
        {"FM", "FM"},
        {"FMN", "FM"},
        {"WFM", "FM"},
    }};
    for (const auto& [daemon, log] : k_modes)
        if (daemon == daemon_mode) return std::string(log);
    return {};
}

void DaemonAnswers::expect_frequency_and_mode() {
    m_expected.push_back(Answer::frequency);
    m_expected.push_back(Answer::mode);
}

void DaemonAnswers::reset() {
    m_expected.clear();
    m_partial.clear();
}

DaemonAnswers::Decoded DaemonAnswers::take(std::span<const std::uint8_t> arrived) {
    Decoded decoded;
    for (const std::uint8_t byte : arrived) {
        if (byte != '\n') {
            if (byte != '\r') m_partial += static_cast<char>(byte);
            if (m_partial.size() > k_longest_line) m_partial.clear();
            continue;
        }
        answer(std::exchange(m_partial, {}), decoded);
    }
    return decoded;
}

void DaemonAnswers::answer(const std::string& line, Decoded& decoded) {
    if (m_expected.empty()) return; // nothing was asked: not an answer
    const Answer expected = m_expected.front();
    m_expected.pop_front();
    const bool failed = line.starts_with(k_failure);
    switch (expected) {
    case Answer::frequency:
        if (const auto hz = failed ? std::nullopt : hertz_of(line))
            decoded.frequency_text = frequency_text(*hz);
        break;
    case Answer::mode:
        if (failed) break;
        decoded.mode = log_mode_of(line);
        m_expected.push_front(Answer::passband);
        break;
    case Answer::passband: break;
    }
}

RigDaemonLink::RigDaemonLink(io::Devices& devices, DaemonAddress address,
                             std::unique_ptr<io::ByteStream> stream)
    : m_devices(devices), m_address(std::move(address)), m_stream(std::move(stream)) {}

void RigDaemonLink::drop() {
    m_stream.reset();
    m_answers.reset();
    m_polls_unanswered = 0;
    m_polls_until_retry = k_retry_polls;
}

std::optional<RigReading> RigDaemonLink::poll() {
    if (!m_stream) {
        if (m_polls_until_retry > 0 && --m_polls_until_retry > 0) return std::nullopt;
        auto connected = m_devices.connect_stream(m_address.host, m_address.port, k_reconnect_timeout);
        if (!connected) {
            m_polls_until_retry = k_retry_polls;
            return std::nullopt;
        }
        m_stream = std::move(connected).value();
    }
    auto arrived = m_stream->read(io::ReadRequest{});
    if (!arrived) {
        drop();
        return std::nullopt;
    }
    const DaemonAnswers::Decoded decoded = m_answers.take(*arrived);
    if (!m_answers.waiting()) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(k_questions.data());
        if (!m_stream->write(std::span(bytes, k_questions.size()))) {
            drop();
        } else {
            m_answers.expect_frequency_and_mode();
            m_polls_unanswered = 0;
        }
    } else if (++m_polls_unanswered >= k_patience_polls) {
        drop(); // a daemon that stopped answering is asked again on a fresh connection
    }
    return m_readings.reading(decoded.frequency_text, decoded.mode);
}

} // namespace kestrel::rig
