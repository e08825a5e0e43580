#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::countries {

inline constexpr int k_chart_countries = 401; // country numbers 0 to 400
inline constexpr int k_chart_bands = 13;      // band indexes 0 (160 m) to 12 (70 cm)
inline constexpr int k_mode_classes = 4;      // CW, SSB, FM, other
inline constexpr int k_chart_size = k_chart_countries * k_chart_bands;
inline constexpr const char* k_chart_file = "DXCC.CHT";

// Worked and confirmed, per country, band and class of mode: one byte per country and band,
// two bits per mode class (worked the lower, confirmed the higher).
class StatusChart {
  public:
    std::uint8_t byte(int country, int band) const;
    bool worked(int country, int band, int mode_class) const;
    bool confirmed(int country, int band, int mode_class) const;
    // Marks a contact: worked always, confirmed when the QSL-received bit (2) of the flags is
    // set. Never clears a mark; a band above 12 or a country outside 0 to 400 changes nothing.
    void update_chart(int country, int band, int mode_class, std::uint8_t qsl_flags);
    void set_byte(int country, int band, std::uint8_t value);
    void clear() { m_bytes.fill(0); }

    // The file's bytes in order: the countries of band 0, then of band 1, and so on.
    const std::array<std::uint8_t, k_chart_size>& bytes() const { return m_bytes; }
    std::array<std::uint8_t, k_chart_size>& bytes() { return m_bytes; }

    // Bytes a longer DXCC.CHT held after the chart; written back unchanged.
    std::vector<std::uint8_t> tail;

  private:
    static bool in_chart(int country, int band);
    std::array<std::uint8_t, k_chart_size> m_bytes{};
};

// Reads DXCC.CHT (creating it empty when absent). A file of any other length than 0 or 5213
// is read as far as it goes; `wrong_length` then holds its length so the operator can be told.
struct ChartLoad {
    StatusChart chart;
    std::optional<std::uintmax_t> wrong_length;
    bool unreadable = false;
};
[[nodiscard]] ChartLoad load_chart(const std::string& path);
[[nodiscard]] std::string wrong_length_message(std::uintmax_t length);
// Writes the chart through a temporary file that then replaces DXCC.CHT. False on failure.
[[nodiscard]] bool save_chart(const StatusChart& chart, const std::string& path);

// Countries counted per band (0-12, 13 = all bands) and mode class (0-3, 4 = all modes).
struct ChartTotals {
    static constexpr int rows = 14;
    static constexpr int columns = 5;
    std::array<std::array<int, columns>, rows> worked{};
    std::array<std::array<int, columns>, rows> confirmed{};
};
[[nodiscard]] ChartTotals tally_chart(const StatusChart& chart, int first, int last);

// "  -/-", "  1/-", " 12/3": the worked count in three places (a dash for none), "/", the
// confirmed count (a dash for none).
[[nodiscard]] std::string cell_text(int worked, int confirmed);

} // namespace kestrel::countries
