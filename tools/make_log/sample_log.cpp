#include "sample_log.hpp"

#include "logstore/field_codes.hpp"
#include "logstore/record.hpp"

#include <algorithm>
#include <fstream>
#include <random>

namespace kestrel::tools {

namespace {

using namespace kestrel::logstore;

const char* const k_prefixes[] = {"G",  "GW", "GM", "M0", "DL", "F",  "EA", "I",  "K",
                                  "W",  "VE", "JA", "VK", "ZL", "PY", "LU", "ZS", "UA",
                                  "SM", "OH", "ON", "PA", "OK", "SP", "HA", "YU", "9A"};
const char* const k_modes[] = {"CW", "SSB", "FM", "A1A", "J3E", "RTY"};
const int k_bands[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12};

std::string made_up_call(std::mt19937& random) {
    std::string call = k_prefixes[random() % std::size(k_prefixes)];
    call += std::to_string(random() % 10);
    for (int i = 0; i < 3; ++i)
        call += static_cast<char>('A' + random() % 26);
    if (random() % 20 == 0) call += "/P";
    return call;
}

RecordBytes contact(std::mt19937& random, std::int16_t date, std::int16_t time, std::string call) {
    QsoRecord q;
    q.date = date;
    q.time_on = time;
    q.time_off = static_cast<std::int16_t>(std::min(1439, time + static_cast<int>(random() % 5)));
    q.call = call.empty() ? made_up_call(random) : std::move(call);
    const std::string mode = k_modes[random() % std::size(k_modes)];
    q.mode = mode;
    q.rst_sent = default_report(mode);
    q.rst_received = random() % 30 == 0 ? std::string("0") : default_report(mode);
    q.band = coded_band_field(k_bands[random() % std::size(k_bands)]);
    q.power = "100";
    q.comment =
        random() % 4 == 0 ? "Name " + std::string(1, static_cast<char>('A' + random() % 26)) + "ob" : "";
    q.qsl_flags = static_cast<std::uint8_t>(random() % 4);
    return q.encode();
}

} // namespace

bool write_sample_log(const std::string& path, const SampleLog& log) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::mt19937 random(log.seed);
    int day = 0;
    int minute = 0;
    for (int n = 0; n < log.count && out; ++n) {
        minute += 1 + static_cast<int>(random() % 20);
        if (minute > 1439) {
            minute %= 1440;
            ++day;
        }
        // Day numbers skip from the 28th of each month so every date is a real one.
        const int year = day / 336, month = day / 28 % 12 + 1, d = day % 28 + 1;
        const auto date = static_cast<std::int16_t>(500 * (100 + year % 29) + 35 * month + d - 32000);
        const auto time = static_cast<std::int16_t>(minute);
        RecordBytes r;
        if (n % 500 == 250) {
            r = StationDataRecord{date, time, "G9QQQ", "FT-1000", "Dipole", 4}.encode();
        } else if (n % 700 == 350) {
            r = TextRecord{date, time, "Band open to the Pacific"}.encode();
        } else {
            const bool planted = log.station_every > 0 && !log.stations.empty() &&
                                 n % log.station_every == log.station_every - 1;
            const std::size_t which =
                planted ? static_cast<std::size_t>(n / log.station_every) % log.stations.size() : 0;
            r = contact(random, date, time, planted ? log.stations[which] : std::string());
        }
        out.write(reinterpret_cast<const char*>(r.data()), static_cast<std::streamsize>(r.size()));
    }
    out.close();
    return static_cast<bool>(out);
}

} // namespace kestrel::tools
