#pragma once

#include "offline/logbook_fixture.hpp"
#include "online/online_window.hpp"
#include "rig/station_settings.hpp"
#include "support/fake_clocks.hpp"

#include <chrono>

namespace kestrel::testing {

// A station directory with a log, a small country list, a chart, the station's settings and a
// wall clock, and the on-line window's state between openings.
class OnlineTest : public LogbookTest {
  protected:
    using Window = online::OnlineWindow;

    OnlineTest() {
        m_station.latitude = "52";
        m_station.longitude = "-1";
        m_station.rows[4] = {"FT1000", "Beam", "100", "CW", "John"}; // 14 MHz
        m_station.rows[10] = {"IC271", "Yagi", "25", "", "John"};    // 70 MHz
        m_host.set_now(std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} + std::chrono::hours(14) +
                       std::chrono::minutes(30));
    }

    online::OnlineEnv online_env() {
        online::OnlineEnv env{m_log,    m_names,         m_countries,
                              m_chart,  m_station,       m_online,
                              &m_clock, "Kestrel v6.44", m_dir.path().string() + "/",
                              m_scale,  m_online_links,  m_devices};
        return env;
    }
    // The window under test, opened from the stand-in main window; the script runs inside it.
    void run_window(const std::function<void(ui::TestRun&)>& script) {
        auto opener =
            m_host.open(Opener{[this](ui::Context& ctx) { online::run_online_logging(ctx, online_env()); }});
        m_host.on_modal(script);
        opener.command(Opener::k_open);
    }
    // Call, Enter, the reports, F1: a contact logged from the keyboard.
    static void log_on(ui::TestRun& run, const std::string& call, const std::string& sent = "",
                       const std::string& received = "") {
        run.type(call).key(ui::Key::enter).type(sent).key(ui::Key::enter).type(received).key(ui::Key::f1);
    }
    // The time of day as the window's clock reads it after the next tick.
    void tick_at(int hour, int minute, int second = 0) {
        using namespace std::chrono;
        const auto day = floor<days>(m_host.now());
        m_host.set_now(day + hours(hour) + minutes(minute) + seconds(second) - milliseconds(1000));
        m_host.advance(std::chrono::milliseconds(1000));
    }

    rig::StationSettings m_station;
    online::OnlineState m_online;
    online::OnlineLinks m_online_links;
    online::OnlineDevices m_devices;
    FakeWallClock m_clock;
    double m_scale = 1.0;
};

} // namespace kestrel::testing
