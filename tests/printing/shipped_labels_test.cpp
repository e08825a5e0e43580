// The label templates that come with the program, printed into a PDF file through Qt with the
// fonts a real page gets: every line of every label must stay inside its label.
#include "logstore/band_names.hpp"
#include "platform/qt/qt_printer.hpp"
#include "platform/qt_app.hpp"
#include "printing/label_layout.hpp"
#include "printing/label_run.hpp"
#include "support/forwarding_printer.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace kestrel::printing {
namespace {

// Passes everything on to a real printer and keeps the box of each text, at the font it went in.
class MeasuringPrinter final : public testing::ForwardingPrinter {
  public:
    struct Box {
        int left, top, right, bottom;
        std::string text;
    };
    using ForwardingPrinter::ForwardingPrinter;
    void text(int x, int y, std::string_view t) override {
        const std::string_view shown = t.substr(0, t.find_last_not_of(' ') + 1);
        boxes.push_back(
            {x, y, x + static_cast<int>(shown.size()) * char_width(), y + line_height(), std::string(t)});
        ForwardingPrinter::text(x, y, t);
    }
    void line(int x1, int y1, int x2, int y2) override {
        boxes.push_back({std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2), "rule"});
        ForwardingPrinter::line(x1, y1, x2, y2);
    }
    std::vector<Box> boxes;
};

LabelValues longest_label(const logstore::BandNameTable& names) {
    LabelValues v = test_label(names);
    v.call = "DL1ABC/P via G9QQQ";
    v.band = 18;
    v.band_name = names.name(18);
    v.band_metres = band_in_metres(18);
    v.rst_sent = "599001 ";
    v.mode = "RTY";
    v.request = "Please QSL via Bureau or Direct";
    return v;
}

TEST(ShippedLabels, EveryLineOfTheSampleLabelsStaysInsideItsLabel) {
    platform::testing::qt_app();
    const logstore::BandNameTable names = logstore::load_band_names();
    for (const char* name : {"LABELS.DTA", "MULTI.DTA", "SWL.DTA"}) {
        const auto load = load_label_layout(std::string(KESTREL_SHIPPED_DATA) + "/" + name);
        ASSERT_TRUE(load.layout) << load.problem;
        const LabelLayout& layout = *load.layout;
        EXPECT_EQ(layout.settings.across(), 3) << name;
        EXPECT_EQ(layout.settings.down(), 8) << name;

        testing::TempDir dir;
        auto pdf = platform::QtPrinter::to_pdf(QString::fromStdString(dir.file("labels.pdf")));
        MeasuringPrinter printer(*pdf);
        const SheetGeometry g = sheet_geometry(layout.settings, printer);
        const bool multi = layout.settings.label_type == k_multi_label;
        LabelRun run(printer, layout, multi ? LabelRun::Form::multi : LabelRun::Form::single, g);
        const LabelValues label = longest_label(names);
        Placeholders swl = label.placeholders();
        swl.set('P', "DL1ABC/P");
        swl.set('M', "Tnx fer report, heard on a long wire");
        for (int i = 0; i < 24 * layout.settings.per_label(); ++i)
            EXPECT_TRUE((std::string_view(name) == "SWL.DTA" ? run.add_single(swl) : run.add(label)).printed);
        run.finish();
        ASSERT_TRUE(printer.end_job()) << name;

        // Labels on the sheet are 2.5 mm narrower than their pitch; keep clear of the edges.
        const int gap = static_cast<int>(2.5 / 25.4 * printer.dpi_x());
        std::vector<int> per_cell(24, 0);
        for (const auto& b : printer.boxes) {
            const int column = (b.left - g.left) / g.width;
            const int row = (b.top - g.top) / g.height;
            ASSERT_TRUE(column >= 0 && column < 3 && row >= 0 && row < 8) << name << ": " << b.text;
            const int cell_left = g.left + column * g.width;
            const int cell_top = g.top + row * g.height;
            EXPECT_GE(b.left, cell_left) << name << ": " << b.text;
            EXPECT_LE(b.right, cell_left + g.width - gap) << name << ": " << b.text;
            EXPECT_LE(b.bottom, cell_top + g.height) << name << ": " << b.text;
            ++per_cell[static_cast<std::size_t>(row * 3 + column)];
        }
        for (int count : per_cell)
            EXPECT_EQ(count, per_cell[0]) << name << ": every label alike";
        EXPECT_GT(per_cell[0], 5) << name;
    }
}

} // namespace
} // namespace kestrel::printing
