#pragma once

#include "ui/window.hpp"

#include <string>

namespace kestrel::notepad {

// What the note pad keeps for the whole run: the text in its box, shown again at the next
// opening, and whether that text is the whole of NOTEPAD.TXT (after Load), in which case the next
// save writes the file anew rather than adding to it.
struct NotepadState {
    std::string note;
    bool holds_file = false;
};

struct NotepadEnv {
    NotepadState& state;
    std::string path;          // NOTEPAD.TXT
    double screen_scale = 1.0; // the screen's height in pixels / 480
};

// " Note Pad": a free text box; Save adds it to NOTEPAD.TXT under a stamp line, Load brings the
// whole file into the box for reading or changing, Clear empties the box.
class NotepadWindow final : public ui::Window {
  public:
    enum Id { k_text = 101, k_save = 102, k_load = 103, k_clear = 104 }; // Exit is ui::k_cancel

    explicit NotepadWindow(NotepadEnv env) : m_env(std::move(env)) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    void save(ui::Context& ctx);
    void load(ui::Context& ctx);
    void set_note(ui::Context& ctx, const std::string& text);

    NotepadEnv m_env;
};

// Opened from the on-line window. NOTEPAD.TXT is in the station directory.
void show_notepad(ui::Context& owner, NotepadState& state, const std::string& directory);

} // namespace kestrel::notepad
