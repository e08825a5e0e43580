#include "offline/entry_editor.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "log_windows/load_log.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"
#include "logstore/log_store.hpp"
#include "offline/entry_form.hpp"
#include "ui/context.hpp"

namespace kestrel::offline {

namespace {

constexpr const char* k_caption = "KESTREL v6    Off Line Logging";
constexpr const char* k_edit_caption = " Edit Entry ";
constexpr int k_database_slots = 4;

int kind_button(EntryKind kind) {
    return EntryEditorWindow::k_qso + static_cast<int>(kind) - 1;
}

} // namespace

std::string database_button_text(const std::string& name) {
    std::string text = upper_case(name);
    for (auto at = text.find(".EDB"); at != std::string::npos; at = text.find(".EDB"))
        text.erase(at, 4);
    return text;
}

ui::Form EntryEditorWindow::build() const {
    ui::Form form;
    form.caption =
        editing() ? std::string(k_edit_caption) : k_caption + std::string(10, ' ') + m_env.log.path();
    form.frame = {10, 5, 280, 230};
    form.frame_style =
        ui::caption_bar | ui::system_menu | ui::sizing_border | ui::minimize_box | ui::maximize_box;
    form.font = ui::Font{"Courier", 8};

    form.add(ui::button(k_qso, "&QSO", {5, 210, 35, 14}));
    form.add(ui::button(k_data, "&DATA", {45, 210, 35, 14}));
    form.add(ui::button(k_text, "&TEXT", {85, 210, 35, 14}));
    form.add(ui::button(k_save, "&SAVE", {125, 210, 35, 14})).enabled = editing();
    form.add(ui::button(k_print_qsl, "Print QSL", {165, 210, 45, 14})).enabled = editing();
    form.add(ui::button(k_exit, "E&XIT", {220, 210, 35, 14}));
    form.add(ui::label(k_repeat_label, "F1 to Repeat", {180, 100, 60, 10}));
    form.add(ui::label(k_save_label, "F12 to Save", {180, 120, 60, 10}));
    form.add(ui::label(k_entry_label, "Entry Number", {35, 5, 60, 8}, ui::right_aligned));
    const int number = editing() ? m_record : m_env.log.record_count() + 1;
    form.add(ui::label(k_entry_number, number_text(number), {100, 5, 30, 10}));
    form.add(ui::label(k_date_label, "Date", {5, 20, 60, 8}, ui::right_aligned));
    // Wide enough for dd-mm-yyyy, which the box shows when two digits would name another year.
    form.add(ui::edit(k_date, {70, 18, 45, 12})).text_limit = logstore::k_date_text_width;

    int shown = 0;
    for (int slot = 0; slot < k_database_slots; ++slot) {
        const std::string& name = m_env.links.database_names[static_cast<std::size_t>(slot)];
        if (name.empty()) continue;
        form.add(ui::button(k_first_database + slot, database_button_text(name),
                            {200, 10 + 18 * shown++, 40, 14}));
    }
    form.accelerators = {{{ui::Key::f12}, k_save}, {{ui::Key::f1}, k_repeat}};
    return form;
}

void EntryEditorWindow::on_init(ui::Context& ctx) {
    if (!editing()) {
        change_kind(ctx, EntryKind::qso);
        return;
    }
    const auto record = m_env.log.read_record(m_record);
    if (!record) {
        log_windows::tell_log_error(ctx, record.error());
        ctx.close(0);
        return;
    }
    const TypedEntry entry = shown_entry(*record, m_env.band_names, logstore::utc_year_of(ctx.host().now()));
    change_kind(ctx, entry.kind);
    show_record(ctx, entry);
    ctx.focus(k_date);
    m_focused_box = k_date;
}

void EntryEditorWindow::change_kind(ui::Context& ctx, EntryKind kind) {
    m_kind = kind;
    for (EntryKind k : {EntryKind::qso, EntryKind::station_data, EntryKind::text})
        ctx.enable(kind_button(k), k != kind);
    build_kind_form(ctx, kind);
    if (kind != EntryKind::qso) ctx.enable(k_print_qsl, false);
    ctx.focus(k_date);
    m_focused_box = k_date;
}

void EntryEditorWindow::show_record(ui::Context& ctx, const TypedEntry& entry) {
    for (int b = 0; b <= last_box_of(entry.kind); ++b)
        ctx.set_text(box_control(b), entry.boxes[b]);
    if (entry.kind != EntryKind::qso) return; // only a contact has QSL boxes
    ctx.set_checked(k_qsl_sent, entry.qsl_sent);
    ctx.set_checked(k_qsl_received, entry.qsl_received);
}

void EntryEditorWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (id >= k_date && id <= box_control(last_box_of(m_kind))) {
        if (notify == ui::Notify::changed) box_changed(ctx, id);
        if (notify == ui::Notify::focus_gained) m_focused_box = id;
        return;
    }
    if (notify != ui::Notify::clicked && notify != ui::Notify::posted) return;
    switch (id) {
    case ui::k_ok: next_box(ctx); break; // Enter
    case k_repeat: repeat(ctx); break;
    case k_qso: change_kind(ctx, EntryKind::qso); break;
    case k_data: change_kind(ctx, EntryKind::station_data); break;
    case k_text: change_kind(ctx, EntryKind::text); break;
    case k_save:
        // F12 is the Save button: while the button is dimmed (nothing typed yet) it does nothing.
        if (ctx.enabled(k_save)) save(ctx);
        break;
    case k_print_qsl:
        if (ctx.enabled(k_print_qsl)) print_qsl(ctx);
        break;
    case k_exit: ctx.close(0); break;
    default:
        if (id >= k_first_database && id < k_first_database + k_database_slots &&
            m_env.links.database_search) {
            const DatabaseCopy copy{ctx.text(k_date), ctx.text(box_control(box::call)),
                                    ctx.text(box_control(box::frequency))};
            m_env.links.database_search(ctx, id - k_first_database + 1, copy);
        }
        break;
    }
}

