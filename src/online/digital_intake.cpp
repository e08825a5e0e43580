#include "online/online_window.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "countries/country_table.hpp"
#include "countries/status_chart.hpp"
#include "digital/spool.hpp"
#include "exchange/left_out.hpp"
#include "locator/locator.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/dates.hpp"
#include "logstore/log_store.hpp"
#include "rig/station_settings.hpp"
#include "ui/context.hpp"

namespace kestrel::online {

namespace {

std::string trimmed(std::string_view text) {
    return std::string(trim_trailing_spaces(text));
}

bool blank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

} // namespace

// ---- Contacts from digital-mode programs ----

// Everything waiting goes into the log in date order; the spool lets it go only once all of it
// is in. A log that refuses one keeps the rest waiting, and the next try finds those already in.
void OnlineWindow::take_in_digital(ui::Context& ctx) {
    digital::Spool* spool = m_env.digital_spool;
    if (!spool) return;
    const digital::Spool::Batch batch = spool->waiting();
    bool all_in = true;
    for (const digital::DigitalContact& contact : batch.contacts)
        if (!take_in(ctx, contact)) {
            all_in = false;
            break;
        }
    if (!batch.contacts.empty() && all_in) {
        // A spool that cannot be rewritten is read again next time, and its contacts found in the log.
        (void)spool->release(batch);
        show_entry_number(ctx, m_env.log.record_count());
    }
    tell_set_aside(ctx);
}

// Contacts the log cannot hold are told of once each time the window opens, however many come:
// a box for each would stop the operator at every one. Those set aside after it are told of at
// the next opening.
void OnlineWindow::tell_set_aside(ui::Context& ctx) {
    if (m_set_aside_told) return;
    const digital::Spool::SetAside aside = m_env.digital_spool->set_aside();
    if (aside.tally.total() == 0 && aside.held == 0) return;
    m_set_aside_told = true;
    std::string text = "Digital-mode programs logged contacts that the log cannot hold.";
    text += exchange::left_out_text(aside.tally, "contacts", aside.path, true);
    if (aside.held > 0)
        text += "\r\n" + number_text(static_cast<long long>(aside.held)) +
                " more could not yet be written to " + aside.path +
                "; they are kept and tried again with the next contact";
    // A contact arriving while the box is open waits for it, as under any other window.
    ++m_handling;
    ctx.message(text, "Digital Modes", ui::Icon::exclamation);
    --m_handling;
    if (m_handling == 0 && m_digital_waiting) {
        m_digital_waiting = false;
        take_in_digital(ctx);
    }
}

// One contact, as a station logged on and off at once: default reports where the program gave
// none and the band's power where it named none, the record at its place in date order, counted
// and rated, its country marked in the chart and its square recorded as a Log On would. The
// boxes the operator is typing in are left alone.
bool OnlineWindow::take_in(ui::Context& ctx, const digital::DigitalContact& contact) {
    logstore::QsoRecord qso = contact.record;
    const int band = logstore::band_of_field(qso.band);
    const std::string mode = trimmed(qso.mode);
    if (blank(qso.rst_sent)) qso.rst_sent = logstore::default_report(mode);
    if (blank(qso.rst_received)) qso.rst_received = logstore::default_report(mode);
    if (blank(qso.power)) qso.power = m_env.station.row_for_band(band).power;
    const logstore::RecordBytes record = qso.encode();
    if (logged_already(record)) return true;

    if (auto put = m_env.log.insert_record_in_order(record, logstore::index_text_of(record)); !put) {
        log_windows::tell_log_error(ctx, put.error());
        return false;
    }
    // The net's stations may have been logged on after the contact began: their records moved on.
    m_net.record_inserted(m_env.log.current_record());
    m_env.log.count_contact();
    m_rates.logged_on();
    m_rates.logged_off();

    // A report in decibels is below 1 and would never count by Log Off's rule; the program has
    // logged the contact as made, so it counts as one completed when the window closes does.
    const int country = m_env.countries.resolve_country(trimmed(qso.call)).country;
    m_env.chart.update_chart(country, band, logstore::mode_class_of(qso.mode), 0);

    const std::string& locator = contact.locator;
    const bool charted_band = band >= 9 && band <= 11; // worked squares are kept for 50, 70 and 144 MHz
    if (charted_band && locator.size() >= 4 && locator::validate_locator(locator)) {
        const std::string path = m_env.data_directory + k_squares_file;
        const SquareCheck check = check_square(path, square_of(locator));
        if (!record_square(path, check, trimmed(qso.call), logstore::date_text_of(qso.date)))
            ctx.message("The worked square could not be written to " + std::string(k_squares_file) + ".",
                        "Locator", ui::Icon::exclamation);
    }
    return true;
}

// The same contact in the log already: taken in before (the spool could not be emptied then) or
// logged by hand. The call as logged, the day and minute it began, the band and the mode decide.
bool OnlineWindow::logged_already(const logstore::RecordBytes& record) const {
    const digital::ContactKey key = digital::key_of(record);
    const std::string base = trimmed(logstore::index_text_of(record));
    const logstore::RecordIndex& index = m_env.log.index();
    for (int n = index.last_with_call(base, m_env.log.record_count()); n > 0;
         n = index.last_with_call(base, n - 1)) {
        const auto found = m_env.log.read_record(n);
        if (found && logstore::is_contact(*found) && digital::key_of(*found) == key) return true;
    }
    return false;
}

} // namespace kestrel::online
