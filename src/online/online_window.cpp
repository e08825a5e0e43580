#include "online/online_window.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "countries/country_table.hpp"
#include "countries/status_chart.hpp"
#include "digital/spool.hpp"
#include "io/clocks.hpp"
#include "locator/locator.hpp"
#include "log_windows/load_log.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/band_names.hpp"
#include "logstore/dates.hpp"
#include "logstore/log_store.hpp"
#include "online/text_entry_window.hpp"
#include "rig/station_settings.hpp"
#include "ui/context.hpp"

#include <algorithm>
#include <cmath>

namespace kestrel::online {

namespace {

using logstore::k_call_width;
using logstore::k_comment_width;
using logstore::k_report_width;

constexpr ui::Colour k_window_colour{0, 210, 221};
constexpr ui::Colour k_station_label_colour{0, 210, 210};
constexpr ui::Colour k_grey{210, 210, 210};
constexpr ui::Colour k_grid_colour{128, 128, 128}; // the system's grey text
constexpr int k_highest_band = 18;
constexpr const char* k_qsl_request = "Please QSL via Bureau or Direct";

// A one-line text box of the entry panel.
ui::Control box(int id, ui::Rect rect, int limit, unsigned style = ui::plain) {
    ui::Control c = ui::edit(id, rect, style);
    c.text_limit = limit;
    return c;
}

ui::Control coloured(ui::Control c, ui::Colour background) {
    c.background = background;
    return c;
}

// The list's height in dialog units for its lines and frame. A line is the font's own height,
// which is eight dialog units at any screen scale, so the list holds exactly its lines whole;
// lines a fixed number of pixels shorter drifted against the units and cut the last one off on
// large screens.
int list_height(int lines) {
    return lines * 8 + 3;
}

} // namespace

std::vector<std::string> OnlineWindow::band_texts() const {
    if (!m_env.state.band_texts.empty()) return m_env.state.band_texts;
    const auto& names = m_env.band_names.names();
    return {names.begin(), names.end()};
}

void OnlineWindow::send_message(ui::Context& ctx, int message) {
    const OnlineDevices& keyer = m_env.devices;
    if (!keyer.send || (keyer.sending && keyer.sending())) return;
    // The station being worked, or the one last worked when the box is empty.
    if (const std::string call = ctx.text(k_call); !call.empty()) {
        m_env.state.his_call = call;
        m_env.state.his_report = ctx.text(k_rst_sent);
    }
    keyer.send(ctx, message, m_env.state.his_call, m_env.state.his_report);
}

int OnlineWindow::band_index() const {
    return m_env.log.last_band();
}

ui::Form OnlineWindow::build() const {
    ui::Form form;
    form.caption = m_env.title + "  On Line Logging";
    form.frame = {5, 5, 420, 0};
    form.frame_style =
        ui::caption_bar | ui::system_menu | ui::sizing_border | ui::minimize_box | ui::maximize_box;
    form.font = ui::Font{"Courier", 8};
    form.background = k_window_colour;

    // The clock first, so its digits lie over its black panel.
    form.add(coloured(ui::label(k_clock_panel, "", {372, 3, 44, 22}, ui::static_edge), ui::colours::black));
    constexpr int digit_x[] = {374, 383, 392, 395, 404};
    const char* digits[] = {"F0", "F0", "FC", "F0", "F0"};
    for (int i = 0; i < 5; ++i)
        form.add(ui::picture(k_first_digit + i, digits[i], {digit_x[i], 5, i == 2 ? 2 : 9, 18}));
    form.add(ui::button(k_clock_later, "+", {372, 26, 20, 10}, ui::no_tab_stop));
    form.add(ui::button(k_clock_earlier, "-", {396, 26, 20, 10}, ui::no_tab_stop));

    // Station data of the band.
    struct StationField {
        int label;
        const char* text;
        int box;
        ui::Rect at;
        int limit;
        unsigned style;
    };
    const StationField station[] = {
        {1, "Transcei&ver:", k_transceiver, {56, 4, 62, 12}, logstore::k_station_text_width, ui::plain},
        {2, "A&ntenna:", k_antenna, {168, 4, 62, 12}, logstore::k_station_text_width, ui::plain},
        {3, "&Operator:", k_operator, {280, 4, 62, 12}, logstore::k_station_text_width, ui::plain},
        {4, "Po&wer:", k_power, {56, 20, 30, 12}, logstore::k_power_width, ui::plain},
        {5, "Frequenc&y:", k_band, {168, 20, 50, 12}, 0, ui::plain},
        {6, "&Mode:", k_mode, {280, 20, 25, 12}, logstore::k_mode_width, ui::upper_case},
    };
    for (const StationField& f : station) {
        form.add(coloured(ui::label(f.label, f.text, {f.at.x - 50, f.at.y + 2, 48, 8}, ui::right_aligned),
                          k_station_label_colour));
        if (f.box == k_band) {
            ui::Control bands = ui::combo(k_band, f.at);
            bands.items = band_texts();
            form.add(std::move(bands));
        } else {
            form.add(box(f.box, f.at, f.limit, f.style));
        }
    }

    // The tools for the station being worked.
    const char* tools[] = {"Li&st",    "&DX Status", "Note&Pad",  "&Range",
                           "Lo&cator", "Pr&int QSL", "C&allbook", "&QSO Rates"};
    for (int k = 0; k < 8; ++k)
        form.add(ui::button(k_list + k, tools[k], {4 + 46 * k, 40, 44, 14}));
    int second_row = 0;
    for (int slot = 0; slot < 4; ++slot) {
        const std::string& name = m_env.links.database_names[static_cast<std::size_t>(slot)];
        if (name.empty()) continue;
        form.add(ui::button(k_first_database + slot, offline::database_button_text(name),
                            {4 + 46 * second_row++, 56, 44, 14}));
    }
    if (m_env.state.rig_active || m_env.state.rig_available)
        form.add(ui::button(k_cat, m_env.state.rig_active ? "CA&T OFF" : "CA&T ON",
                            {4 + 46 * second_row++, 56, 44, 14}));
    // The net comes up under the tools when there is no second row of them.
    const int net_top = second_row > 0 ? 74 : 58;

    // The net.
    ui::Control net =
        ui::list(k_net, {4, net_top, 412, list_height(m_lines)}, ui::owner_drawn | ui::vertical_scroll);
    net.item_height = 0; // the font's own height: see list_height
    for (int n = 1; n <= m_lines; ++n)
        net.items.push_back(free_line(n));
    form.add(std::move(net));

    // The contact being entered.
    const int y = net_top + list_height(m_lines) + 4;
    form.add(coloured(ui::label(k_panel, "", {4, y, 412, 98}, ui::static_edge), k_grey));
    const auto grey_label = [&form](int id, const char* text, ui::Rect at) {
        form.add(coloured(ui::label(id, text, at, ui::right_aligned), k_grey));
    };
    grey_label(15, "Entry:", {8, y + 6, 52, 8});
    form.add(coloured(box(k_entry, {62, y + 4, 36, 12}, 0, ui::read_only), ui::colours::white));
    grey_label(14, "Call Sign:", {8, y + 20, 52, 8});
    form.add(box(k_call, {62, y + 18, 60, 12}, k_call_width, ui::upper_case));
    grey_label(10, "RST Sent:", {8, y + 34, 52, 8});
    form.add(box(k_rst_sent, {62, y + 32, 30, 12}, k_report_width));
    grey_label(11, "RST Recvd:", {94, y + 34, 44, 8});
    form.add(box(k_rst_received, {140, y + 32, 30, 12}, k_report_width));
    grey_label(12, "Locator:", {8, y + 48, 52, 8});
    form.add(box(k_locator, {62, y + 46, 34, 12}, 6, ui::upper_case));
    form.add(coloured(ui::label(k_square_label, "", {100, y + 48, 20, 8}), k_grey));
    grey_label(13, "Comment:", {8, y + 62, 52, 8});
    form.add(box(k_comment, {62, y + 60, 176, 12}, k_comment_width));

    // Wide enough for the longest texts they show: a last contact, a country with its note.
    grey_label(9, "Country:", {184, y + 6, 54, 8});
    form.add(coloured(box(k_country, {240, y + 4, 172, 12}, 0, ui::read_only), ui::colours::pale_yellow));
    grey_label(8, "Last QSO:", {184, y + 20, 54, 8});
    form.add(coloured(box(k_last_qso, {240, y + 18, 172, 12}, 0, ui::read_only), ui::colours::pale_yellow));
    grey_label(16, "Beam Heading:", {184, y + 34, 54, 8});
    form.add(coloured(box(k_heading, {240, y + 32, 172, 12}, 0, ui::read_only), ui::colours::pale_yellow));

    form.add(ui::button(k_log_on, "&Log On", {8, y + 78, 44, 14}));
    form.add(ui::button(k_log_off, "Log Of&f", {56, y + 78, 44, 14}));
    form.add(ui::button(k_log_text, "Log Te&xt", {104, y + 78, 44, 14}));
    form.add(ui::button(k_edit, "&Edit", {152, y + 78, 44, 14}));
    form.add(ui::button(k_qsled, "QSLed", {200, y + 78, 44, 14}));
    form.frame.h = y + 102;

    using ui::Key;
    form.accelerators = {
        {{Key::enter}, k_enter},
        {{Key::tab}, k_tab},
        {{Key::tab, ui::shift}, k_back},
        {{Key::tab, ui::control}, k_station_forward},
        {{Key::tab, ui::control | ui::alt}, k_button_forward},
        {{Key::down}, k_down},
        {{Key::up}, k_up},
        {{Key::f1}, k_log_on_key},
        {{Key::f2}, k_log_off_key},
        {{Key::f5}, k_first_message},
        {{Key::f6}, k_first_message + 1},
        {{Key::f7}, k_first_message + 2},
        {{Key::f8}, k_first_message + 3},
        {{Key::f12}, k_comment_from_country},
        {{Key::escape}, k_cancel},
    };
    return form;
}

void OnlineWindow::on_init(ui::Context& ctx) {
    m_net.clear();
    m_rates.reset();
    m_edit_index = 0; // the net an edit pointed into closed with the window
    ctx.select(k_band, std::clamp(band_index(), 0, logstore::k_band_count - 1));
    fill_station_data(ctx);
    show_entry_number(ctx, m_env.log.record_count() + 1);
    m_env.log.index().prepare_call_lookup();
    if (m_env.devices.open_key_port) m_failure = m_env.devices.open_key_port(ctx);
    m_set_aside_told = false;
    if (m_env.digital_spool) {
        m_env.digital_spool->set_notice([post = ctx.thread_post()] { post.post(k_digital_contact); });
        take_in_digital(ctx);
    }
    ctx.focus(k_call);
    m_focus_field = k_call;
    clock_tick(ctx);
    ctx.start_timer(k_clock_timer, 1000);
}

void OnlineWindow::on_timer(ui::Context& ctx, int timer) {
    if (timer == k_clock_timer) clock_tick(ctx);
}

void OnlineWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    // A window may be open over this one (the list, the notepad, a message box) when a contact
    // of a digital-mode program arrives: the contact waits until the command that opened it has
    // ended, so that no record moves under that window's feet.
    if (id == k_digital_contact && m_handling > 0) {
        m_digital_waiting = true;
        return;
    }
    ++m_handling;
    command(ctx, id, notify);
    --m_handling;
    if (m_handling == 0 && m_digital_waiting) {
        m_digital_waiting = false;
        take_in_digital(ctx);
    }
}

