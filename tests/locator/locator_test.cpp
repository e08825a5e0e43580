#include "locator/locator.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace kestrel::locator {
namespace {

constexpr double k_to_degrees = 180 / std::numbers::pi;

// Degrees of a position, for comparing with figures worked out by hand.
struct Degrees {
    double latitude;
    double longitude;
};
Position radians(Degrees d) {
    return {d.latitude / k_degrees_per_radian, d.longitude / k_degrees_per_radian};
}

TEST(Locator, OnlyTwoFourOrSixUpperCaseCharactersOfTheRightKindPass) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"IO", true},
        {"IO91", true},
        {"IO91WM", true},
        {"RR99XX", true},
        {"AA00AA", true},
        {"io91", false},
        {"IO91wm", false},
        {"IO9", false},
        {"IO9A", false},
        {"I091", false},
        {"IO91W", false},
        {"IO91WM1", false},
        {"", false},
        {"I", false},
        {"IO91W1", false},
        {"@O91", false},
        // The grid ends at R for fields and at X for sub-squares.
        {"ZZ99", false},
        {"SA00", false},
        {"AS00", false},
        {"ZZ99ZZ", false},
        {"IO91YA", false},
        {"IO91AY", false},
        {"SS", false},
        {"RR", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(validate_locator(c.text), c.valid) << c.text;
}

TEST(Locator, ALocatorStandsForTheCentreOfItsCell) {
    const struct {
        const char* locator;
        Degrees centre;
    } cases[] = {
        {"IO", {55, -10}},
        {"IO91", {51.5, -1}},
        {"IO91WM", {51.5 + 0.5 / 24, -0.125}},
        {"FN31PR", {41 + 17.5 / 24, -74 + 15.5 / 12}},
        {"AA00AA", {-90 + 0.5 / 24, -180 + 0.5 / 12}},
        {"RR99XX", {90 - 0.5 / 24, 180 - 0.5 / 12}},
    };
    for (const auto& c : cases) {
        const Position p = locator_to_position(c.locator);
        EXPECT_NEAR(p.latitude * k_degrees_per_radian, c.centre.latitude, 1e-9) << c.locator;
        EXPECT_NEAR(p.longitude * k_degrees_per_radian, c.centre.longitude, 1e-9) << c.locator;
    }
}

TEST(Locator, ArcCosineIsClampedAtTheEnds) {
    EXPECT_EQ(arc_cosine(1), 0);
    EXPECT_EQ(arc_cosine(1.5), 0);
    EXPECT_EQ(arc_cosine(-1), std::numbers::pi);
    EXPECT_EQ(arc_cosine(-7), std::numbers::pi);
    for (double x : {-0.999, -0.5, 0.0, 0.3, 0.999})
        EXPECT_NEAR(arc_cosine(x), std::acos(x), 1e-6) << x;
}

TEST(Locator, GreatCircleAgreesWithTheTextbookFormulas) {
    const struct {
        Degrees from;
        Degrees to;
    } cases[] = {
        {{51.5 + 0.5 / 24, -0.125}, {41 + 17.5 / 24, -74 + 15.5 / 12}}, // IO91WM to FN31PR
        {{41 + 17.5 / 24, -74 + 15.5 / 12}, {51.5 + 0.5 / 24, -0.125}}, // and back
        {{-33.9, 18.4}, {35.7, 139.7}},
        {{52, -1}, {-41.3, 174.8}},
        {{10, 170}, {12, -170}}, // across the 180th meridian
    };
    for (const auto& c : cases) {
        const double p1 = c.from.latitude / k_to_degrees, p2 = c.to.latitude / k_to_degrees;
        const double dl = (c.to.longitude - c.from.longitude) / k_to_degrees;
        const double d = std::acos(std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos(dl));
        double heading =
            std::atan2(std::sin(dl) * std::cos(p2),
                       std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl)) *
            k_to_degrees;
        if (heading < 0) heading += 360;

        const Course course = great_circle(radians(c.from), radians(c.to));
        EXPECT_NEAR(distance(course.arc, DistanceUnit::kilometres), d * 6394, 1.5);
        EXPECT_NEAR(distance(course.arc, DistanceUnit::miles), d * 3974, 1.5);
        EXPECT_NEAR(course.bearing, heading, 1.0) << c.to.latitude << " " << c.to.longitude;
    }
    const Course example = great_circle(locator_to_position("IO91WM"), locator_to_position("FN31PR"));
    EXPECT_EQ(example.bearing, 289);
}

