#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// The longest file name (one part of a path) the system takes, in bytes.
inline constexpr std::size_t k_file_name_limit = 255;

// The longest path the system takes, in bytes (PATH_MAX, 4096, counts the NUL that ends it). A
// longer one names no file that could ever be opened.
inline constexpr std::size_t k_path_limit = 4095;

// The path with `suffix` added to its file name, shortened when needed so that the name stays
// within k_file_name_limit: the end of the name gives way to a mark drawn from the whole name (so
// that different long names keep different work names), never in the middle of a character.
[[nodiscard]] std::string add_to_file_name(const std::string& path, std::string_view suffix);

} // namespace kestrel

namespace kestrel {

// True when two file names are the same but for the case of their ASCII letters, as the
// platform the station files come from took them to be.
[[nodiscard]] bool same_name_but_case(std::string_view a, std::string_view b);

// The file a path names: the path itself when it exists, else the one file in the same folder
// whose name differs only in case (the first by name when several do), else the path as given,
// for a file yet to be made. Every log and side file is looked up through here, so `MYLOG.LOG`
// opens `mylog.log` and `COUNTRY.LST` finds `Country.lst`. A path or file name longer than the
// system takes is given back as it is, without a look at the folder.
[[nodiscard]] std::string find_file_any_case(const std::string& path);

// True when a copy of `original` made at `copy` would land on the original itself: the same
// path, the same file by another name (a hard or symbolic link), or a folder that is the
// original's own folder. Such a copy would truncate the file it copies.
[[nodiscard]] bool copy_would_be_original(const std::string& copy, const std::string& original);

} // namespace kestrel
