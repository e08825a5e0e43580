#include "printing/single_label.hpp"

#include "common/fixed_text.hpp"
#include "logstore/band_names.hpp"
#include "logstore/dates.hpp"
#include "logstore/record.hpp"
#include "offline/entry_editor.hpp"
#include "printing/label_run.hpp"
#include "printing/printer_choice.hpp"
#include "printing/qsl_print_window.hpp"
#include "printing/station_texts.hpp"
#include "ui/context.hpp"

namespace kestrel::printing {

namespace {

// A time typed as hhmm, hmm or hh:mm, shown as HH:MM; anything else as it was typed, rather than
// a time the operator never gave.
std::string time_of_typed(const std::string& typed) {
    const auto minute = logstore::parse_time_of_day(typed);
    return minute ? logstore::time_text_of(*minute) : typed;
}

LabelValues single_label_values(const SingleLabelEnv& env, const offline::QslContact& c, int this_year) {
    const StationTexts station = station_of_band(station_table_of(env.station), c.band);
    LabelValues v;
    v.call = std::string(trim_trailing_spaces(c.call));
    v.date = month_date_of_typed(c.date, this_year);
    v.time = time_of_typed(c.time_on);
    v.rst_sent = fixed_width(c.rst_sent, logstore::k_report_width);
    v.mode = fixed_width(c.mode, logstore::k_mode_width);
    v.band = c.band;
    v.band_name = env.band_names.name(c.band);
    v.band_metres = band_in_metres(c.band);
    v.request = c.request;
    v.transceiver = station.transceiver;
    v.antenna = station.antenna;
    v.power = fixed_width(c.power, logstore::k_power_width);
    v.operator_name = station.operator_name;
    v.extra_line = c.remark;
    return v;
}

} // namespace

bool print_qsl_label(ui::Context& owner, const SingleLabelEnv& env, const offline::QslContact& contact) {
    const LabelLayout& layout = env.layout;
    if (!layout.loaded()) {
        owner.message(k_no_layout_text, k_print_qsl_title, ui::Icon::exclamation);
        return false;
    }
    if (!layout.settings.type_known()) {
        owner.message(k_unknown_type_text, "");
        return false;
    }
    auto printer = choose_printer_for(owner);
    if (!printer) return false;
    // One label at the sheet's first place; no question, whatever the sheet holds.
    SheetGeometry geometry = sheet_geometry(layout.settings, *printer);
    geometry.across = 1;
    geometry.down = 1;
    const bool multi = layout.settings.label_type == k_multi_label;
    LabelRun run(*printer, layout, multi ? LabelRun::Form::multi : LabelRun::Form::single, geometry);
    (void)run.add(single_label_values(env, contact, logstore::utc_year_of(owner.host().now())));
    run.finish();
    return end_job_or_tell(owner, *printer, k_fault_report);
}

} // namespace kestrel::printing
