#pragma once

#include "printer/printer.hpp"

#include <memory>

namespace kestrel::ui {
class Context;
}

namespace kestrel::countries {

// The operator chooses a printer; when he does not, or it cannot be had, he is told
// "Printer Fail" (title "Printer Report") and there is nothing to print on.
std::unique_ptr<printing::Printer> choose_printer_or_tell(ui::Context& ctx);

// Ends the job and tells the operator the same way when the printer failed.
bool finish_printing(ui::Context& ctx, printing::Printer& printer);

} // namespace kestrel::countries
