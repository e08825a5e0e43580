#include "notepad/notepad_window.hpp"

#include "common/file_names.hpp"
#include "common/side_file.hpp"
#include "notepad/notepad_file.hpp"
#include "ui/context.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace kestrel::notepad {

namespace {

constexpr const char* k_caption = " Note Pad";

int scaled(double value, double scale) {
    return static_cast<int>(std::lround(value * scale));
}

// The box with the caret after its last character: the note kept from the last opening, or the
// file just loaded, is added to, never replaced by the first key.
void focus_box(ui::Context& ctx) {
    ctx.focus(NotepadWindow::k_text);
    const int end = static_cast<int>(ctx.text(NotepadWindow::k_text).size());
    ctx.select_text(NotepadWindow::k_text, {end, end});
}

} // namespace

ui::Form NotepadWindow::build() const {
    // The box starts 20 units in whatever the scale, so a scale below 1 would push it out.
    const double f = std::max(m_env.screen_scale, 1.0);
    ui::Form form;
    form.caption = k_caption;
    form.frame = {0, 0, scaled(316, f), scaled(268, f)};
    form.at_default_position = true;
    form.background = ui::colours::pale_yellow;
    ui::Control box =
        ui::edit(k_text, {20, 5, scaled(290, f), scaled(200, f)}, ui::multi_line | ui::vertical_scroll);
    box.text = m_env.state.note;
    form.add(box);
    const int y = scaled(240, f);
    form.add(ui::button(k_save, "&Save", {scaled(20, f), y, 30, 15}));
    form.add(ui::button(k_load, "&Load", {scaled(60, f), y, 30, 15}));
    form.add(ui::button(k_clear, "&Clear", {scaled(100, f), y, 30, 15}));
    form.add(ui::button(ui::k_cancel, "E&xit", {scaled(266, f), y, 30, 15}));
    return form;
}

void NotepadWindow::on_init(ui::Context& ctx) {
    focus_box(ctx);
}

void NotepadWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_save: save(ctx); break;
    case k_load: load(ctx); break;
    case k_clear:
        // The box no longer holds the file: the next save adds to it again.
        set_note(ctx, "");
        m_env.state.holds_file = false;
        focus_box(ctx);
        break;
    case ui::k_cancel:
        m_env.state.note = ctx.text(k_text);
        ctx.close(0);
        break;
    }
}

void NotepadWindow::set_note(ui::Context& ctx, const std::string& text) {
    ctx.set_text(k_text, text);
    m_env.state.note = text;
}

void NotepadWindow::save(ui::Context& ctx) {
    // Only a box that holds the whole file (after Load) writes the file anew; every other save
    // adds its note after the others, so no earlier note is lost.
    const SaveMode mode = m_env.state.holds_file ? SaveMode::replace : SaveMode::append;
    if (!save_note(m_env.path, stamp_line(ctx.host().now()), note_text(ctx.text(k_text)), mode)) {
        ctx.message(std::string(k_notepad_file) + " could not be written: the note is still in the box.",
                    k_caption, ui::Icon::stop);
        return;
    }
    m_env.state.holds_file = false;
    set_note(ctx, "");
    focus_box(ctx);
}

void NotepadWindow::load(ui::Context& ctx) {
    const auto file = load_side_file(m_env.path);
    if (!file && file.error() == SideFileProblem::missing) return;
    if (!file) {
        ctx.message(std::string(k_notepad_file) + " could not be read.", k_caption, ui::Icon::exclamation);
        return;
    }
    // A note typed and not saved would be gone: the operator says whether that is meant.
    const std::string box = ctx.text(k_text);
    if (!box.empty() && note_text(box) != note_text(*file) &&
        !ctx.confirm_loss("The note in the box has not been saved. Load " + std::string(k_notepad_file) +
                              " in its place?",
                          k_caption)) {
        return;
    }
    set_note(ctx, *file);
    m_env.state.holds_file = true;
    focus_box(ctx);
}

void show_notepad(ui::Context& owner, NotepadState& state, const std::string& directory) {
    std::string path = directory;
    if (!path.empty() && !path.ends_with('/')) path += '/';
    path += k_notepad_file;
    NotepadWindow window({state, find_file_any_case(path), owner.host().screen_height() / 480.0});
    owner.run_modal(window);
}

} // namespace kestrel::notepad
