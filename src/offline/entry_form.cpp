#include "offline/entry_form.hpp"

#include "logstore/dates.hpp"
#include "logstore/record.hpp"
#include "ui/context.hpp"

#include <span>
#include <utility>

namespace kestrel::offline {

namespace {

using logstore::k_time_text_width;

// A frequency is read as a number for its band and never stored as typed: any length will do.
constexpr int k_frequency_limit = 0;

struct FieldLayout {
    int label;
    const char* text;
    int y;
    int width;
    int limit; // the most characters the field it is saved into holds
    unsigned style = ui::plain;
};

// Each kind's labels, top to bottom; their boxes are 102, 103, ... in the same order.
constexpr FieldLayout k_contact[] = {
    {22, "Call Sign", 35, 52, logstore::k_call_width, ui::upper_case},
    {23, "Time On", 50, 22, k_time_text_width},
    {24, "Time Off", 65, 22, k_time_text_width},
    {25, "RST TX", 80, 30, logstore::k_report_width},
    {26, "RST RX", 95, 30, logstore::k_report_width},
    {27, "Frequency", 110, 35, k_frequency_limit},
    {28, "Mode", 125, 20, logstore::k_mode_width, ui::upper_case},
    {29, "Power", 140, 25, logstore::k_power_width},
    {30, "Comments", 155, 162, logstore::k_comment_width},
};
constexpr FieldLayout k_station_data[] = {
    {22, "Time", 35, 22, k_time_text_width},
    {23, "Operator", 50, 52, logstore::k_station_text_width},
    {24, "Tranceiver", 65, 52, logstore::k_station_text_width},
    {25, "Antenna", 80, 52, logstore::k_station_text_width},
    {26, "Band", 95, 35, k_frequency_limit},
};
constexpr FieldLayout k_note[] = {{23, "Time", 35, 22, k_time_text_width},
                                  {24, "Text", 50, 200, logstore::k_note_width}};

std::span<const FieldLayout> layout_of(EntryKind kind) {
    switch (kind) {
    case EntryKind::qso: return k_contact;
    case EntryKind::station_data: return k_station_data;
    case EntryKind::text: return k_note;
    }
    return {};
}

constexpr int k_first_kind_label = 22, k_last_kind_label = 32;
constexpr int k_last_kind_box = 112;

} // namespace

void build_kind_form(ui::Context& ctx, EntryKind kind) {
    for (int id = k_first_kind_label; id <= k_last_kind_label; ++id)
        ctx.remove_control(id);
    for (int id = box_control(1); id <= k_last_kind_box; ++id)
        ctx.remove_control(id);

    int box = 1;
    for (const FieldLayout& f : layout_of(kind)) {
        ctx.add_control(ui::label(f.label, f.text, {5, f.y, 60, 8}, ui::right_aligned));
        // A box stands two units above its label, so that their texts share a baseline.
        ui::Control field = ui::edit(box_control(box++), {70, f.y - 2, f.width, 12}, f.style);
        field.text_limit = f.limit;
        ctx.add_control(std::move(field));
    }
    if (kind == EntryKind::qso) {
        ctx.add_control(ui::check_box(k_qsl_sent, "QSL se&nt", {32, 170, 45, 12}, ui::text_on_left));
        ctx.add_control(ui::check_box(k_qsl_received, "QSL &received", {17, 185, 60, 12}, ui::text_on_left));
    }
}

} // namespace kestrel::offline
