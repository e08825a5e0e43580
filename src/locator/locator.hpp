#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::locator {

// These are the figures the logbook has always used, kept so that distances and headings agree
// with the ones operators have logged before; they are not the most precise values.
inline constexpr double k_degrees_per_radian = 57.29577;
inline constexpr double k_miles_per_radian = 3974;
inline constexpr double k_kilometres_per_radian = 6394;
inline constexpr double k_half_pi = 1.570796;
// The character code of "A" less one half: a sub-square letter minus this is its centre.
inline constexpr double k_sub_square_centre = 64.5;

// A place on the earth in radians, north and east positive.
struct Position {
    double latitude = 0;
    double longitude = 0;
    friend bool operator==(const Position&, const Position&) = default;
};

// Two, four or six characters: field letters A to R, square digits 0 to 9, sub-square letters A
// to X, upper case only. The grid has no more cells than that, so a letter past them names no
// place at all; every check of a typed or received locator goes through this one rule.
[[nodiscard]] bool validate_locator(std::string_view text);

// The centre of the field, square or sub-square a valid locator names.
[[nodiscard]] Position locator_to_position(std::string_view locator);

// Arc cosine in radians, taking any value: 0 from 1 up, pi from -1 down.
[[nodiscard]] double arc_cosine(double x);

struct Course {
    double arc = 0;           // radians of a great circle
    std::int16_t bearing = 0; // whole degrees from north, 0 to 360
};

// The great circle from one position to another and the heading to start out on. Two positions
// with no distance between them have no heading; they are given 0.
[[nodiscard]] Course great_circle(Position from, Position to);

enum class DistanceUnit { miles, kilometres };

// An arc in whole miles or kilometres.
[[nodiscard]] std::int16_t distance(double arc, DistanceUnit unit);

// A coordinate typed as degrees, "d:m" or "d:m:s" (fractions allowed) and a hemisphere letter
// last: N or S for a latitude, E or W for a longitude. Gives degrees, north and east positive, or
// nothing when the letter is missing, no number leads, or the value lies beyond the pole or 180.
enum class Axis { latitude, longitude };
[[nodiscard]] std::optional<double> parse_coordinate(std::string_view text, Axis axis);

// The six-character locator of a place given in degrees. The pole and the 180th meridian lie on
// the grid's outer edge and are given the last sub-square there ("R9X").
[[nodiscard]] std::string position_to_locator(double latitude, double longitude);

// The same from the two texts; nothing when either is not a coordinate.
[[nodiscard]] std::optional<std::string> position_to_locator(std::string_view latitude,
                                                             std::string_view longitude);

} // namespace kestrel::locator
