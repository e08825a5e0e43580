#pragma once

#include <array>
#include <string>

namespace kestrel::online {

// Contacts per hour while the on-line window is open, counted from the minutes at which stations
// were logged off.
class QsoRates {
  public:
    static constexpr int k_history = 100;

    // The window has just opened: minute 1, nothing logged.
    void reset();
    // A new minute of the clock: counts it and works the rates out again.
    void new_minute();
    // A Log On while nothing has been logged off yet marks where the first contact began.
    void logged_on();
    // A station logged off: its minute goes to the front of the history.
    void logged_off();

    int minute() const { return m_minute; }
    int history_count() const { return m_count; }
    int last_10() const { return m_last_10; }
    int last_100() const { return m_last_100; }
    int overall() const { return m_overall; }

  private:
    int m_minute = 1;
    int m_logged_off = 0;
    int m_count = 0;
    std::array<int, k_history + 1> m_history{}; // slot 0 the newest Log Off
    int m_last_10 = 0;
    int m_last_100 = 0;
    int m_overall = 0;
};

// The rate box's four lines, joined by CR LF.
[[nodiscard]] std::string rates_text(const QsoRates& rates);

} // namespace kestrel::online
