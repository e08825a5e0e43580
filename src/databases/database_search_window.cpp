#include "databases/database_search_window.hpp"

#include "common/fixed_text.hpp"
#include "common/side_file.hpp"
#include "ui/context.hpp"

#include <algorithm>
#include <filesystem>

namespace kestrel::databases {

namespace {

constexpr const char* k_title = "Database Search";
constexpr int k_first_row = 50;
constexpr int k_row_step = 15;
constexpr int k_least_width = 220;
constexpr int k_height = 240;
// A long field name or a wide field would push the window off the screen; past these the label
// is cut and the box scrolls.
constexpr int k_widest_label = 4 * 30 + 2;
constexpr int k_widest_box = 400;

int label_width(const EdbDatabase& db) {
    std::size_t longest = 0;
    for (int i = 0; i < db.field_count(); ++i)
        longest = std::max(longest, trim_trailing_spaces(db.field_name(i)).size());
    return std::min(4 * static_cast<int>(longest) + 2, k_widest_label);
}

int box_width(const EdbDatabase& db, int field) {
    return std::min(4 * static_cast<int>(db.width(field)) + 4, k_widest_box);
}

// A field as its box shows it: without its padding, and empty when it is all blanks.
std::string shown(std::string_view field) {
    return std::string(trim_trailing_spaces(field));
}

} // namespace

DatabaseSearchWindow::DatabaseSearchWindow(SearchEnv env) : m_env(std::move(env)) {
    if (m_env.name.empty()) return;
    std::error_code error;
    if (!std::filesystem::exists(m_env.path, error)) {
        m_opening = Opening::not_found;
        return;
    }
    const std::optional<std::string> bytes = read_side_file(m_env.path);
    if (!bytes) {
        m_opening = Opening::unreadable;
        return;
    }
    Result<EdbDatabase, EdbProblem> db = EdbDatabase::read(*bytes);
    if (!db) {
        m_opening = db.error() == EdbProblem::no_fields ? Opening::no_fields : Opening::too_many_fields;
        return;
    }
    m_db = std::move(db).value();
    m_opening = Opening::ready;
}

ui::Form DatabaseSearchWindow::build() const {
    ui::Form form;
    form.caption = k_title;
    form.frame = {0, 0, k_least_width, k_height};
    form.at_default_position = true;
    form.font = ui::Font{"Courier", 10};
    form.add(ui::label(k_name_label, "Database", {5, 10, 40, 10}));
    ui::Control name = ui::edit(k_name, {47, 10, 80, 10}, ui::read_only);
    name.text = m_env.name;
    name.background = ui::colours::white;
    form.add(name);

    int bottom = 0; // of the last box
    if (m_db) {
        form.add(ui::label(k_search_label, "Search for", {5, 30, 45, 10}));
        form.add(ui::edit(k_search, {52, 30, 100, 12}));
    }
    if (has_boxes()) {
        const int labels = label_width(*m_db);
        for (int i = 0; i < m_db->field_count(); ++i) {
            const int y = k_first_row + k_row_step * i;
            const std::string field_name(trim_trailing_spaces(m_db->field_name(i)));
            form.add(ui::label(k_first_label + i, field_name, {5, y, labels, 10}));
            ui::Control box = ui::edit(k_first_field + i, {labels + 10, y, box_width(*m_db, i), 10});
            box.text_limit = static_cast<int>(m_db->width(i));
            box.refused = ":"; // a colon in a field would split the record
            form.add(box);
            bottom = y + 10;
            form.frame.w = std::max(form.frame.w, labels + 10 + box_width(*m_db, i) + 5);
        }
    }
    // Under the last field: eleven fields reach past where the help would otherwise stand.
    const int help = std::max(205, bottom + 5);
    form.add(ui::label(k_enter_help, "ENTER to search   ESC to exit", {25, help, 120, 10}));
    form.add(ui::label(k_keys_help, "F1 to Copy   F12 to Save", {25, help + 15, 100, 10}));
    form.accelerators = {{{ui::Key::enter}, k_enter}, {{ui::Key::f1}, k_copy}, {{ui::Key::f12}, k_save}};
    return form;
}

void DatabaseSearchWindow::on_init(ui::Context& ctx) {
    const std::string& name = m_env.name;
    switch (m_opening) {
    case Opening::no_name: return;
    case Opening::not_found: ctx.message("Data Base Not Found", k_title); return;
    case Opening::unreadable:
        ctx.message(name + " could not be read.", k_title, ui::Icon::exclamation);
        return;
    case Opening::no_fields:
        ctx.message(name +
                        " is not a database: its first line should name the fields, each followed by \":\".",
                    k_title, ui::Icon::exclamation);
        return;
    case Opening::too_many_fields:
        ctx.message(name + " has more than " + std::to_string(k_most_fields) +
                        " fields: a database can have " + std::to_string(k_most_fields) + " at most.",
                    k_title, ui::Icon::exclamation);
        return;
    case Opening::ready: break;
    }
    show_counts(ctx);
    if (m_db->records_beyond_limit() > 0)
        ctx.message(name + " has " + std::to_string(m_db->record_count()) + " records: the first " +
                        std::to_string(k_most_records) + " are searched, and the rest are kept as they are.",
                    k_title, ui::Icon::exclamation);
    ctx.focus(k_search);
    m_new_search = true;
}

void DatabaseSearchWindow::show_counts(ui::Context& ctx) {
    ctx.set_caption("Data Base Search     Total Entites: " + std::to_string(m_db->record_count()) +
                    "  Worked " + std::to_string(m_db->worked_count()));
}

void DatabaseSearchWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (id == k_search) {
        // Coming back to the search box, or asking for something else, starts again from the top.
        if (notify == ui::Notify::focus_gained || notify == ui::Notify::changed) m_new_search = true;
        return;
    }
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_enter:
        if (ctx.focused() == k_search && m_db) {
            search(ctx);
        } else {
            ctx.focus_next(); // as Tab
        }
        break;
    case k_copy: copy(ctx); break;
    case k_save: save(ctx); break;
    case ui::k_cancel: close(ctx); break;
    }
}