void OnlineWindow::command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify == ui::Notify::focus_gained) {
        if (id == k_band) {
            m_focus_field = k_band;
            m_band_list_focused = true;
        } else if (ctx.control(id).kind == ui::ControlKind::edit) {
            m_focus_field = id;
        }
        return;
    }
    if (notify == ui::Notify::focus_lost) {
        if (id == k_band) m_band_list_focused = false;
        return;
    }
    if (id == k_band) {
        if (notify == ui::Notify::selection_changed) select_band(ctx, ctx.selection(k_band));
        if (notify == ui::Notify::dropdown_closed) ctx.focus(k_call);
        return;
    }
    if (id == k_net) {
        if (notify == ui::Notify::double_clicked) ctx.post(k_edit);
        return;
    }
    if (notify == ui::Notify::changed && (id == k_call || id == k_locator)) {
        forget_square_unless_current(ctx);
        return;
    }
    if (notify != ui::Notify::clicked && notify != ui::Notify::posted) return;
    switch (id) {
    case k_enter:
    case k_tab: enter(ctx); break;
    case k_back:
    case k_station_forward:
    case k_button_forward: cycle_focus(ctx, id); break;
    case k_down: move_net_selection(ctx, 1); break;
    case k_up: move_net_selection(ctx, -1); break;
    case k_log_on:
        forget_square_unless_current(ctx);
        log_on(ctx);
        break;
    case k_log_on_key: ctx.post(k_log_on); break;
    case k_log_off: log_off(ctx); break;
    case k_log_off_key: ctx.post(k_log_off); break;
    case k_log_text: log_text(ctx); break;
    case k_edit: begin_edit(ctx); break;
    case k_qsled: m_env.state.qsl_sent_mark = 1; break;
    case k_comment_from_country: ctx.set_text(k_comment, upper_case(ctx.text(k_country))); break;
    case k_cancel: escape(ctx); break;
    case k_clock_later: nudge(ctx, 1); break;
    case k_clock_earlier: nudge(ctx, -1); break;
    case k_rates: toggle_rate_box(ctx); break;
    case k_cat: switch_cat(ctx); break;
    default:
        if (id >= k_first_message && id < k_first_message + 4) {
            send_message(ctx, id - k_first_message);
        } else if (id == k_digital_contact) {
            take_in_digital(ctx);
        } else if (id == k_keyer_done || id == k_keyer_failed) {
            if (m_env.devices.keyer_posted) m_env.devices.keyer_posted(ctx, id);
        } else if (id >= k_list && id < k_cat) {
            tool(ctx, id);
        }
        break;
    }
}

