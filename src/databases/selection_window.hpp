#pragma once

#include "databases/database_settings.hpp"
#include "ui/window.hpp"

#include <string>

namespace kestrel::databases {

// "Database and CDROM Call Book selection": the callbook, where it is, and the four database
// names. Exit (and Escape) keeps them for the run and writes DBNAMES.LST.
class SelectionWindow final : public ui::Window {
  public:
    enum Id {
        k_callbook_label = 100,
        k_callbook = 101,
        k_drive_label = 102,
        k_drive = 103,
        k_first_name_label = 111, // 111 to 114
        k_first_name = 121,       // 121 to 124
        k_next = 1000,            // Enter and Tab
    };

    // `directory`: where DBNAMES.LST is written.
    SelectionWindow(DatabaseSettings& settings, std::string directory)
        : m_settings(settings), m_directory(std::move(directory)) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    void next_box(ui::Context& ctx);
    void close(ui::Context& ctx);

    DatabaseSettings& m_settings;
    std::string m_directory;
    int m_last_box = k_first_name; // the text box the operator last entered
};

// Set Up/Databases.
void select_callbook(ui::Context& parent, DatabaseSettings& settings, const std::string& directory);

} // namespace kestrel::databases
