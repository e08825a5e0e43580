#pragma once

#include "callbook/credentials.hpp"
#include "callbook/source.hpp"

#include <chrono>
#include <string>

namespace kestrel::callbook {

inline constexpr const char* k_hamqth_address = "https://www.hamqth.com/xml.php";
inline constexpr const char* k_qrz_address = "https://xmldata.qrz.com/xml/current/";
// The longest a lookup keeps the window waiting, log-in and search together.
inline constexpr std::chrono::milliseconds k_lookup_time{6000};

// The text of the first <tag> element in an XML answer, its entities undone; empty when absent.
[[nodiscard]] std::string xml_text(const std::string& xml, const std::string& tag);

// The operator's account, or why there is none (the Call line says which).
using AccountRead = Result<Account, AccountError>;

// What an on-line XML callbook is asked with: where it answers, the operator's account, and how
// long a whole lookup may take.
class XmlService : public Source {
  public:
    XmlService(std::string address, AccountRead account, std::chrono::milliseconds time = k_lookup_time)
        : m_address(std::move(address)), m_account(std::move(account)), m_time(time) {}

  protected:
    std::string m_address;
    AccountRead m_account;
    std::chrono::milliseconds m_time;
};

// HamQTH's free XML service: a session from the account, then the call.
class HamQth final : public XmlService {
  public:
    using XmlService::XmlService;
    [[nodiscard]] Lookup lookup_call(const std::string& call) override;
};

// QRZ.com's XML data service: a session key from the account, then the call.
class QrzXml final : public XmlService {
  public:
    using XmlService::XmlService;
    [[nodiscard]] Lookup lookup_call(const std::string& call) override;
};

} // namespace kestrel::callbook
