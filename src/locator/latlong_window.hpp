#pragma once

#include "locator/two_boxes.hpp"
#include "ui/window.hpp"

namespace kestrel::locator {

// Lat/Long to Maidenhead Locator: degrees, minutes and seconds into a six-character locator.
class LatLongWindow final : public ui::Window {
  public:
    enum Id {
        k_latitude_label = 100,
        k_latitude = 101,
        k_longitude_label = 102,
        k_longitude = 103,
        k_locator_label = 104,
        k_locator = 105,
        k_go = 106,
    };
    ui::Form build() const override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    void compute(ui::Context& ctx); // clear, check longitude then latitude, show the locator
    TwoBoxes m_boxes{k_latitude, k_longitude};
};

void show_latlong_to_locator(ui::Context& parent);

} // namespace kestrel::locator
