#pragma once

#include <cstdint>

namespace kestrel {

// A colour by its red, green and blue parts, as windows and printers are given it.
struct Colour {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

} // namespace kestrel
