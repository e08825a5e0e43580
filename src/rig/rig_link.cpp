#include "rig/rig_link.hpp"

#include "common/side_file.hpp"
#include "io/port_name.hpp"
#include "rig/rig_daemon.hpp"

#include <filesystem>
#include <utility>

namespace kestrel::rig {

namespace {

// The rig's own command to take orders over CAT, which it needs before it answers anything.
const io::Bytes k_ft847_cat_on = {0x00, 0x00, 0x00, 0x00, 0x00};

// A rig daemon on this machine answers at once; one elsewhere is given a little longer.
constexpr std::chrono::milliseconds k_daemon_connect_timeout{2000};

std::string device_name(const std::string& port_text) {
    const auto path = io::serial_device_path(port_text);
    return path ? *path : port_text;
}

std::unique_ptr<io::SerialPort> open_serial(const RigDescription& rig, io::Devices& devices,
                                            std::optional<RigNotice>& notice) {
    auto opened = devices.open_serial_port(rig.port_text);
    if (!opened) {
        notice = RigNotice{device_name(rig.port_text) + " not available", k_rig_port_title};
        return nullptr;
    }
    std::unique_ptr<io::SerialPort> port = std::move(opened).value();
    if (const io::Status set = port->configure(rig.line); !set)
        notice = RigNotice{device_name(rig.port_text) + " " + std::string(io::message_of(set.error())),
                           k_rig_port_title};
    // A port that cannot switch its control lines (a pseudo-terminal joined to an emulator or a
    // rig daemon's serial front end) works without them, so a refusal is passed over.
    if (rig.file_name == k_ft767gx_name) {
        (void)port->set_line(io::ControlLine::rts, io::LineLevel::off);
        (void)port->set_line(io::ControlLine::dtr, io::LineLevel::off);
    } else {
        (void)port->set_line(io::ControlLine::rts, io::LineLevel::on);
    }
    if (rig.file_name == k_ft847_name) (void)port->write(k_ft847_cat_on);
    return port;
}

} // namespace

std::optional<RigReading> ReadingKeeper::reading(const std::optional<std::string>& frequency_text,
                                                 const std::string& mode) {
    if (frequency_text) {
        m_frequency_text = *frequency_text;
        std::string held = std::exchange(m_held_mode, {});
        return RigReading{*frequency_text, mode.empty() ? held : mode};
    }
    if (mode.empty()) return std::nullopt;
    if (m_frequency_text.empty()) {
        m_held_mode = mode;
        return std::nullopt;
    }
    return RigReading{m_frequency_text, mode};
}

SerialRigLink::SerialRigLink(RigDescription rig, std::unique_ptr<io::SerialPort> port)
    : m_rig(std::move(rig)), m_state(m_rig), m_port(std::move(port)) {}

std::optional<RigReading> SerialRigLink::poll() {
    if (!m_port) return std::nullopt;
    // The reply to the request of the last poll has had a second to arrive; whatever is there is
    // taken whole, and a port that fails to read counts as a rig that said nothing.
    auto waiting = m_port->read(io::ReadRequest{});
    const io::Bytes arrived = waiting ? std::move(waiting).value() : io::Bytes{};
    const PollStep step = decode_reply(m_rig, m_state, arrived);
    if (!step.request.empty()) (void)m_port->write(step.request);
    return m_readings.reading(step.frequency_text, step.mode);
}

RigLoad load_rig(const std::string& data_directory, io::Devices& devices) {
    RigLoad load;
    const auto path = find_rig_description(data_directory);
    if (!path) return load;
    const std::string name = std::filesystem::path(*path).filename().string();
    load.settings.description_path = *path;
    const auto text = read_side_file(*path);
    if (!text) {
        load.notice = RigNotice{name + " could not be read: rig control is off.", k_rig_description_title};
        return load;
    }
    DescriptionReading reading = read_rig_description(*text, name);
    load.settings.port = reading.rig.port_text;
    load.settings.rate = reading.rig.rate_text;
    if (reading.problem) {
        load.notice = RigNotice{name + " line " + std::to_string(reading.problem->line) + ": " +
                                    reading.problem->what + ". Rig control is off.",
                                k_rig_description_title};
        return load;
    }

    RigDescription& rig = reading.rig;
    if (const auto address = daemon_address(rig)) {
        auto connected = devices.connect_stream(address->host, address->port, k_daemon_connect_timeout);
        std::unique_ptr<io::ByteStream> stream;
        if (connected)
            stream = std::move(connected).value();
        else
            load.notice = RigNotice{rig.port_text + ":" + rig.rate_text + " not available", k_rig_port_title};
        load.link = std::make_unique<RigDaemonLink>(devices, *address, std::move(stream));
        return load;
    }
    auto port = open_serial(rig, devices, load.notice);
    load.link = std::make_unique<SerialRigLink>(std::move(rig), std::move(port));
    return load;
}

} // namespace kestrel::rig
