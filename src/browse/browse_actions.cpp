// What the operator does to the records of the browse window: search, toggle, change, delete.

#include "browse/browse_window.hpp"

#include "browse/log_search.hpp"
#include "common/fixed_text.hpp"
#include "log_windows/load_log.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/dates.hpp"
#include "logstore/log_store.hpp"
#include "ui/context.hpp"

#include <algorithm>

namespace kestrel::browse {

using log_windows::tell_log_error;

void BrowseWindow::search(ui::Context& ctx) {
    switch (m_search_mode) {
    case SearchMode::call: search_call(ctx); break;
    case SearchMode::comment: search_comment(ctx); break;
    case SearchMode::date: search_date(ctx); break;
    case SearchMode::none: break;
    }
}

void BrowseWindow::search_call(ui::Context& ctx) {
    const std::string text = ctx.text(k_call);
    if (text.empty()) return;
    const auto found = find_call(log(), text, m_call_from);
    if (!found) return tell_log_error(ctx, found.error());
    if (*found == 0) {
        // Further presses find nothing until the call is changed.
        m_call_from = log().record_count() + 1;
        ctx.message("Callsign not found", "");
        return;
    }
    show_found(ctx, *found, SearchMode::call);
    m_call_from = *found + 1;
}

void BrowseWindow::search_comment(ui::Context& ctx) {
    const std::string text = upper_case(ctx.text(k_comment));
    if (text.empty()) return;
    const auto found = find_comment(log(), text, m_comment_from);
    if (!found) return tell_log_error(ctx, found.error());
    if (*found == 0) {
        m_comment_from = log().record_count() + 1;
        ctx.message("Comment not found", "");
        return;
    }
    show_found(ctx, *found, SearchMode::comment);
    m_comment_from = *found + 1;
}

void BrowseWindow::search_date(ui::Context& ctx) {
    const logstore::NormalisedDate date =
        logstore::normalise_date_entry(ctx.text(k_date), logstore::utc_year_of(ctx.host().now()));
    if (!date.ok()) {
        ctx.message(logstore::message_of(date.error), logstore::k_date_error_title, ui::Icon::exclamation);
        ctx.set_text(k_date, "");
        ctx.focus(k_date);
        return;
    }
    if (!log_windows::ensure_record_index(ctx.host(), &ctx, log())) return;
    show_found(ctx, find_date(log().index(), date.day_number), SearchMode::date);
}

void BrowseWindow::show_found(ui::Context& ctx, int n, SearchMode mode) {
    if (m_top < n && n <= m_top + m_page_size) {
        select_line(ctx, n - m_top - 1);
    } else {
        m_top = n - 1;
        m_selected = 0;
        if (m_top > m_last_top) {
            m_top = m_last_top;
            m_selected = n - m_top - 1;
        }
        fill(ctx);
    }
    m_search_mode = mode;
}

void BrowseWindow::toggle_qsl(ui::Context& ctx, int bit) {
    const int n = selected_record();
    if (n == 0) return;
    auto record = log().read_record(n);
    if (!record) return tell_log_error(ctx, record.error());
    const logstore::RecordKind kind = logstore::kind_of(*record);
    if (kind == logstore::RecordKind::text || kind == logstore::RecordKind::station_data) return;

    logstore::flip_qsl_flags(*record, static_cast<std::uint8_t>(bit));
    logstore::LogStatus status = log().write_record(n, *record);
    if (status) status = log().flush_log();
    if (!status) return tell_log_error(ctx, status.error());
    // A CQ call is nobody's contact: its "call" would only mark the country whose prefix it is.
    if (kind != logstore::RecordKind::cq) {
        offline::mark_chart(m_env.editor.countries, m_env.editor.chart, logstore::QsoRecord::decode(*record));
    }
    refill_keeping_mode(ctx);
}

void BrowseWindow::edit(ui::Context& ctx) {
    const int n = selected_record();
    if (n == 0) return;
    log().set_current_record(n);
    if (offline::run_entry_editor(ctx, m_env.editor, n)) fill(ctx);
    ctx.focus(k_lines);
}

void BrowseWindow::remove(ui::Context& ctx) {
    const int n = selected_record();
    if (n == 0) return;
    log().set_current_record(n);
    if (!ctx.confirm_loss("Are you sure?", "Delete Entry")) {
        return;
    }
    if (const auto status = log().delete_record(n); !status) return tell_log_error(ctx, status.error());
    // The page closes up: on the last page it starts one record earlier, on a short log it shows
    // one line fewer.
    measure();
    m_top = std::min(m_top, m_last_top);
    refill_keeping_mode(ctx);
}

} // namespace kestrel::browse
