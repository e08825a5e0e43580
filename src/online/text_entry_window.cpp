#include "online/text_entry_window.hpp"

#include "logstore/record.hpp"
#include "ui/context.hpp"

namespace kestrel::online {

ui::Form TextEntryWindow::build() const {
    ui::Form form;
    form.caption = "Text Entry:";
    form.frame = {40, 120, 300, 36};
    form.frame_style = 0; // a thin border and no caption bar
    form.font = ui::Font{"Courier", 8};
    ui::Control box = ui::edit(k_text, {4, 4, 292, 12});
    box.text_limit = logstore::k_note_width;
    form.add(std::move(box));
    // Enter logs the text: it is what the operator opened the window for.
    form.add(ui::button(k_log, "&LOG", {4, 20, 40, 13}, ui::default_button));
    form.add(ui::button(k_cancel, "&Cancel", {50, 20, 40, 13}));
    return form;
}

void TextEntryWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    if (id == k_log) {
        m_text = ctx.text(k_text);
        ctx.close(1);
    } else if (id == k_cancel) {
        ctx.close(0);
    }
}

} // namespace kestrel::online
