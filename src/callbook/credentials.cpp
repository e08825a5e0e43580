#include "callbook/credentials.hpp"

#include "common/side_file.hpp"
#include "databases/database_settings.hpp"

#include <sstream>

#include <sys/stat.h>

namespace kestrel::callbook {

Result<Account, AccountError> read_account(const std::string& directory, const std::string& service) {
    const std::string path = databases::station_file(directory, k_credentials_file);
    struct stat about {};
    if (::stat(path.c_str(), &about) != 0) return AccountError::missing;
    // Like ssh with its keys: a password others can read is not used, so the operator learns of it.
    if ((about.st_mode & (S_IRWXG | S_IRWXO)) != 0) return AccountError::open_to_others;
    // Read whole and at once: a named pipe in its place is refused rather than waited on.
    const auto bytes = read_regular_file(path);
    if (!bytes) return AccountError::unreadable;
    std::istringstream in(*bytes);
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        const std::size_t first = line.find(' ');
        if (first == std::string::npos || line.substr(0, first) != service) continue;
        const std::size_t user_start = line.find_first_not_of(' ', first);
        if (user_start == std::string::npos) continue;
        const std::size_t user_end = line.find(' ', user_start);
        if (user_end == std::string::npos) continue;
        const std::size_t password_start = line.find_first_not_of(' ', user_end);
        if (password_start == std::string::npos) continue;
        return Account{line.substr(user_start, user_end - user_start), line.substr(password_start)};
    }
    return AccountError::missing;
}

std::string account_error_text(AccountError error) {
    switch (error) {
    case AccountError::missing: return "No callbook account in CALLBOOK.PWD";
    case AccountError::open_to_others: return "CALLBOOK.PWD is open to others: chmod 600";
    case AccountError::unreadable: return "CALLBOOK.PWD cannot be read";
    }
    return {};
}

} // namespace kestrel::callbook
