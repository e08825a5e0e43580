#pragma once

#include "locator/two_boxes.hpp"
#include "ui/window.hpp"

#include <string>

namespace kestrel::locator {

// What the locator tools remember while the program runs: the last From locator.
struct LocatorState {
    std::string from;
};

// Range and Bearing: distance and beam heading from one locator to another.
class RangeWindow final : public ui::Window {
  public:
    enum Id {
        k_from_label = 100,
        k_from = 101,
        k_to_label = 102,
        k_to = 103,
        k_distance_label = 104,
        k_distance = 105,
        k_bearing_label = 106,
        k_bearing = 107,
        k_miles = 108,
        k_km = 109,
        k_go = 110,
    };
    explicit RangeWindow(LocatorState& state) : m_state(state) {}
    ui::Form build() const override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    void compute(ui::Context& ctx); // clear, validate From then To, great circle, show
    LocatorState& m_state;
    TwoBoxes m_boxes{k_from, k_to};
};

// The distance as the operator reads it: at least three places, then "Mi" or "KM".
[[nodiscard]] std::string distance_text(int distance, bool miles);
// A heading: a blank, the degrees and the degree sign (Windows-1252).
[[nodiscard]] std::string bearing_text(int bearing);

void show_range_and_bearing(ui::Context& parent, LocatorState& state);

} // namespace kestrel::locator