void DatabaseSearchWindow::clear_boxes(ui::Context& ctx) {
    if (!has_boxes()) return;
    for (int i = 0; i < m_db->field_count(); ++i)
        ctx.set_text(k_first_field + i, "");
}

void DatabaseSearchWindow::search(ui::Context& ctx) {
    const std::string wanted = ctx.text(k_search);
    if (wanted.empty()) return;
    if (m_new_search) {
        m_position = -1;
        m_new_search = false;
    }
    clear_boxes(ctx);
    m_shown = -1;
    const std::optional<int> found = m_db->find(wanted, m_position);
    if (!found) {
        ctx.message("End of DataBase", k_title);
        // The next Enter looks from the top again, and no record is there to be saved.
        m_new_search = true;
        ctx.focus(k_search);
        return;
    }
    m_position = m_shown = *found;
    const std::vector<std::string> fields = m_db->fields(*found);
    for (int i = 0; i < m_db->field_count(); ++i)
        ctx.set_text(k_first_field + i, shown(fields[static_cast<std::size_t>(i)]));
}

void DatabaseSearchWindow::copy(ui::Context& ctx) {
    if (!has_boxes()) return;
    const std::pair<CopyField, const std::string*> copies[] = {{CopyField::call, &m_env.copy.call},
                                                               {CopyField::band, &m_env.copy.band},
                                                               {CopyField::date, &m_env.copy.date}};
    for (const auto& [what, value] : copies) {
        const int field = m_db->copy_target(what);
        // Cut to the field, as the box would have taken it from the keyboard.
        if (field >= 0) ctx.set_text(k_first_field + field, value->substr(0, m_db->width(field)));
    }
}

void DatabaseSearchWindow::save(ui::Context& ctx) {
    if (m_shown < 0) {
        ctx.message("No Data", "");
        return;
    }
    if (ctx.text(k_first_field).empty()) {
        ctx.message("No data in box 1", "");
        return;
    }
    std::vector<std::string> texts;
    for (int i = 0; i < m_db->field_count(); ++i)
        texts.push_back(ctx.text(k_first_field + i));
    clear_boxes(ctx);
    m_db->replace_record(m_shown, texts);
    m_modified = true;
    // The boxes are empty now: a second F12 must not save them over the record.
    m_shown = -1;
    show_counts(ctx);
}

void DatabaseSearchWindow::close(ui::Context& ctx) {
    while (m_modified && !write_side_file(m_env.path, m_db->text())) {
        const ui::Answer answer =
            ctx.message(m_env.name + " could not be written. Its file is as it was before this "
                                     "window opened; Cancel gives up the records saved here.",
                        k_title, ui::Icon::stop, ui::Buttons::retry_cancel);
        if (answer != ui::Answer::retry) break;
    }
    ctx.close(0);
}

void database_search(ui::Context& owner, const DatabaseSettings& settings, int database,
                     const CopyValues& copy, const std::string& directory) {
    if (database < 1 || database > k_database_count) return;
    const std::string& name = settings.names[static_cast<std::size_t>(database - 1)];
    DatabaseSearchWindow window({name, database_file(directory, name), copy});
    owner.run_modal(window);
}

} // namespace kestrel::databases
