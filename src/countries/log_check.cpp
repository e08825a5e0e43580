#include "countries/log_check.hpp"

#include "common/fixed_text.hpp"
#include "logstore/field_codes.hpp"
#include "logstore/log_store.hpp"
#include "logstore/record.hpp"

#include <algorithm>

namespace kestrel::countries {

namespace {

using logstore::RecordBytes;

// Records read at a time: enough that a large log goes by in few reads, small enough to stay
// in the cache while it is worked through.
constexpr int k_block = 4096;

class Checker {
  public:
    Checker(logstore::LogStore& log, const CountryTable& table, StatusChart& chart,
            const LogCheckHooks& hooks)
        : m_log(log), m_table(table), m_chart(chart), m_hooks(hooks) {}

    LogCheckResult run() {
        const int total = m_log.record_count();
        for (int first = 1; first <= total && !m_result.error; first += k_block) {
            const int count = std::min(k_block, total - first + 1);
            auto block = m_log.read_records(first, count);
            if (!block) {
                m_result.error = block.error();
                break;
            }
            for (int i = 0; i < count && !m_result.error; ++i)
                check(first + i, (*block)[static_cast<std::size_t>(i)]);
            if (m_hooks.progress && !m_result.error) m_hooks.progress(first + count - 1, total);
        }
        return m_result;
    }

  private:
    void check(int n, RecordBytes& record) {
        // A corrected call is checked again, and may be corrected again.
        for (;;) {
            if (!logstore::is_contact(record)) return;
            const Resolution found = m_table.resolve_country(logstore::call_view(record));
            if (found.country < 0) return;
            if (found.country > 0) {
                m_chart.update_chart(found.country, logstore::band_of_field(logstore::band_field(record)),
                                     logstore::mode_class_of(logstore::mode_view(record)),
                                     record[logstore::record_layout::qsl_flags]);
                ++m_result.charted;
                return;
            }
            if (!correct(n, record)) return;
        }
    }

    // True when the entry now holds the call the operator gave.
    bool correct(int n, RecordBytes& record) {
        if (!m_asking || !m_hooks.correct_call) {
            ++m_result.left_unrecognised;
            return false;
        }
        if (m_hooks.progress) m_hooks.progress(n - 1, m_log.record_count());
        const std::string_view call = trim_trailing_spaces(logstore::call_view(record));
        CallCorrection answer = m_hooks.correct_call(n, call);
        std::string_view given = trim_trailing_spaces(answer.call);
        given.remove_prefix(std::min(given.size(), given.find_first_not_of(' ')));
        // A call starting with "/" would turn the contact into a note; an empty one, or the call
        // as it stands, says nothing new.
        if (answer.answer != CallCorrection::Answer::correct || given.empty() || given.front() == '/' ||
            given == call) {
            if (answer.answer == CallCorrection::Answer::ask_no_more) {
                m_asking = false;
                m_result.stopped_asking = true;
            }
            ++m_result.left_unrecognised;
            return false;
        }
        logstore::QsoRecord qso = logstore::QsoRecord::decode(record);
        qso.call = std::string(given);
        const RecordBytes corrected = qso.encode();
        if (const logstore::LogStatus written = m_log.write_record(n, corrected); !written) {
            m_result.error = written.error();
            return false;
        }
        if (const logstore::LogStatus flushed = m_log.flush_log(); !flushed) {
            m_result.error = flushed.error();
            return false;
        }
        record = corrected;
        ++m_result.corrected;
        return true;
    }

    logstore::LogStore& m_log;
    const CountryTable& m_table;
    StatusChart& m_chart;
    const LogCheckHooks& m_hooks;
    LogCheckResult m_result;
    bool m_asking = true;
};

} // namespace

void clear_countries(StatusChart& chart, int first, int last) {
    for (int b = 0; b < k_chart_bands; ++b)
        for (int c = std::max(first, 0); c <= std::min(last, k_chart_countries - 1); ++c)
            chart.set_byte(c, b, 0);
}

LogCheckResult rebuild_chart(logstore::LogStore& log, const CountryTable& table, StatusChart& chart,
                             const LogCheckHooks& hooks) {
    clear_countries(chart, 1, table.highest_country());
    return Checker(log, table, chart, hooks).run();
}

} // namespace kestrel::countries
