#include "online/rates.hpp"

#include "common/number_text.hpp"

#include <algorithm>

namespace kestrel::online {

namespace {

int per_hour(double contacts_minutes) {
    return static_cast<int>(round_half_even(contacts_minutes));
}

} // namespace

void QsoRates::reset() {
    *this = QsoRates{};
}

void QsoRates::new_minute() {
    ++m_minute;
    if (m_count < 10) {
        m_overall = per_hour(m_logged_off * 60.0 / m_minute);
        return;
    }
    // The tenth (and hundredth) Log Off back, or the first Log On when exactly that many went.
    const int since_10 = std::max(1, m_minute - m_history[10]);
    m_last_10 = per_hour(600.0 / since_10);
    if (m_count == k_history) {
        const int since_100 = std::max(1, m_minute - m_history[k_history]);
        m_last_100 = per_hour(6000.0 / since_100);
    }
}

void QsoRates::logged_on() {
    if (m_count == 0) m_history[0] = m_minute;
}

void QsoRates::logged_off() {
    std::copy_backward(m_history.begin(), m_history.end() - 1, m_history.end());
    m_history[0] = m_minute;
    ++m_logged_off;
    m_count = std::min(m_count + 1, k_history);
}

std::string rates_text(const QsoRates& rates) {
    return "QSOs per hour\r\nLast 10 :" + number_text(rates.last_10()) +
           "\r\nLast 100:" + number_text(rates.last_100()) + "\r\nOverall :" + number_text(rates.overall());
}

} // namespace kestrel::online
