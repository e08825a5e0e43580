#pragma once

#include "countries/country_table.hpp"
#include "countries/manual_set_window.hpp"
#include "countries/status_chart.hpp"
#include "databases/database_settings.hpp"
#include "digital/digital_link.hpp"
#include "exchange/import_adif.hpp"
#include "io/devices.hpp"
#include "keyer/keyer_settings.hpp"
#include "keyer/morse_table.hpp"
#include "locator/range_window.hpp"
#include "logstore/band_names.hpp"
#include "logstore/file_lock.hpp"
#include "logstore/log_store.hpp"
#include "notepad/notepad_window.hpp"
#include "offline/entry_editor.hpp"
#include "online/online_window.hpp"
#include "printing/label_layout.hpp"
#include "rig/rig_link.hpp"
#include "rig/station_settings.hpp"
#include "shell/shell_state.hpp"

#include <memory>

namespace kestrel::shell {

// The program's state, owned by main() and handed to every window by reference.
struct Application {
    // The machine's ports and clocks, handed in by main() (fakes in tests); windows reach a
    // device only through here. First, so it goes last: whatever holds a port or a clock of it
    // is gone by then. A test that opens no device may leave it empty.
    std::unique_ptr<io::Devices> devices;
    // One Kestrel works in a data directory at a time; held from start to the very end, after
    // the log has been closed.
    logstore::FileLock home_lock;
    // The rig's link, polled by the on-line window; none without a rig description. It may hold
    // a device of the above, so it goes before them.
    std::unique_ptr<rig::RigLink> rig;
    // Contacts logged by the digital-mode programs, heard on a UDP port and kept in a spool
    // beside the log until the on-line window takes them in. Holds a port of `devices`.
    std::unique_ptr<digital::DigitalLink> digital;
    logstore::LogStore log;
    logstore::BandNameTable band_names;
    countries::CountryTable countries;
    countries::StatusChart chart;
    countries::ManualSetState manual_set; // the country and cell Manual Set was left on
    rig::StationSettings station;         // the back-up directory among them
    rig::RigLinkSettings rig_link;
    offline::EditorState editor; // repeat values live as long as the program
    exchange::AdifImportState adif_import;
    printing::LabelLayout qsl_layout;      // the label template and settings Print QSL loaded last
    keyer::MorseTable morse;               // DMORSE.CDE
    keyer::KeyerSettings cw;               // CWTEXT.TXT: the key port, the speed and the four messages
    databases::DatabaseSettings databases; // DBNAMES.LST: the callbook and the four databases
    notepad::NotepadState notepad;         // the note kept for the run
    online::OnlineState online;            // what the on-line window keeps between openings
    locator::LocatorState locator;
    ShellState shell;
};

} // namespace kestrel::shell
