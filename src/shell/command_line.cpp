#include "shell/command_line.hpp"

namespace kestrel::shell {

namespace {

constexpr std::string_view k_home_option = "--home";

} // namespace

CommandLine parse_command_line(const std::vector<std::string_view>& args) {
    CommandLine line;
    bool help = false;
    bool version = false;
    if (!args.empty()) line.passed_on.emplace_back(args.front());
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (arg == k_home_option || arg.starts_with("--home=")) {
            std::string_view dir;
            if (arg == k_home_option) {
                if (i + 1 < args.size()) dir = args[++i];
            } else {
                dir = arg.substr(k_home_option.size() + 1);
            }
            if (dir.empty()) {
                if (line.error.empty()) line.error = "--home needs a directory: kestrel --home DIR";
            } else {
                line.home = std::string(dir);
            }
        } else {
            line.passed_on.emplace_back(arg);
        }
    }
    if (help || version) {
        line.action = help ? CommandAction::help : CommandAction::version;
        line.error.clear();
    } else if (!line.error.empty()) {
        line.action = CommandAction::error;
    }
    return line;
}

std::string help_text() {
    return "Usage: kestrel [--home DIR]\n"
           "Kestrel, a station logbook for the amateur-radio operator.\n"
           "\n"
           "  --home DIR  keep the log and its side files in DIR; without it Kestrel uses\n"
           "              $KESTREL_HOME, or else ~/kestrel. A directory that does not exist\n"
           "              is created, and the files that come with Kestrel are copied into\n"
           "              it where they are missing; a file already there is never replaced.\n"
           "  --help      show this text and leave\n"
           "  --version   show Kestrel's version and leave\n"
           "\n"
           "Qt's own options (-platform, -display, -style...) are passed on to Qt.\n";
}

} // namespace kestrel::shell
