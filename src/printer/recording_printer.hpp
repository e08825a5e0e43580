#pragma once

#include "printer/printer.hpp"

#include <memory>
#include <string>
#include <vector>

namespace kestrel::printing {

// What a recording printer was asked to print; kept apart from the printer so a test can read
// it after the printing code has let the printer go.
struct PrintedJob {
    struct Text {
        int x;
        int y;
        std::string text;
        std::string font;
        int points;
        Colour colour{};
    };
    struct Line {
        int x1, y1, x2, y2;
    };
    struct Page {
        std::vector<Text> texts;
        std::vector<Line> lines;
    };
    std::vector<Page> pages{1};
    Orientation orientation = Orientation::portrait;
    bool ended = false;

    // The texts of a page as lines: texts at the same height joined left to right, gaps kept
    // as spaces by the character width.
    std::vector<std::string> lines_of(std::size_t page, int char_width) const;
};

// A printer of 600 dots per inch on Letter paper whose every font is 50 dots wide and
// 100 dots high; it remembers everything into a PrintedJob.
class RecordingPrinter final : public Printer {
  public:
    explicit RecordingPrinter(std::shared_ptr<PrintedJob> job, bool fail_at_end = false)
        : m_job(std::move(job)), m_fail_at_end(fail_at_end) {}

    void set_font(std::string_view name, int points, bool) override {
        m_font = std::string(name);
        m_points = points;
    }
    int char_width() const override { return 50; }
    int line_height() const override { return 100; }
    int dpi_x() const override { return 600; }
    int dpi_y() const override { return 600; }
    int page_width() const override { return m_job->orientation == Orientation::portrait ? 4800 : 6300; }
    int page_height() const override { return m_job->orientation == Orientation::portrait ? 6300 : 4800; }
    void set_orientation(Orientation o) override { m_job->orientation = o; }
    void set_colour(Colour colour) override { m_colour = colour; }
    void text(int x, int y, std::string_view text) override {
        m_job->pages.back().texts.push_back({x, y, std::string(text), m_font, m_points, m_colour});
    }
    void line(int x1, int y1, int x2, int y2) override {
        m_job->pages.back().lines.push_back({x1, y1, x2, y2});
    }
    void new_page() override { m_job->pages.emplace_back(); }
    bool end_job() override {
        m_job->ended = !m_fail_at_end;
        return !m_fail_at_end;
    }

  private:
    std::shared_ptr<PrintedJob> m_job;
    bool m_fail_at_end;
    std::string m_font;
    int m_points = 0;
    Colour m_colour{};
};

} // namespace kestrel::printing
