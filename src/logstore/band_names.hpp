#pragma once

#include "logstore/field_codes.hpp"

#include <array>
#include <string>

namespace kestrel::logstore {

// The display names of the band indexes, six characters each ("14MHz ", "1.2GHz"). The table
// has two faces: slots 0–19, and slots 0–20 whose slot 20 stays empty so that the entry editor
// has a name to show for a band it cannot name.
class BandNameTable {
  public:
    // Slot 0–19; any other index names the fallback band (19, "5MHz  ").
    const std::string& name(int band_index) const;
    // Slot 0–20; any index outside 0–19 gives the empty slot 20.
    const std::string& name_or_blank(int band_index) const;

    const std::array<std::string, k_band_count>& names() const { return m_names; }
    const std::array<std::string, k_band_count + 1>& names_with_blank() const { return m_with_blank; }

  private:
    friend BandNameTable load_band_names();
    std::array<std::string, k_band_count> m_names;
    std::array<std::string, k_band_count + 1> m_with_blank;
};

// Fills both faces of the table from the names kept with the program.
[[nodiscard]] BandNameTable load_band_names();

} // namespace kestrel::logstore
