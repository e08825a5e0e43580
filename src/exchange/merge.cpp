#include "exchange/merge.hpp"

namespace kestrel::exchange {

namespace {

using logstore::LogError;
using logstore::RecordBytes;

constexpr std::int64_t k_key_day = 3600;

// Reads one source and counts what it has read, for the progress window.
class Counted {
  public:
    Counted(RecordSource& source, std::int64_t& read) : m_source(source), m_read(read) {}
    bool next(RecordBytes& record) {
        if (!m_source.next(record)) return false;
        ++m_read;
        return true;
    }

  private:
    RecordSource& m_source;
    std::int64_t& m_read;
};

class NoRecords final : public RecordSource {
  public:
    bool next(RecordBytes&) override { return false; }
    logstore::LogStatus status() const override { return {}; }
};

MergeOutcome failure(LogError error, const std::string& path) {
    MergeOutcome outcome;
    outcome.end = MergeEnd::failed;
    outcome.error = error;
    outcome.path = path;
    return outcome;
}

} // namespace

std::int64_t merge_key(const RecordBytes& record) {
    return std::int64_t{logstore::record_date(record)} * k_key_day + logstore::record_time(record);
}

Result<MergeTally, LogError> merge_entries(RecordSource& extract, const std::vector<bool>& marks,
                                           RecordSource& merge_log, RecordSink& output, RecordSink* kept,
                                           const ProgressFn& progress) {
    std::int64_t read = 0;
    Counted from_extract(extract, read);
    Counted from_merge(merge_log, read);
    MergeTally tally;
    const auto put = [](RecordSink& sink, const RecordBytes& record, int& count) -> logstore::LogStatus {
        if (const auto status = sink.append(record); !status) return status;
        ++count;
        return {};
    };

    RecordBytes e;
    RecordBytes m;
    bool have_m = from_merge.next(m);
    std::size_t n = 0; // entries of the extract log read before e
    while (from_extract.next(e)) {
        const bool marked = n < marks.size() && marks[n];
        ++n;
        if (!marked) {
            if (kept) {
                if (const auto status = put(*kept, e, tally.kept); !status) return status.error();
            }
        } else {
            while (have_m && merge_key(m) <= merge_key(e)) {
                if (const auto status = put(output, m, tally.written); !status) return status.error();
                have_m = from_merge.next(m);
            }
            if (const auto status = put(output, e, tally.written); !status) return status.error();
            ++tally.merged;
        }
        if (progress) progress(read);
    }
    while (have_m) {
        if (const auto status = put(output, m, tally.written); !status) return status.error();
        have_m = from_merge.next(m);
        if (progress) progress(read);
    }
    if (const auto status = extract.status(); !status) return status.error();
    if (const auto status = merge_log.status(); !status) return status.error();
    return tally;
}

MergeOutcome merge_log_files(logstore::FileSystem& files, LogReader& extract, const std::vector<bool>& marks,
                             bool delete_moved, const std::string& merge_log, const ProgressFn& progress) {
    const std::string extract_path = extract.path();
    if (const auto status = extract.check_unchanged(); !status) return failure(status.error(), extract_path);
    if (marks.size() != static_cast<std::size_t>(extract.record_count()))
        return failure(LogError::changed_elsewhere, extract_path);
    if (delete_moved && extract.trailing_bytes() > 0) return failure(LogError::partial_record, extract_path);
    extract.rewind();

    LogReader merge_in(files);
    NoRecords nothing;
    RecordSource* merge_source = &nothing;
    if (file_exists(files, merge_log)) {
        if (const auto status = merge_in.open(merge_log); !status) return failure(status.error(), merge_log);
        if (merge_in.trailing_bytes() > 0) return failure(LogError::partial_record, merge_log);
        merge_source = &merge_in;
    }

    WorkLog output(files);
    if (const auto status = output.create(merge_log); !status) return failure(status.error(), merge_log);
    WorkLog kept(files);
    if (delete_moved) {
        if (const auto status = kept.create(extract_path); !status)
            return failure(status.error(), extract_path);
    }

    const auto merged =
        merge_entries(extract, marks, *merge_source, output, delete_moved ? &kept : nullptr, progress);
    if (!merged) {
        const std::string& path = extract.status() ? merge_log : extract_path;
        return failure(merged.error(), path);
    }
    // What was read must still be all there is before either log is replaced.
    if (const auto status = extract.check_unchanged(); !status) return failure(status.error(), extract_path);
    if (merge_in.is_open()) {
        if (const auto status = merge_in.check_unchanged(); !status)
            return failure(status.error(), merge_log);
    }
    merge_in.close();

    if (delete_moved) {
        std::string failed;
        if (const auto status = WorkLog::commit_together(output, kept, failed); !status)
            return failure(status.error(), failed);
    } else if (const auto status = output.commit(); !status) {
        return failure(status.error(), merge_log);
    }
    MergeOutcome outcome;
    outcome.tally = *merged;
    return outcome;
}

} // namespace kestrel::exchange
