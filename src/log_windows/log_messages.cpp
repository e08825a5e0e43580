#include "log_windows/log_messages.hpp"

#include "logstore/log_store.hpp"
#include "ui/context.hpp"

#include <string>

namespace kestrel::log_windows {

bool log_selected(ui::Context& parent, const logstore::LogStore& log) {
    if (log.is_open()) return true;
    parent.message(logstore::k_no_log_text, k_log_message_title);
    return false;
}

void tell_log_error(ui::Context& ctx, logstore::LogError error, std::string_view path,
                    std::string_view title) {
    ctx.message(logstore::log_error_text(error, path), title, ui::Icon::stop);
}

void tell_log_error(ui::Host& host, ui::Context* owner, logstore::LogError error, std::string_view path) {
    host.message_box(owner, ui::Message{logstore::log_error_text(error, path),
                                        std::string(k_log_message_title), ui::Icon::stop, ui::Buttons::ok});
}

void tell_recovery(ui::Context& ctx, logstore::Recovery what, const std::string& path) {
    if (what == logstore::Recovery::none) return;
    ctx.message(logstore::recovery_text(what, path), k_log_message_title, ui::Icon::information);
}

void tell_recovery(ui::Host& host, ui::Context* owner, logstore::Recovery what, const std::string& path) {
    if (what == logstore::Recovery::none) return;
    host.message_box(owner, ui::Message{logstore::recovery_text(what, path), std::string(k_log_message_title),
                                        ui::Icon::information, ui::Buttons::ok});
}

} // namespace kestrel::log_windows
