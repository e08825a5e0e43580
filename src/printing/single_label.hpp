#pragma once

#include "printing/label_layout.hpp"

namespace kestrel::logstore {
class BandNameTable;
}
namespace kestrel::offline {
struct QslContact;
}
namespace kestrel::rig {
struct StationSettings;
}
namespace kestrel::ui {
class Context;
}

namespace kestrel::printing {

struct SingleLabelEnv {
    const LabelLayout& layout; // as the Print QSL window last loaded it
    const rig::StationSettings& station;
    const logstore::BandNameTable& band_names;
};

// The label of one contact from the entry editor or the on-line window, alone on its page at the
// layout's margins, with the station data of its band. True only when the printer took the job:
// then the caller marks the card sent. Without a layout, or with one of an unknown label type,
// the operator is told and nothing is printed.
bool print_qsl_label(ui::Context& owner, const SingleLabelEnv& env, const offline::QslContact& contact);

} // namespace kestrel::printing
