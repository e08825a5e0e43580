#include "databases/selection_window.hpp"

#include "common/windows1252.hpp"
#include "ui/context.hpp"

namespace kestrel::databases {

namespace {

// DBNAMES.LST is read as comma-separated items: a comma would end a name early and shift the
// names after it, and a double quote would be taken away.
const std::string k_refused = ",\"";

ui::Control box(int id, ui::Rect rect, std::string text) {
    ui::Control c = ui::edit(id, rect);
    c.refused = k_refused;
    c.text = std::move(text);
    return c;
}

// What reading DBNAMES.LST back would give: no blanks around the text.
std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

ui::Form SelectionWindow::build() const {
    ui::Form form;
    form.caption = "Database and CDROM Call Book selection";
    // Wider than the old dialog, whose drive box held one letter: here it may name a directory.
    form.frame = {0, 5, 250, 170};
    form.at_default_position = true;
    form.font = ui::Font{"Courier", 8};
    form.add(ui::label(k_callbook_label, "&Call Book:", {10, 11, 45, 10}));
    // As high as the closed list: the host drops the list down below it.
    ui::Control list = ui::combo(k_callbook, {60, 10, 60, 12});
    for (const char* name : k_callbook_names)
        list.items.emplace_back(name);
    form.add(list);
    form.add(ui::label(k_drive_label, "&Drive:", {125, 11, 30, 10}));
    form.add(box(k_drive, {160, 10, 80, 12}, m_settings.drive.empty() ? k_default_drive : m_settings.drive));
    for (int n = 1; n <= k_database_count; ++n) {
        form.add(ui::label(k_first_name_label + n - 1, "Database &" + std::to_string(n) + ":",
                           {10, 20 * n + 11, 45, 10}));
        form.add(box(k_first_name + n - 1, {60, 20 * n + 10, 60, 12},
                     m_settings.names[static_cast<std::size_t>(n - 1)]));
    }
    form.add(ui::button(ui::k_cancel, "E&xit", {125, 130, 35, 20}));
    form.accelerators = {{{ui::Key::enter}, k_next}, {{ui::Key::tab}, k_next}};
    return form;
}

void SelectionWindow::on_init(ui::Context& ctx) {
    ctx.select(k_callbook, static_cast<int>(m_settings.callbook));
    ctx.focus(k_first_name);
    m_last_box = k_first_name;
}

void SelectionWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    const bool text_box = id == k_drive || (id >= k_first_name && id < k_first_name + k_database_count);
    if (text_box && notify == ui::Notify::focus_gained) {
        m_last_box = id;
        return;
    }
    if (id == k_callbook && notify == ui::Notify::selection_changed) {
        if (const int chosen = ctx.selection(k_callbook); chosen >= 0)
            m_settings.callbook = static_cast<CallbookKind>(chosen);
        m_last_box = k_drive;
        return;
    }
    if (notify != ui::Notify::clicked) return;
    if (id == k_next) next_box(ctx);
    if (id == ui::k_cancel) close(ctx);
}

// From the drive box to the first database, from each database to the next, from the last back
// to the first.
void SelectionWindow::next_box(ui::Context& ctx) {
    const int last_name = k_first_name + k_database_count - 1;
    const int next = (m_last_box == k_drive || m_last_box >= last_name) ? k_first_name : m_last_box + 1;
    ctx.focus(next);
    m_last_box = next;
}

void SelectionWindow::close(ui::Context& ctx) {
    std::string drive = trimmed(ctx.text(k_drive));
    // A drive letter as the old dialog kept it, in capitals; a directory as typed.
    if (drive.size() == 1) drive[0] = windows1252_upper(drive[0]);
    m_settings.drive = drive;
    for (int n = 0; n < k_database_count; ++n)
        m_settings.names[static_cast<std::size_t>(n)] = trimmed(ctx.text(k_first_name + n));
    ctx.close(0);
    if (!write_callbook_settings(m_settings, m_directory))
        ctx.message(std::string(k_names_file) +
                        " could not be written: the callbook and the database names are kept only until the "
                        "program ends.",
                    "Kestrel", ui::Icon::stop);
}

void select_callbook(ui::Context& parent, DatabaseSettings& settings, const std::string& directory) {
    SelectionWindow window(settings, directory);
    parent.run_modal(window);
}

} // namespace kestrel::databases
