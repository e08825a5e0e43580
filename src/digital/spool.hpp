#pragma once

#include "digital/contact_fields.hpp"

#include <cstddef>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel::digital {

// The spool beside a log: the log's path with its ".LOG" (in any case) made ".SPOOL.ADI", or
// ".SPOOL.ADI" added to a name without it (MYLOG.LOG has MYLOG.SPOOL.ADI). With no log chosen,
// KESTREL.SPOOL.ADI in the current directory.
[[nodiscard]] std::string spool_path_of(std::string_view log_path);

// Where the contacts the log cannot hold are kept, beside the spool and named after it as the
// ADIF import names the file of what it left out: MYLOG.LOG has MYLOG.SPOOL.REJECTED.ADI.
[[nodiscard]] std::string set_aside_path_of(std::string_view log_path);

// The first lines of a spool: what it is, and an ADIF header, so that the file can also be
// imported by hand.
inline constexpr std::string_view k_spool_header =
    "Contacts logged by digital-mode programs, waiting to be taken into the log\r\n"
    "<adif_ver:5>3.1.4 <programid:7>Kestrel <eoh>\r\n";

enum class Spooled {
    added,           // written to the spool and on disk
    already_waiting, // the same contact is in the spool already
    set_aside,       // one the log cannot hold, written to the file of those set aside and on disk
    not_a_contact,   // fields without a value: nothing to keep
    held,            // the spool (or the file set aside) could not be written: kept in memory and
                     // tried again with the next
};

// Contacts from digital-mode programs on their way into the log. The listener adds each as it
// arrives, from its own thread; the on-line window, on its thread, takes what waits into the log
// and then lets it go. The spool is an ADIF file, one record a line, appended to and synced to
// disk before add returns, so a contact survives whatever happens to the program after it was
// received. Everything here is safe from any thread.
class Spool {
  public:
    explicit Spool(std::string_view log_path = {});

    // The log now open: contacts go to its spool from now on.
    void set_log_path(std::string_view log_path);
    [[nodiscard]] std::string path() const;

    // Called (from the adding thread) after each contact added or held; empty for no one.
    void set_notice(std::function<void()> notice);

    [[nodiscard]] Spooled add(const ContactFields& contact);

    // What waits, oldest first, and where it ends in the file.
    struct Batch {
        std::string path;
        std::vector<DigitalContact> contacts;
        std::size_t file_bytes = 0; // the spool's length when read
        std::size_t held = 0;       // the contacts kept in memory, after those of the file
    };
    [[nodiscard]] Batch waiting();
    // The contacts of a batch are in the log: they leave the spool, and whatever was added since
    // stays. False when the spool could not be rewritten (its contacts are then read again next
    // time, and the log finds them there already).
    [[nodiscard]] bool release(const Batch& batch);

    // The contacts set aside since this was last asked, by the reason the log cannot hold them,
    // and the file that keeps them; the count starts again. Those the disk refused are tried
    // again first, and counted apart while it still refuses them.
    struct SetAside {
        std::string path;
        exchange::LeftOutTally tally; // on disk
        std::size_t held = 0;         // still in memory only
    };
    [[nodiscard]] SetAside set_aside();

  private:
    void load_keys();
    [[nodiscard]] bool append(const ContactFields& contact);
    [[nodiscard]] Spooled put_aside(const ContactFields& contact, exchange::LeftOut why);
    void write_held_aside();

    mutable std::mutex m_mutex;
    std::string m_path;
    bool m_keys_loaded = false;
    std::set<ContactKey> m_keys; // of every contact waiting, in the file or held
    std::vector<ContactFields> m_held;
    // Those the log cannot hold: what tells two copies of one apart, those the disk refused, and
    // the count written since it was last asked for.
    std::string m_aside_path;
    std::set<std::string> m_aside_keys;
    std::vector<std::pair<ContactFields, exchange::LeftOut>> m_held_aside;
    exchange::LeftOutTally m_aside_untold;
    std::function<void()> m_notice;
};

} // namespace kestrel::digital
