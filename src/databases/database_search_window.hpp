#pragma once

#include "databases/database_settings.hpp"
#include "databases/edb_file.hpp"
#include "ui/window.hpp"

#include <optional>
#include <string>
#include <vector>

namespace kestrel::databases {

// The contact in hand in the logging window that opens a search: F1 copies these into the
// record's CALL, BAND and DATE fields.
struct CopyValues {
    std::string call;
    std::string band; // the band, or the frequency, as that window shows it
    std::string date;
};

// What one search works on.
struct SearchEnv {
    std::string name; // as the operator named the database, shown in the window
    std::string path; // the file: the name, taken from the station directory when relative
    CopyValues copy;
};

// "Database Search": one database looked up by any field, one record at a time; F1 copies the
// contact into the record shown, F12 saves it, and a changed database is written back (in one
// go) when the window closes.
class DatabaseSearchWindow final : public ui::Window {
  public:
    enum Id {
        k_name_label = 100,
        k_name = 101,
        k_search_label = 102,
        k_search = 103,
        k_enter_help = 104,
        k_keys_help = 105,
        k_first_label = 200, // a label per field, 200 to 210
        k_first_field = 300, // a box per field, 300 to 310
        // Keys.
        k_enter = 1000,
        k_copy = 1001,
        k_save = 1002,
    };

    // Reads the database, so that the window is built to its fields.
    explicit DatabaseSearchWindow(SearchEnv env);
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

    bool modified() const { return m_modified; }

  private:
    enum class Opening { no_name, not_found, unreadable, no_fields, too_many_fields, ready };

    bool has_boxes() const { return m_db && m_db->record_count() > 0; }
    void search(ui::Context& ctx);
    void clear_boxes(ui::Context& ctx);
    void copy(ui::Context& ctx);
    void save(ui::Context& ctx);
    void show_counts(ui::Context& ctx);
    void close(ui::Context& ctx);

    SearchEnv m_env;
    Opening m_opening = Opening::no_name;
    std::optional<EdbDatabase> m_db;
    int m_position = -1; // the last record shown; the next search goes on after it
    int m_shown = -1;    // the record whose fields the boxes hold, -1 for none
    bool m_new_search = true;
    bool m_modified = false;
};

// Opens database 1 to 4 of the settings over the owner. The station directory is where relative
// names are found.
void database_search(ui::Context& owner, const DatabaseSettings& settings, int database,
                     const CopyValues& copy, const std::string& directory);

} // namespace kestrel::databases
