#pragma once

#include "common/result.hpp"

#include <string>

namespace kestrel::callbook {

// The operator's accounts with the callbook services live in a file of their own beside
// DBNAMES.LST, readable by the operator only (chmod 600), a line a service:
//     qrz <user name> <password>
//     hamqth <user name> <password>
// The password is the rest of the line, so it may hold spaces.
inline constexpr const char* k_credentials_file = "CALLBOOK.PWD";

struct Account {
    std::string user;
    std::string password;
};

enum class AccountError {
    missing,        // no file, or no line for the service
    open_to_others, // group or others may read or write it
    unreadable,
};

[[nodiscard]] Result<Account, AccountError> read_account(const std::string& directory,
                                                         const std::string& service);

// What the Call line says for each.
[[nodiscard]] std::string account_error_text(AccountError error);

} // namespace kestrel::callbook
