#pragma once

#include "exchange/log_choice.hpp"
#include "exchange/log_copy.hpp"
#include "ui/window.hpp"

#include <string>
#include <vector>

namespace kestrel::exchange {

// Tools/Merge: entries of an extract log (all, or those marked in a list) merged by date and
// time into another log, and taken out of the extract log when the operator asks. The merge log
// is the program's log unless another is chosen; the extract log is the one last chosen here or
// in Extract. While the window is open no log is the program's log; it closes with the merged
// log as the program's log, or with the log that was open before when nothing was merged.
class MergeWindow final : public ui::Window {
  public:
    enum Id {
        k_extract_log = 100,
        k_merge_log = 101,
        k_select = 102,
        k_write = 103,
        k_merge_all = 104,
        k_delete = 105,
    };

    explicit MergeWindow(ExchangeEnv env) : m_env(env), m_extract(env.files) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    void choose_extract_log(ui::Context& ctx);
    void choose_merge_log(ui::Context& ctx);
    void select_entries(ui::Context& ctx);
    void write_logs(ui::Context& ctx);
    void leave(ui::Context& ctx);
    // Opens the extract log and marks every entry (Merge All entries) or none; reads whether the
    // moved entries are to be deleted.
    bool open_extract(ui::Context& ctx);

    ExchangeEnv m_env;
    std::string m_remembered; // the program's log when the window opened
    std::string m_merge_log;
    LogReader m_extract; // open from the marking of the entries until the merge
    std::vector<bool> m_marks;
    bool m_delete_moved = false;
};

void merge_logs(ui::Context& parent, ExchangeEnv env);

} // namespace kestrel::exchange
