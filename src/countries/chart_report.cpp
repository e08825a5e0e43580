#include "countries/chart_report.hpp"

#include "common/number_text.hpp"
#include "printer/printer.hpp"

namespace kestrel::countries {

namespace {

const std::string k_status_title = "CURRENT DXCC STATUS    Countries Worked/Confirmed";

std::string cell(const ChartTotals& t, int row, int column) {
    return cell_text(t.worked[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)],
                     t.confirmed[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]);
}

} // namespace

std::string status_csv(const ChartTotals& totals, const BandLabels& labels) {
    std::string out = k_status_title + "\r\nBand,CW,SSB,FM,Other,Totals\r\n";
    for (int r = 0; r < ChartTotals::rows; ++r) {
        out += labels[static_cast<std::size_t>(r + 1)];
        for (int m = 0; m < ChartTotals::columns; ++m)
            out += "," + cell(totals, r, m);
        out += "\r\n";
    }
    return out;
}

std::vector<std::string> status_print_lines(const ChartTotals& totals, const BandLabels& labels) {
    std::vector<std::string> lines{k_status_title, labels[0] + "     Totals"};
    for (int r = 0; r < ChartTotals::rows; ++r) {
        std::string line = labels[static_cast<std::size_t>(r + 1)] + "   ";
        for (int m = 0; m < ChartTotals::columns; ++m) {
            std::string text = cell(totals, r, m);
            text.resize(10, ' ');
            line += text;
        }
        lines.push_back(line);
    }
    return lines;
}

void print_lines(printing::Printer& printer, const std::vector<std::string>& lines) {
    printer.set_font("Courier New", 10);
    const int dpi = printer.dpi_y();
    const int left = static_cast<int>(round_half_even(dpi * 0.5));
    int y = static_cast<int>(round_half_even(dpi * 0.75));
    for (const std::string& line : lines) {
        printer.text(left, y, line);
        y += printer.line_height();
    }
}

} // namespace kestrel::countries
