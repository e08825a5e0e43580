#pragma once

#include "printer/printer.hpp"
#include "ui/geometry.hpp"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::ui {

class Context;
class Window;

enum class Icon { none, information, exclamation, question, stop };
enum class Buttons { ok, ok_cancel, yes_no, yes_no_cancel, retry_cancel };
enum class Answer { ok, cancel, yes, no, retry };

struct Message {
    std::string text; // Windows-1252, lines split by CR LF
    std::string title;
    Icon icon = Icon::none;
    Buttons buttons = Buttons::ok;
    // The button Enter presses; the first by default. A question whose Yes destroys records
    // makes it No, so a hasty Enter loses nothing.
    std::optional<Answer> default_answer = std::nullopt;
};

// The system's open-file dialog.
struct FileRequest {
    std::string title;
    std::string filter_name;       // "Log Files (*.LOG)"
    std::string patterns;          // "*.LOG", several joined by ';'
    std::string default_extension; // added when the name typed has none
    std::string directory;         // where the dialog starts
    bool must_exist = false;
    std::optional<Point> position; // screen position of the dialog
};

struct InputRequest {
    std::string prompt;
    std::string title;
    std::string initial;
};

using Clock = std::chrono::system_clock;

// Everything a window asks of the platform. The Qt host renders real widgets;
// the test host runs windows with no display and answers from a script.
class Host {
  public:
    virtual ~Host() = default;

    // Runs a window modally over its parent (nullptr for the main window) until it closes;
    // gives the value it closed with.
    virtual int run_modal(Window& window, Context* parent) = 0;

    virtual Answer message_box(Context* owner, const Message& message) = 0;
    virtual std::optional<std::string> input_box(Context* owner, const InputRequest& request) = 0;
    virtual std::optional<std::string> open_file(Context* owner, const FileRequest& request) = 0;
    // The system's folder chooser; nothing when the operator cancels.
    virtual std::optional<std::string> choose_directory(Context* owner, const std::string& title,
                                                        const std::string& start) = 0;
    // The system's print dialog; nothing when the operator cancels or the printer cannot be had.
    virtual std::unique_ptr<printing::Printer> choose_printer(Context* owner) = 0;
    virtual void beep() = 0;
    virtual void wait_cursor(bool on) = 0;
    virtual int screen_height() const = 0;
    // The part of the screen windows may take (without panels and docks); 0 where unknown.
    virtual Size available_screen() const { return {}; }
    virtual Clock::time_point now() const = 0;
    // A window did something it never should (asked for a control its form does not have).
    // The program goes on; a test fails.
    virtual void fault(std::string_view what) = 0;
};

} // namespace kestrel::ui
