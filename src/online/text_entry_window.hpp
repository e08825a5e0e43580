#pragma once

#include "ui/window.hpp"

#include <optional>
#include <string>

namespace kestrel::online {

// "Log Text": one line of free text for the log, or nothing when cancelled.
class TextEntryWindow final : public ui::Window {
  public:
    enum Id { k_cancel = 2, k_text = 101, k_log = 102 };
    ui::Form build() const override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;
    const std::optional<std::string>& text() const { return m_text; }

  private:
    std::optional<std::string> m_text;
};

} // namespace kestrel::online
