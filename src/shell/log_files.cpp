#include "shell/log_files.hpp"

#include "common/file_names.hpp"
#include "common/number_text.hpp"
#include "common/text_items.hpp"
#include "log_windows/load_log.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/log_store.hpp"
#include "shell/shell_state.hpp"
#include "ui/context.hpp"

#include <filesystem>
#include <system_error>

namespace kestrel::shell {

namespace {

void tell(ui::Host& host, ui::Context* owner, const std::string& text, ui::Icon icon = ui::Icon::stop) {
    host.message_box(owner, ui::Message{text, std::string(k_program_name), icon, ui::Buttons::ok});
}

std::string file_name_of(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name beside the log for the bytes set aside, one that holds nothing yet.
std::string free_side_name(const std::string& log_path) {
    std::string name = add_to_file_name(log_path, ".PART");
    std::error_code ec;
    for (int n = 2; std::filesystem::exists(name, ec); ++n)
        name = add_to_file_name(log_path, ".PART" + std::to_string(n));
    return name;
}

void offer_to_set_aside(ui::Host& host, ui::Context* owner, logstore::LogStore& log,
                        const std::string& path) {
    const int extra = log.trailing_bytes();
    const std::string side = free_side_name(path);
    const std::string text =
        "The log " + path + " ends with" + number_text(extra) +
        " bytes that do not make a whole record.\r\n" + "Kestrel reads its" +
        number_text(log.record_count()) +
        " whole records and will not change the log's length while those bytes are there.\r\n\r\n" +
        "Save the bytes to " + file_name_of(side) + " and take them off the end of the log?";
    const ui::Answer answer = host.message_box(
        owner, ui::Message{text, std::string(k_program_name), ui::Icon::question, ui::Buttons::yes_no});
    if (answer != ui::Answer::yes) return;
    if (const auto status = log.set_aside_partial_record(side); !status)
        log_windows::tell_log_error(host, owner, status.error());
}

void reopen(ui::Host& host, ui::Context& owner, logstore::LogStore& log, const std::string& path) {
    if (!path.empty()) open_log_checked(host, &owner, log, path);
}

std::optional<std::uintmax_t> size_of(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return std::nullopt;
    return size;
}

} // namespace

ui::FileRequest log_file_request(LogChoice choice, const std::string& directory) {
    ui::FileRequest r;
    r.title = "Open a Log file";
    r.filter_name = "Log Files (*.LOG)";
    r.patterns = "*.LOG";
    r.default_extension = "LOG";
    r.directory = directory;
    r.must_exist = choice == LogChoice::existing;
    r.position = ui::Point{100, 100};
    return r;
}

std::optional<std::string> choose_log_file(ui::Host& host, ui::Context* owner, LogChoice choice,
                                           const std::string& directory) {
    auto chosen = host.open_file(owner, log_file_request(choice, directory));
    if (!chosen || chosen->empty()) return std::nullopt;
    if (!storable_item(*chosen)) {
        tell(host, owner,
             "A log's name or folder cannot hold a double quote or a line end: Kestrel could not find it "
             "again at the next start.\r\n" +
                 *chosen,
             ui::Icon::exclamation);
        return std::nullopt;
    }
    return chosen;
}

bool open_log_checked(ui::Host& host, ui::Context* owner, logstore::LogStore& log, const std::string& path) {
    if (const auto status = log.open_log(path); !status) {
        log_windows::tell_log_error(host, owner, status.error(), path);
        return false;
    }
    log_windows::tell_recovery(host, owner, log.recovery(), path);
    if (!log.looks_like_log()) {
        tell(host, owner,
             path + " does not look like a log: its first entries hold no dates, times or calls a log "
                    "holds, or it is shorter than one entry. Kestrel shows it as it is and changes nothing "
                    "in it; open another log with Files/Open.",
             ui::Icon::exclamation);
        return true;
    }
    if (log.read_only())
        tell(host, owner,
             "The log " + path +
                 " can only be read: Kestrel shows it, but no entry can be added, changed or deleted until "
                 "the file may be written (its permissions, or a disk mounted read-only).",
             ui::Icon::information);
    if (log.trailing_bytes() > 0) offer_to_set_aside(host, owner, log, path);
    return true;
}

void open_other_log(ui::Host& host, ui::Context& owner, logstore::LogStore& log) {
    const std::string remembered = log.path();
    log.close_log();
    const std::string directory = std::filesystem::current_path().string();
    const std::string path =
        choose_log_file(host, &owner, LogChoice::existing, directory).value_or(remembered);
    if (path.empty()) return;
    bool opened = open_log_checked(host, &owner, log, path);
    if (!opened && path != remembered) {
        reopen(host, owner, log, remembered);
        opened = log.is_open();
    }
    log.set_index_loaded(false);
    if (opened) log_windows::build_index_with_progress(host, &owner, log);
}

void start_new_log(ui::Host& host, ui::Context& owner, logstore::LogStore& log) {
    const std::string remembered = log.path();
    log.close_log();
    const std::string directory = std::filesystem::current_path().string();
    const auto chosen = choose_log_file(host, &owner, LogChoice::any, directory);
    if (!chosen) {
        reopen(host, owner, log, remembered);
        return;
    }
    if (const auto size = size_of(*chosen); size && *size > 0) {
        const long long records = static_cast<long long>(*size / logstore::k_record_size);
        const std::string text = *chosen + " already holds" + number_text(records) +
                                 " records.\r\nMake it a new, empty log? Every record in it will be lost.";
        if (!owner.confirm_loss(text, k_program_name)) {
            reopen(host, owner, log, remembered);
            return;
        }
    }
    if (const auto status = log.create_log(*chosen); !status) {
        log_windows::tell_log_error(host, &owner, status.error(), *chosen);
        reopen(host, owner, log, remembered);
    }
}

} // namespace kestrel::shell
