#pragma once

#include "countries/log_check.hpp"
#include "ui/window.hpp"

#include <string>
#include <string_view>

namespace kestrel::countries {

// The question the log check asks of a call in a block of no country: the call to correct, OK,
// Cancel, and a third answer that leaves this call and every later one of the check alone, so a
// log with thousands of such calls does not hold the operator in thousands of questions.
class CallCorrectionWindow final : public ui::Window {
  public:
    enum Id { k_prompt = 100, k_call = 101, k_ask_no_more = 102 };
    explicit CallCorrectionWindow(std::string call) : m_call(std::move(call)) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

    const CallCorrection& answer() const { return m_answer; }

  private:
    std::string m_call;
    CallCorrection m_answer;
};

// Asks over parent; Cancel and the close box keep the entry as it is.
[[nodiscard]] CallCorrection ask_call_correction(ui::Context& parent, std::string_view call);

} // namespace kestrel::countries
