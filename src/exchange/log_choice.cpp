#include "exchange/log_choice.hpp"

#include "common/number_text.hpp"
#include "exchange/log_copy.hpp"
#include "log_windows/log_messages.hpp"
#include "ui/context.hpp"

#include <filesystem>

namespace kestrel::exchange {

namespace {

constexpr std::string_view k_program_name = "Kestrel";

std::string current_directory() {
    std::error_code ec;
    const auto dir = std::filesystem::current_path(ec);
    return ec ? std::string(".") : dir.string();
}

} // namespace

std::optional<std::string> pick_log_file(ui::Context& ctx, LogPick pick) {
    ui::FileRequest request;
    request.title = "Open a Log file";
    request.filter_name = "Log Files (*.LOG)";
    request.patterns = "*.LOG";
    request.default_extension = "LOG";
    request.directory = current_directory();
    request.must_exist = pick != LogPick::write;
    request.position = ui::Point{100, 100};
    auto chosen = ctx.host().open_file(&ctx, request);
    if (!chosen || chosen->empty()) return std::nullopt;
    if (pick != LogPick::read && chosen->find(',') != std::string::npos) {
        ctx.message("A log's name or folder cannot hold a comma: Kestrel could not find it again at the next "
                    "start.\r\n" +
                        *chosen,
                    k_program_name, ui::Icon::exclamation);
        return std::nullopt;
    }
    return chosen;
}

bool may_replace_log(ui::Context& ctx, logstore::FileSystem& files, const std::string& path,
                     const std::string& in_use, std::string_view what) {
    // Any bytes at all count: even a file too short to hold an entry is not silently replaced.
    if (bytes_in(files, path) == 0) return true;
    const int held = records_in(files, path);
    if (!in_use.empty() && same_file(files, path, in_use)) {
        ctx.message(
            path + " is the log in use and holds" + number_text(held) +
                " entries.\r\nChoose another name for the new log, or start an empty log with Files/New "
                "first.",
            k_program_name, ui::Icon::exclamation);
        return false;
    }
    return ctx.confirm_loss(path + " already holds" + number_text(held) +
                                " entries.\r\nReplace them with the " + std::string(what) +
                                " entries? Every entry in it now will be lost.",
                            k_program_name);
}

bool open_program_log(ui::Context& ctx, logstore::LogStore& log, const std::string& path) {
    if (path.empty()) return false;
    if (const auto status = log.open_log(path); !status) {
        log_windows::tell_log_error(ctx, status.error(), path);
        return false;
    }
    log_windows::tell_recovery(ctx, log.recovery(), path);
    return true;
}

} // namespace kestrel::exchange
