#include "browse/list_window.hpp"

#include "browse/browse_window.hpp"
#include "common/number_text.hpp"
#include "common/side_file.hpp"
#include "log_windows/load_log.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/record.hpp"
#include "ui/context.hpp"

#include <algorithm>
#include <cmath>

namespace kestrel::browse {

namespace {

constexpr std::string_view k_title = "Kestrel";
constexpr ui::Colour k_heading_text{255, 255, 0};
constexpr int k_call_pattern_limit = logstore::k_call_width + 1; // a whole call and "*"

std::string delete_title(int n) {
    return n == 1 ? "Delete Entry" : "Delete these" + number_text(n) + " Entries";
}

} // namespace

int ListWindow::scaled(int value) const {
    return static_cast<int>(std::lround(value * m_env.scale_factor));
}

int ListWindow::visible_lines() const {
    if (m_env.scale_factor > 1.3) return 42;
    if (m_env.scale_factor > 1.1) return 32;
    return 24;
}

ui::Form ListWindow::build() const {
    ui::Form form;
    form.caption = "KESTREL v6    List by Call or Comment" + std::string(30, ' ') + m_env.log.path();
    form.frame = {0, 0, scaled(316), scaled(268)};
    form.at_default_position = true;
    form.font = ui::Font{"Courier", 8};
    form.add(ui::label(k_call_label, "&Call:", {6, 4, 20, 8}));
    // Each box holds no more than the field it is looked for in (a call may carry the star that
    // makes it a prefix): a longer text could never be found.
    form.add(ui::edit(k_call, {26, 2, 52, 12}, ui::upper_case)).text_limit = k_call_pattern_limit;
    form.add(ui::label(k_comment_label, "Commen&t:", {105, 4, 32, 8}));
    form.add(ui::edit(k_comment, {140, 2, 78, 12})).text_limit = logstore::k_comment_width;
    form.add(ui::button(k_search, "&Search", {240, 2, 28, 12}, ui::default_button));
    form.add(ui::button(k_file, "&File", {280, 2, 28, 12})).enabled = false;
    ui::Control& heading =
        form.add(ui::label(k_heading, list_heading(), {2, 20, scaled(310), 12}, ui::static_edge));
    heading.foreground = k_heading_text;
    heading.background = ui::colours::blue;
    form.add(
        ui::list(k_list, {2, 32, scaled(310), scaled(218)}, ui::extended_selection | ui::vertical_scroll));
    // Entries are not deleted while on-line logging may be rewriting the one in progress.
    if (!m_env.online_logging_open)
        form.add(ui::button(k_delete, "DELETE", {scaled(120), scaled(245), 30, 15}));
    form.add(ui::button(ui::k_cancel, "E&xit", {scaled(260), scaled(245), 30, 15}));
    form.add(ui::label(k_entries_label, "Entries:", {20, scaled(244), 34, 8}));
    form.add(ui::edit(k_entries, {56, scaled(243), number_box_width(), 10}, ui::read_only));
    form.accelerators = {{{ui::Key::page_up}, k_page_up}, {{ui::Key::page_down}, k_page_down}};
    return form;
}

void ListWindow::on_init(ui::Context& ctx) {
    m_mode = Mode::call;
    if (m_start_text.empty()) return;
    ctx.set_text(k_call, m_start_text);
    ctx.focus(k_call);
    // Listed once the window is on screen, so that "not found" is told over it.
    ctx.post(k_search);
}

void ListWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify == ui::Notify::focus_gained) {
        // The box last entered says what is searched for; the other one is cleared.
        if (id == k_call) {
            ctx.set_text(k_comment, "");
            m_mode = Mode::call;
        } else if (id == k_comment) {
            ctx.set_text(k_call, "");
            m_mode = Mode::comment;
        }
        return;
    }
    if (notify != ui::Notify::clicked && notify != ui::Notify::posted) return;
    switch (id) {
    case k_search: search(ctx); break;
    case k_file: write_file(ctx); break;
    case k_delete: delete_selected(ctx); break;
    case k_page_up: page(ctx, -1); break;
    case k_page_down: page(ctx, +1); break;
    case ui::k_cancel: ctx.close(0); break;
    }
}

void ListWindow::search(ui::Context& ctx) {
    const bool by_call = m_mode == Mode::call;
    const std::string wanted = ctx.text(by_call ? k_call : k_comment);
    if (wanted.empty()) return;
    auto found = by_call ? list_by_call(m_env.log, wanted, m_env.band_names)
                         : list_by_comment(m_env.log, wanted, m_env.band_names);
    m_entries.clear();
    ctx.clear_items(k_list);
    ctx.enable(k_file, false);
    if (!found) {
        ctx.set_text(k_entries, "");
        log_windows::tell_log_error(ctx, found.error());
        return;
    }
    m_entries = std::move(found->entries);
    ctx.set_items(k_list, std::move(found->lines));
    ctx.set_text(k_entries, number_text(static_cast<int>(m_entries.size())));
    if (m_entries.empty()) {
        ctx.message(by_call ? "Callsign not found" : "Comment not found", "");
        return;
    }
    ctx.enable(k_file);
}

void ListWindow::write_file(ui::Context& ctx) {
    if (!write_side_file(std::string(k_list_file), list_file_text(ctx.control(k_list).items))) {
        // The button stays enabled, so the operator can try again once the fault is put right.
        ctx.message(std::string(k_list_file) + " could not be written.", k_title, ui::Icon::stop);
        return;
    }
    ctx.enable(k_file, false);
}

void ListWindow::delete_selected(ui::Context& ctx) {
    const std::vector<int> chosen = ctx.selections(k_list);
    const int n = static_cast<int>(chosen.size());
    if (n == 0) return;
    if (!ctx.confirm_loss("Are you sure?", delete_title(n))) return;
    std::vector<ListedEntry> doomed;
    for (int line : chosen)
        if (line < static_cast<int>(m_entries.size()))
            doomed.push_back(m_entries[static_cast<std::size_t>(line)]);
    const Deletion done = delete_listed(m_env.log, std::move(doomed));
    if (!done.status) {
        log_windows::tell_log_error(ctx, done.status.error());
    } else if (done.entry_changed) {
        ctx.message("The log has changed since it was listed, so nothing more was deleted. "
                    "Check the list and delete again.",
                    k_title, ui::Icon::stop);
    }
    search(ctx);
    ctx.focus(k_list);
}

void ListWindow::page(ui::Context& ctx, int direction) {
    const int lines = visible_lines();
    const int entries = ctx.item_count(k_list);
    const int top = ctx.top_index(k_list);
    if (direction > 0) {
        if (lines < entries) ctx.set_top_index(k_list, std::min(top + lines, entries - lines));
    } else {
        ctx.set_top_index(k_list, std::max(top - lines, 0));
    }
}

void run_list(ui::Context& parent, ListEnv env, std::string_view start_text) {
    if (!log_windows::log_selected(parent, env.log)) return;
    if (!log_windows::ensure_record_index(parent.host(), &parent, env.log)) return;
    ListWindow window(env, std::string(start_text));
    parent.run_modal(window);
}

} // namespace kestrel::browse
