// make_log: writes a log of made-up contacts in date order, for trying the program out and for
// timing it on big logs.
//
//   make_log FILE COUNT [SEED]
//
// The contacts run one after another from 1 January 2000, a few minutes apart, over the HF
// bands in CW, SSB and FM, with now and then a station-data or text record among them.

#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"
#include "logstore/record.hpp"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

using namespace kestrel::logstore;

const char* const k_prefixes[] = {"G", "GW", "GM", "M0", "DL", "F", "EA", "I", "K", "W", "VE", "JA", "VK", "ZL",
                                  "PY", "LU", "ZS", "UA", "SM", "OH", "ON", "PA", "OK", "SP", "HA", "YU", "9A"};
const char* const k_modes[] = {"CW", "SSB", "FM", "A1A", "J3E", "RTY"};
const int k_bands[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12};

RecordBytes contact(std::mt19937& random, std::int16_t date, std::int16_t time) {
    QsoRecord q;
    q.date = date;
    q.time_on = time;
    q.time_off = static_cast<std::int16_t>(std::min(1439, time + static_cast<int>(random() % 5)));
    std::string call = k_prefixes[random() % std::size(k_prefixes)];
    call += std::to_string(random() % 10);
    for (int i = 0; i < 3; ++i) call += static_cast<char>('A' + random() % 26);
    if (random() % 20 == 0) call += "/P";
    q.call = call;
    const std::string mode = k_modes[random() % std::size(k_modes)];
    q.mode = mode;
    q.rst_sent = default_report(mode);
    q.rst_received = random() % 30 == 0 ? std::string("0") : default_report(mode);
    q.band = coded_band_field(k_bands[random() % std::size(k_bands)]);
    q.power = "100";
    q.comment = random() % 4 == 0 ? "Name " + std::string(1, static_cast<char>('A' + random() % 26)) + "ob" : "";
    q.qsl_flags = static_cast<std::uint8_t>(random() % 4);
    return q.encode();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FILE COUNT [SEED]\n", argv[0]);
        return 2;
    }
    const long count = std::strtol(argv[2], nullptr, 10);
    std::mt19937 random(argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 73u);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    int day = 0;
    int minute = 0;
    for (long n = 0; n < count; ++n) {
        minute += 1 + static_cast<int>(random() % 20);
        if (minute > 1439) {
            minute %= 1440;
            ++day;
        }
        // Day numbers skip from the 28th of each month so every date is a real one.
        const int year = day / 336, month = day / 28 % 12 + 1, d = day % 28 + 1;
        const auto date = static_cast<std::int16_t>(500 * (100 + year % 29) + 35 * month + d - 32000);
        RecordBytes r;
        if (n % 500 == 250) {
            StationDataRecord s{date, static_cast<std::int16_t>(minute), "G9QQQ", "FT-1000", "Dipole", 4};
            r = s.encode();
        } else if (n % 700 == 350) {
            r = TextRecord{date, static_cast<std::int16_t>(minute), "Band open to the Pacific"}.encode();
        } else {
            r = contact(random, date, static_cast<std::int16_t>(minute));
        }
        if (std::fwrite(r.data(), 1, r.size(), out) != r.size()) {
            std::perror(argv[1]);
            return 1;
        }
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
