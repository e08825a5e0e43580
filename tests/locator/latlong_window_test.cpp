#include "locator/latlong_window.hpp"

#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

namespace kestrel::locator {
namespace {

using ui::Key;
using W = LatLongWindow;

TEST(LatLongWindow, LatitudeEnterLongitudeEnterGivesTheLocator) {
    ui::TestHost host;
    auto run = host.open(LatLongWindow{});
    EXPECT_EQ(run.caption(), "Lat/Long to Maidenhead Locator");
    EXPECT_EQ(run.focused(), W::k_latitude);
    run.type("51:30:00N").key(Key::enter);
    EXPECT_EQ(run.focused(), W::k_longitude);
    run.type("0:07:30W").key(Key::enter);
    EXPECT_EQ(run.text(W::k_locator), "IO91WM");
    EXPECT_EQ(run.focused(), W::k_latitude);

    run.replace(W::k_latitude, "90N").key(Key::down).replace(W::k_longitude, "180E").click(W::k_go);
    EXPECT_EQ(run.text(W::k_locator), "RR99XX");
    EXPECT_EQ(run.focused(), W::k_latitude);
    EXPECT_EQ(host.beeps(), 0);
    run.key(Key::escape);
    EXPECT_FALSE(run.is_open());
}

TEST(LatLongWindow, TheLongitudeIsCheckedFirstAndABadBoxBeepsAndTakesTheFocus) {
    ui::TestHost host;
    auto run = host.open(LatLongWindow{});
    const struct {
        const char* latitude;
        const char* longitude;
        int fault;
    } cases[] = {
        {"51:30", "181E", W::k_longitude}, // both wrong: the longitude is told
        {"51:30N", "0:07:30", W::k_longitude}, {"51:30", "0:07:30W", W::k_latitude},
        {"91N", "0:07:30W", W::k_latitude},    {"51:30:00n", "0:07:30W", W::k_latitude},
    };
    int beeps = 0;
    for (const auto& c : cases) {
        run.replace(W::k_latitude, "51N").key(Key::down).replace(W::k_longitude, "1W").key(Key::enter);
        ASSERT_EQ(run.text(W::k_locator), "IO91MA");
        run.replace(W::k_latitude, c.latitude).key(Key::tab).replace(W::k_longitude, c.longitude);
        run.alt('G');
        EXPECT_EQ(host.beeps(), ++beeps) << c.latitude << " " << c.longitude;
        EXPECT_EQ(run.focused(), c.fault) << c.latitude << " " << c.longitude;
        EXPECT_EQ(run.text(W::k_locator), "");
        run.key(Key::up);
    }
}

class Opener final : public ui::Window {
  public:
    ui::Form build() const override {
        ui::Form form;
        form.add(ui::button(10, "&Locator", {0, 0, 40, 14}));
        return form;
    }
    void on_command(ui::Context& ctx, int id, ui::Notify) override {
        if (id == 10) show_latlong_to_locator(ctx);
    }
};

TEST(LatLongWindow, OpensOverAnotherWindowWithEmptyBoxes) {
    ui::TestHost host;
    auto parent = host.open(Opener{});
    for (int i = 0; i < 2; ++i) {
        host.on_modal([](ui::TestRun& w) {
            EXPECT_EQ(w.text(W::k_latitude), "");
            EXPECT_EQ(w.text(W::k_longitude), "");
            w.type("33:52S").key(Key::enter).type("151:12:00E").key(Key::enter);
            EXPECT_EQ(w.text(W::k_locator), "QF56OD");
            w.alt('X');
        });
        parent.click(10);
    }
    EXPECT_EQ(host.modal_captions().size(), 2u);
}

} // namespace
} // namespace kestrel::locator
