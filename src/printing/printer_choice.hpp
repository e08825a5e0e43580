#pragma once

#include "printer/printer.hpp"

#include <memory>
#include <string_view>

namespace kestrel::ui {
class Context;
}

namespace kestrel::printing {

inline constexpr std::string_view k_printer_fail = "Printer Fail";
inline constexpr std::string_view k_fault_report = "Fault Report";

// The printer of labels and of the printed log, chosen in the print dialog, with Courier New of
// 10 points. When none is had the operator is told "Printer Fail" (title "Fault Report") and,
// for a caller that names itself, "Printer Fail" again under that title.
std::unique_ptr<Printer> choose_printer_for(ui::Context& ctx, std::string_view caller_title = {});

// Ends the job; when the printer or the file failed the operator is told "Printer Fail" under the
// title, and the answer is false: nothing can be taken as printed.
[[nodiscard]] bool end_job_or_tell(ui::Context& ctx, Printer& printer, std::string_view title);

} // namespace kestrel::printing
