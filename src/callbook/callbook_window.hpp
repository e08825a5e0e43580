#pragma once

#include "callbook/source.hpp"
#include "databases/database_settings.hpp"
#include "ui/window.hpp"

#include <string>

namespace kestrel::callbook {

// The small window that shows one lookup: seven lines, or the error text in the Call line.
class CallbookWindow final : public ui::Window {
  public:
    enum Id {
        k_call = 100,
        k_name = 101,
        k_qth_label = 102,
        k_qth = 103,
        k_longitude = 104,
        k_latitude = 105,
        k_grid_square = 106,
        k_email = 107,
    };

    CallbookWindow(databases::CallbookKind kind, Lookup lookup) : m_kind(kind), m_lookup(std::move(lookup)) {}
    ui::Form build() const override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    databases::CallbookKind m_kind;
    Lookup m_lookup;
};

// The window's title for the callbook chosen.
[[nodiscard]] std::string callbook_title(databases::CallbookKind kind);

// The Callbook button of the on-line window: nothing with no callbook chosen or no call;
// otherwise the lookup in the chosen callbook, shown (also when it failed, so that the operator
// reads why). `program_directory` holds CALLBOOK.PWD for the services that need an account.
void show_callbook(ui::Context& owner, const databases::DatabaseSettings& settings,
                   const std::string& program_directory, const std::string& call);
// The same with a source already made.
void show_callbook(ui::Context& owner, databases::CallbookKind kind, Source& source, const std::string& call);

} // namespace kestrel::callbook
