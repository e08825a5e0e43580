#include "exchange/left_out.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"

#include <numeric>

namespace kestrel::exchange {

namespace {

struct Reason {
    LeftOut why;
    std::string_view after_noun;
};

constexpr Reason k_reasons[] = {
    {LeftOut::before_contest, " before the CONTEST: line were left out"},
    {LeftOut::unreadable, " were left out: their fields fit neither the contest's columns nor its order"},
    {LeftOut::no_call, " without a call were left out"},
    {LeftOut::date, " without a date the log can hold (a real date from 1930 to 31-01-2061) were left out"},
    {LeftOut::time, " without a time of day (00:00 to 23:59) were left out"},
    {LeftOut::band,
     " on a band the log has no place for (such as 2190 m, 8 m, 222 or 902 MHz) were left out"},
};

} // namespace

int LeftOutTally::total() const {
    return std::accumulate(m_counts.begin(), m_counts.end(), 0);
}

std::string left_out_text(const LeftOutTally& tally, std::string_view noun, std::string_view kept_in,
                          bool kept) {
    std::string text;
    for (const Reason& reason : k_reasons) {
        const int count = tally.count(reason.why);
        if (count == 0) continue;
        text += "\r\n" + number_text(count) + " " + std::string(noun) + std::string(reason.after_noun);
    }
    if (tally.total() == 0 || kept_in.empty()) return text;
    if (kept)
        text += "\r\nThey are kept as they were in " + std::string(kept_in);
    else
        text +=
            "\r\nThey could not be written to " + std::string(kept_in) + "; the file read still holds them";
    return text;
}

std::string rejected_file_name(std::string_view log_path, std::string_view extension) {
    std::string stem(log_path);
    const std::size_t slash = stem.find_last_of('/');
    const std::size_t name_start = slash == std::string::npos ? 0 : slash + 1;
    if (stem.size() - name_start > 4 && upper_case(stem.substr(stem.size() - 4)) == ".LOG")
        stem.resize(stem.size() - 4);
    return stem + ".REJECTED." + std::string(extension);
}

} // namespace kestrel::exchange
