// The award list printed through Qt into a PDF file, on the offscreen platform, with the fonts a
// real page gets: seventy lines a page, every one of them on the paper.
#include "common/fixed_text.hpp"
#include "countries/qsl_award.hpp"
#include "logstore/dates.hpp"
#include "platform/qt/qt_printer.hpp"
#include "platform/qt_app.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace kestrel::countries {
namespace {

// Passes everything on to the real printer, keeping how far each line reaches.
class MeasuringPrinter final : public printing::Printer {
  public:
    explicit MeasuringPrinter(Printer& inner) : m_inner(inner) {}
    void set_font(std::string_view name, int points, bool bold) override {
        m_inner.set_font(name, points, bold);
    }
    int char_width() const override { return m_inner.char_width(); }
    int line_height() const override { return m_inner.line_height(); }
    int dpi_x() const override { return m_inner.dpi_x(); }
    int dpi_y() const override { return m_inner.dpi_y(); }
    int page_width() const override { return m_inner.page_width(); }
    int page_height() const override { return m_inner.page_height(); }
    void set_orientation(printing::Orientation o) override { m_inner.set_orientation(o); }
    void set_colour(Colour c) override { m_inner.set_colour(c); }
    void text(int x, int y, std::string_view t) override {
        right = std::max(right, x + static_cast<int>(t.size()) * char_width());
        bottom = std::max(bottom, y + line_height());
        ++lines;
        m_inner.text(x, y, t);
    }
    void line(int x1, int y1, int x2, int y2) override { m_inner.line(x1, y1, x2, y2); }
    void new_page() override { m_inner.new_page(); }
    bool end_job() override { return m_inner.end_job(); }
    int right = 0, bottom = 0, lines = 0;

  private:
    Printer& m_inner;
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
