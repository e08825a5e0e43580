#pragma once

#include "ui/host.hpp"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <vector>

namespace kestrel::platform {

class FormWidget;
class SessionEnd;

// The host on a real display: windows become Qt widgets, message and input boxes and the
// file dialog are Qt's, the clock is the system's.
class QtHost final : public QObject, public ui::Host {
  public:
    QtHost();
    ~QtHost() override;

    int run_modal(ui::Window& window, ui::Context* parent) override;
    ui::Answer message_box(ui::Context* owner, const ui::Message& message) override;
    std::optional<std::string> input_box(ui::Context* owner, const ui::InputRequest& request) override;
    std::optional<std::string> open_file(ui::Context* owner, const ui::FileRequest& request) override;
    std::optional<std::string> choose_directory(ui::Context* owner, const std::string& title,
                                                const std::string& start) override;
    std::unique_ptr<printing::Printer> choose_printer(ui::Context* owner) override;
    void beep() override;
    void wait_cursor(bool on) override;
    int screen_height() const override;
    ui::Size available_screen() const override;
    ui::Clock::time_point now() const override { return ui::Clock::now(); }
    void fault(std::string_view what) override;

    // The top-level widget of a running window, for tests and screenshots.
    QWidget* widget_of(const ui::Context* ctx) const;

    // The program is asked to end (a signal, the desktop session ending): every open window is
    // closed from the top down as its close box would close it, so that each does what it does on
    // closing and the program ends as after Files/Exit. Boxes and dialogs shown meanwhile are
    // answered at once with their default; no new window opens.
    void request_quit();
    bool quitting() const { return m_quitting; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int run_main(ui::Context& ctx);
    int run_dialog(ui::Context& ctx, ui::Context* parent);
    QWidget* parent_widget(ui::Context* owner) const;

    struct Open {
        ui::Context* ctx;
        QPointer<QWidget> top;
        FormWidget* client;
    };
    std::vector<Open> m_open; // innermost last
    void close_top();
    bool m_quitting = false;
    std::unique_ptr<SessionEnd> m_session_end;
};

} // namespace kestrel::platform
