#include "locator/locator.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

namespace kestrel::locator {

namespace {

bool is_letter_to(char c, char last) {
    return c >= 'A' && c <= last;
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Rounds to a whole number that fits the 16 bits results are kept in; what is not a number at
// all becomes 0 rather than undefined behaviour in the conversion.
std::int16_t whole(double x) {
    if (!std::isfinite(x)) return 0;
    constexpr double low = std::numeric_limits<std::int16_t>::min();
    constexpr double high = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(std::clamp(std::round(x), low, high));
}

// The number at the start of a text, as a BASIC Val would read it (blanks, a sign, digits, a
// point, digits) but with no exponent, so it is always finite. Nothing when no digit leads.
std::optional<double> leading_number(std::string_view text) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos) return std::nullopt;
    const std::size_t start = i;
    if (text[i] == '+' || text[i] == '-') ++i;
    const std::size_t first_digit = i;
    while (i < text.size() && is_digit(text[i]))
        ++i;
    std::size_t digits = i - first_digit;
    if (i < text.size() && text[i] == '.') {
        const std::size_t after_point = ++i;
        while (i < text.size() && is_digit(text[i]))
            ++i;
        digits += i - after_point;
    }
    if (digits == 0) return std::nullopt;
    // from_chars takes no "+".
    const std::size_t from = text[start] == '+' ? start + 1 : start;
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data() + from, text.data() + i, value, std::chars_format::fixed);
    if (error != std::errc{} || !std::isfinite(value)) return std::nullopt;
    return value;
}

// One axis of a position, mapped onto 0 to 180, as three characters: field, square, sub-square.
// Each index is kept within the grid so the outer edge (180) and rounding just below a
// boundary stay in the last cell instead of running past it.
int cell(double x, int last) {
    if (!(x >= 0)) return 0; // also what is not a number
    if (x >= last) return last;
    return static_cast<int>(x);
}

void append_axis(std::string& field, std::string& square, std::string& sub, double v) {
    const int f = cell(std::floor(v / 10), 17);
    const double r = 10 * (v - 10 * f);
    const int s = cell(std::floor(r / 10), 9);
    const double t = 2.4 * (r - 10 * s);
    const int u = cell(std::floor(t), 23);
    field += static_cast<char>('A' + f);
    square += static_cast<char>('0' + s);
    sub += static_cast<char>('A' + u);
}

} // namespace

bool validate_locator(std::string_view text) {
    const std::size_t n = text.size();
    if (n != 2 && n != 4 && n != 6) return false;
    constexpr char last_field = 'R';
    constexpr char last_sub_square = 'X';
    if (!is_letter_to(text[0], last_field) || !is_letter_to(text[1], last_field)) return false;
    if (n >= 4 && (!is_digit(text[2]) || !is_digit(text[3]))) return false;
    if (n == 6 && (!is_letter_to(text[4], last_sub_square) || !is_letter_to(text[5], last_sub_square)))
        return false;
    return true;
}

Position locator_to_position(std::string_view locator) {
    if (locator.size() < 2) return {};
    double longitude = 20.0 * (locator[0] - 65) - 180;
    double latitude = 10.0 * (locator[1] - 65) - 90;
    if (locator.size() < 4) {
        longitude += 10;
        latitude += 5;
    } else {
        longitude += 2.0 * (locator[2] - 48);
        latitude += locator[3] - 48;
        if (locator.size() < 6) {
            longitude += 1;
            latitude += 0.5;
        } else {
            longitude += (locator[4] - k_sub_square_centre) / 12;
            latitude += (locator[5] - k_sub_square_centre) / 24;
        }
    }
    return {latitude / k_degrees_per_radian, longitude / k_degrees_per_radian};
}

double arc_cosine(double x) {
    if (x >= 1) return 0;
    if (x <= -1) return std::numbers::pi;
    return k_half_pi - std::atan(x / std::sqrt(1 - x * x));
}

Course great_circle(Position from, Position to) {
    const double delta = to.longitude - from.longitude;
    const double x = std::sin(to.latitude) * std::sin(from.latitude) +
                     std::cos(to.latitude) * std::cos(from.latitude) * std::cos(delta);
    Course course;
    course.arc = arc_cosine(x);
    // From a place to itself (or from a pole) the quotient below is 0 / 0 and no heading exists.
    // The positions are compared, not the arc: rounding leaves a place a hair's breadth from
    // itself, and the heading across that hair would be noise.
    const double divisor = std::sin(course.arc) * std::cos(from.latitude);
    if (from == to || divisor == 0) return course;
    const double c = (std::sin(to.latitude) - x * std::sin(from.latitude)) / divisor;
    std::int16_t bearing = whole(k_degrees_per_radian * arc_cosine(c));
    if (std::sin(delta) < 0) bearing = static_cast<std::int16_t>(360 - bearing);
    course.bearing = bearing;
    return course;
}

std::int16_t distance(double arc, DistanceUnit unit) {
    return whole(arc * (unit == DistanceUnit::miles ? k_miles_per_radian : k_kilometres_per_radian));
}

std::optional<double> parse_coordinate(std::string_view text, Axis axis) {
    if (text.empty()) return std::nullopt;
    const char hemisphere = text.back();
    const bool positive = axis == Axis::latitude ? hemisphere == 'N' : hemisphere == 'E';
    const bool negative = axis == Axis::latitude ? hemisphere == 'S' : hemisphere == 'W';
    if (!positive && !negative) return std::nullopt;
    const auto degrees = leading_number(text);
    if (!degrees) return std::nullopt;
    double value = *degrees;
    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos) {
        value += leading_number(text.substr(colon + 1)).value_or(0) / 60;
        const std::size_t second = text.find(':', colon + 1);
        if (second != std::string_view::npos)
            value += leading_number(text.substr(second + 1)).value_or(0) / 3600;
    }
    // Minutes and seconds count: 90:30N is past the pole just as 91N is. A negative number has a
    // hemisphere letter for that and would land off the grid.
    const double limit = axis == Axis::latitude ? 90 : 180;
    if (!(value >= 0 && value <= limit)) return std::nullopt;
    return positive ? value : -value;
}

std::string position_to_locator(double latitude, double longitude) {
    std::string field, square, sub;
    append_axis(field, square, sub, (longitude + 180) / 2);
    append_axis(field, square, sub, latitude + 90);
    return field + square + sub;
}

std::optional<std::string> position_to_locator(std::string_view latitude, std::string_view longitude) {
    const auto lat = parse_coordinate(latitude, Axis::latitude);
    const auto lon = parse_coordinate(longitude, Axis::longitude);
    if (!lat || !lon) return std::nullopt;
    return position_to_locator(*lat, *lon);
}

} // namespace kestrel::locator
