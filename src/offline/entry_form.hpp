#pragma once

#include "offline/entry_record.hpp"

namespace kestrel::ui {
class Context;
}

namespace kestrel::offline {

// Control numbers of the kind's own form: labels from 22, text boxes from 102 (box n of an
// entry is control 101 + n, the date being 101), the two QSL check boxes of a contact.
inline constexpr int k_first_box = 101;
inline constexpr int k_qsl_sent = 111;
inline constexpr int k_qsl_received = 112;

[[nodiscard]] constexpr int box_control(int box) {
    return k_first_box + box;
}

// Takes away the previous kind's labels and boxes and puts in those of `kind`, below the date.
void build_kind_form(ui::Context& ctx, EntryKind kind);

} // namespace kestrel::offline
