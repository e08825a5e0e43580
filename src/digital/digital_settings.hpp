#pragma once

#include "io/datagram_socket.hpp"

#include <string>
#include <string_view>

namespace kestrel::digital {

inline constexpr const char* k_settings_file = "DIGITAL.LST";
// Where the programs send by default: their own port, on this computer only.
inline constexpr int k_default_port = 2237;
inline constexpr const char* k_default_address = "127.0.0.1";
inline constexpr int k_highest_port = 65535;
// The fourth item of DIGITAL.LST when the operator has let programs on other computers in.
inline constexpr const char* k_network_item = "NETWORK";

// Whether and where the program listens for the contacts of digital-mode programs.
struct DigitalSettings {
    bool listening = true;
    std::string address = k_default_address; // one of this computer's, or a multicast group
    int port = k_default_port;
    // The operator said in Set Up that programs on other computers may send to this address. An
    // address a settings file names without it is heard from this computer only: a file copied
    // from another station must not open the log to the network unasked.
    bool network = false;
    friend bool operator==(const DigitalSettings&, const DigitalSettings&) = default;
};

// DIGITAL.LST: one line of "ON" or "OFF", the address and the port, read by the side files' usual
// rules ("ON,127.0.0.1,2237"), and "NETWORK" after them when the operator let the network in. A
// missing file, or an item that is not there or makes no sense (a port outside 1-65535), gives
// the default for that item. A file of three items is written back as it was.
[[nodiscard]] DigitalSettings read_digital_settings(std::string_view bytes);
[[nodiscard]] std::string digital_settings_text(const DigitalSettings& settings);

// The settings kept in a directory (given with or without its final "/"), defaults when there
// are none; and writing them there in one go, false when that failed.
[[nodiscard]] DigitalSettings load_digital_settings(const std::string& directory);
[[nodiscard]] bool save_digital_settings(const DigitalSettings& settings, const std::string& directory);
// The file they are kept in.
[[nodiscard]] std::string settings_path(const std::string& directory);

// A port as the operator typed it: 1-65535, else nothing (0).
[[nodiscard]] int port_of_text(std::string_view text);

// What an address to listen on lets in.
enum class AddressReach {
    this_computer, // a loopback address (127.0.0.0/8, ::1) or "localhost"
    group,         // a multicast group (224.0.0.0 to 239.255.255.255, ff00::/8)
    network,       // anything else: every interface (0.0.0.0, ::, ""), one of them, a name
};
// Only the plain spellings count as loopback or group; any other (a name, "127.1", an octal
// part) may reach the network and is taken to.
[[nodiscard]] AddressReach reach_of(std::string_view address);

// Where the listener listens for a set of settings.
struct ListenPlan {
    std::string address;
    io::GroupJoin join = io::GroupJoin::loopback;
    // The settings name an address other computers could send to, not let in by the operator:
    // 127.0.0.1 is listened on in its place.
    bool narrowed = false;
};
[[nodiscard]] ListenPlan listen_plan(const DigitalSettings& settings);

} // namespace kestrel::digital
