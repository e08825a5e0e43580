#pragma once

#include "offline/entry_editor.hpp"
#include "online/clock_texts.hpp"
#include "online/net_log.hpp"
#include "online/rates.hpp"
#include "online/squares.hpp"
#include "rig/rig_reading.hpp"
#include "ui/window.hpp"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::digital {
class Spool;
struct DigitalContact;
} // namespace kestrel::digital

namespace kestrel::countries {
class CountryTable;
class StatusChart;
} // namespace kestrel::countries

namespace kestrel::logstore {
class BandNameTable;
class LogStore;
} // namespace kestrel::logstore

namespace kestrel::rig {
struct StationSettings;
}

namespace kestrel::io {
class WallClock;
}

namespace kestrel::online {

// What the on-line window leaves behind for its next opening (and for the keyer and the rig).
struct OnlineState {
    std::uint8_t qsl_sent_mark = 0; // "QSLed" pressed: the next new contact gets it
    std::string his_call;           // the station last logged on, for the keyer's messages
    std::string his_report;
    SquareCheck square;         // the last square checked, for the Log On that follows
    bool rig_active = false;    // the rig is polled at each clock tick
    bool rig_available = false; // a rig description was loaded; CAT may be switched on
    // The band list's entries: the band names, each replaced by the frequency the rig last
    // reported on that band for the rest of the run. Empty until the window first opens.
    std::vector<std::string> band_texts;
    bool colon_shown = false; // the clock's colon blinks on across openings
};

// The tools the window's buttons open. A tool that is not there does what the operator would
// expect of something not set up: no callbook configured, no button acts; no label layout
// loaded, Print QSL says so.
struct OnlineLinks {
    std::function<void(ui::Context& owner, const std::string& call)> list;
    std::function<void(ui::Context& owner, const std::string& call)> dx_status;
    std::function<void(ui::Context& owner)> notepad;
    std::function<void(ui::Context& owner)> range;
    std::function<void(ui::Context& owner)> locator;
    std::function<bool(ui::Context& owner, const offline::QslContact& contact)> print_qsl_label;
    std::function<void(ui::Context& owner, const std::string& call)> callbook;
    std::array<std::string, 4> database_names;
    std::function<void(ui::Context& owner, int database, const offline::DatabaseCopy& copy)> database_search;
};

// The Morse keyer and the rig link as the window drives them. Each may be absent.
struct OnlineDevices {
    // At opening: claims the key port, telling the operator when it cannot; gives the number of
    // the failure to report again at closing, 0 for none. At closing the port is let go.
    std::function<int(ui::Context& window)> open_key_port;
    std::function<void()> close_key_port;
    // Keys message 0-3 with the station's call and report put in. The keyer works on a thread of
    // its own and tells the window through the window's thread post, with k_keyer_done when the
    // message has ended and k_keyer_failed when the line refused; the window hands those back.
    std::function<void(ui::Context& window, int message, const std::string& call, const std::string& report)>
        send;
    std::function<bool()> sending;
    std::function<void()> stop_sending;
    std::function<void(ui::Context& window, int command)> keyer_posted;
    // Each clock tick while CAT is on: what the rig reported since the last tick, if anything.
    std::function<std::optional<rig::RigReading>(ui::Context& window)> poll_rig;
};

// Everything the on-line window works on.
struct OnlineEnv {
    logstore::LogStore& log;
    const logstore::BandNameTable& band_names;
    const countries::CountryTable& countries;
    countries::StatusChart& chart;
    const rig::StationSettings& station;
    OnlineState& state;
    io::WallClock* wall_clock;  // the clock the "+" and "-" buttons move; none: they do nothing
    std::string title;          // the program's title, first in the caption
    std::string data_directory; // where SQUARES.EDB lives, ending with "/"
    double scale_factor = 1.0;
    OnlineLinks links;
    OnlineDevices devices;
    // Contacts logged by digital-mode programs, waiting beside the log; none: none are taken in.
    // What waits is taken in when the window opens, and each contact that arrives while it is
    // open as it arrives, as a station logged on and at once off.
    digital::Spool* digital_spool = nullptr;
};

// The window the operator keeps open on the air: a contact is logged the moment it starts, kept
// on the net while it lasts and completed when it ends.
class OnlineWindow final : public ui::Window {
  public:
    enum Id {
        k_cancel = 2,
        k_enter = 13,
        k_clock_panel = 20,
        k_panel = 21,
        k_first_digit = 22,
        k_colon = 24,
        k_up = 38,
        k_down = 40,
        k_transceiver = 102,
        k_antenna = 103,
        k_operator = 104,
        k_band = 105,
        k_mode = 106,
        k_power = 107,
        k_call = 109,
        k_rst_sent = 110,
        k_rst_received = 111,
        k_locator = 112,
        k_comment = 113,
        k_country = 114,
        k_last_qso = 115,
        k_log_on = 116,
        k_log_off = 117,
        k_log_text = 118,
        k_edit = 119,
        k_heading = 120,
        k_entry = 122,
        k_back = 123,
        k_tab = 124,
        k_rate_box = 125,
        k_station_forward = 126,
        k_button_forward = 127,
        k_qsled = 128,
        k_clock_later = 129,
        k_clock_earlier = 131,
        k_square_label = 17,
        k_list = 201,
        k_dx_status = 202,
        k_notepad = 203,
        k_range = 204,
        k_locator_tool = 205,
        k_print_qsl = 206,
        k_callbook = 207,
        k_rates = 208,
        k_first_database = 209,
        k_cat = 213,
        k_first_message = 500,
        k_log_on_key = 504,
        k_log_off_key = 505,
        k_comment_from_country = 506,
        k_keyer_done = 510,
        k_keyer_failed = 511,
        k_digital_contact = 512, // posted by the spool when a contact has arrived
        k_net = 3073,
    };
    static constexpr int k_clock_timer = 1;

