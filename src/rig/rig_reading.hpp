#pragma once

#include <string>

namespace kestrel::rig {

// What one poll of the rig found: the frequency as the band list shows it ("14.250", MHz with
// three decimals) and the mode's name from the rig description, empty when the reply had none.
struct RigReading {
    std::string frequency_text;
    std::string mode;
    friend bool operator==(const RigReading&, const RigReading&) = default;
};

} // namespace kestrel::rig
