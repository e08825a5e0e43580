#pragma once

#include "common/result.hpp"
#include "logstore/log_error.hpp"
#include "printing/label_run.hpp"
#include "printing/qsl_queue.hpp"
#include "printing/station_texts.hpp"
#include "ui/window.hpp"

#include <optional>
#include <vector>

namespace kestrel::logstore {
class BandNameTable;
class LogStore;
} // namespace kestrel::logstore

namespace kestrel::printing {

// One run of QSL labels: the QSLs queued, the printer, and the contacts whose labels are on the
// sheets so far. Their QSL-sent flags are set only once the printer has taken the whole job.
struct QslRunJob {
    logstore::LogStore& log;
    const logstore::BandNameTable& band_names;
    const LabelLayout& layout;
    Printer& printer;
    SheetGeometry geometry;
    StationTable station; // as it stood when the Print QSL window opened
    std::vector<QueuedQsl> qsls;
    std::vector<int> printed = {};
};

// A queued QSL read from the log, and its label with the station data of its band: the log's
// station-data entry in force for the band, or else the station table's row.
struct QueuedLabel {
    logstore::QsoRecord contact;
    LabelValues values;
};
[[nodiscard]] Result<QueuedLabel, logstore::LogError> queued_label(const QslRunJob& job,
                                                                   const QueuedQsl& qsl);

// Sets the QSL-sent flag of each record; `progress` hears how many are done.
[[nodiscard]] logstore::LogStatus mark_sent(logstore::LogStore& log, const std::vector<int>& records,
                                            const std::function<void(int)>& progress = {});

// The window of a run, captioned with the number of QSLs. With the pause on it shows each QSL in
// turn and the operator prints it, marks it sent without printing (Miss), leaves it (Ignore) or
// ends the run (Abort); with the pause off it prints them all, a bar showing how far it has got.
class QslRunWindow final : public ui::Window {
  public:
    enum Id {
        k_call = 600,
        k_date = 601,
        k_time = 602,
        k_rst_sent = 603,
        k_rst_received = 604,
        k_band = 605,
        k_mode = 606,
        k_power = 607,
        k_operator = 608,
        k_received = 609,
        k_antenna = 610,
        k_transceiver = 611,
        k_comment = 612,
        k_progress = 620,
        k_first_caption = 650, // the labels of the boxes, 650 on
        k_print = 700,
        k_miss = 701,
        k_ignore = 702,
        k_abort = 703,
        k_start = 1024 + 997, // posted: print them all, once the window shows
    };

    QslRunWindow(QslRunJob& job, bool pause) : m_job(job), m_pause(pause) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;
    void on_cancel(ui::Context& ctx) override { finish(ctx); }

  private:
    bool show_current(ui::Context& ctx);
    void print_current(ui::Context& ctx);
    void miss_current(ui::Context& ctx);
    void next(ui::Context& ctx);
    void print_all(ui::Context& ctx);
    void finish(ui::Context& ctx);
    void set_caption(ui::Context& ctx);

    QslRunJob& m_job;
    bool m_pause;
    std::optional<LabelRun> m_run;
    std::size_t m_current = 0;
    std::optional<QueuedLabel> m_shown; // the current QSL
};

} // namespace kestrel::printing
