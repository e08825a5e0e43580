#pragma once

#include "browse/list_search.hpp"
#include "logstore/band_names.hpp"
#include "logstore/log_store.hpp"
#include "ui/window.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::browse {

// What the list works on: the log, the band names for its lines, the size of the windows, and
// whether on-line logging is open behind it (its entries are not deleted from under it then).
struct ListEnv {
    logstore::LogStore& log;
    const logstore::BandNameTable& band_names;
    double scale_factor = 1.0;
    bool online_logging_open = false;
};

// Every entry with a call, a call prefix ("G4*") or a word in its comment, one line each with its
// record number; the lines chosen can be deleted, and the list written to QSOLIST.CSV.
class ListWindow final : public ui::Window {
  public:
    enum Id {
        k_entries_label = 10,
        k_entries = 11,
        k_heading = 14,
        k_page_up = 33,
        k_page_down = 34,
        k_call_label = 99,
        k_call = 100,
        k_comment = 101,
        k_list = 102,
        k_delete = 103,
        k_file = 208,
        k_comment_label = 402,
        k_search = ui::k_ok,
    };
    enum class Mode { call = 1, comment = 2 };

    ListWindow(ListEnv env, std::string start_text) : m_env(env), m_start_text(std::move(start_text)) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

    // Lines a page holds: more on a larger screen.
    int visible_lines() const;

  private:
    int scaled(int value) const;
    void search(ui::Context& ctx);
    void write_file(ui::Context& ctx);
    void delete_selected(ui::Context& ctx);
    void page(ui::Context& ctx, int direction);

    ListEnv m_env;
    std::string m_start_text;
    Mode m_mode = Mode::call;
    std::vector<ListedEntry> m_entries; // one per line of the list
};

inline constexpr std::string_view k_list_file = "QSOLIST.CSV";

// Logging/List (no start text) and the on-line window's list of the call being logged (which is
// listed at once). Tells the operator when no log is open; builds the record index first when it
// does not describe the log yet.
void run_list(ui::Context& parent, ListEnv env, std::string_view start_text);

} // namespace kestrel::browse
