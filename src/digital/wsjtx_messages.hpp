#pragma once

#include "digital/contact_fields.hpp"
#include "digital/qt_stream.hpp"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kestrel::digital {

// The network messages of WSJT-X (and of JTDX and MSHV, which speak the same): each a Qt data
// stream with a magic number, a schema number, a message type and the sending program's id.
inline constexpr std::uint32_t k_magic = 0xadbccbda;
// Schema 2 writes Qt 5.2's stream, 3 Qt 5.4's; later schemas keep their fields. Schema 1 wrote a
// stream its own authors call broken and is not read.
inline constexpr std::uint32_t k_first_schema = 2;

enum class MessageType : std::uint32_t {
    qso_logged = 5,   // the contact's fields, one by one
    logged_adif = 12, // the contact as an ADIF file of one record
};

// The contacts one datagram brings: one from a "QSO Logged" message, those of its ADIF text from
// a "Logged ADIF" one. Every other message, and any datagram that is not a well-formed message
// of the protocol (another program's, cut short, garbled), brings none. Texts arrive in UTF-8
// and leave in Windows-1252.
[[nodiscard]] std::vector<ContactFields> contacts_of_datagram(std::span<const std::uint8_t> datagram);

// A frequency in hertz as ADIF writes one, in megahertz with six decimals ("14.074000").
[[nodiscard]] std::string megahertz_text(std::uint64_t hertz);

} // namespace kestrel::digital
