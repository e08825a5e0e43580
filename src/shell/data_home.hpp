#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::shell {

// The directory the program keeps the log and its side files in: the one named on the command
// line, else $KESTREL_HOME, else "kestrel" in the operator's home directory. A relative name is
// taken from the current directory, and the result is absolute.
struct DataHomeChoice {
    std::filesystem::path dir;
    std::string problem; // why none could be chosen (no home directory known); empty on success
};

[[nodiscard]] DataHomeChoice choose_data_home(const std::optional<std::string>& option,
                                              const char* kestrel_home_env, const char* home_env);

struct DataHomeReady {
    // Why the directory cannot be used (it could not be made, or is a file); empty on success.
    std::string problem;
    bool created = false;                        // the directory was new
    std::optional<std::filesystem::path> source; // where the shipped files were found
    std::vector<std::string> copied;             // the files put in this time
    std::vector<std::string> not_copied;         // the files that could not be put in, and why
};

// Makes the directory when it is missing and puts in every shipped file it lacks, from the first
// of `sources` that is a directory (the installed data, then the source tree's). A name already
// in the directory, in any letter case and even as a dangling link, is left alone, so the
// operator's files are never replaced; a copy goes in under its name only once it is whole.
[[nodiscard]] DataHomeReady prepare_data_home(const std::filesystem::path& dir,
                                              const std::vector<std::filesystem::path>& sources);

} // namespace kestrel::shell
