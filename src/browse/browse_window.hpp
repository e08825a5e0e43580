#pragma once

#include "offline/entry_editor.hpp"
#include "ui/window.hpp"

namespace kestrel::browse {

// What browse works on: everything the entry editor needs (browse opens it to change an entry),
// and the scale factor its window is laid out by.
struct BrowseEnv {
    offline::EditorEnv editor;
    double scale_factor = 1.0;
};

// The log a page at a time, in record order: paging, finding a call, a comment or a date,
// toggling the QSL flags, deleting, and changing an entry in the editor.
class BrowseWindow final : public ui::Window {
  public:
    enum Id {
        k_search = 1,
        k_exit = 2,
        k_heading = 14,
        k_entry_label = 15,
        k_to_label = 16,
        k_sent_label = 17,
        k_received_label = 18,
        k_delete_label = 19,
        k_page_up = 33,
        k_page_down = 34,
        k_end = 35,
        k_home = 36,
        k_up = 38,
        k_down = 40,
        k_call_label = 99,
        k_call = 100,
        k_comment = 101,
        k_toggle_sent = 112,
        k_toggle_received = 113,
        k_edit = 202,
        k_date = 204,
        k_first_shown = 301,
        k_last_shown = 302,
        k_date_label = 401,
        k_comment_label = 402,
        k_lines = 3074,
        k_delete = 3075,
    };
    enum class SearchMode { none, call, comment, date };

    explicit BrowseWindow(BrowseEnv env);
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;
    void draw_item(ui::Context& ctx, const ui::DrawItem& item, ui::Canvas& canvas) override;

  private:
    logstore::LogStore& log() { return m_env.editor.log; }
    void box_notified(ui::Context& ctx, int id, ui::Notify notify);
    void measure();
    void fill(ui::Context& ctx);
    void refill_keeping_mode(ui::Context& ctx);
    void select_line(ui::Context& ctx, int line);
    void down(ui::Context& ctx);
    void up(ui::Context& ctx);
    void page_up(ui::Context& ctx);
    void page_down(ui::Context& ctx);
    void home(ui::Context& ctx);
    void end(ui::Context& ctx);
    void search(ui::Context& ctx);
    void search_call(ui::Context& ctx);
    void search_comment(ui::Context& ctx);
    void search_date(ui::Context& ctx);
    void show_found(ui::Context& ctx, int n, SearchMode mode);
    int selected_record() const;
    void toggle_qsl(ui::Context& ctx, int bit);
    void edit(ui::Context& ctx);
    void remove(ui::Context& ctx);

    BrowseEnv m_env;
    int m_page_size;
    int m_top = 0;      // records before the first line
    int m_last_top = 0; // the largest top
    int m_lines_shown = 0;
    int m_selected = 0; // may point past the lines shown, after a date search past the end
    SearchMode m_search_mode = SearchMode::none;
    int m_call_from = 1; // where the next call search starts
    int m_comment_from = 1;
};

// Logging/Browse. Tells the operator when no log is open; builds the record index first when it
// is not loaded.
void run_browse(ui::Context& parent, BrowseEnv env);

// Lines per page: 24, more on a larger screen.
[[nodiscard]] int page_size_for(double scale_factor);

// The width of a box that shows a count or number of records: room for the largest a log can hold.
[[nodiscard]] int number_box_width();

} // namespace kestrel::browse
