#include "printing/qsl_run_window.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/band_names.hpp"
#include "logstore/dates.hpp"
#include "logstore/log_store.hpp"
#include "ui/context.hpp"
#include "ui/progress_window.hpp"

namespace kestrel::printing {

namespace {

constexpr std::uint8_t k_sent = 1;

std::string first_three(std::string_view text) {
    return std::string(trim_trailing_spaces(text.substr(0, 3)));
}

} // namespace

Result<QueuedLabel, logstore::LogError> queued_label(const QslRunJob& job, const QueuedQsl& qsl) {
    auto record = job.log.read_record(qsl.record);
    if (!record) return record.error();
    const logstore::QsoRecord contact = logstore::QsoRecord::decode(*record);
    const int band = logstore::band_of_field(contact.band);
    StationTexts station = station_of_band(job.station, band);
    if (qsl.station_record > 0) {
        auto data = job.log.read_record(qsl.station_record);
        if (!data) return data.error();
        const logstore::StationDataRecord d = logstore::StationDataRecord::decode(*data);
        station = {d.operator_name, d.transceiver, d.antenna};
    }
    return QueuedLabel{contact, contact_label(contact, station, job.band_names)};
}

logstore::LogStatus mark_sent(logstore::LogStore& log, const std::vector<int>& records,
                              const std::function<void(int)>& progress) {
    int done = 0;
    for (int n : records) {
        auto record = log.read_record(n);
        if (!record) return record.error();
        if (!((*record)[logstore::record_layout::qsl_flags] & k_sent)) {
            logstore::flip_qsl_flags(*record, k_sent);
            if (const logstore::LogStatus written = log.write_record(n, *record); !written) return written;
        }
        if (progress) progress(++done);
    }
    return {};
}

ui::Form QslRunWindow::build() const {
    ui::Form form;
    form.caption = number_text(static_cast<int>(m_job.qsls.size())) + " QSLs to print";
    form.frame = {40, 40, 240, m_pause ? 120 : 50};
    form.background = ui::colours::pale_yellow;
    if (!m_pause) {
        form.add(ui::progress(k_progress, {10, 18, 220, 12}));
        return form;
    }
    struct Field {
        int id;
        const char* caption;
        int x;
        int y;
        int width;
    };
    static const Field fields[] = {
        {k_call, "Callsign:", 5, 5, 75},        {k_received, "QSL RX:", 125, 5, 30},
        {k_date, "Date:", 5, 17, 40},           {k_antenna, " Antenna:", 125, 17, 70},
        {k_time, "Time:", 5, 29, 30},           {k_transceiver, "Transcvr:", 125, 29, 70},
        {k_rst_sent, "RST sent:", 5, 41, 20},   {k_rst_received, "RST rcvd:", 125, 41, 20},
        {k_operator, "Operator:", 125, 53, 70}, {k_band, "On:", 5, 53, 35},
        {k_mode, "Mode:", 5, 65, 20},           {k_power, "Power:", 125, 65, 30},
    };
    int caption_id = k_first_caption;
    for (const Field& f : fields) {
        form.add(ui::label(caption_id++, f.caption, {f.x, f.y, 40, 8}));
        form.add(ui::label(f.id, "", {f.x + 42, f.y, f.width, 8}));
    }
    form.add(ui::label(caption_id, "Comment", {5, 80, 40, 8}));
    form.add(ui::edit(k_comment, {47, 78, 185, 12})).text_limit = 64;
    form.add(ui::button(k_print, "&Print", {10, 98, 45, 14}, ui::default_button));
    form.add(ui::button(k_miss, "&Miss", {67, 98, 45, 14}));
    form.add(ui::button(k_ignore, "&Ignore", {124, 98, 45, 14}));
    form.add(ui::button(k_abort, "&Abort", {181, 98, 45, 14}));
    return form;
}

void QslRunWindow::on_init(ui::Context& ctx) {
    // A full sheet asks for the next one over this window.
    m_run.emplace(m_job.printer, m_job.layout,
                  m_job.layout.settings.label_type == k_multi_label ? LabelRun::Form::multi
                                                                    : LabelRun::Form::single,
                  m_job.geometry, [&ctx] {
                      return ctx.message("CONTINUE?", "End of Sheet", ui::Icon::question,
                                         ui::Buttons::yes_no) == ui::Answer::yes;
                  });
    if (m_job.qsls.empty()) {
        ctx.close(0);
        return;
    }
    if (!m_pause) {
        ctx.post(k_start);
        return;
    }
    if (show_current(ctx)) ctx.focus(k_print);
}

void QslRunWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (id == k_start && notify == ui::Notify::posted) {
        print_all(ctx);
        return;
    }
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_print: print_current(ctx); break;
    case k_miss: miss_current(ctx); break;
    case k_ignore: next(ctx); break;
    case k_abort: finish(ctx); break;
    }
}

