#include "browse/log_search.hpp"

#include "common/fixed_text.hpp"
#include "logstore/log_store.hpp"

#include <algorithm>

namespace kestrel::browse {

namespace {

constexpr int k_block = 2048; // records read at once

template <class Match>
Result<int, logstore::LogError> first_match(const logstore::LogStore& log, int from, Match match) {
    const int count = log.record_count();
    for (int first = std::max(from, 1); first <= count; first += k_block) {
        const int n = std::min(k_block, count - first + 1);
        const auto records = log.read_records(first, n);
        if (!records) return records.error();
        for (int i = 0; i < n; ++i)
            if (match((*records)[static_cast<std::size_t>(i)])) return first + i;
    }
    return 0;
}

} // namespace

Result<int, logstore::LogError> find_call(const logstore::LogStore& log, std::string_view text, int from) {
    return first_match(log, from, [text](const logstore::RecordBytes& r) {
        return logstore::call_view(r).find(text) != std::string_view::npos;
    });
}

Result<int, logstore::LogError> find_comment(const logstore::LogStore& log, std::string_view text, int from) {
    return first_match(log, from, [text](const logstore::RecordBytes& r) {
        return logstore::has_contact_fields(r) &&
               upper_case(logstore::comment_view(r)).find(text) != std::string::npos;
    });
}

int find_date(const logstore::RecordIndex& index, int day) {
    // A plain walk: the records are meant to be in date order, but a log made elsewhere need not be.
    for (int n = 1; n <= index.size(); ++n)
        if (index.index_date(n) >= day) return n;
    return index.size() + 1;
}

} // namespace kestrel::browse
