#include "printing/label_run.hpp"
#include "support/forwarding_printer.hpp"

#include "logstore/band_names.hpp"
#include "printer/recording_printer.hpp"

#include <gtest/gtest.h>

namespace kestrel::printing {
namespace {

// A recording printer whose printable area starts 40 dots in from the paper's edges.
class OffsetPrinter final : public testing::ForwardingPrinter {
  public:
    explicit OffsetPrinter(std::shared_ptr<PrintedJob> job)
        : ForwardingPrinter(m_recorder), m_recorder(std::move(job)) {}
    int printable_left() const override { return 40; }
    int printable_top() const override { return 40; }

  private:
    RecordingPrinter m_recorder; // bound above before it is built; used only once it is
};

LabelLayout layout_of(std::string text, int across, int down, int per_label = 1, int type = k_single_label) {
    LabelLayout layout;
    layout.template_path = "T.DTA";
    layout.template_text = std::move(text);
    layout.settings.labels_across = across;
    layout.settings.labels_down = down;
    layout.settings.label_width = 60;  // mm: 1417 dots at 600 dpi
    layout.settings.label_height = 30; // 709 dots
    layout.settings.left_margin = 5;   // 118 dots
    layout.settings.top_margin = 10;   // 236 dots
    layout.settings.qsls_per_label = per_label;
    layout.settings.label_type = type;
    return layout;
}

LabelValues values(const std::string& call, const std::string& date = "01 Feb 24") {
    LabelValues v;
    v.call = call;
    v.date = date;
    v.time = "12:34";
    v.band_metres = " 20m";
    v.mode = "SSB";
    v.rst_sent = "59     ";
    return v;
}

TEST(LabelRun, LabelsGoAlongTheRowsAndDownTheSheetFromThePapersEdge) {
    auto job = std::make_shared<PrintedJob>();
    OffsetPrinter printer(job);
    const LabelLayout layout = layout_of("$A$", 3, 2);
    const SheetGeometry g = sheet_geometry(layout.settings, printer);
    EXPECT_EQ(g.width, 1417);
    EXPECT_EQ(g.height, 709);
    EXPECT_EQ(g.left, 118 - 40) << "margins count from the paper's edge";
    EXPECT_EQ(g.top, 236 - 40);
    LabelRun run(printer, layout, LabelRun::Form::single, g);
    for (int i = 1; i <= 7; ++i)
        EXPECT_TRUE(run.add(values("C" + std::to_string(i))).printed);
    run.finish();
    ASSERT_EQ(job->pages.size(), 2u) << "the seventh label starts the second sheet";
    const struct {
        std::size_t page;
        std::size_t index;
        int column;
        int row;
    } where[] = {{0, 0, 0, 0}, {0, 1, 1, 0}, {0, 2, 2, 0}, {0, 3, 0, 1}, {0, 5, 2, 1}, {1, 0, 0, 0}};
    for (const auto& w : where) {
        const auto& t = job->pages[w.page].texts.at(w.index);
        EXPECT_EQ(t.x, g.left + w.column * g.width) << t.text;
        EXPECT_EQ(t.y, g.top + w.row * g.height) << t.text;
    }
}

TEST(LabelRun, ALabelThatNeedsANewSheetAsksForItAndNoStopsTheRun) {
    auto job = std::make_shared<PrintedJob>();
    RecordingPrinter printer(job);
    const LabelLayout layout = layout_of("$A$", 2, 1);
    int asked = 0;
    LabelRun run(printer, layout, LabelRun::Form::single, sheet_geometry(layout.settings, printer), [&] {
        ++asked;
        return asked < 2;
    });
    const LabelRun::Placed expected[] = {
        {true, true}, {true, true}, {true, true}, {true, true}, {false, false}};
    for (int i = 0; i < 5; ++i) {
        const LabelRun::Placed placed = run.add(values("C" + std::to_string(i)));
        EXPECT_EQ(placed.printed, expected[i].printed) << i;
        EXPECT_EQ(placed.go_on, expected[i].go_on) << i;
    }
    EXPECT_EQ(asked, 2)
        << "before the third and the fifth label; not when a sheet fills with nothing to follow";
    EXPECT_EQ(job->pages.size(), 2u) << "a run ending with a full sheet leaves no blank page";
}

std::vector<std::string> texts(const PrintedJob& job, std::size_t page = 0) {
    std::vector<std::string> out;
    for (const auto& t : job.pages.at(page).texts)
        out.push_back(t.text);
    return out;
}

TEST(LabelRun, AMultiLabelGathersAStationsQslsUpToItsRows) {
    auto job = std::make_shared<PrintedJob>();
    RecordingPrinter printer(job);
    const LabelLayout layout = layout_of("To $A$\r\n///\r\nfrom $A$ $H$", 2, 2, 2, k_multi_label);
    LabelRun run(printer, layout, LabelRun::Form::multi, sheet_geometry(layout.settings, printer));
    LabelValues third = values("G9QQQ", "03 Feb 24");
    third.request = "Thanks";
    for (const LabelValues& v : {values("G9QQQ"), values("G9QQQ/P", "02 Feb 24"), third, values("DL1AB")})
        EXPECT_TRUE(run.add(v).printed);
    run.finish();
    EXPECT_EQ(
        texts(*job),
        (std::vector<std::string>{
            "To G9QQQ", std::string(k_table_heading), "01 Feb 24 12:34  20m  SSB  59 ",
            "02 Feb 24 12:34  20m  SSB  59 ", "from G9QQQ/P ",
            // the second label: one row, and its foot says what its own QSL says
            "To G9QQQ", std::string(k_table_heading), "03 Feb 24 12:34  20m  SSB  59 ", "from G9QQQ Thanks",
            // another station, another label
            "To DL1AB", std::string(k_table_heading), "01 Feb 24 12:34  20m  SSB  59 ", "from DL1AB "}));
    const SheetGeometry g = sheet_geometry(layout.settings, printer);
    const auto& page = job->pages[0];
    // The table: rules above and below its heading and under its last row, four between columns.
    EXPECT_EQ(page.texts[1].y, g.top + 100);
    EXPECT_EQ(page.texts[4].y, g.top + 500) << "the foot a line under the table";
    EXPECT_EQ(page.texts[5].x, g.left + g.width) << "the second label beside the first";
    int rules_of_first = 0;
    for (const auto& l : page.lines)
        if (l.x1 >= g.left && l.x1 < g.left + g.width && l.y1 < g.top + g.height) ++rules_of_first;
    EXPECT_EQ(rules_of_first, 3 + 4);
    EXPECT_EQ(page.texts[8].y, g.top + 400);
    EXPECT_EQ(page.texts[9].y, g.top + g.height) << "the third label starts the second row";
}

TEST(LabelRun, ATemplateWithoutDividerIsAllHead) {
    EXPECT_EQ(split_template("head only").head, "head only");
    EXPECT_EQ(split_template("head only").foot, "");
    EXPECT_EQ(split_template("h///\r\nfoot").foot, "foot");
    EXPECT_EQ(split_template("h///").foot, "");
    EXPECT_EQ(table_row(values("X")), "01 Feb 24 12:34  20m  SSB  59 ");
    LabelValues microwave = values("X");
    microwave.band_metres = "1.2cm";
    microwave.rst_sent = "599001 ";
    EXPECT_EQ(table_row(microwave), "01 Feb 24 12:34 1.2cm SSB  599");
}

} // namespace
} // namespace kestrel::printing