void QslRunWindow::set_caption(ui::Context& ctx) {
    ctx.set_caption(std::string(10, ' ') + number_text(static_cast<int>(m_job.qsls.size())) +
                    " QSLs to print. Printing QSL no.:" + number_text(static_cast<int>(m_current) + 1));
}

// Reads the current QSL and shows it; false (the run ended) when the log could not be read.
bool QslRunWindow::show_current(ui::Context& ctx) {
    auto shown = queued_label(m_job, m_job.qsls[m_current]);
    if (!shown) {
        log_windows::tell_log_error(ctx, shown.error(), m_job.log.path());
        finish(ctx);
        return false;
    }
    m_shown = std::move(*shown);
    set_caption(ctx);
    if (!m_pause) return true;
    const logstore::QsoRecord& contact = m_shown->contact;
    const LabelValues& v = m_shown->values;
    ctx.set_text(k_call, v.call);
    ctx.set_text(k_received, v.received ? "YES" : "NO");
    ctx.set_text(k_date, logstore::date_text_of(contact.date));
    ctx.set_text(k_antenna, v.antenna);
    ctx.set_text(k_time, v.time);
    ctx.set_text(k_transceiver, v.transceiver);
    ctx.set_text(k_rst_sent, first_three(contact.rst_sent));
    ctx.set_text(k_rst_received, first_three(contact.rst_received));
    ctx.set_text(k_operator, v.operator_name);
    ctx.set_text(k_band, std::string(trim_trailing_spaces(v.band_name)));
    ctx.set_text(k_mode, std::string(trim_trailing_spaces(v.mode)));
    ctx.set_text(k_power, std::string(trim_trailing_spaces(v.power)));
    return true;
}

void QslRunWindow::print_current(ui::Context& ctx) {
    if (!m_shown) return;
    m_shown->values.extra_line = ctx.text(k_comment);
    const LabelRun::Placed placed = m_run->add(m_shown->values);
    if (placed.printed) m_job.printed.push_back(m_job.qsls[m_current].record);
    if (placed.go_on)
        next(ctx);
    else
        finish(ctx);
}

void QslRunWindow::miss_current(ui::Context& ctx) {
    // Marked sent at once: nothing is printed that could fail.
    if (const logstore::LogStatus marked = mark_sent(m_job.log, {m_job.qsls[m_current].record}); !marked) {
        log_windows::tell_log_error(ctx, marked.error(), m_job.log.path());
        finish(ctx);
        return;
    }
    next(ctx);
}

void QslRunWindow::next(ui::Context& ctx) {
    if (++m_current >= m_job.qsls.size()) {
        finish(ctx);
        return;
    }
    if (show_current(ctx)) ctx.focus(k_print);
}

void QslRunWindow::print_all(ui::Context& ctx) {
    const int total = static_cast<int>(m_job.qsls.size());
    ctx.set_progress_range(k_progress, 0, total);
    for (; m_current < m_job.qsls.size(); ++m_current) {
        if (!show_current(ctx)) return;
        const LabelRun::Placed placed = m_run->add(m_shown->values);
        if (placed.printed) m_job.printed.push_back(m_job.qsls[m_current].record);
        ctx.set_progress(k_progress, static_cast<int>(m_current) + 1);
        if (!placed.go_on) break;
    }
    finish(ctx);
}

void QslRunWindow::finish(ui::Context& ctx) {
    if (ctx.is_closed()) return;
    if (m_run) m_run->finish();
    ctx.close(0);
}

} // namespace kestrel::printing
