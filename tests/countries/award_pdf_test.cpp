// The award list printed through Qt into a PDF file, on the offscreen platform, with the fonts a
// real page gets: seventy lines a page, every one of them on the paper.
#include "common/fixed_text.hpp"
#include "countries/qsl_award.hpp"
#include "logstore/dates.hpp"
#include "platform/qt/qt_printer.hpp"
#include "platform/qt_app.hpp"
#include "support/forwarding_printer.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace kestrel::countries {
namespace {

// Passes everything on to the real printer, keeping how far each line reaches.
class MeasuringPrinter final : public kestrel::testing::ForwardingPrinter {
  public:
    using ForwardingPrinter::ForwardingPrinter;
    void text(int x, int y, std::string_view t) override {
        right = std::max(right, x + static_cast<int>(t.size()) * char_width());
        bottom = std::max(bottom, y + line_height());
        ++lines;
        ForwardingPrinter::text(x, y, t);
    }
    int right = 0, bottom = 0, lines = 0;
};

TEST(AwardPdf, SeventyLinesAPageAllOnThePaper) {
    platform::testing::qt_app();
    std::vector<AwardEntry> entries;
    for (int k = 0; k < 140; ++k)
        entries.push_back({fixed_width("DL" + std::to_string(k) + "ABC/P", 12),
                           logstore::day_number_of("31-12-21"), "1.8MHz", "RTY",
                           "Pr. Edward & Marion Is. 2"});
    testing::TempDir dir;
    const std::string path = dir.file("award.pdf");
    auto pdf = platform::QtPrinter::to_pdf(QString::fromStdString(path));
    MeasuringPrinter printer(*pdf);
    int asked = 0;
    EXPECT_TRUE(print_award_pages(printer, entries, [&] { return ++asked > 0; }));
    ASSERT_TRUE(printer.end_job());
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(printer.lines, 143);
    EXPECT_LE(printer.bottom, printer.page_height());
    EXPECT_LE(printer.right, printer.page_width());
    EXPECT_GE(printer.char_width() * 12, printer.dpi_x() * 8 / 10)
        << "no smaller than 8 points: it must be read";
    const std::string bytes = testing::read_file(path);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    EXPECT_NE(bytes.find("/Count 3"), std::string::npos) << "three pages";
}

} // namespace
} // namespace kestrel::countries
