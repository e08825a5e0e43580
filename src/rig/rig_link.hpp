#pragma once

#include "io/devices.hpp"
#include "rig/rig_decoding.hpp"
#include "rig/rig_description.hpp"
#include "rig/rig_reading.hpp"
#include "rig/station_settings.hpp"

#include <memory>
#include <optional>
#include <string>

namespace kestrel::rig {

// The rig as the on-line window polls it, once a second while CAT is on.
class RigLink {
  public:
    virtual ~RigLink() = default;
    // Decodes what the rig sent since the last poll, without waiting for anything, then sends
    // the next request. A reading only when the reply held a frequency of 100 kHz or more.
    [[nodiscard]] virtual std::optional<RigReading> poll() = 0;
};

// Makes the window's readings from what each poll decoded. The window takes the band from the
// frequency, so a mode that came on its own (a rig asked for frequency and mode in turn) goes
// with the last frequency read; before the first frequency it waits for one.
class ReadingKeeper {
  public:
    [[nodiscard]] std::optional<RigReading> reading(const std::optional<std::string>& frequency_text,
                                                    const std::string& mode);

  private:
    std::string m_frequency_text;
    std::string m_held_mode;
};

// A rig on a serial port, read by its description.
class SerialRigLink final : public RigLink {
  public:
    // Without a port (it could not be opened) every poll finds nothing.
    SerialRigLink(RigDescription rig, std::unique_ptr<io::SerialPort> port);
    [[nodiscard]] std::optional<RigReading> poll() override;

  private:
    RigDescription m_rig;
    PollState m_state;
    std::unique_ptr<io::SerialPort> m_port;
    ReadingKeeper m_readings;
};

// Something to tell the operator about the rig link at start-up, with an exclamation icon.
struct RigNotice {
    std::string text;
    std::string title;
    friend bool operator==(const RigNotice&, const RigNotice&) = default;
};

inline constexpr const char* k_rig_port_title = "Rig Control Port";
inline constexpr const char* k_rig_description_title = "Rig Description";

// What start-up makes of the data directory's rig description.
struct RigLoad {
    // Polled by the on-line window; none when there is no description or it cannot be used, and
    // then rig control is unavailable (no CAT button).
    std::unique_ptr<RigLink> link;
    // The description's path, port and rate, for the station data window; empty without one.
    RigLinkSettings settings;
    // A port that could not be opened ("/dev/ttyS0 not available") or a description that cannot
    // be used; to be shown once.
    std::optional<RigNotice> notice;
};

// Reads the first *.RIG of the directory and opens its port: a serial port with its line
// settings and control lines (RTS on; RTS and DTR off for FT767GX.RIG; FT847.RIG is sent its
// CAT-on command), or a connection to the rig daemon line 1 names. A port that cannot be opened
// still gives a link, which finds nothing.
[[nodiscard]] RigLoad load_rig(const std::string& data_directory, io::Devices& devices);

} // namespace kestrel::rig