void OnlineWindow::escape(ui::Context& ctx) {
    if (m_env.devices.sending && m_env.devices.sending()) {
        if (m_env.devices.stop_sending) m_env.devices.stop_sending();
        return;
    }
    ctx.close(0);
}

// ---- Enter and the focus ----

void OnlineWindow::enter(ui::Context& ctx) {
    switch (m_focus_field) {
    case k_band:
    case k_mode:
    case k_power: // a station field like the band and mode: back to the contact
        ctx.focus(k_call);
        break;
    case k_transceiver:
    case k_antenna:
    case k_operator:
        m_station_data_changed = true;
        m_focus_field = k_call;
        ctx.focus(k_call);
        break;
    case k_call: call_entered(ctx); break;
    case k_locator:
        locator_entered(ctx);
        if (m_env.state.square.status != SquareCheck::Status::none) {
            m_env.state.square.call = ctx.text(k_call);
            m_env.state.square.band = band_index();
        }
        break;
    default: break;
    }
    advance(ctx);
}

// A square checked for one station is recorded only with that station's contact: a call other
// than the one in the box at the check, another square in the Locator box or another band, and
// the check is gone, its label with it. A check made before any call was typed goes with the
// call typed next.
void OnlineWindow::forget_square_unless_current(ui::Context& ctx) {
    SquareCheck& square = m_env.state.square;
    if (square.status == SquareCheck::Status::none) return;
    const bool same_call = square.call.empty() || square.call == ctx.text(k_call);
    const bool same_square = square_of(ctx.text(k_locator)) == square.square;
    if (same_call && same_square && square.band == band_index()) return;
    square = SquareCheck{};
    ctx.set_text(k_square_label, "");
}

