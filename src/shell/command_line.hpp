#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::shell {

// What the command line asks for. Help and version are answered on the terminal, before the
// window system is touched, so they work without a display.
enum class CommandAction { run, help, version, error };

struct CommandLine {
    CommandAction action = CommandAction::run;
    std::optional<std::string> home; // --home DIR: the data directory chosen for this run
    // The program's name and every argument that is not Kestrel's own, in order, for the
    // window toolkit (its -platform, -display, -style...). What it does not take is an error.
    std::vector<std::string> passed_on;
    std::string error; // why the line was refused, when the action is error
};

// Reads Kestrel's own options out of the arguments (argv[0] first). --help and --version win
// over everything else on the line, so a mistyped line can still ask for help.
[[nodiscard]] CommandLine parse_command_line(const std::vector<std::string_view>& args);

// The text --help prints, ending in a line end.
[[nodiscard]] std::string help_text();

} // namespace kestrel::shell
