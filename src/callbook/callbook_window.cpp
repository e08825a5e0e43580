#include "callbook/callbook_window.hpp"

#include "callbook/sources.hpp"
#include "ui/context.hpp"

namespace kestrel::callbook {

namespace {

constexpr ui::Colour k_pale_yellow{255, 255, 192};

} // namespace

std::string callbook_title(databases::CallbookKind kind) {
    switch (kind) {
    case databases::CallbookKind::buckmaster: return "Buckmaster Callbook";
    case databases::CallbookKind::flying_horse: return "Flying Horse Callbook";
    case databases::CallbookKind::qrz: return "QRZ Ham Radio Callbook";
    case databases::CallbookKind::none: break;
    }
    return "Callbook";
}

ui::Form CallbookWindow::build() const {
    CallbookRecord record;
    if (m_lookup)
        record = m_lookup.value();
    else
        record.call = m_lookup.error();
    ui::Form form;
    form.caption = callbook_title(m_kind);
    form.frame = {0, 0, 250, 120};
    form.at_default_position = true;
    form.font = ui::Font{"Courier", 8};
    form.background = k_pale_yellow;
    const auto line = [&form](int id, std::string text, int y) {
        form.add(ui::label(id, std::move(text), {5, y, 200, 10}));
    };
    line(k_call, "Call: " + record.call, 10);
    line(k_name, "Name: " + record.name, 22);
    form.add(ui::label(k_qth_label, "QTH: ", {5, 34, 25, 10}));
    // Beside its label rather than under its end, so that the first letters are not hidden.
    form.add(ui::label(k_qth, record.qth, {30, 34, 215, 20}));
    line(k_longitude, "Longitude: " + record.longitude, 58);
    line(k_latitude, "Latitude : " + record.latitude, 70);
    line(k_grid_square, "Grid Square: " + record.grid_square, 82);
    line(k_email, "E-Mail: " + record.email, 94);
    form.add(ui::button(ui::k_cancel, "E&xit", {215, 100, 30, 15}, ui::default_button));
    return form;
}

void CallbookWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (id == ui::k_cancel && notify == ui::Notify::clicked) ctx.close();
}

void show_callbook(ui::Context& owner, databases::CallbookKind kind, Source& source,
                   const std::string& call) {
    if (kind == databases::CallbookKind::none) return;
    if (call.find_first_not_of(' ') == std::string::npos) return;
    owner.host().wait_cursor(true);
    Lookup lookup = source.lookup_call(call);
    owner.host().wait_cursor(false);
    CallbookWindow window(kind, std::move(lookup));
    owner.run_modal(window);
}

void show_callbook(ui::Context& owner, const databases::DatabaseSettings& settings,
                   const std::string& program_directory, const std::string& call) {
    if (settings.callbook == databases::CallbookKind::none) return;
    const std::unique_ptr<Source> source = make_source(settings, program_directory);
    show_callbook(owner, settings.callbook, *source, call);
}

} // namespace kestrel::callbook
