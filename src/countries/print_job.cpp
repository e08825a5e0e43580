#include "countries/print_job.hpp"

#include "ui/context.hpp"

namespace kestrel::countries {

namespace {
void tell_failure(ui::Context& ctx) {
    ctx.message("Printer Fail", "Printer Report", ui::Icon::stop);
}
} // namespace

std::unique_ptr<printing::Printer> choose_printer_or_tell(ui::Context& ctx) {
    auto printer = ctx.host().choose_printer(&ctx);
    if (!printer) tell_failure(ctx);
    return printer;
}

bool finish_printing(ui::Context& ctx, printing::Printer& printer) {
    if (printer.end_job()) return true;
    tell_failure(ctx);
    return false;
}

} // namespace kestrel::countries
