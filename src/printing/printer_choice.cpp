#include "printing/printer_choice.hpp"

#include "ui/context.hpp"

namespace kestrel::printing {

std::unique_ptr<Printer> choose_printer_for(ui::Context& ctx, std::string_view caller_title) {
    auto printer = ctx.host().choose_printer(&ctx);
    if (!printer) {
        ctx.message(k_printer_fail, k_fault_report, ui::Icon::stop);
        if (!caller_title.empty()) ctx.message(k_printer_fail, caller_title, ui::Icon::stop);
        return nullptr;
    }
    printer->set_font("Courier New", 10);
    return printer;
}

bool end_job_or_tell(ui::Context& ctx, Printer& printer, std::string_view title) {
    if (printer.end_job()) return true;
    ctx.message(k_printer_fail, title, ui::Icon::stop);
    return false;
}

} // namespace kestrel::printing
