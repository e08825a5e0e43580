#pragma once

#include "callbook/source.hpp"
#include "databases/database_settings.hpp"

#include <memory>
#include <string>

namespace kestrel::callbook {

// The source behind each choice of the set-up dialog:
//   Buckmaster   - the US licence files (EN.dat) in the directory given as the drive;
//   Flying Horse - HamQTH's free XML service;
//   QRZ          - QRZ.com's XML data service.
// The services take the operator's account from CALLBOOK.PWD in `program_directory`.
[[nodiscard]] std::unique_ptr<Source> make_source(const databases::DatabaseSettings& settings,
                                                  const std::string& program_directory);

} // namespace kestrel::callbook