void OnlineWindow::advance(ui::Context& ctx) {
    ++m_focus_field;
    if (m_focus_field > k_comment || m_focus_field < k_call) m_focus_field = k_call;
    ctx.focus(m_focus_field);
}

void OnlineWindow::cycle_focus(ui::Context& ctx, int command) {
    int& f = m_focus_field;
    if (command == k_back) {
        f = f > k_call && f <= k_comment ? f - 1 : k_call;
    } else if (command == k_station_forward) {
        f = f >= k_transceiver && f < k_power ? f + 1 : k_transceiver;
    } else {
        // The buttons that are there, 201 onwards, round again after the last.
        int next = f >= k_list && f <= k_cat ? f + 1 : k_list;
        while (next <= k_cat && !ctx.exists(next))
            ++next;
        f = next > k_cat ? k_list : next;
    }
    ctx.focus(f);
}

// ---- Band and station data ----

void OnlineWindow::select_band(ui::Context& ctx, int band) {
    if (band < 0) return;
    m_env.log.set_last_band(band);
    if (ctx.selection(k_band) != band) ctx.select(k_band, band);
    fill_station_data(ctx);
    forget_square_unless_current(ctx);
}

void OnlineWindow::fill_station_data(ui::Context& ctx) {
    const rig::StationRow& row = m_env.station.row_for_band(band_index());
    ctx.set_text(k_power, row.power);
    ctx.set_text(k_transceiver, row.transceiver);
    ctx.set_text(k_antenna, row.antenna);
    ctx.set_text(k_operator, row.operator_name);
    ctx.set_text(k_mode, row.mode.empty() ? std::string("SSB") : row.mode);
}

