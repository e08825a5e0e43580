#pragma once

#include "ui/keys.hpp"

#include <optional>

class QKeyEvent;

namespace kestrel::platform {

// The key of a Qt key event as the windows know keys; nothing for keys they never bind.
std::optional<ui::KeyStroke> stroke_of(const QKeyEvent* event);

} // namespace kestrel::platform
