#pragma once

#include "io/devices.hpp"
#include "keyer/keyer_settings.hpp"
#include "keyer/keying_plan.hpp"
#include "keyer/morse_table.hpp"
#include "ui/context.hpp"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace kestrel::keyer {

// The commands the keying thread posts to the window that asked for a message; the window hands
// them back through on_posted. They are the window's numbers, so the window gives them.
struct KeyerCommands {
    int done = 0;   // the message has been keyed to its end
    int failed = 0; // the key line refused a change; the message was given up with the key up
};

// Keys the stored messages on the key line while the on-line window is open. A message is played
// by a thread of its own against absolute deadlines of the steady clock, so every element is as
// long as the speed says whatever the window is busy with. One message at a time. Everything but
// the keying thread runs on the window's thread.
class Keyer {
  public:
    Keyer(io::Devices& devices, const MorseTable& table, const KeyerSettings& settings,
          KeyerCommands commands);
    ~Keyer();
    Keyer(const Keyer&) = delete;
    Keyer& operator=(const Keyer&) = delete;

    // Claims the key line of the port setting (none when it is empty). A line that cannot be had
    // is told to the operator over `window`; the number of the failure is given back for the
    // window to report again when it closes, 0 when there was none. Without a line messages are
    // not keyed and nothing more is said.
    [[nodiscard]] int open_key_port(ui::Context& window);
    // Stops any message and lets the line go, key up.
    void close_key_port();

    // Starts keying message 0-3 with the call and report put in. Nothing happens while a message
    // is being sent, with no key line, or for a message with nothing to key.
    void send(ui::Context& window, int message, const std::string& call, const std::string& report);
    [[nodiscard]] bool sending() const { return m_sending.load(); }
    // Stops the message at once; the line is up when this returns.
    void stop_sending();
    // A command the keying thread posted, handed back by the window: a failure of the line is
    // told to the operator once for each opening of the port.
    void on_posted(ui::Context& window, int command);

    // The number open_key_port gives for a line that could not be had.
    [[nodiscard]] static int failure_number(io::DeviceError error);

  private:
    enum class Outcome { done, stopped, failed };
    Outcome key_message(std::stop_token stop, const KeyingPlan& plan, int words_per_minute);
    void finish_thread();
    [[nodiscard]] std::string port_name() const;

    io::Devices& m_devices;
    const MorseTable& m_table;
    const KeyerSettings& m_settings;
    KeyerCommands m_commands;

    std::string m_port; // the port the line was opened on
    std::unique_ptr<io::KeyLine> m_line;
    bool m_failure_told = false;

    // Shared with the keying thread. The line is the thread's alone while it runs; the window's
    // thread touches it again only after joining.
    std::atomic<bool> m_sending = false;
    std::mutex m_failure_mutex;
    std::optional<io::DeviceError> m_failure; // the line's refusal, until it is told
    std::jthread m_thread;
};

} // namespace kestrel::keyer
