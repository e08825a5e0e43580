#pragma once

#include "common/result.hpp"

#include <string>

namespace kestrel::callbook {

// What the callbook window shows of a station, all Windows-1252 texts. A failed lookup has no
// record: its error text goes in the Call line instead.
struct CallbookRecord {
    std::string call;
    std::string name;
    std::string qth; // up to two lines
    std::string latitude;
    std::string longitude;
    std::string grid_square;
    std::string email;
    friend bool operator==(const CallbookRecord&, const CallbookRecord&) = default;
};

// A station found, or the text the operator reads in the Call line ("Callsign not found").
using Lookup = Result<CallbookRecord, std::string>;

// One place a call can be looked up: a file on this machine or a service on the network. A
// lookup never waits more than a few seconds.
class Source {
  public:
    virtual ~Source() = default;
    [[nodiscard]] virtual Lookup lookup_call(const std::string& call) = 0;
};

} // namespace kestrel::callbook
