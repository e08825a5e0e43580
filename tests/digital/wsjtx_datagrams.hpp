#pragma once

// Datagrams as WSJT-X writes them: a Qt data stream, big-endian, with the protocol's header.

#include "digital/wsjtx_messages.hpp"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::testing {

using Datagram = std::vector<std::uint8_t>;

class QtStreamWriter {
  public:
    QtStreamWriter& u8(std::uint8_t v) { return put(v, 1); }
    QtStreamWriter& u32(std::uint32_t v) { return put(v, 4); }
    QtStreamWriter& u64(std::uint64_t v) { return put(v, 8); }
    QtStreamWriter& utf8(const std::string& text) {
        u32(static_cast<std::uint32_t>(text.size()));
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        return *this;
    }
    QtStreamWriter& null_text() { return u32(0xffffffff); }
    // A moment in UTC (time kind 1), or with an offset in seconds east of UTC (time kind 2).
    QtStreamWriter& date_time(std::chrono::sys_seconds utc) { return date_time(utc, 1, 0); }
    QtStreamWriter& date_time(std::chrono::sys_seconds shown, std::uint8_t kind, std::int32_t offset) {
        using namespace std::chrono;
        const sys_days day = floor<days>(shown);
        u64(static_cast<std::uint64_t>(day.time_since_epoch().count() + 2'440'588));
        u32(static_cast<std::uint32_t>(duration_cast<milliseconds>(shown - day).count()));
        u8(kind);
        if (kind == 2) u32(static_cast<std::uint32_t>(offset));
        return *this;
    }
    QtStreamWriter& header(std::uint32_t type, std::uint32_t schema = 3,
                           std::uint32_t magic = digital::k_magic) {
        return u32(magic).u32(schema).u32(type).utf8("WSJT-X");
    }
    const Datagram& bytes() const { return m_bytes; }

  private:
    QtStreamWriter& put(std::uint64_t v, int width) {
        for (int i = width - 1; i >= 0; --i)
            m_bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
    Datagram m_bytes;
};

inline std::chrono::sys_seconds utc(int year, unsigned month, unsigned day, int hour, int minute,
                                    int second = 0) {
    using namespace std::chrono;
    return sys_days{std::chrono::year{year} / month / day} + hours(hour) + minutes(minute) + seconds(second);
}

// The fields of a "QSO Logged" message, as a program fills them in.
struct LoggedQso {
    std::chrono::sys_seconds off = utc(2026, 12, 7, 14, 31, 45);
    std::string call = "K1ABC";
    std::string grid = "FN42";
    std::uint64_t hertz = 14'075'500;
    std::string mode = "FT8";
    std::string sent = "-10";
    std::string received = "-12";
    std::string power = "50";
    std::string comments = "";
    std::string name = "";
    std::chrono::sys_seconds on = utc(2026, 12, 7, 14, 30, 15);
    bool with_start = true; // older programs end the message after the name
};

inline Datagram qso_logged(const LoggedQso& q, std::uint32_t schema = 3) {
    QtStreamWriter w;
    w.header(5, schema).date_time(q.off).utf8(q.call).utf8(q.grid).u64(q.hertz).utf8(q.mode);
    w.utf8(q.sent).utf8(q.received).utf8(q.power).utf8(q.comments).utf8(q.name);
    if (q.with_start) {
        w.date_time(q.on).utf8("").utf8("G4XYZ").utf8("IO91").utf8("").utf8("").utf8("");
    }
    return w.bytes();
}

inline Datagram logged_adif(const std::string& adif, std::uint32_t schema = 3) {
    QtStreamWriter w;
    w.header(12, schema).utf8(adif);
    return w.bytes();
}

// The ADIF a program sends with "Logged ADIF" for the contact above.
inline std::string adif_of(const LoggedQso& q) {
    using namespace std::chrono;
    const auto field = [](const char* name, const std::string& value) {
        return "<" + std::string(name) + ":" + std::to_string(value.size()) + ">" + value + " ";
    };
    const auto date = [](sys_seconds t) {
        const year_month_day d(floor<days>(t));
        char text[16];
        std::snprintf(text, sizeof text, "%04d%02u%02u", int(d.year()), unsigned(d.month()),
                      unsigned(d.day()));
        return std::string(text);
    };
    const auto time = [](sys_seconds t) {
        const hh_mm_ss<seconds> hms(t - floor<days>(t));
        char text[16];
        std::snprintf(text, sizeof text, "%02d%02d%02d", int(hms.hours().count()), int(hms.minutes().count()),
                      int(hms.seconds().count()));
        return std::string(text);
    };
    const bool ft4 = q.mode == "FT4";
    std::string adif = "\n<adif_ver:5>3.1.0\n<programid:6>WSJT-X\n<EOH>\n";
    adif += field("call", q.call) + field("gridsquare", q.grid) + field("mode", ft4 ? "MFSK" : q.mode);
    if (ft4) adif += field("submode", "FT4");
    adif += field("rst_sent", q.sent) + field("rst_rcvd", q.received) + field("qso_date", date(q.on)) +
            field("time_on", time(q.on)) + field("qso_date_off", date(q.off)) +
            field("time_off", time(q.off)) + field("band", "20m") +
            field("freq", digital::megahertz_text(q.hertz)) + field("station_callsign", "G4XYZ") +
            field("my_gridsquare", "IO91");
    if (!q.power.empty()) adif += field("tx_pwr", q.power);
    if (!q.comments.empty()) adif += field("comment", q.comments);
    if (!q.name.empty()) adif += field("name", q.name);
    return adif + "<EOR>";
}

} // namespace kestrel::testing