void OnlineWindow::move_net_selection(ui::Context& ctx, int by) {
    if (m_band_list_focused) {
        const int band = std::clamp(band_index() + by, 0, k_highest_band);
        if (band != band_index()) select_band(ctx, band);
        return;
    }
    const int last = ctx.item_count(k_net) - 1;
    const int now = ctx.selection(k_net);
    ctx.select(k_net, std::clamp(now < 0 && by > 0 ? 0 : now + by, 0, last));
}

// ---- Tools ----

void OnlineWindow::tool(ui::Context& ctx, int id) {
    const std::string call = ctx.text(k_call);
    const OnlineLinks& links = m_env.links;
    switch (id) {
    case k_list:
        if (links.list) links.list(ctx, call);
        break;
    case k_dx_status:
        if (!call.empty() && links.dx_status) links.dx_status(ctx, call);
        break;
    case k_notepad:
        if (links.notepad) links.notepad(ctx);
        break;
    case k_range:
        if (links.range) links.range(ctx);
        break;
    case k_locator_tool:
        if (links.locator) links.locator(ctx);
        break;
    case k_print_qsl: print_qsl(ctx); break;
    case k_callbook:
        if (links.callbook) links.callbook(ctx, call);
        break;
    case k_rates: toggle_rate_box(ctx); return;
    default:
        if (id >= k_first_database && id < k_cat && links.database_search)
            links.database_search(ctx, id - k_first_database + 1,
                                  offline::DatabaseCopy{m_date_text, call, ctx.item(k_band, band_index())});
        break;
    }
    ctx.focus(k_call);
    m_focus_field = k_call;
}

void OnlineWindow::print_qsl(ui::Context& ctx) {
    if (!m_env.links.print_qsl_label) {
        ctx.message("No Printer file loaded", "Print QSL");
        return;
    }
    if (m_net.count() == 0) return;
    if (ctx.selection(k_net) < 0 && m_net.count() == 1) ctx.select(k_net, 0);
    const int line = ctx.selection(k_net);
    if (line < 0 || line >= m_net.count()) return;
    const NetEntry& entry = m_net.entry(line);
    offline::QslContact contact;
    contact.date = m_date_text;
    contact.call = std::string(trim_trailing_spaces(entry.call));
    contact.time_on = entry.time_on;
    contact.rst_sent = std::string(trim_trailing_spaces(entry.rst_sent));
    contact.power = ctx.text(k_power);
    contact.mode = ctx.text(k_mode);
    contact.band = band_index();
    contact.request = k_qsl_request;
    (void)m_env.links.print_qsl_label(ctx, contact);
}

void OnlineWindow::switch_cat(ui::Context& ctx) {
    OnlineState& s = m_env.state;
    if (s.rig_active) {
        s.rig_available = s.rig_active;
        s.rig_active = false;
        ctx.set_text(k_cat, "CA&T ON");
    } else if (s.rig_available) {
        s.rig_active = s.rig_available;
        ctx.set_text(k_cat, "CA&T OFF");
    }
}

// ---- Drawing the net ----

void OnlineWindow::draw_item(ui::Context& ctx, const ui::DrawItem& item, ui::Canvas& canvas) {
    if (item.control != k_net || item.index < 0 || item.index >= ctx.item_count(k_net)) return;
    const ui::Colour paper = item.selected ? ui::colours::navy : ui::colours::white;
    const ui::Colour ink = item.selected ? ui::colours::white : ui::colours::black;
    const ui::Rect& r = item.area;
    canvas.fill(r, paper);
    canvas.text(r, drawn_text(ctx.item(k_net, item.index)), ink);
    const int bottom = r.y + r.h - 1;
    canvas.line({r.x, bottom}, {r.x + r.w, bottom}, k_grid_colour);
    for (int column : k_grid_columns) {
        // Half way across the blank between two columns.
        const int x = r.x + (2 * column + 1) * canvas.char_width() / 2;
        canvas.line({x, r.y}, {x, bottom}, k_grid_colour);
    }
}

void run_online_logging(ui::Context& parent, OnlineEnv env) {
    if (!log_windows::log_selected(parent, env.log)) return;
    if (!log_windows::ensure_record_index(parent.host(), &parent, env.log)) return;
    OnlineState& state = env.state;
    OnlineWindow window(std::move(env));
    parent.run_modal(window);
    window.finish(parent);
    state.square = SquareCheck{}; // a check made in this opening is never credited to the next
}

} // namespace kestrel::online
