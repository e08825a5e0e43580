#include "platform/qt/qt_printer.hpp"

#include "platform/qt/text.hpp"

#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPen>
#include <QPrintDialog>

#include <algorithm>

namespace kestrel::platform {

namespace {

// Printed text uses the metric twin of the Courier faces, so columns keep their widths.
QFont printer_font(std::string_view name, int points, bool bold) {
    QFont font;
    if (name.rfind("Courier", 0) == 0) {
        font = QFont(QStringLiteral("Liberation Mono"));
        font.setStyleHint(QFont::TypeWriter);
    } else if (name == "Arial" || name == "Helvetica") {
        font = QFont(QStringLiteral("Liberation Sans"));
    } else if (name.rfind("Times", 0) == 0) {
        font = QFont(QStringLiteral("Liberation Serif"));
    } else {
        font = QFont(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    font.setPointSize(points > 0 ? points : 10);
    font.setBold(bold);
    return font;
}

} // namespace

std::unique_ptr<QtPrinter> QtPrinter::choose(QWidget* parent) {
    const QByteArray pdf = qgetenv("KESTREL_PRINT_PDF");
    if (!pdf.isEmpty()) return to_pdf(QFile::decodeName(pdf));
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), parent);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    return std::make_unique<QtPrinter>(std::move(printer));
}

std::unique_ptr<QtPrinter> QtPrinter::to_pdf(const QString& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return std::make_unique<QtPrinter>(std::move(printer));
}

QtPrinter::QtPrinter(std::unique_ptr<QPrinter> printer) : m_printer(std::move(printer)) {
    m_font = printer_font("Courier New", 10, false);
}

QtPrinter::~QtPrinter() {
    if (m_painter.isActive()) m_painter.end();
}

bool QtPrinter::painting() {
    if (m_painter.isActive()) return true;
    if (m_failed) return false;
    if (!m_painter.begin(m_printer.get())) {
        m_failed = true;
        return false;
    }
    m_painter.setFont(m_font);
    use_pen();
    return true;
}

void QtPrinter::use_pen() {
    // Rules of about a third of a point, whatever the resolution: a one-dot line all but vanishes
    // on a 1200 dpi page.
    QPen pen(m_colour);
    pen.setWidth(std::max(1, m_printer->resolution() / 200));
    m_painter.setPen(pen);
}

void QtPrinter::set_font(std::string_view name, int points, bool bold) {
    m_font = printer_font(name, points, bold);
    if (m_painter.isActive()) m_painter.setFont(m_font);
}

int QtPrinter::char_width() const {
    return QFontMetrics(m_font, m_printer.get()).averageCharWidth();
}

int QtPrinter::line_height() const {
    return QFontMetrics(m_font, m_printer.get()).height();
}

int QtPrinter::page_width() const {
    return m_printer->pageLayout().paintRectPixels(m_printer->resolution()).width();
}

int QtPrinter::page_height() const {
    return m_printer->pageLayout().paintRectPixels(m_printer->resolution()).height();
}

int QtPrinter::printable_left() const {
    return m_printer->pageLayout().paintRectPixels(m_printer->resolution()).left();
}

int QtPrinter::printable_top() const {
    return m_printer->pageLayout().paintRectPixels(m_printer->resolution()).top();
}

void QtPrinter::set_orientation(printing::Orientation orientation) {
    if (m_painter.isActive()) return;
    m_printer->setPageOrientation(orientation == printing::Orientation::landscape ? QPageLayout::Landscape
                                                                                  : QPageLayout::Portrait);
}

void QtPrinter::set_colour(ui::Colour c) {
    m_colour = QColor(c.r, c.g, c.b);
    if (m_painter.isActive()) use_pen();
}

void QtPrinter::text(int x, int y, std::string_view text) {
    if (!painting()) return;
    const QFontMetrics metrics(m_font, m_printer.get());
    // The device draws text from its base line; the program places it by its top.
    m_painter.drawText(x, y + metrics.ascent(), to_qt(text));
}

void QtPrinter::line(int x1, int y1, int x2, int y2) {
    if (painting()) m_painter.drawLine(x1, y1, x2, y2);
}

void QtPrinter::new_page() {
    if (painting() && !m_printer->newPage()) m_failed = true;
}

bool QtPrinter::end_job() {
    if (!painting()) return false; // an empty job still makes one page, as the old printers did
    const bool ended = m_painter.end();
    return ended && !m_failed && m_printer->printerState() != QPrinter::Error && output_complete();
}

bool QtPrinter::output_complete() const {
    if (m_printer->outputFormat() != QPrinter::PdfFormat) return true;
    // Qt's PDF writer does not notice a write that failed (a full disk, say) and reports the job
    // done all the same. A whole PDF file ends with its trailer, written last.
    QFile file(m_printer->outputFileName());
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) return false;
    const qint64 size = file.size();
    if (size < 16 || !file.seek(std::max<qint64>(0, size - 64))) return false;
    return file.readAll().contains("%%EOF");
}

} // namespace kestrel::platform
