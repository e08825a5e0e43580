#include "online/online_window.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "countries/country_table.hpp"
#include "countries/status_chart.hpp"
#include "locator/locator.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/band_names.hpp"
#include "logstore/dates.hpp"
#include "logstore/log_store.hpp"
#include "rig/station_settings.hpp"
#include "ui/context.hpp"

#include <cmath>

namespace kestrel::online {

namespace {

std::string trimmed(std::string_view text) {
    return std::string(trim_trailing_spaces(text));
}

} // namespace

constexpr int k_chart_bands = 13;

std::string beam_heading(std::string_view own_latitude, std::string_view own_longitude, double latitude,
                         double longitude) {
    const double own_lat = leading_number(own_latitude), own_lon = leading_number(own_longitude);
    if (own_lat + own_lon == 0) return {}; // the station's position was never set
    const locator::Position from{own_lat / locator::k_degrees_per_radian,
                                 own_lon / locator::k_degrees_per_radian};
    const locator::Position to{latitude / locator::k_degrees_per_radian,
                               longitude / locator::k_degrees_per_radian};
    const locator::Course course = locator::great_circle(from, to);
    // A country at the station's own place (or a station on a pole) has no heading to turn to.
    if (std::sin(course.arc) * std::cos(from.latitude) == 0) return {};
    const int short_path = course.bearing;
    int long_path = short_path + 180;
    if (long_path > 359) long_path -= 360;
    return "Short path" + number_text(short_path) + "\xb0  Long Path" + number_text(long_path) + "\xb0";
}

OnlineWindow::OnlineWindow(OnlineEnv env)
    : m_env(std::move(env)), m_lines(prefilled_lines(m_env.scale_factor)) {}

void OnlineWindow::call_entered(ui::Context& ctx) {
    const std::string call = ctx.text(k_call);
    if (call == "CQ") {
        ctx.post(k_log_on);
        return;
    }
    if (call.empty()) return;
    ctx.set_text(k_heading, "");
    previous_contact(ctx, call);
    show_country(ctx, call);
}

void OnlineWindow::previous_contact(ui::Context& ctx, const std::string& call) {
    ctx.host().wait_cursor(true);
    // While a net entry is being edited the Comment box holds that entry's comment, which the
    // operator may have just changed: an earlier contact's comment must not replace it.
    const bool keep_comment = m_edit_index > 0;
    if (!keep_comment) ctx.set_text(k_comment, "");
    const std::string key = trimmed(logstore::base_call(call + " "));
    // The stations on the net are logged already; their own records are not an earlier contact.
    // A match on the net is only remembered once it proves to be an earlier contact, so the
    // station's own first record never shows as its last one.
    int found = 0;
    if (!key.empty() && key.front() != '/') {
        const logstore::RecordIndex& index = m_env.log.index();
        for (int up_to = m_env.log.record_count(); up_to > 0;) {
            const int at = index.last_with_call(key, up_to);
            if (at == 0) break;
            if (!m_net.holds_record(at)) {
                found = at;
                break;
            }
            up_to = at - 1;
        }
    }
    if (found == 0) {
        ctx.set_text(k_last_qso, "No previous contact");
        ctx.host().wait_cursor(false);
        return;
    }
    const auto record = m_env.log.read_record(found);
    ctx.host().wait_cursor(false);
    if (!record) {
        log_windows::tell_log_error(ctx, record.error());
        return;
    }
    const logstore::QsoRecord qso = logstore::QsoRecord::decode(*record);
    ctx.set_text(k_last_qso, logstore::date_text_of(qso.date) +
                                 " at: " + logstore::time_text_of(qso.time_on) + " on " +
                                 m_env.band_names.name(logstore::band_of_field(qso.band)) + " " + qso.mode +
                                 " QSL: " + logstore::qsl_tag_of(qso.qsl_flags));
    if (!keep_comment) ctx.set_text(k_comment, trimmed(qso.comment));
}

void OnlineWindow::show_country(ui::Context& ctx, const std::string& call) {
    const countries::Resolution found = m_env.countries.resolve_country(call);
    std::string text;
    if (found.country >= 1) {
        const countries::CountryEntry& row = m_env.countries.row(found.row);
        text = row.name;
        const int band = band_index();
        if (band >= 0 && band < k_chart_bands) {
            const int mode_class = logstore::mode_class_of(ctx.text(k_mode));
            bool anywhere = false;
            for (int b = 0; b < k_chart_bands && !anywhere; ++b)
                for (int m = 0; m < countries::k_mode_classes && !anywhere; ++m)
                    anywhere = m_env.chart.worked(found.country, b, m);
            bool this_band = false;
            for (int m = 0; m < countries::k_mode_classes && !this_band; ++m)
                this_band = m_env.chart.worked(found.country, band, m);
            if (!anywhere)
                text += " New Country";
            else if (!this_band)
                text += " New Country this Band";
            else if (!m_env.chart.worked(found.country, band, mode_class))
                text += " New Country this Mode";
        }
        ctx.set_text(k_heading, beam_heading(m_env.station.latitude, m_env.station.longitude, row.latitude,
                                             row.longitude));
    } else if (found.country == 0) {
        text = m_env.countries.row(found.row).name + " Not a DXCC Entity";
    } else {
        text = " Not a DXCC Entity";
    }
    ctx.set_text(k_country, text);
}

void OnlineWindow::locator_entered(ui::Context& ctx) {
    ctx.set_text(k_square_label, "");
    const std::string locator = ctx.text(k_locator);
    if (!locator.empty() && (!locator::validate_locator(locator) || locator.size() < 4)) {
        ctx.message(locator + " is not a Maidenhead locator: two letters A to R, two digits, and perhaps two "
                              "letters A to X (IO91 or IO91WM).",
                    "Locator", ui::Icon::exclamation);
        m_focus_field = k_locator - 1; // Enter's step stays on the box
        return;
    }
    const int band = band_index();
    if (band < 9 || band > 11) return; // worked squares are kept for 50, 70 and 144 MHz
    m_env.state.square = check_square(m_env.data_directory + k_squares_file, square_of(locator));
    ctx.set_text(k_square_label, m_env.state.square.label);
}

} // namespace kestrel::online
