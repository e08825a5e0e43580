#pragma once

#include <filesystem>
#include <string>

namespace kestrel::testing {

// A fresh directory under the system's temporary directory, removed with everything in it
// when the object goes. Tests make their files here and never in the source tree.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

  private:
    std::filesystem::path m_path;
};

// Writes bytes to a file, replacing it; reads a whole file back (empty when absent).
void write_file(const std::filesystem::path& path, const std::string& bytes);
std::string read_file(const std::filesystem::path& path);

} // namespace kestrel::testing

namespace kestrel::testing {

// Makes a directory the current one for the life of the object; the program keeps its files
// in the current directory, as an operator's station directory.
class ScopedCurrentDir {
  public:
    explicit ScopedCurrentDir(const std::filesystem::path& dir)
        : m_previous(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~ScopedCurrentDir() {
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
    }
    ScopedCurrentDir(const ScopedCurrentDir&) = delete;
    ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

  private:
    std::filesystem::path m_previous;
};

} // namespace kestrel::testing
