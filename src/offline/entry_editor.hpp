#pragma once

#include "offline/entry_record.hpp"
#include "ui/window.hpp"

#include <array>
#include <functional>
#include <string>

namespace kestrel::countries {
class CountryTable;
class StatusChart;
} // namespace kestrel::countries

namespace kestrel::logstore {
class LogStore;
}

namespace kestrel::offline {

// What the editor remembers while the program runs: the boxes of the last contact saved, which
// F1 puts back one box at a time.
struct EditorState {
    EntryTexts repeat;
};

// The texts a database search may copy into one of its records.
struct DatabaseCopy {
    std::string date;
    std::string call;
    std::string frequency;
};

// The contact on screen, for one QSL label.
struct QslContact {
    std::string date; // as typed, dd?mm?yy; the label printer writes the month by name
    std::string call;
    std::string time_on;
    std::string rst_sent;
    std::string power;
    std::string mode;
    int band = 0; // of the frequency typed; the printer adds that band's station data
    std::string remark;
    std::string request = "Please QSL via Bureau or Direct";
};

// The windows of other subsystems that the editor opens. A database slot with an empty name gets
// no button. With no label layout loaded there is no printing function, and Print QSL says so.
struct EditorLinks {
    std::array<std::string, 4> database_names;
    std::function<void(ui::Context& owner, int database, const DatabaseCopy& copy)> database_search;
    // True when the label was printed.
    std::function<bool(ui::Context& owner, const QslContact& contact)> print_qsl_label;
};

// Everything the editor works on.
struct EditorEnv {
    logstore::LogStore& log;
    const logstore::BandNameTable& band_names;
    const countries::CountryTable& countries;
    countries::StatusChart& chart;
    EditorState& state;
    EditorLinks links;
};

// The entry editor: contacts, station-data changes and notes typed after the fact, each saved at
// its place in date order; or one existing entry changed and saved back.
class EntryEditorWindow final : public ui::Window {
  public:
    enum Id {
        k_exit = 2,
        k_entry_label = 20,
        k_date_label = 21,
        k_entry_number = 100,
        k_date = 101,
        k_qso = 121,
        k_data = 122,
        k_text = 123,
        k_save = 124,
        k_print_qsl = 125,
        k_repeat = 126,
        k_repeat_label = 200,
        k_save_label = 201,
        k_first_database = 301,
    };

    // `record` 0: new entries, one after another. Otherwise that record is shown and saved back.
    explicit EntryEditorWindow(EditorEnv env, int record = 0) : m_env(std::move(env)), m_record(record) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

    // True once an entry has been saved.
    bool log_changed() const { return m_log_changed; }

  private:
    bool editing() const { return m_record != 0; }
    void change_kind(ui::Context& ctx, EntryKind kind);
    void show_record(ui::Context& ctx, const TypedEntry& entry);
    void box_changed(ui::Context& ctx, int id);
    void next_box(ui::Context& ctx);
    void repeat(ui::Context& ctx);
    void save(ui::Context& ctx);
    void refuse(ui::Context& ctx, const EntryProblem& problem);
    void ready_for_next(ui::Context& ctx);
    void print_qsl(ui::Context& ctx);
    TypedEntry typed(const ui::Context& ctx) const;

    EditorEnv m_env;
    int m_record;
    EntryKind m_kind = EntryKind::qso;
    int m_focused_box = k_date; // the text box that last had the focus or changed
    bool m_log_changed = false;
};

// Logging/Off Line (record 0) and browse's Edit (the record to change). Tells the operator when
// no log is open; builds the record index first when it is not loaded. True when the log changed.
bool run_entry_editor(ui::Context& parent, EditorEnv env, int record = 0);

// The button text of a database: its name in capitals without ".EDB".
[[nodiscard]] std::string database_button_text(const std::string& name);

} // namespace kestrel::offline
