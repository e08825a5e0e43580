#include "exchange/extract.hpp"

#include "common/fixed_text.hpp"
#include "logstore/field_codes.hpp"

namespace kestrel::exchange {

namespace {

constexpr int k_last_flagged_band = 11; // 144 MHz

bool band_chosen(int band, const ExtractChoice& choice) {
    if (band == logstore::k_fallback_band) return choice.bands[ExtractChoice::k_five_mhz_flag];
    if (band < 0 || band > k_last_flagged_band) return false;
    return choice.bands[static_cast<std::size_t>(band)];
}

bool mode_chosen(const logstore::RecordBytes& record, const ExtractChoice& choice) {
    if (choice.fourth_mode == "ALL") return true;
    const std::string_view mode = logstore::mode_view(record);
    const int mode_class = logstore::mode_class_of(mode);
    if (!choice.modes[static_cast<std::size_t>(mode_class)]) return false;
    return mode_class != logstore::k_mode_other || trim_trailing_spaces(mode) == choice.fourth_mode;
}

} // namespace

Verdict judge_entry(const logstore::RecordBytes& record, const ExtractChoice& choice) {
    if (!logstore::is_contact(record)) return Verdict::skip;
    const int date = logstore::record_date(record);
    if (date < choice.from) return Verdict::skip;
    if (date > choice.to) return Verdict::stop;
    if (!band_chosen(logstore::band_of_field(logstore::band_field(record)), choice)) return Verdict::skip;
    return mode_chosen(record, choice) ? Verdict::take : Verdict::skip;
}

Result<int, logstore::LogError> extract_entries(RecordSource& in, const ExtractChoice& choice,
                                                RecordSink& out, const ProgressFn& progress) {
    int taken = 0;
    std::int64_t read = 0;
    logstore::RecordBytes record;
    while (in.next(record)) {
        if (progress) progress(++read);
        const Verdict verdict = judge_entry(record, choice);
        if (verdict == Verdict::stop) break;
        if (verdict == Verdict::skip) continue;
        if (const auto status = out.append(record); !status) return status.error();
        ++taken;
    }
    if (const auto status = in.status(); !status) return status.error();
    return taken;
}

} // namespace kestrel::exchange
