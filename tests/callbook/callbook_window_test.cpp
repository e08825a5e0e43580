// The callbook window as the on-line window's Callbook button opens it: nothing without a
// callbook or a call, the seven lines of a station found, the reason in the Call line otherwise.

#include "callbook/callbook_window.hpp"

#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

namespace kestrel::callbook {
namespace {

using W = CallbookWindow;
using databases::CallbookKind;

// Answers from a table and remembers what it was asked.
class TableSource final : public Source {
  public:
    Lookup lookup_call(const std::string& call) override {
        asked.push_back(call);
        if (call == "W1AW")
            return CallbookRecord{"W1AW", "Alan Grey", "1 Main St, York", "40.1", "-76.7", "FM19", "a@b.org"};
        return std::string("Callsign not found");
    }
    std::vector<std::string> asked;
};

// A window that stands for the on-line window and presses its Callbook button.
class Owner final : public ui::Window {
  public:
    Owner(CallbookKind kind, Source& source, std::string call)
        : m_kind(kind), m_source(source), m_call(std::move(call)) {}
    ui::Form build() const override {
        ui::Form form;
        form.frame = {0, 0, 100, 50};
        form.add(ui::button(10, "Callbook", {5, 5, 40, 14}));
        return form;
    }
    void on_command(ui::Context& ctx, int id, ui::Notify) override {
        if (id == 10) show_callbook(ctx, m_kind, m_source, m_call);
    }

  private:
    CallbookKind m_kind;
    Source& m_source;
    std::string m_call;
};

TEST(CallbookWindow, NothingWithoutACallbookOrACall) {
    for (const auto& [kind, call] :
         {std::pair{CallbookKind::none, std::string("W1AW")}, std::pair{CallbookKind::qrz, std::string("")},
          std::pair{CallbookKind::qrz, std::string("   ")}}) {
        ui::TestHost host;
        TableSource source;
        auto run = host.open(Owner(kind, source, call));
        run.click(10);
        EXPECT_TRUE(host.modal_captions().empty()) << call;
        EXPECT_TRUE(source.asked.empty()) << call;
    }
}

TEST(CallbookWindow, ShowsTheStationOrWhyNotInTheCallLine) {
    struct Case {
        CallbookKind kind;
        std::string call;
        std::string title;
        std::vector<std::pair<int, std::string>> lines;
    } cases[] = {
        {CallbookKind::buckmaster,
         "W1AW",
         "Buckmaster Callbook",
         {{W::k_call, "Call: W1AW"},
          {W::k_name, "Name: Alan Grey"},
          {W::k_qth, "1 Main St, York"},
          {W::k_latitude, "Latitude : 40.1"},
          {W::k_longitude, "Longitude: -76.7"},
          {W::k_grid_square, "Grid Square: FM19"},
          {W::k_email, "E-Mail: a@b.org"}}},
        {CallbookKind::qrz,
         "G0XYZ",
         "QRZ Ham Radio Callbook",
         {{W::k_call, "Call: Callsign not found"},
          {W::k_name, "Name: "},
          {W::k_qth, ""},
          {W::k_latitude, "Latitude : "},
          {W::k_grid_square, "Grid Square: "},
          {W::k_email, "E-Mail: "}}},
        {CallbookKind::flying_horse,
         "G0XYZ",
         "Flying Horse Callbook",
         {{W::k_call, "Call: Callsign not found"}}},
    };
    for (const Case& c : cases) {
        ui::TestHost host;
        TableSource source;
        host.on_modal([&c](ui::TestRun& window) {
            EXPECT_EQ(window.caption(), c.title);
            for (const auto& [id, text] : c.lines)
                EXPECT_EQ(window.text(id), text) << c.call << " " << id;
            window.click(ui::k_cancel);
        });
        auto run = host.open(Owner(c.kind, source, c.call));
        run.click(10);
        EXPECT_EQ(source.asked, std::vector<std::string>{c.call});
        EXPECT_EQ(host.modal_captions(), std::vector<std::string>{c.title});
    }
}

TEST(CallbookWindow, EveryLineInsideTheWindowAndNoneOnAnother) {
    const ui::Form form = W(CallbookKind::qrz, CallbookRecord{}).build();
    const auto overlap = [](const ui::Rect& a, const ui::Rect& b) {
        return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
    };
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        const ui::Rect& r = form.controls[i].rect;
        EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= form.frame.w && r.y + r.h <= form.frame.h) << i;
        for (std::size_t j = i + 1; j < form.controls.size(); ++j)
            EXPECT_FALSE(overlap(r, form.controls[j].rect)) << i << " " << j;
    }
}

} // namespace
} // namespace kestrel::callbook