void EntryEditorWindow::box_changed(ui::Context& ctx, int id) {
    // Runs on every keystroke: a few flags, nothing that grows with the log.
    m_focused_box = id;
    ctx.enable(k_save);
    if (m_kind == EntryKind::qso) ctx.enable(k_print_qsl);
}

void EntryEditorWindow::next_box(ui::Context& ctx) {
    if (m_focused_box >= box_control(last_box_of(m_kind))) return;
    ++m_focused_box;
    ctx.focus(m_focused_box);
}

void EntryEditorWindow::repeat(ui::Context& ctx) {
    if (m_kind != EntryKind::qso) return;
    const int b = m_focused_box - k_first_box;
    if (b < 0 || b >= k_box_count) return;
    ctx.set_text(m_focused_box, m_env.state.repeat[static_cast<std::size_t>(b)]);
    next_box(ctx);
}

TypedEntry EntryEditorWindow::typed(const ui::Context& ctx) const {
    TypedEntry entry;
    entry.kind = m_kind;
    // Only the boxes of the kind on screen; the others stay empty.
    for (int b = 0; b <= last_box_of(m_kind); ++b)
        entry.boxes[static_cast<std::size_t>(b)] = ctx.text(box_control(b));
    entry.qsl_sent = ctx.exists(k_qsl_sent) && ctx.checked(k_qsl_sent);
    entry.qsl_received = ctx.exists(k_qsl_received) && ctx.checked(k_qsl_received);
    return entry;
}

void EntryEditorWindow::save(ui::Context& ctx) {
    // Everything is checked before the log is touched, so an edited entry is never taken out of
    // the log for contents that cannot be saved.
    TypedEntry entry = typed(ctx);
    const auto built = build_entry(entry, logstore::utc_year_of(ctx.host().now()));
    if (!built) {
        refuse(ctx, built.error());
        return;
    }
    entry.boxes[box::date] = built->date_text;
    if (m_kind == EntryKind::qso) {
        m_env.state.repeat = entry.boxes;
    } else {
        m_env.state.repeat[box::date] = built->date_text;
    }

    logstore::LogStore& log = m_env.log;
    const logstore::LogStatus status = editing()
                                           ? log.replace_record(m_record, built->record, built->index_text)
                                           : log.insert_record_in_order(built->record, built->index_text);
    if (!status) {
        // The entry stays on screen, and the log as it was, so the operator can try again.
        log_windows::tell_log_error(ctx, status.error());
        return;
    }
    m_log_changed = true;
    if (m_kind == EntryKind::qso) {
        const auto qso = logstore::QsoRecord::decode(built->record);
        if (report_marks_chart(qso)) mark_chart(m_env.countries, m_env.chart, qso);
    }
    if (editing()) {
        ctx.close(1);
        return;
    }
    ready_for_next(ctx);
}

void EntryEditorWindow::refuse(ui::Context& ctx, const EntryProblem& problem) {
    if (problem.date_error != logstore::DateEntryError::none) {
        ctx.message(logstore::message_of(problem.date_error), logstore::k_date_error_title,
                    ui::Icon::exclamation);
        ctx.set_text(k_date, "");
        m_focused_box = k_date;
        ctx.focus(k_date);
        return;
    }
    m_focused_box = box_control(problem.missing_box);
    ctx.focus(m_focused_box);
    ctx.beep();
}

void EntryEditorWindow::ready_for_next(ui::Context& ctx) {
    // The QSL boxes keep their ticks: a run of entries usually shares them.
    for (int b = 0; b <= last_box_of(m_kind); ++b)
        ctx.set_text(box_control(b), "");
    ctx.enable(k_save, false);
    ctx.set_text(k_entry_number, number_text(m_env.log.record_count() + 1));
    m_focused_box = k_date;
    ctx.focus(k_date);
}

void EntryEditorWindow::print_qsl(ui::Context& ctx) {
    if (!m_env.links.print_qsl_label) {
        ctx.message("No Printer file loaded", "Print QSL", ui::Icon::exclamation);
        return;
    }
    QslContact contact;
    contact.date = ctx.text(k_date);
    contact.call = ctx.text(box_control(box::call));
    contact.time_on = ctx.text(box_control(box::time_on));
    contact.rst_sent = ctx.text(box_control(box::rst_sent));
    contact.power = ctx.text(box_control(box::power));
    contact.mode = ctx.text(box_control(box::mode));
    contact.band = logstore::band_of_frequency(ctx.text(box_control(box::frequency)));
    if (!m_env.links.print_qsl_label(ctx, contact)) return;
    // The card is on its way: save the entry with its QSL-sent tick.
    ctx.set_checked(k_qsl_sent, true);
    ctx.post(k_save);
}

bool run_entry_editor(ui::Context& parent, EditorEnv env, int record) {
    if (!log_windows::log_selected(parent, env.log)) return false;
    if (!log_windows::ensure_record_index(parent.host(), &parent, env.log)) return false;
    EntryEditorWindow window(std::move(env), record);
    parent.run_modal(window);
    return window.log_changed();
}

} // namespace kestrel::offline
