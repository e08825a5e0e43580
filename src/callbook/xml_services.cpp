#include "callbook/xml_services.hpp"

#include "callbook/error_texts.hpp"
#include "callbook/http_client.hpp"
#include "common/windows1252.hpp"

#include <algorithm>

namespace kestrel::callbook {

namespace {

using Clock = std::chrono::steady_clock;

std::string entities_undone(const std::string& text) {
    static const std::pair<const char*, char> entities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool done = false;
        for (const auto& [name, character] : entities) {
            const std::string_view n(name);
            if (text.compare(i, n.size(), n) == 0) {
                out += character;
                i += n.size();
                done = true;
                break;
            }
        }
        if (!done) out += text[i++];
    }
    return out;
}

// The services answer in UTF-8; the window shows Windows-1252.
std::string field(const std::string& xml, const std::string& tag) {
    return windows1252_from_utf8(xml_text(xml, tag));
}

std::string joined(std::initializer_list<std::string> parts, std::string_view between) {
    std::string out;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        if (!out.empty()) out += between;
        out += part;
    }
    return out;
}

std::string network_error_text(HttpError error) {
    switch (error) {
    case HttpError::timeout: return k_no_answer;
    case HttpError::bad_answer: return k_bad_answer;
    case HttpError::no_https: return k_no_https;
    case HttpError::bad_address:
    case HttpError::no_connection: break;
    }
    return k_no_connection;
}

std::chrono::milliseconds left(Clock::time_point deadline) {
    return std::max(std::chrono::milliseconds(1),
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
}

// A service's own error text, unless it repeats what the operator keeps secret.
std::string service_error_text(const std::string& error, const Account& account) {
    if (error.find(account.password) != std::string::npos) return k_bad_answer;
    return windows1252_from_utf8(error);
}

std::string upper_trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    std::string out = text.substr(first, text.find_last_not_of(' ') - first + 1);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

} // namespace

std::string xml_text(const std::string& xml, const std::string& tag) {
    const std::string open = "<" + tag + ">";
    const std::size_t start = xml.find(open);
    if (start == std::string::npos) return {};
    const std::size_t from = start + open.size();
    const std::size_t end = xml.find("</" + tag + ">", from);
    if (end == std::string::npos) return {};
    return entities_undone(xml.substr(from, end - from));
}

Lookup HamQth::lookup_call(const std::string& typed) {
    if (!m_account) return account_error_text(m_account.error());
    const Account& account = m_account.value();
    const std::string call = upper_trimmed(typed);
    const Clock::time_point deadline = Clock::now() + m_time;
    const auto session =
        http_get(m_address + "?u=" + url_encoded(account.user) + "&p=" + url_encoded(account.password),
                 left(deadline));
    if (!session) return network_error_text(session.error());
    const std::string id = xml_text(*session, "session_id");
    if (id.empty()) {
        const std::string error = xml_text(*session, "error");
        return std::string(error.empty() ? k_bad_answer : k_login_refused);
    }
    const auto found =
        http_get(m_address + "?id=" + url_encoded(id) + "&callsign=" + url_encoded(call) + "&prg=Kestrel",
                 left(deadline));
    if (!found) return network_error_text(found.error());
    const std::string station = xml_text(*found, "search");
    if (station.empty()) {
        const std::string error = xml_text(*found, "error");
        if (error.empty()) return std::string(k_bad_answer);
        if (error.find("not found") != std::string::npos) return std::string(k_call_not_found);
        return service_error_text(error, account);
    }
    CallbookRecord r;
    r.call = field(station, "callsign");
    if (r.call.empty()) r.call = call;
    for (char& c : r.call)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    r.name = field(station, "adr_name");
    if (r.name.empty()) r.name = field(station, "nick");
    r.qth = joined({field(station, "adr_street1"), field(station, "adr_street2"),
                    joined({field(station, "adr_zip"), field(station, "adr_city")}, " "),
                    field(station, "country")},
                   ", ");
    if (r.qth.empty()) r.qth = field(station, "qth");
    r.latitude = field(station, "latitude");
    r.longitude = field(station, "longitude");
    r.grid_square = field(station, "grid");
    r.email = field(station, "email");
    return r;
}

Lookup QrzXml::lookup_call(const std::string& typed) {
    if (!m_account) return account_error_text(m_account.error());
    const Account& account = m_account.value();
    const std::string call = upper_trimmed(typed);
    const Clock::time_point deadline = Clock::now() + m_time;
    const auto session = http_get(m_address + "?username=" + url_encoded(account.user) +
                                      ";password=" + url_encoded(account.password) + ";agent=Kestrel",
                                  left(deadline));
    if (!session) return network_error_text(session.error());
    const std::string key = xml_text(*session, "Key");
    if (key.empty())
        return std::string(xml_text(*session, "Session").empty() ? k_bad_answer : k_login_refused);
    const auto found =
        http_get(m_address + "?s=" + url_encoded(key) + ";callsign=" + url_encoded(call), left(deadline));
    if (!found) return network_error_text(found.error());
    const std::string station = xml_text(*found, "Callsign");
    if (station.empty()) {
        const std::string error = xml_text(*found, "Error");
        if (error.empty()) return std::string(k_bad_answer);
        if (error.find("Not found") != std::string::npos) return std::string(k_call_not_found);
        return service_error_text(error, account);
    }
    CallbookRecord r;
    r.call = field(station, "call");
    r.name = joined({field(station, "fname"), field(station, "name")}, " ");
    r.qth = joined({field(station, "addr1"), field(station, "addr2"),
                    joined({field(station, "state"), field(station, "zip")}, " "), field(station, "country")},
                   ", ");
    r.latitude = field(station, "lat");
    r.longitude = field(station, "lon");
    r.grid_square = field(station, "grid");
    r.email = field(station, "email");
    return r;
}

} // namespace kestrel::callbook
