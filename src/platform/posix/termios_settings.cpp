#include "platform/posix/termios_settings.hpp"

#include <array>
#include <utility>

namespace kestrel::platform::posix {

namespace {

constexpr std::array<std::pair<int, speed_t>, 27> k_speeds{{
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {3000000, B3000000},
}};

constexpr tcflag_t k_line_flags = CSIZE | PARENB | PARODD | CSTOPB;

} // namespace

void make_raw(termios& settings) {
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
}

std::optional<speed_t> speed_of(int baud) {
    for (const auto& [rate, constant] : k_speeds) {
        if (rate == baud) return constant;
    }
    return std::nullopt;
}

bool apply(termios& settings, const io::LineSettings& line) {
    const auto speed = speed_of(line.baud);
    if (!speed) return false;
    tcflag_t size = 0;
    switch (line.data_bits) {
    case 5: size = CS5; break;
    case 6: size = CS6; break;
    case 7: size = CS7; break;
    case 8: size = CS8; break;
    default: return false;
    }

    tcflag_t flags = size;
    if (line.parity != io::Parity::none) flags |= PARENB;
    if (line.parity == io::Parity::odd) flags |= PARODD;
    if (line.stop_bits == io::StopBits::two) flags |= CSTOPB;

    settings.c_cflag = (settings.c_cflag & ~k_line_flags) | flags;
    // With parity on, check it on input too; a byte with a parity fault arrives as it came.
    if (line.parity != io::Parity::none)
        settings.c_iflag |= INPCK;
    else
        settings.c_iflag &= ~static_cast<tcflag_t>(INPCK);
    cfsetispeed(&settings, *speed);
    cfsetospeed(&settings, *speed);
    return true;
}

bool same_line(const termios& held, const termios& asked) {
    return (held.c_cflag & k_line_flags) == (asked.c_cflag & k_line_flags) &&
           cfgetispeed(&held) == cfgetispeed(&asked) && cfgetospeed(&held) == cfgetospeed(&asked);
}

} // namespace kestrel::platform::posix
