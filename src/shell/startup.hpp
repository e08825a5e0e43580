#pragma once

#include "ui/host.hpp"

namespace kestrel::shell {

struct Application;

// Everything before the main window shows, in the order the rest of the program relies on.
void start_up(Application& app, ui::Host& host);

// Everything after it has closed for good: the current log remembered, the back-up copy made.
void shut_down(Application& app, ui::Host& host);

// The whole life of the program: start-up, the main window (built again after
// Minimize/Maximize), shut-down.
void run_program(Application& app, ui::Host& host);

} // namespace kestrel::shell
