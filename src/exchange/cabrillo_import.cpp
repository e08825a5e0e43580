#include "exchange/cabrillo_import.hpp"

#include "common/fixed_text.hpp"
#include "common/side_file.hpp"

#include <array>

namespace kestrel::exchange {

namespace {

constexpr std::size_t k_piece_bytes = 64 * 1024;
constexpr std::size_t k_layout_file_bytes = 1024 * 1024;

// Follows the lines of one Cabrillo log: the layout in force and what became of each QSO line.
class Importer {
  public:
    Importer(const CabrilloOptions& options, RecordSink& out) : m_options(options), m_out(out) {}

    void line(std::string_view raw) {
        if (stopped()) return;
        const std::string line = upper_case(raw);
        switch (kind_of_line(line)) {
        case CabrilloLine::contest:
            m_contest_line = raw;
            m_contest_line_kept = false;
            take_contest(contest_name_of(line));
            break;
        case CabrilloLine::qso: take_qso(line, raw); break;
        case CabrilloLine::other: break;
        }
    }

    bool stopped() const { return m_tally.end != ImportEnd::complete; }
    void stop(ImportEnd end) { m_tally.end = end; }
    ImportTally tally() const {
        ImportTally tally = m_tally;
        if (!tally.rejected.empty())
            tally.rejected = "START-OF-LOG: 3.0\r\n" + tally.rejected + "END-OF-LOG:\r\n";
        return tally;
    }

  private:
    // A line left out goes to the rejected log as it was, after the CONTEST: line it belongs to.
    void leave_out(std::string_view raw, LeftOut why) {
        m_tally.left_out.add(why);
        if (!m_contest_line.empty() && !m_contest_line_kept) {
            m_tally.rejected += m_contest_line + "\r\n";
            m_contest_line_kept = true;
        }
        m_tally.rejected += raw;
        m_tally.rejected += "\r\n";
    }

    void take_contest(std::string name) {
        m_tally.contest = std::move(name);
        // Read once: a log may name its contest more than once.
        if (!m_layouts) m_layouts = read_layout_file(m_options.layout_file);
        if (!m_layouts) {
            stop(ImportEnd::layout_file_missing);
            return;
        }
        m_layout = find_layout(*m_layouts, m_tally.contest);
        if (!m_layout) stop(ImportEnd::contest_unknown);
    }

    void take_qso(std::string_view line, std::string_view raw) {
        if (!m_layout) {
            leave_out(raw, LeftOut::before_contest);
            return;
        }
        const QsoLine read = read_qso_line(line, *m_layout, m_options.constants);
        if (!read.entry) {
            leave_out(raw, read.why);
            return;
        }
        if (const auto status = m_out.append(read.entry->encode()); !status) {
            m_tally.write_status = status;
            stop(ImportEnd::write_failed);
            return;
        }
        ++m_tally.imported;
    }

    const CabrilloOptions& m_options;
    RecordSink& m_out;
    std::optional<std::string> m_layouts;
    std::optional<CabrilloLayout> m_layout;
    ImportTally m_tally;
    std::string m_contest_line; // the last CONTEST: line as it was
    bool m_contest_line_kept = false;
};

} // namespace

ImportTally read_cabrillo(std::istream& in, const CabrilloOptions& options, RecordSink& out,
                          const ProgressFn& progress) {
    Importer importer(options, out);
    LineSplitter lines;
    const auto on_line = [&importer](std::string_view line) { importer.line(line); };
    std::array<char, k_piece_bytes> piece{};
    std::int64_t done = 0;
    while (!importer.stopped() && in) {
        in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        const auto got = in.gcount();
        if (got <= 0) break;
        lines.feed(std::string_view(piece.data(), static_cast<std::size_t>(got)), on_line);
        done += got;
        if (progress) progress(done);
    }
    if (importer.stopped()) return importer.tally();
    if (in.bad()) {
        importer.stop(ImportEnd::read_failed);
        return importer.tally();
    }
    lines.finish(on_line);
    return importer.tally();
}

std::optional<std::string> read_layout_file(const std::string& path) {
    // A named pipe in the layout file's place is refused, not waited on.
    auto bytes = read_regular_file(path, k_layout_file_bytes);
    if (!bytes) return std::nullopt;
    return std::move(bytes).value();
}

} // namespace kestrel::exchange
