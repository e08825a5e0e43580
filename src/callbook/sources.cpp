#include "callbook/sources.hpp"

#include "callbook/error_texts.hpp"
#include "callbook/fcc_licences.hpp"
#include "callbook/xml_services.hpp"

namespace kestrel::callbook {

namespace {

// A choice with nothing behind it on this system.
class NoSource final : public Source {
  public:
    Lookup lookup_call(const std::string&) override { return std::string(k_database_not_found); }
};

} // namespace

std::unique_ptr<Source> make_source(const databases::DatabaseSettings& settings,
                                    const std::string& program_directory) {
    switch (settings.callbook) {
    case databases::CallbookKind::buckmaster:
        return std::make_unique<FccLicences>(databases::station_file(program_directory, settings.drive));
    case databases::CallbookKind::flying_horse:
        return std::make_unique<HamQth>(k_hamqth_address, read_account(program_directory, "hamqth"));
    case databases::CallbookKind::qrz:
        return std::make_unique<QrzXml>(k_qrz_address, read_account(program_directory, "qrz"));
    case databases::CallbookKind::none: break;
    }
    return std::make_unique<NoSource>();
}

} // namespace kestrel::callbook
