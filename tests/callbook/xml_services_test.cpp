// The on-line callbooks against a server of our own on the loopback that answers as the
// services do: log-in, the station's fields, and each way a lookup can fail, told in the Call
// line without ever showing the password.

#include "callbook/credentials.hpp"
#include "callbook/http_client.hpp"
#include "callbook/xml_services.hpp"

#include "local_http_server.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrel::callbook {
namespace {

using testing::ok_xml;
using namespace std::chrono_literals;

const Account k_account{"op1", "s3cret pw"};

std::string hamqth_answer(const std::string& path) {
    if (path.find("?u=op1&p=s3cret%20pw") != std::string::npos)
        return ok_xml("<HamQTH><session><session_id>SID9</session_id></session></HamQTH>");
    if (path.find("?u=") != std::string::npos)
        return ok_xml("<HamQTH><session><error>Wrong user name or password</error></session></HamQTH>");
    if (path.find("id=SID9&callsign=OK7AN") != std::string::npos)
        return ok_xml(
            "<HamQTH><search><callsign>ok7an</callsign><nick>Petr</nick><adr_name>Petr H&amp;K</adr_name>"
            "<adr_street1>Main 1</adr_street1><adr_city>Brno</adr_city><adr_zip>602 00</adr_zip>"
            "<country>Czech Republic</country><grid>JN89ci</grid><latitude>49.1</latitude>"
            "<longitude>16.6</longitude><email>ok7an@example.org</email></search></HamQTH>");
    if (path.find("callsign=SLOW") != std::string::npos) return {};
    if (path.find("callsign=BROKEN") != std::string::npos) return "HTTP/1.1 500 Oops\r\n\r\n";
    return ok_xml("<HamQTH><session><error>Callsign not found</error></session></HamQTH>");
}

std::string qrz_answer(const std::string& path) {
    if (path.find("?username=op1;password=s3cret%20pw;") != std::string::npos)
        return ok_xml("<QRZDatabase><Session><Key>K123</Key></Session></QRZDatabase>");
    if (path.find("?username=") != std::string::npos)
        return ok_xml(
            "<QRZDatabase><Session><Error>Username/password incorrect</Error></Session></QRZDatabase>");
    if (path.find("s=K123;callsign=AA7BQ") != std::string::npos)
        return ok_xml("<QRZDatabase><Callsign><call>AA7BQ</call><fname>Fred L</fname><name>Lloyd</name>"
                      "<addr1>8711 E Pinnacle Peak Rd</addr1><addr2>Scottsdale</addr2><state>AZ</state>"
                      "<zip>85255</zip><country>United States</country><lat>34.2</lat><lon>-111.9</lon>"
                      "<grid>DM43bm</grid><email>aa7bq@example.org</email></Callsign>"
                      "<Session><Key>K123</Key></Session></QRZDatabase>");
    return ok_xml(
        "<QRZDatabase><Session><Error>Not found: XX1X</Error><Key>K123</Key></Session></QRZDatabase>");
}

std::string summary(const Lookup& got) {
    if (!got) return "error: " + got.error();
    return got->call + "|" + got->name + "|" + got->qth + "|" + got->latitude + "|" + got->longitude + "|" +
           got->grid_square + "|" + got->email;
}

TEST(XmlServices, StationsFoundAndEachFailureInTheCallLine) {
    testing::LocalHttpServer hamqth(hamqth_answer);
    testing::LocalHttpServer qrz(qrz_answer);
    const Account wrong{"op1", "nope"};
    struct Case {
        const char* service;
        AccountRead account;
        std::string call;
        std::string expected;
    } cases[] = {
        {"hamqth", k_account, "ok7an",
         "OK7AN|Petr H&K|Main 1, 602 00 Brno, Czech Republic|49.1|16.6|JN89ci|ok7an@example.org"},
        {"hamqth", k_account, "G0XYZ", "error: CALL NOT FOUND"},
        {"hamqth", wrong, "OK7AN", "error: Callbook user name or password refused"},
        {"hamqth", k_account, "BROKEN", "error: The callbook service gave an answer not understood"},
        {"hamqth", AccountError::missing, "OK7AN", "error: No callbook account in CALLBOOK.PWD"},
        {"qrz", k_account, "AA7BQ",
         "AA7BQ|Fred L Lloyd|8711 E Pinnacle Peak Rd, Scottsdale, AZ 85255, United States|34.2|-111.9|DM43bm|"
         "aa7bq@example.org"},
        {"qrz", k_account, "XX1X", "error: CALL NOT FOUND"},
        {"qrz", wrong, "AA7BQ", "error: Callbook user name or password refused"},
        {"qrz", AccountError::open_to_others, "AA7BQ", "error: CALLBOOK.PWD is open to others: chmod 600"},
    };
    for (const Case& c : cases) {
        const bool is_qrz = std::string(c.service) == "qrz";
        const Lookup got = is_qrz ? QrzXml(qrz.address() + "/xml/current/", c.account).lookup_call(c.call)
                                  : HamQth(hamqth.address() + "/xml.php", c.account).lookup_call(c.call);
        EXPECT_EQ(summary(got), c.expected) << c.service << " " << c.call;
        EXPECT_EQ(summary(got).find("s3cret"), std::string::npos);
    }
}

TEST(XmlServices, ANetworkThatFailsIsToldWithinTheTimeAllowed) {
    testing::LocalHttpServer silent(hamqth_answer);
    const auto started = std::chrono::steady_clock::now();
    const Lookup slow = HamQth(silent.address() + "/xml.php", k_account, 300ms).lookup_call("SLOW");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    EXPECT_EQ(summary(slow), "error: No answer from the callbook service");

    std::string closed_address;
    {
        testing::LocalHttpServer gone(hamqth_answer);
        closed_address = gone.address();
    }
    EXPECT_EQ(summary(QrzXml(closed_address + "/", k_account, 1s).lookup_call("AA7BQ")),
              "error: No connection to the callbook service");
    EXPECT_EQ(summary(QrzXml("gopher://example.org/", k_account, 1s).lookup_call("AA7BQ")),
              "error: No connection to the callbook service");
}

TEST(Credentials, ReadOnlyFromAFileNobodyElseCanRead) {
    testing::TempDir dir;
    const auto path = dir.path() / k_credentials_file;
    testing::write_file(path, "# my accounts\r\nqrz  op1   s3cret pw  \r\nhamqth op2 pw2\r\nbroken\r\n");
    std::filesystem::permissions(path,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    struct Case {
        std::string service;
        std::string expected;
    } cases[] = {
        {"qrz", "op1/s3cret pw"}, {"hamqth", "op2/pw2"}, {"broken", "missing"}, {"other", "missing"}};
    for (const Case& c : cases) {
        const auto got = read_account(dir.path().string(), c.service);
        EXPECT_EQ(got ? got->user + "/" + got->password : "missing", c.expected) << c.service;
    }
    std::filesystem::permissions(path, std::filesystem::perms::group_read,
                                 std::filesystem::perm_options::add);
    const auto open = read_account(dir.path().string(), "qrz");
    ASSERT_FALSE(open);
    EXPECT_EQ(open.error(), AccountError::open_to_others);

    testing::TempDir empty;
    const auto none = read_account(empty.path().string(), "qrz");
    ASSERT_FALSE(none);
    EXPECT_EQ(none.error(), AccountError::missing);
}

TEST(HttpClient, AddressesItCannotReachAndTextsForTheQuery) {
    EXPECT_EQ(http_get("ftp://example.org/", 1s).error(), HttpError::bad_address);
    EXPECT_EQ(http_get("http://:80/", 1s).error(), HttpError::bad_address);
    EXPECT_EQ(url_encoded("a b&c=d;é"), "a%20b%26c%3Dd%3B%C3%A9");
}

} // namespace
} // namespace kestrel::callbook
