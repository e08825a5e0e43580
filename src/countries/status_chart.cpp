#include "countries/status_chart.hpp"

#include "common/number_text.hpp"
#include "common/side_file.hpp"

#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

namespace kestrel::countries {

bool StatusChart::in_chart(int country, int band) {
    return country >= 0 && country < k_chart_countries && band >= 0 && band < k_chart_bands;
}

std::uint8_t StatusChart::byte(int country, int band) const {
    return in_chart(country, band) ? m_bytes[static_cast<std::size_t>(country + k_chart_countries * band)]
                                   : 0;
}

bool StatusChart::worked(int country, int band, int mode_class) const {
    return (byte(country, band) >> (2 * mode_class)) & 1;
}

bool StatusChart::confirmed(int country, int band, int mode_class) const {
    return (byte(country, band) >> (2 * mode_class + 1)) & 1;
}

void StatusChart::set_byte(int country, int band, std::uint8_t value) {
    if (in_chart(country, band))
        m_bytes[static_cast<std::size_t>(country + k_chart_countries * band)] = value;
}

void StatusChart::update_chart(int country, int band, int mode_class, std::uint8_t qsl_flags) {
    if (!in_chart(country, band) || mode_class < 0 || mode_class >= k_mode_classes) return;
    std::uint8_t marks = static_cast<std::uint8_t>(1u << (2 * mode_class));
    if (qsl_flags & 2) marks |= static_cast<std::uint8_t>(2u << (2 * mode_class));
    set_byte(country, band, static_cast<std::uint8_t>(byte(country, band) | marks));
}

ChartLoad load_chart(const std::string& path) {
    ChartLoad load;
    auto read = load_side_file(path);
    if (!read && read.error() == SideFileProblem::missing) {
        // Made afresh and never through a link: a link to nowhere in its name stays as it is.
        const int made = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (made >= 0) ::close(made);
        return load;
    }
    if (!read) {
        load.unreadable = true;
        return load;
    }
    const std::string& bytes = *read;
    auto& chart = load.chart.bytes();
    const std::size_t n = std::min(bytes.size(), chart.size());
    for (std::size_t i = 0; i < n; ++i)
        chart[i] = static_cast<std::uint8_t>(bytes[i]);
    for (std::size_t i = n; i < bytes.size(); ++i)
        load.chart.tail.push_back(static_cast<std::uint8_t>(bytes[i]));
    if (!bytes.empty() && bytes.size() != chart.size()) load.wrong_length = bytes.size();
    return load;
}

std::string wrong_length_message(std::uintmax_t length) {
    return "DXCC.CHT holds" + number_text(length) + " bytes instead of 5213.\r\n" +
           "Kestrel has read the status chart as far as the file goes; use DXCC/Check Log to rebuild it from "
           "the log.";
}

bool save_chart(const StatusChart& chart, const std::string& path) {
    std::string bytes(chart.bytes().begin(), chart.bytes().end());
    bytes.append(chart.tail.begin(), chart.tail.end());
    return write_side_file(path, bytes);
}

ChartTotals tally_chart(const StatusChart& chart, int first, int last) {
    ChartTotals t;
    constexpr int all_bands = ChartTotals::rows - 1;
    constexpr int all_modes = ChartTotals::columns - 1;
    for (int c = std::max(first, 0); c <= std::min(last, k_chart_countries - 1); ++c) {
        bool worked_mode[k_mode_classes] = {}, confirmed_mode[k_mode_classes] = {};
        bool any_worked = false, any_confirmed = false;
        for (int b = 0; b < k_chart_bands; ++b) {
            bool band_worked = false, band_confirmed = false;
            for (int m = 0; m < k_mode_classes; ++m) {
                if (chart.worked(c, b, m)) {
                    ++t.worked[b][m];
                    worked_mode[m] = band_worked = true;
                }
                if (chart.confirmed(c, b, m)) {
                    ++t.confirmed[b][m];
                    confirmed_mode[m] = band_confirmed = true;
                }
            }
            if (band_worked) ++t.worked[b][all_modes];
            if (band_confirmed) ++t.confirmed[b][all_modes];
            any_worked |= band_worked;
            any_confirmed |= band_confirmed;
        }
        if (any_worked) ++t.worked[all_bands][all_modes];
        if (any_confirmed) ++t.confirmed[all_bands][all_modes];
        for (int m = 0; m < k_mode_classes; ++m) {
            if (worked_mode[m]) ++t.worked[all_bands][m];
            if (confirmed_mode[m]) ++t.confirmed[all_bands][m];
        }
    }
    return t;
}

std::string cell_text(int worked, int confirmed) {
    std::string w = worked == 0 ? "-" : std::to_string(worked);
    if (w.size() < 3) w.insert(0, 3 - w.size(), ' ');
    return w + "/" + (confirmed == 0 ? "-" : std::to_string(confirmed));
}

} // namespace kestrel::countries
