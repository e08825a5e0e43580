#include "online/online_window.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "countries/country_table.hpp"
#include "countries/status_chart.hpp"
#include "digital/spool.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/dates.hpp"
#include "logstore/log_store.hpp"
#include "online/text_entry_window.hpp"
#include "ui/context.hpp"

#include <algorithm>

namespace kestrel::online {

namespace {

using logstore::k_call_width;
using logstore::k_comment_width;
using logstore::k_report_width;

// The day of the clock's date text: its two-digit year is read as typed this year, which is the
// year of the text whatever the clock did since the text was made.
int clock_day(ui::Context& ctx, std::string_view date_text) {
    return logstore::day_number_of(date_text, logstore::utc_year_of(ctx.host().now()));
}

std::string trimmed(std::string_view text) {
    return std::string(trim_trailing_spaces(text));
}

// A CQ on the net only notes that the operator was calling: it was never a contact and marks no
// country, whatever its call resolves to.
bool is_cq(std::string_view call) {
    return trim_trailing_spaces(call) == "CQ";
}

} // namespace

// ---- Logging ----

bool OnlineWindow::can_date(ui::Context& ctx) {
    if (logstore::is_storable_day(clock_day(ctx, m_date_text))) return true;
    ctx.message(std::string(logstore::k_date_range_message) + "\r\nNothing was written to the log.",
                logstore::k_date_error_title, ui::Icon::exclamation);
    return false;
}

bool OnlineWindow::append(ui::Context& ctx, const logstore::RecordBytes& record,
                          std::string_view index_text) {
    if (auto written = m_env.log.append_record(record, index_text); !written) {
        log_windows::tell_log_error(ctx, written.error());
        return false;
    }
    show_entry_number(ctx, m_env.log.record_count());
    return true;
}

bool OnlineWindow::write_station_data(ui::Context& ctx) {
    if (!can_date(ctx)) return false;
    logstore::StationDataRecord data;
    data.date = clock_day(ctx, m_date_text);
    data.time = logstore::minute_of(m_clock_text);
    data.operator_name = ctx.text(k_operator);
    data.transceiver = ctx.text(k_transceiver);
    data.antenna = ctx.text(k_antenna);
    data.band_index = static_cast<std::int16_t>(band_index());
    if (!append(ctx, data.encode(), logstore::k_station_data_marker)) return false;
    m_station_data_changed = false;
    return true;
}

void OnlineWindow::log_on(ui::Context& ctx) {
    if (m_station_data_changed && !write_station_data(ctx)) return;
    const std::string call = ctx.text(k_call);
    m_env.state.his_call = call;
    if (call.empty()) {
        ctx.focus(k_call);
        return;
    }
    NetEntry typed;
    typed.call = fixed_width(call, k_call_width);
    typed.rst_sent = fixed_width(ctx.text(k_rst_sent), k_report_width);
    typed.rst_received = fixed_width(ctx.text(k_rst_received), k_report_width);
    typed.comment = fixed_width(ctx.text(k_comment), k_comment_width);
    const std::string mode = ctx.text(k_mode);

    if (m_edit_index > 0) {
        update_edited(ctx, typed);
    } else {
        if (m_net.full()) {
            ctx.message("You have 50 calls logged on\r\nTo continue you must log some calls off",
                        "NET LOG FULL", ui::Icon::exclamation);
            return;
        }
        if (!can_date(ctx)) return;
        const bool calling = is_cq(typed.call);
        if (!calling) {
            const std::string blank(k_report_width, ' ');
            if (typed.rst_sent == blank)
                typed.rst_sent = fixed_width(logstore::default_report(mode), k_report_width);
            if (typed.rst_received == blank)
                typed.rst_received = fixed_width(logstore::default_report(mode), k_report_width);
        }
        typed.time_on = m_clock_text;
        typed.qsl_mark = m_env.state.qsl_sent_mark;
        typed.record = m_env.log.record_count() + 1;
        typed.band = band_index();

        logstore::QsoRecord qso;
        qso.date = clock_day(ctx, m_date_text);
        qso.time_on = qso.time_off = logstore::minute_of(m_clock_text);
        qso.call = typed.call;
        qso.rst_sent = typed.rst_sent;
        qso.rst_received = typed.rst_received;
        qso.band = logstore::coded_band_field(typed.band);
        qso.mode = mode;
        qso.power = ctx.text(k_power);
        qso.comment = typed.comment;
        qso.qsl_flags = typed.qsl_mark;
        const logstore::RecordBytes record = qso.encode();
        // On disk first: a station shown on the net always has its contact in the log.
        if (!append(ctx, record, logstore::index_text_of(record))) return;
        m_env.state.qsl_sent_mark = 0;
        if (!calling) {
            m_env.log.count_contact();
            m_rates.logged_on();
        }
        const int line = m_net.count() + 1;
        m_net.add(typed);
        if (line <= ctx.item_count(k_net)) {
            ctx.set_item(k_net, line - 1, net_line(line, typed));
        } else {
            ctx.add_item(k_net, net_line(line, typed));
        }
        // The station just logged on is always in sight, however far the net has grown.
        const int top = ctx.top_index(k_net);
        if (line > top + m_lines) {
            ctx.set_top_index(k_net, line - m_lines);
        } else if (line <= top) {
            ctx.set_top_index(k_net, line - 1);
        }
    }

    SquareCheck& square = m_env.state.square;
    if (square.status != SquareCheck::Status::none) {
        if (!record_square(m_env.data_directory + k_squares_file, square, typed.call, m_date_text))
            ctx.message("The worked square could not be written to " + std::string(k_squares_file) + ".",
                        "Locator", ui::Icon::exclamation);
        square = SquareCheck{};
    }

    // Show what is known of the station just logged, then clear the boxes for the next one.
    ctx.focus(k_call);
    m_focus_field = k_call;
    enter(ctx);
    for (int id : {k_call, k_rst_sent, k_rst_received, k_comment, k_locator, k_square_label})
        ctx.set_text(id, "");
    ctx.focus(k_call);
    show_entry_number(ctx, m_env.log.record_count());
}

void OnlineWindow::update_edited(ui::Context& ctx, const NetEntry& typed) {
    const int n = m_edit_index;
    m_edit_index = 0;
    if (n > m_net.count()) return;
    NetEntry& entry = m_net.entry(n - 1);
    entry.call = typed.call;
    entry.rst_sent = typed.rst_sent;
    entry.rst_received = typed.rst_received;
    entry.comment = typed.comment;
    entry.time_on = m_edit_time_on;
    ctx.set_item(k_net, n - 1, net_line(n, entry));

    const auto record = m_env.log.read_record(entry.record);
    if (!record) {
        log_windows::tell_log_error(ctx, record.error());
        return;
    }
    logstore::QsoRecord qso = logstore::QsoRecord::decode(*record);
    qso.call = entry.call;
    qso.rst_sent = entry.rst_sent;
    qso.rst_received = entry.rst_received;
    qso.comment = entry.comment;
    if (auto written = m_env.log.write_record(entry.record, qso.encode()); !written)
        log_windows::tell_log_error(ctx, written.error());
}

void OnlineWindow::begin_edit(ui::Context& ctx) {
    if (m_edit_index > 0) return;
    const int n = ctx.selection(k_net) + 1;
    if (n == 0 || n > m_net.count()) {
        ctx.beep();
        m_edit_index = 0;
        return;
    }
    m_edit_index = n;
    const NetEntry& entry = m_net.entry(n - 1);
    ctx.set_text(k_call, trimmed(entry.call));
    ctx.set_text(k_rst_sent, trimmed(entry.rst_sent));
    ctx.set_text(k_rst_received, trimmed(entry.rst_received));
    ctx.set_text(k_comment, trimmed(entry.comment));
    m_edit_time_on = entry.time_on;
}

bool OnlineWindow::complete_record(ui::Context* ctx, const NetEntry& entry, int band, bool any_report) {
    const auto report = [ctx](logstore::LogError error) {
        if (ctx) log_windows::tell_log_error(*ctx, error);
    };
    const auto record = m_env.log.read_record(entry.record);
    if (!record) {
        report(record.error());
        return false;
    }
    logstore::QsoRecord qso = logstore::QsoRecord::decode(*record);
    qso.call = entry.call;
    qso.time_off = logstore::minute_of(m_clock_text);
    qso.rst_sent = entry.rst_sent;
    qso.rst_received = entry.rst_received;
    qso.comment = entry.comment;
    qso.qsl_flags = entry.qsl_mark;
    qso.band = logstore::coded_band_field(band);
    const logstore::RecordBytes bytes = qso.encode();
    if (auto written = m_env.log.write_record(entry.record, bytes); !written) {
        report(written.error());
        return false;
    }
    if (!is_cq(qso.call) && (any_report || leading_number(qso.rst_received) > 1)) {
        const int country = m_env.countries.resolve_country(trimmed(qso.call)).country;
        m_env.chart.update_chart(country, band, logstore::mode_class_of(qso.mode), 0);
    }
    m_env.log.set_index_call(entry.record, logstore::index_text_of(bytes));
    return true;
}

void OnlineWindow::log_off(ui::Context& ctx) {
    if (m_edit_index > 0) {
        ctx.focus(k_call);
        return;
    }
    int n = ctx.selection(k_net) + 1;
    if (n == 0 && m_net.count() == 1) {
        ctx.select(k_net, 0);
        n = 1;
    }
    if (n == 0) {
        ctx.focus(k_call);
        return;
    }
    if (n > m_net.count()) {
        ctx.beep();
        return;
    }
    // The operator logs a station off on the band of the moment: he may have moved with it.
    if (!complete_record(&ctx, m_net.entry(n - 1), band_index(), false)) return;
    const int old_count = m_net.count();
    m_net.remove(n - 1);
    renumber_after(ctx, n, old_count);
    // The lines were written anew and none is chosen: a second F2 never logs off the next station
    // by accident.
    ctx.select(k_net, -1);
    m_edit_index = 0;
    m_rates.logged_off();
    ctx.focus(k_call);
}

void OnlineWindow::renumber_after(ui::Context& ctx, int removed_line, int old_count) {
    ctx.remove_item(k_net, removed_line - 1);
    const int last = std::max(old_count, m_lines);
    for (int k = removed_line; k <= last; ++k) {
        const int at = k - 1;
        if (at < ctx.item_count(k_net)) {
            std::string text = ctx.item(k_net, at);
            const std::string start = free_line(k).substr(0, 3);
            text.replace(0, std::min<std::size_t>(3, text.size()), start);
            ctx.set_item(k_net, at, text);
        } else {
            ctx.add_item(k_net, free_line(k));
        }
    }
}

void OnlineWindow::log_text(ui::Context& ctx) {
    TextEntryWindow entry;
    ctx.run_modal(entry);
    if (entry.text() && can_date(ctx)) {
        logstore::TextRecord note;
        note.date = clock_day(ctx, m_date_text);
        note.time = logstore::minute_of(m_clock_text);
        note.text = *entry.text();
        (void)append(ctx, note.encode(), logstore::k_text_marker);
    }
    ctx.focus(k_call);
}

// The marker that starts every net line is for the window alone: a screen reader says the line as
// it is drawn.
std::optional<std::string> OnlineWindow::spoken_item(const ui::Context& ctx, int control, int index) const {
    if (control != k_net || index < 0 || index >= ctx.item_count(k_net)) return std::nullopt;
    return spoken_text(ctx.item(k_net, index));
}

void OnlineWindow::show_entry_number(ui::Context& ctx, int number) {
    ctx.set_text(k_entry, number > 0 ? std::to_string(number) : std::string());
}

// ---- Closing ----

void OnlineWindow::finish(ui::Context& owner) {
    // Contacts arriving from now on wait in the spool for the next opening.
    if (m_env.digital_spool) m_env.digital_spool->set_notice(nullptr);
    bool told = false;
    while (m_net.count() > 0) {
        // Each is completed as far as the log allows; a log that cannot be written is told once
        // and the rest are still tried. Nobody logged these off, so each keeps the band it was
        // logged on with.
        const NetEntry& entry = m_net.entry(0);
        if (!complete_record(told ? nullptr : &owner, entry, entry.band, true)) told = true;
        m_net.remove(0);
    }
    if (m_env.devices.close_key_port) m_env.devices.close_key_port();
    if (m_failure != 0) owner.message(std::to_string(m_failure), "ERROR");
    m_failure = 0;
}

} // namespace kestrel::online
