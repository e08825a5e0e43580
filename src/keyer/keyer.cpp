#include "keyer/keyer.hpp"

#include "io/port_name.hpp"

#include <utility>

namespace kestrel::keyer {

namespace {

constexpr std::string_view k_port_title = "CW Port selection";

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The reason, as a sentence after the operator's port text.
std::string reason(const std::string& port, io::DeviceError error) {
    const std::string subject =
        error == io::DeviceError::bad_port_name ? "\"" + port + "\"" : std::string("The port");
    return subject + " " + std::string(io::message_of(error)) + ".";
}

} // namespace

Keyer::Keyer(io::Devices& devices, const MorseTable& table, const KeyerSettings& settings,
             KeyerCommands commands)
    : m_devices(devices), m_table(table), m_settings(settings), m_commands(commands) {}

Keyer::~Keyer() {
    close_key_port();
}

std::string Keyer::port_name() const {
    return io::names_parallel_port(m_port) ? "Parallel Port" : "Com Port " + m_port;
}

int Keyer::failure_number(io::DeviceError error) {
    // Numbers of their own, so the "ERROR" box at closing says which way the key port failed.
    switch (error) {
    case io::DeviceError::bad_port_name: return 901;
    case io::DeviceError::no_such_port: return 902;
    case io::DeviceError::permission_denied: return 903;
    case io::DeviceError::busy: return 904;
    case io::DeviceError::bad_settings: return 905;
    case io::DeviceError::line_change_refused: return 906;
    case io::DeviceError::timeout: return 907;
    case io::DeviceError::io_error: return 908;
    case io::DeviceError::not_open: return 909;
    case io::DeviceError::not_permitted: return 910;
    }
    return 900;
}

int Keyer::open_key_port(ui::Context& window) {
    close_key_port();
    m_failure_told = false;
    {
        std::lock_guard lock(m_failure_mutex);
        m_failure.reset();
    }
    m_port = trimmed(m_settings.port);
    if (m_port.empty()) return 0;
    auto line = m_devices.open_key_line(m_port);
    if (!line) {
        window.message(port_name() + " not available\r\n" + reason(m_port, line.error()), k_port_title,
                       ui::Icon::exclamation);
        return failure_number(line.error());
    }
    m_line = std::move(line).value();
    return 0;
}

void Keyer::close_key_port() {
    stop_sending();
    m_line.reset(); // a line lets its key up as it goes
}

void Keyer::send(ui::Context& window, int message, const std::string& call, const std::string& report) {
    if (sending() || !m_line || message < 0 || message >= k_message_count) return;
    const std::string& text = m_settings.messages[static_cast<std::size_t>(message)];
    if (text.empty()) return;
    KeyingPlan plan = plan_of(build_slots(substitute(text, call, report), m_table));
    if (!plan.keys_anything()) return;

    if (m_thread.joinable()) m_thread.join(); // the last message's thread, already at its end
    const int speed = usable_speed(m_settings.words_per_minute);
    m_sending = true;
    m_thread = std::jthread(
        [this, plan = std::move(plan), speed, post = window.thread_post()](std::stop_token stop) {
            const Outcome outcome = key_message(stop, plan, speed);
            // Posted first, so whoever sees the keyer idle finds its word already waiting.
            if (outcome == Outcome::done) post.post(m_commands.done);
            if (outcome == Outcome::failed) post.post(m_commands.failed);
            m_sending = false;
        });
}

void Keyer::stop_sending() {
    if (m_thread.joinable()) {
        m_thread.request_stop();
        m_thread.join();
    }
    m_sending = false;
}

// On the keying thread. Each change of the line waits for its own deadline counted from the
// message's start, so a late wake-up delays one edge and never the ones after it.
Keyer::Outcome Keyer::key_message(std::stop_token stop, const KeyingPlan& plan, int words_per_minute) {
    io::SteadyClock& clock = m_devices.steady_clock();
    io::KeyLine& line = *m_line;
    const io::SteadyClock::time_point start = clock.now();

    const auto refused = [&](io::DeviceError error) {
        (void)line.key_up(); // one more try: a transmitter must not stay keyed
        std::lock_guard lock(m_failure_mutex);
        m_failure = error;
        return Outcome::failed;
    };
    const auto stopped = [&] {
        if (const io::Status up = line.key_up(); !up) return refused(up.error());
        return Outcome::stopped;
    };

    for (const SlotEdge& edge : plan.edges) {
        if (!clock.sleep_until(start + slot_start(edge.slot, words_per_minute), stop)) return stopped();
        if (const io::Status done = edge.down ? line.key_down() : line.key_up(); !done)
            return refused(done.error());
    }
    // The last gap is part of the message: a message sent right after keeps its distance.
    if (!clock.sleep_until(start + slot_start(plan.slots, words_per_minute), stop)) return stopped();
    return Outcome::done;
}

void Keyer::finish_thread() {
    if (m_thread.joinable() && !sending()) m_thread.join();
}

void Keyer::on_posted(ui::Context& window, int command) {
    if (command != m_commands.done && command != m_commands.failed) return;
    finish_thread();
    if (command != m_commands.failed) return;
    std::optional<io::DeviceError> failure;
    {
        std::lock_guard lock(m_failure_mutex);
        failure = std::exchange(m_failure, std::nullopt);
    }
    if (!failure || m_failure_told) return;
    m_failure_told = true;
    window.message("Keying stopped: " + port_name() + " failed.\r\n" + reason(m_port, *failure), k_port_title,
                   ui::Icon::exclamation);
}

} // namespace kestrel::keyer
