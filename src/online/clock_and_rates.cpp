#include "online/online_window.hpp"

#include "io/clocks.hpp"
#include "logstore/field_codes.hpp"
#include "logstore/log_store.hpp"
#include "ui/context.hpp"

namespace kestrel::online {

// ---- Clock and rates ----

void OnlineWindow::toggle_rate_box(ui::Context& ctx) {
    if (m_rate_box) {
        ctx.remove_control(k_rate_box);
        m_rate_box = false;
    } else {
        const int y = ctx.control(k_panel).rect.y;
        ui::Control rates =
            ui::edit(k_rate_box, {300, y + 48, 112, 46}, ui::read_only | ui::multi_line | ui::no_tab_stop);
        rates.background = ui::colours::cyan;
        rates.foreground = ui::colours::black;
        rates.text = rates_text(m_rates);
        ctx.add_control(std::move(rates));
        m_rate_box = true;
    }
    ctx.focus(k_call);
    m_focus_field = k_call;
}

void OnlineWindow::clock_tick(ui::Context& ctx) {
    OnlineState& s = m_env.state;
    s.colon_shown = !s.colon_shown;
    ctx.set_text(k_colon, s.colon_shown ? "FC" : "FB");

    const TimePoint now = ctx.host().now();
    const std::string clock = clock_text_of(now);
    if (clock.substr(3) != m_clock_text.substr(3)) {
        m_rates.new_minute();
        if (m_rate_box) ctx.set_text(k_rate_box, rates_text(m_rates));
    }
    for (int i = 0; i < 5; ++i) {
        if (i == 2 || clock[static_cast<std::size_t>(i)] == m_clock_text[static_cast<std::size_t>(i)])
            continue;
        ctx.set_text(k_first_digit + i, std::string("F") + clock[static_cast<std::size_t>(i)]);
    }
    m_clock_text = clock;
    const std::string date = date_text_of(now);
    if (date != m_date_text) {
        m_date_text = date;
        ctx.set_caption(online_caption(m_env.title, m_date_text, m_env.log.path()));
    }
    if (s.rig_active && m_env.devices.poll_rig) {
        if (const auto reading = m_env.devices.poll_rig(ctx)) follow_rig(ctx, *reading);
    }
}

void OnlineWindow::follow_rig(ui::Context& ctx, const rig::RigReading& reading) {
    const int band = logstore::band_of_frequency(reading.frequency_text);
    if (band < 0 || band >= logstore::k_band_count) return;
    // The station data of a new band first, so the rig's mode is what stays in Mode.
    if (band != band_index()) {
        m_env.log.set_last_band(band);
        fill_station_data(ctx);
        forget_square_unless_current(ctx);
    }
    std::vector<std::string>& texts = m_env.state.band_texts;
    if (texts.empty()) texts = band_texts();
    if (texts[static_cast<std::size_t>(band)] != reading.frequency_text || ctx.selection(k_band) != band) {
        texts[static_cast<std::size_t>(band)] = reading.frequency_text;
        ctx.set_items(k_band, texts);
        ctx.select(k_band, band);
        // Back to the box the operator was in; one that has the focus keeps what he selected.
        if (ctx.focused() != m_focus_field) ctx.focus(m_focus_field);
    }
    if (!reading.mode.empty()) ctx.set_text(k_mode, reading.mode);
}

void OnlineWindow::nudge(ui::Context& ctx, int minutes) {
    if (m_env.wall_clock) {
        const io::Status moved = m_env.wall_clock->set(nudged_time(m_env.wall_clock->now(), minutes));
        if (!moved && !m_clock_refusal_told) {
            m_clock_refusal_told = true;
            ctx.message("The computer's clock was not moved: it " +
                            std::string(io::message_of(moved.error())) +
                            ".\r\nSet it with the system's date and time settings, or let the system keep it "
                            "right from a time server.",
                        "Clock", ui::Icon::information);
        }
    }
    ctx.focus(k_call);
    m_focus_field = k_call;
}

} // namespace kestrel::online