    explicit OnlineWindow(OnlineEnv env);
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;
    void on_timer(ui::Context& ctx, int timer) override;
    void on_cancel(ui::Context& ctx) override { escape(ctx); }
    void draw_item(ui::Context& ctx, const ui::DrawItem& item, ui::Canvas& canvas) override;
    std::optional<std::string> spoken_item(const ui::Context& ctx, int control, int index) const override;

    // After the window has closed: every station still on the net is logged off at the closing
    // time, the key port is let go. Tells the operator of a failure still on record.
    void finish(ui::Context& owner);

    const NetLog& net() const { return m_net; }
    const QsoRates& rates() const { return m_rates; }

  private:
    void command(ui::Context& ctx, int id, ui::Notify notify);
    void escape(ui::Context& ctx);
    void enter(ui::Context& ctx);
    void advance(ui::Context& ctx);
    void call_entered(ui::Context& ctx);
    void locator_entered(ui::Context& ctx);
    void forget_square_unless_current(ui::Context& ctx);
    void show_country(ui::Context& ctx, const std::string& call);
    void previous_contact(ui::Context& ctx, const std::string& call);
    void log_on(ui::Context& ctx);
    void update_edited(ui::Context& ctx, const NetEntry& typed);
    void begin_edit(ui::Context& ctx);
    void log_off(ui::Context& ctx);
    [[nodiscard]] bool complete_record(ui::Context* ctx, const NetEntry& entry, int band, bool any_report);
    void renumber_after(ui::Context& ctx, int removed_line, int old_count);
    void log_text(ui::Context& ctx);
    [[nodiscard]] bool write_station_data(ui::Context& ctx);
    [[nodiscard]] bool can_date(ui::Context& ctx);
    [[nodiscard]] bool append(ui::Context& ctx, const logstore::RecordBytes& record,
                              std::string_view index_text);
    void show_entry_number(ui::Context& ctx, int number);
    void select_band(ui::Context& ctx, int band);
    void fill_station_data(ui::Context& ctx);
    void move_net_selection(ui::Context& ctx, int by);
    void cycle_focus(ui::Context& ctx, int command);
    void tool(ui::Context& ctx, int id);
    void print_qsl(ui::Context& ctx);
    void switch_cat(ui::Context& ctx);
    void toggle_rate_box(ui::Context& ctx);
    void clock_tick(ui::Context& ctx);
    void nudge(ui::Context& ctx, int minutes);
    int band_index() const;
    std::vector<std::string> band_texts() const;
    void send_message(ui::Context& ctx, int message);
    void follow_rig(ui::Context& ctx, const rig::RigReading& reading);
    void take_in_digital(ui::Context& ctx);
    void tell_set_aside(ui::Context& ctx);
    [[nodiscard]] bool take_in(ui::Context& ctx, const digital::DigitalContact& contact);
    [[nodiscard]] bool logged_already(const logstore::RecordBytes& record) const;

    OnlineEnv m_env;
    int m_focus_field = k_call;
    bool m_band_list_focused = false;
    bool m_station_data_changed = false;
    int m_edit_index = 0;
    std::string m_edit_time_on;
    NetLog m_net;
    QsoRates m_rates;
    bool m_rate_box = false;
    std::string m_clock_text = "00:00";
    std::string m_date_text = "00:00";
    bool m_clock_refusal_told = false;
    int m_failure = 0;
    int m_lines = 12;
    int m_handling = 0;             // commands being handled, one within another under a modal window
    bool m_digital_waiting = false; // a contact arrived meanwhile
    bool m_set_aside_told = false;  // this opening has told of contacts the log cannot hold
};

// Logging/On Line: refused with "No Log Selected" when no log is open; builds the record index
// first when it is not loaded; runs the window and logs the net off when it closes.
void run_online_logging(ui::Context& parent, OnlineEnv env);

// "Short path 45°  Long Path 225°" from the station's own position (texts in degrees, north and
// east positive) to a country's; empty when the station's position is not set or the two are one.
[[nodiscard]] std::string beam_heading(std::string_view own_latitude, std::string_view own_longitude,
                                       double latitude, double longitude);

} // namespace kestrel::online
