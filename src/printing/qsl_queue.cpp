#include "printing/qsl_queue.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "countries/country_table.hpp"
#include "logstore/field_codes.hpp"
#include "logstore/log_store.hpp"

#include <algorithm>
#include <array>

namespace kestrel::printing {

namespace {

constexpr int k_block = 4096; // records read at a time
constexpr double k_least_report = 11;

// The call without /M, /P and /MM and without trailing blanks.
std::string bare_call(std::string_view call_field) {
    std::string call = std::string(call_field) + " ";
    for (std::string_view suffix : {"/M ", "/P ", "/MM "})
        replace_all(call, suffix, "");
    return std::string(trim_trailing_spaces(call));
}

// The date as five digits, so that keys of one call sort by date (a storable day number plus 32000
// lies between 15036 and 80566).
std::string date_key(int date) {
    std::string digits = std::to_string(date + 32000);
    return std::string(digits.size() < 5 ? 5 - digits.size() : 0, '0') + digits;
}

bool wants_card(const logstore::RecordBytes& record, const QueueRules& rules) {
    if (leading_number(logstore::received_report_view(record)) < k_least_report) return false;
    if (rules.start_date && logstore::record_date(record) < *rules.start_date) return false;
    const std::uint8_t flags = record[logstore::record_layout::qsl_flags];
    if (flags & 1) return false;
    return !rules.received_only || (flags & 2);
}

} // namespace

std::string home_key(std::string_view call_field, int date) {
    std::string call = bare_call(call_field);
    // The characters that sort above "9" before the first digit: the prefix letters.
    std::size_t letters = 0;
    while (letters < call.size() && static_cast<unsigned char>(call[letters]) > '9')
        ++letters;
    std::rotate(call.begin(), call.begin() + static_cast<std::ptrdiff_t>(letters), call.end());
    std::erase(call, ' ');
    return call + date_key(date);
}

std::string foreign_key(std::string_view call_field, int date) {
    std::string call = bare_call(call_field);
    std::erase(call, ' ');
    return call + date_key(date);
}

Result<QslQueue, logstore::LogError> build_qsl_queue(const logstore::LogStore& log,
                                                     const countries::CountryTable& countries,
                                                     const QueueRules& rules) {
    std::vector<QueuedQsl> home;
    std::vector<QueuedQsl> foreign;
    std::array<int, logstore::k_band_count> station{}; // the station-data entry of each band
    bool full = false;
    const int count = log.record_count();
    for (int first = 1; first <= count && !full; first += k_block) {
        auto block = log.read_records(first, std::min(k_block, count - first + 1));
        if (!block) return block.error();
        for (std::size_t i = 0; i < block->size() && !full; ++i) {
            const logstore::RecordBytes& record = (*block)[i];
            const int number = first + static_cast<int>(i);
            switch (logstore::kind_of(record)) {
            case logstore::RecordKind::cq:
            case logstore::RecordKind::text: continue;
            case logstore::RecordKind::station_data: {
                const int band = logstore::StationDataRecord::decode(record).band_index;
                if (band >= 0 && band < logstore::k_band_count)
                    station[static_cast<std::size_t>(band)] = number;
                continue;
            }
            case logstore::RecordKind::qso: break;
            }
            if (!wants_card(record, rules)) continue;
            const std::string_view call = logstore::call_view(record);
            const int band = logstore::band_of_field(logstore::band_field(record));
            const int station_record =
                band >= 0 && band < logstore::k_band_count ? station[static_cast<std::size_t>(band)] : 0;
            const int date = logstore::record_date(record);
            if (countries.resolve_country(call).country == k_home_country)
                home.push_back({home_key(call, date), number, station_record});
            else
                foreign.push_back({foreign_key(call, date), number, station_record});
            full = static_cast<int>(home.size() + foreign.size()) >= k_qsl_queue_size;
        }
    }
    const auto by_key = [](const QueuedQsl& a, const QueuedQsl& b) { return a.key < b.key; };
    std::stable_sort(home.begin(), home.end(), by_key);
    std::stable_sort(foreign.begin(), foreign.end(), by_key);
    QslQueue queue;
    queue.qsls = std::move(home);
    queue.qsls.insert(queue.qsls.end(), foreign.begin(), foreign.end());
    queue.full = full;
    return queue;
}

} // namespace kestrel::printing
