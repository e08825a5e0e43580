#include "countries/call_correction_window.hpp"

#include "logstore/record.hpp"
#include "ui/context.hpp"

namespace kestrel::countries {

ui::Form CallCorrectionWindow::build() const {
    ui::Form form;
    form.caption = "Unrecognised prefix";
    form.frame = {0, 0, 190, 60};
    form.at_default_position = true;
    form.add(ui::label(k_prompt, "Correct this call?", {7, 7, 120, 8}));
    // The box holds no more than the call field does, in capitals as the country list has them.
    form.add(ui::edit(k_call, {7, 20, 120, 12}, ui::upper_case)).text_limit = logstore::k_call_width;
    form.add(ui::button(ui::k_ok, "OK", {135, 6, 48, 14}, ui::default_button));
    form.add(ui::button(ui::k_cancel, "Cancel", {135, 23, 48, 14}));
    form.add(ui::button(k_ask_no_more, "Ask &No More", {135, 40, 48, 14}));
    return form;
}

void CallCorrectionWindow::on_init(ui::Context& ctx) {
    ctx.set_text(k_call, m_call);
    ctx.focus(k_call);
}

void CallCorrectionWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case ui::k_ok: {
        const std::string typed = ctx.text(k_call);
        const std::size_t start = typed.find_first_not_of(' ');
        // A call field starting with "/" marks a note: the contact would be lost among them.
        if (start != std::string::npos && typed[start] == '/') {
            ctx.beep();
            ctx.focus(k_call);
            return;
        }
        m_answer = {CallCorrection::Answer::correct, typed};
        ctx.close(ui::k_ok);
        break;
    }
    case ui::k_cancel:
        m_answer = {};
        ctx.close(ui::k_cancel);
        break;
    case k_ask_no_more:
        m_answer = {CallCorrection::Answer::ask_no_more, {}};
        ctx.close(k_ask_no_more);
        break;
    }
}

CallCorrection ask_call_correction(ui::Context& parent, std::string_view call) {
    CallCorrectionWindow window{std::string(call)};
    parent.run_modal(window);
    return window.answer();
}

} // namespace kestrel::countries
