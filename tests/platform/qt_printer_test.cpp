// Printing into a PDF file through Qt, on the offscreen platform.

#include "platform/qt/qt_printer.hpp"
#include "qt_app.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <QFileInfo>

namespace kestrel::platform {
namespace {

TEST(QtPrinter, PrintsPagesIntoAPdfFileWithCourierColumnsOfEqualWidth) {
    testing::qt_app();
    kestrel::testing::TempDir dir;
    const std::string path = dir.file("page.pdf");
    auto printer = QtPrinter::to_pdf(QString::fromStdString(path));
    printer->set_font("Courier New", 10, false);
    EXPECT_GE(printer->dpi_y(), 300);
    // Ten points of a Courier face: twelve characters an inch, a little more than ten points a line.
    EXPECT_NEAR(printer->char_width() * 12.0 / printer->dpi_x(), 1.0, 0.05);
    EXPECT_GT(printer->line_height(), printer->dpi_y() * 10 / 72);
    EXPECT_GT(printer->page_height(), printer->page_width());
    printer->text(printer->dpi_x() / 2, printer->dpi_y(), "G4ABC  14MHz  \xE9t\xE9"); // Windows-1252 accents
    printer->line(0, 0, 100, 100);
    printer->new_page();
    printer->text(100, 100, "second page");
    ASSERT_TRUE(printer->end_job());
    const std::string pdf = kestrel::testing::read_file(path);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_NE(pdf.find("/Count 2"), std::string::npos) << "two pages";
}

TEST(QtPrinter, AFileThatCannotBeWrittenFailsTheJob) {
    testing::qt_app();
    auto printer = QtPrinter::to_pdf(QStringLiteral("/nonexistent-directory/page.pdf"));
    printer->text(10, 10, "lost");
    EXPECT_FALSE(printer->end_job());
}

TEST(QtPrinter, APdfFileCutShortFailsTheJob) {
    testing::qt_app();
    // Qt's own PDF writer takes no notice of a write that failed: a full disk must not pass for
    // a printed job.
    if (!QFileInfo::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "no /dev/full on this system";
    auto printer = QtPrinter::to_pdf(QStringLiteral("/dev/full"));
    printer->text(10, 10, "lost");
    EXPECT_FALSE(printer->end_job());
}

TEST(QtPrinter, PositionsStartAtThePrintableAreaWhoseCornerItTells) {
    testing::qt_app();
    kestrel::testing::TempDir dir;
    auto printer = QtPrinter::to_pdf(QString::fromStdString(dir.file("page.pdf")));
    // The corner lies inside the paper, a few millimetres from its edges.
    EXPECT_GT(printer->printable_left(), 0);
    EXPECT_GT(printer->printable_top(), 0);
    EXPECT_LT(printer->printable_left(), printer->dpi_x() / 2);
    EXPECT_LT(printer->printable_top(), printer->dpi_y() / 2);
}

} // namespace
} // namespace kestrel::platform
