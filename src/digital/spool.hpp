#pragma once

#include "digital/contact_fields.hpp"

#include <cstddef>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::digital {

// The spool beside a log: the log's path with its ".LOG" (in any case) made ".SPOOL.ADI", or
// ".SPOOL.ADI" added to a name without it (MYLOG.LOG has MYLOG.SPOOL.ADI). With no log chosen,
// KESTREL.SPOOL.ADI in the current directory.
[[nodiscard]] std::string spool_path_of(std::string_view log_path);

// The first lines of a spool: what it is, and an ADIF header, so that the file can also be
// imported by hand.
inline constexpr std::string_view k_spool_header =
    "Contacts logged by digital-mode programs, waiting to be taken into the log\r\n"
    "<adif_ver:5>3.1.4 <programid:7>Kestrel <eoh>\r\n";

enum class Spooled {
    added,           // written to the spool and on disk
    already_waiting, // the same contact is in the spool already
    not_a_contact,   // no call, date or start time, or a date the log cannot hold
    held,            // the spool could not be written: kept in memory and tried again with the next
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

  private:
    void load_keys();
    [[nodiscard]] bool append(const ContactFields& contact);

    mutable std::mutex m_mutex;
    std::string m_path;
    bool m_keys_loaded = false;
    std::set<ContactKey> m_keys; // of every contact waiting, in the file or held
    std::vector<ContactFields> m_held;
    std::function<void()> m_notice;
};

} // namespace kestrel::digital
