#pragma once

namespace kestrel::callbook {

// What the Call line says when a lookup fails. The first texts are the ones operators know from
// the CD-ROM callbooks; the others say what went wrong on the network.
inline constexpr const char* k_callsign_not_found = "Callsign not found";
inline constexpr const char* k_database_not_found = "Database not found";
inline constexpr const char* k_disc_read_error = "Disc read error";
inline constexpr const char* k_call_not_found = "CALL NOT FOUND";
inline constexpr const char* k_no_connection = "No connection to the callbook service";
inline constexpr const char* k_no_answer = "No answer from the callbook service";
inline constexpr const char* k_bad_answer = "The callbook service gave an answer not understood";
inline constexpr const char* k_login_refused = "Callbook user name or password refused";
inline constexpr const char* k_no_https = "https needs curl (not found)";

} // namespace kestrel::callbook