TEST(Locator, HeadingsAtTheCompassPointsAndNoneForNoDistance) {
    const struct {
        Degrees from;
        Degrees to;
        int low;
        int high;
    } cases[] = {
        {{51.5, -1}, {51.5, 9}, 80, 89},     // due east: the great circle starts a little north
        {{51.5, -1}, {51.5, -11}, 271, 280}, // due west
        {{51.5, -1}, {60, -1}, 0, 0},        {{51.5, -1}, {40, -1}, 180, 180},
        {{0, 0}, {0, 180}, 0, 360}, // the far side: any heading, but a number
    };
    for (const auto& c : cases) {
        const Course course = great_circle(radians(c.from), radians(c.to));
        EXPECT_GE(course.bearing, c.low) << c.to.latitude << " " << c.to.longitude;
        EXPECT_LE(course.bearing, c.high) << c.to.latitude << " " << c.to.longitude;
    }
    for (const char* place : {"IO91", "IO91WM", "AA00AA", "RR99XX", "JJ"}) {
        const Position p = locator_to_position(place);
        const Course same = great_circle(p, p);
        EXPECT_EQ(distance(same.arc, DistanceUnit::kilometres), 0) << place;
        EXPECT_EQ(same.bearing, 0) << place;
    }
}

TEST(Locator, AnyPairOfValidLocatorsGivesNumbersInRange) {
    // The corners and edges of the grid as well as places within it.
    const std::vector<std::string> places = {"AA",     "RR",     "AR",     "RA",     "AA00AA",
                                             "RR99XX", "IO91WM", "JJ00AA", "AR09XA", "RA90AX"};
    for (const auto& a : places) {
        for (const auto& b : places) {
            ASSERT_TRUE(validate_locator(a) && validate_locator(b));
            const Course c = great_circle(locator_to_position(a), locator_to_position(b));
            EXPECT_TRUE(std::isfinite(c.arc)) << a << " " << b;
            EXPECT_GE(c.bearing, 0) << a << " " << b;
            EXPECT_LE(c.bearing, 360) << a << " " << b;
            EXPECT_GE(distance(c.arc, DistanceUnit::kilometres), 0);
            EXPECT_LE(distance(c.arc, DistanceUnit::kilometres), 20088);
        }
    }
}

TEST(Locator, DegreesMinutesAndSecondsTurnIntoASixCharacterLocator) {
    const struct {
        const char* latitude;
        const char* longitude;
        const char* locator; // empty: refused
    } cases[] = {
        {"51:30:00N", "0:07:30W", "IO91WM"},
        {"51.5N", "0.125W", "IO91WM"},
        {"51:30N", "0:7.5W", "IO91WM"},
        {"41:43:45N", "72:42:30W", "FN31PR"},
        {"0N", "0E", "JJ00AA"},
        {"33:52S", "151:12E", "QF56OD"},
        {"90N", "180E", "RR99XX"}, // the outer edge stays on the grid
        {"90S", "180W", "AA00AA"},
        {"51:30:00N", "181E", ""},
        {"51:30:00N", "180:00:01E", ""}, // minutes and seconds count towards the limit
        {"90:30N", "0E", ""},
        {"51:30", "0:07:30W", ""}, // no hemisphere
        {"51:30:00N", "0:07:30", ""},
        {"51:30:00n", "0:07:30W", ""}, // upper case only
        {"51:30:00E", "0:07:30N", ""}, // letters of the other axis
        {"N", "0E", ""},               // no number
        {"", "", ""},
        {"-10N", "0E", ""},
        {"51N", "99999999999999999999999999999999999999999999999999999999999999999999999999E", ""},
    };
    for (const auto& c : cases) {
        const auto locator = position_to_locator(c.latitude, c.longitude);
        EXPECT_EQ(locator.value_or(""), c.locator) << c.latitude << " " << c.longitude;
    }
    EXPECT_NEAR(parse_coordinate("51:30:36N", Axis::latitude).value_or(0), 51.51, 1e-12);
    EXPECT_NEAR(parse_coordinate("33:52:12S", Axis::latitude).value_or(0), -(33 + 52 / 60.0 + 12 / 3600.0),
                1e-12);
    EXPECT_FALSE(parse_coordinate("51:30:36N", Axis::longitude));
}

TEST(Locator, ALocatorFromAPositionGivesBackThatPositionsCell) {
    for (double lat = -89.9; lat < 90; lat += 7.3) {
        for (double lon = -179.9; lon < 180; lon += 11.7) {
            const std::string loc = position_to_locator(lat, lon);
            ASSERT_TRUE(validate_locator(loc)) << loc;
            const Position centre = locator_to_position(loc);
            EXPECT_NEAR(centre.latitude * k_degrees_per_radian, lat, 0.5 / 24 + 1e-6) << loc;
            EXPECT_NEAR(centre.longitude * k_degrees_per_radian, lon, 0.5 / 12 + 1e-6) << loc;
        }
    }
}

} // namespace
} // namespace kestrel::locator
