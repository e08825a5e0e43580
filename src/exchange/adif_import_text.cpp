#include "exchange/adif_import_text.hpp"

#include "common/fixed_text.hpp"

#include <algorithm>
#include <future>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

namespace kestrel::exchange {

namespace {

// Progress is told after this many fields, often enough for the bar and seldom enough to cost nothing.
constexpr int k_fields_per_report = 4096;

// Room for the records of the rest of a file when they are about as long as the first, with an
// eighth more, so that the records of a long file are not copied again and again as they grow;
// never more than the rest of the file, whatever a short first record would make of it.
std::size_t room_for_records(std::size_t rest_of_file, std::size_t first_record_bytes) {
    const std::size_t records = rest_of_file / std::max<std::size_t>(first_record_bytes, 1) + 1;
    return std::min((records + records / 8 + 1) * logstore::k_record_size, rest_of_file);
}

constexpr std::size_t k_none = std::string_view::npos;
// Files smaller than this are read straight through: a second thread would not pay.
constexpr std::size_t k_halves_from_bytes = std::size_t{4} << 20;
// A header stands at the top of the file.
constexpr std::size_t k_header_bytes = std::size_t{64} << 10;

// The reading of a file, or of a stretch of it from a record's start, field by field.
class ImportPass {
  public:
    ImportPass(std::string_view file, TextEncoding encoding, std::size_t start, ContactBuilder builder)
        : m_file(file), m_scanner(file, encoding, start), m_builder(std::move(builder)),
          m_record_start(start) {}

    // Reads one field; false at the end of the file.
    bool step() {
        AdifFieldView field;
        if (!m_scanner.next(field)) return false;
        ++m_fields;
        m_last_was_eor = false;
        if (const auto finished = m_builder.take(field)) {
            m_last_was_eor = true;
            if (finished->contact) {
                const logstore::RecordBytes& record = *finished->contact;
                if (m_log.records.empty())
                    m_log.records.reserve(
                        room_for_records(m_file.size() - position(), position() - m_record_start));
                m_log.records.append(reinterpret_cast<const char*>(record.data()), record.size());
                ++m_log.entries;
            } else if (finished->had_fields) {
                m_log.rejected += trim_blanks(m_file.substr(m_record_start, position() - m_record_start));
                m_log.rejected += "\r\n";
            }
            m_record_start = position();
        } else if (field.name.size() == 3 && (field.name[0] | 0x20) == 'e' && (field.name[1] | 0x20) == 'o' &&
                   (field.name[2] | 0x20) == 'h') {
            m_record_start = position();
            m_header_read = true;
        }
        return true;
    }

    std::size_t position() const { return m_scanner.position(); }
    int fields() const { return m_fields; }
    bool last_was_eor() const { return m_last_was_eor; }
    bool header_read() const { return m_header_read; }
    const ContactBuilder& builder() const { return m_builder; }

    // The records read, and the rest of the outcome once the pass has reached the end.
    ImportedLog finish() {
        m_log.left_out = m_builder.left_out();
        m_log.without_call = m_log.left_out.count(LeftOut::no_call);
        m_log.outside_dates = m_log.left_out.count(LeftOut::date);
        // The records left out keep their bytes, so a file of them says what those bytes are.
        if (!m_builder.declared_encoding().empty())
            m_log.rejected_encoding = m_builder.declared_encoding();
        else
            m_log.rejected_encoding = m_scanner.encoding() == TextEncoding::utf8 ? "UTF-8" : "Windows-1252";
        return std::move(m_log);
    }

  private:
    std::string_view m_file;
    AdifScanner m_scanner;
    ContactBuilder m_builder;
    ImportedLog m_log;
    // Where the record being read began: after the last record's "<eor>" or the header's "<eoh>".
    std::size_t m_record_start = 0;
    int m_fields = 0;
    bool m_last_was_eor = false;
    bool m_header_read = false;
};

// The second half's outcome added to the first's.
void join(ImportedLog& first, ImportedLog&& second) {
    first.records += second.records;
    first.entries += second.entries;
    first.left_out.add(second.left_out);
    first.without_call += second.without_call;
    first.outside_dates += second.outside_dates;
    first.rejected += second.rejected;
    first.rejected_encoding = std::move(second.rejected_encoding);
}

ImportedLog import_from(std::string_view file, const ImportOptions& options, std::size_t middle,
                        const std::function<void(std::size_t)>& progress) {
    const TextEncoding encoding = detect_encoding(file);
    ImportPass first(file, encoding, 0, ContactBuilder(options));
    const auto tell = [&](std::size_t done) {
        if (progress && first.fields() % k_fields_per_report == 0) progress(std::min(done, file.size()));
    };
    // The header first: what it says holds for the whole file.
    while (!first.header_read() && first.position() < std::min(middle, k_header_bytes) && first.step())
        tell(first.position());

    const std::size_t split =
        middle == k_none ? k_none : end_of_next_eor(file, std::max(middle, first.position()));
    std::optional<std::future<ImportedLog>> second_half;
    ContactBuilder::Carried carried_in;
    std::shared_ptr<ImportPass> second;
    if (split != k_none && split < file.size()) {
        second = std::make_shared<ImportPass>(file, encoding, split, first.builder().continued());
        carried_in = first.builder().carried();
        try {
            second_half = std::async(std::launch::async, [second] {
                while (second->step()) {
                }
                return second->finish();
            });
        } catch (const std::system_error&) {
            // No thread to be had: the first half reads on to the end.
        }
    }
    if (second_half) {
        // The first half's progress counts for both.
        const std::size_t start = first.position();
        while (first.position() < split && first.step())
            tell(start + 2 * (first.position() - start));
        ImportedLog after = second_half->get();
        const bool same_as_straight_through =
            first.position() == split && first.last_was_eor() &&
            first.builder().carried().declared_encoding == carried_in.declared_encoding &&
            first.builder().carried().own_fields_escaped == carried_in.own_fields_escaped &&
            (!second->builder().used_power_carried_in() ||
             first.builder().carried().power == carried_in.power);
        if (same_as_straight_through) {
            ImportedLog log = first.finish();
            join(log, std::move(after));
            if (progress) progress(file.size());
            return log;
        }
    }
    while (first.step())
        tell(first.position());
    if (progress) progress(file.size());
    return first.finish();
}

} // namespace

ImportedLog import_adif_text(std::string_view file, const ImportOptions& options,
                             const std::function<void(std::size_t)>& progress) {
    const bool halves = file.size() >= k_halves_from_bytes && std::thread::hardware_concurrency() >= 2;
    return import_from(file, options, halves ? file.size() / 2 : k_none, progress);
}

ImportedLog import_adif_text_in_halves(std::string_view file, const ImportOptions& options,
                                       std::size_t middle, const std::function<void(std::size_t)>& progress) {
    return import_from(file, options, middle, progress);
}

} // namespace kestrel::exchange
