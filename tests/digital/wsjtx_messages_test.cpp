// The datagrams of digital-mode programs, as they write them, turned into contacts of the log.
#include "digital/wsjtx_messages.hpp"

#include "common/fixed_text.hpp"
#include "digital/wsjtx_datagrams.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace kestrel::digital {
namespace {

using testing::Datagram;
using testing::LoggedQso;
using testing::utc;

std::vector<DigitalContact> contacts(const Datagram& datagram) {
    std::vector<DigitalContact> out;
    for (const ContactFields& fields : contacts_of_datagram(datagram))
        if (auto contact = contact_of(fields)) out.push_back(std::move(*contact));
    return out;
}

std::string trimmed(const std::string& text) {
    return std::string(trim_trailing_spaces(text));
}

// Both messages a program sends for one contact make the same record: band from the frequency,
// FT4 as the log keeps it, reports, power, comment and name, the locator beside it.
TEST(WsjtxMessages, BothMessagesOfOneContactMakeTheSameRecord) {
    LoggedQso q;
    q.mode = "FT4";
    q.hertz = 7'047'500;
    q.comments = "tnx fer QSO ";
    q.name = "Jos\xc3\xa9";
    for (const Datagram& datagram : {testing::qso_logged(q), testing::logged_adif(testing::adif_of(q))}) {
        const auto found = contacts(datagram);
        ASSERT_EQ(found.size(), 1u);
        const logstore::QsoRecord& r = found[0].record;
        EXPECT_EQ(r.date, logstore::day_number_of("07-12-26"));
        EXPECT_EQ(r.time_on, 14 * 60 + 30);
        EXPECT_EQ(r.time_off, 14 * 60 + 31);
        EXPECT_EQ(trimmed(r.call), "K1ABC");
        EXPECT_EQ(logstore::band_of_field(r.band), 2) << "7 MHz";
        EXPECT_EQ(r.band, logstore::coded_band_field(2));
        EXPECT_EQ(r.mode, "FT4");
        EXPECT_EQ(trimmed(r.rst_sent), "-10");
        EXPECT_EQ(trimmed(r.rst_received), "-12");
        EXPECT_EQ(trimmed(r.power), "50");
        EXPECT_EQ(trimmed(r.comment), "tnx fer QSO Jos\xe9")
            << "name in Windows-1252 after the comment, apart";
        EXPECT_EQ(r.qsl_flags, 0);
        EXPECT_EQ(found[0].locator, "FN42");
        EXPECT_EQ(key_of(r), key_of(contacts(testing::qso_logged(q))[0].record));
    }
}

TEST(WsjtxMessages, ModesAsTheProgramsNameThem) {
    struct Case {
        const char* sent;
        const char* stored;
    };
    const Case cases[] = {{"FT8", "FT8"},    {"FT4", "FT4"}, {"JT65", "JT6"}, {"Q65", "Q65"},
                          {"MSK144", "MSK"}, {"ft8", "FT8"}, {"XYZ9", "XYZ"}};
    for (const Case& c : cases) {
        LoggedQso q;
        q.mode = c.sent;
        const auto found = contacts(testing::qso_logged(q));
        ASSERT_EQ(found.size(), 1u) << c.sent;
        EXPECT_EQ(trimmed(found[0].record.mode), c.stored) << c.sent;
    }
}

// The moment a contact began, however the program wrote it.
TEST(WsjtxMessages, TimesInUtcWithAnOffsetOrLocalBecomeUtc) {
    const char* old_zone = std::getenv("TZ");
    const std::string kept = old_zone ? old_zone : "";
    ::setenv("TZ", "EST5", 1); // five hours behind UTC, no summer time
    ::tzset();
    struct Case {
        std::uint8_t kind;
        std::int32_t offset;
        std::chrono::sys_seconds shown;
        int minute_of_day; // -1: no contact
        const char* date;
    };
    const Case cases[] = {
        {1, 0, utc(2026, 12, 7, 14, 30), 14 * 60 + 30, "07-12-26"},
        {2, 3600, utc(2026, 12, 7, 15, 30), 14 * 60 + 30, "07-12-26"}, // an hour east of UTC
        {2, -7200, utc(2026, 12, 7, 23, 10), 1 * 60 + 10, "08-12-26"}, // into the next UTC day
        {0, 0, utc(2026, 12, 7, 9, 30), 14 * 60 + 30, "07-12-26"},     // this computer's time
        {3, 0, utc(2026, 12, 7, 14, 30), -1, ""},                      // a named zone
    };
    for (const Case& c : cases) {
        testing::QtStreamWriter w;
        w.header(5).date_time(c.shown, c.kind, c.offset);
        if (c.kind == 3) w.utf8(std::string("\0E\0u\0r\0o\0p\0e", 12));
        w.utf8("K1ABC").utf8("").u64(14'074'000).utf8("FT8").utf8("").utf8("").utf8("").utf8("").utf8("");
        const auto found = contacts(w.bytes());
        if (c.minute_of_day < 0) {
            EXPECT_TRUE(found.empty()) << int(c.kind);
            continue;
        }
        ASSERT_EQ(found.size(), 1u) << int(c.kind);
        EXPECT_EQ(found[0].record.time_on, c.minute_of_day) << int(c.kind) << " " << c.offset;
        EXPECT_EQ(found[0].record.date, logstore::day_number_of(c.date)) << int(c.kind) << " " << c.offset;
    }
    if (old_zone)
        ::setenv("TZ", kept.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

// Every datagram that is not a whole contact message of the protocol brings nothing; a message
// cut short brings nothing, except one that ends where an older program's ends (after the name,
// or after the start), since the fields after those are not the log's.
TEST(WsjtxMessages, ForeignBrokenAndOtherMessagesBringNothing) {
    LoggedQso q;
    const Datagram full = testing::qso_logged(q);
    LoggedQso older = q;
    older.with_start = false;
    const std::size_t older_end = testing::qso_logged(older).size();
    const std::size_t start_end = older_end + 8 + 4 + 1; // day, milliseconds, time kind
    for (std::size_t n = 0; n < full.size(); ++n) {
        const Datagram cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_EQ(contacts(cut).size(), n == older_end || n >= start_end ? 1u : 0u) << n << " bytes";
    }
    const auto older_contact = contacts(testing::qso_logged(older));
    ASSERT_EQ(older_contact.size(), 1u);
    EXPECT_EQ(older_contact[0].record.time_on, 14 * 60 + 31) << "no start: the end stands for it";

    LoggedQso no_call = q;
    no_call.call = " ";
    testing::QtStreamWriter status;
    status.header(1).u64(14'074'000).utf8("FT8").utf8("K1ABC");
    Datagram wrong_magic = full;
    wrong_magic[3] ^= 1;
    Datagram old_schema = testing::qso_logged(q, 1);
    const Datagram nothing[] = {
        status.bytes(),
        wrong_magic,
        old_schema,
        testing::qso_logged(no_call),
        testing::logged_adif("<call:5>K1ABC<eor>"), // no date or time
        testing::logged_adif(std::string("<call:5>K1ABC<qso_date:8>20261207<time_on:4>\0\0\r\n<eor>", 53)),
        testing::logged_adif("garbage"),
        Datagram{'h', 'e', 'l', 'l', 'o'},
        Datagram(),
    };
    for (const Datagram& d : nothing)
        EXPECT_TRUE(contacts(d).empty()) << d.size() << " bytes";

    // Extra fields after the known ones, which newer programs may add, are passed over; so is a
    // message from a later schema.
    Datagram longer = testing::qso_logged(q, 4);
    longer.insert(longer.end(), {0, 0, 0, 2, 'x', 'y'});
    EXPECT_EQ(contacts(longer).size(), 1u);
    EXPECT_EQ(contacts(testing::qso_logged(q, 2)).size(), 1u);
}

TEST(WsjtxMessages, LoggedAdifKeepsTheContactsFieldsOnly) {
    const std::string adif = "WSJT-X ADIF Export<eoh><call:6>DL1ABC<qso_date:8>20261207<time_on:4>2359"
                             "<freq:8>50.31300<mode:3>FT8<qsl_rcvd:1>Y<operator:5>G4XYZ<notes:5>first<eor>";
    const auto fields = contacts_of_datagram(testing::logged_adif(adif));
    ASSERT_EQ(fields.size(), 1u);
    std::vector<std::string> names;
    for (const auto& f : fields[0])
        names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{"call", "qso_date", "time_on", "freq", "mode", "notes"}));
    const auto found = contact_of(fields[0]);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->record.qsl_flags, 0) << "a card is not received the moment a contact is logged";
    EXPECT_EQ(logstore::band_of_field(found->record.band), 9) << "6 m";
    EXPECT_EQ(found->record.time_off, found->record.time_on);
}

// A logged contact's values are taken by their counts exactly, whatever they hold: text inside a
// comment never becomes a field of its own, so it cannot give the contact another call. A count
// in bytes and one in characters are both understood.
TEST(WsjtxMessages, LoggedAdifValuesAreTheirCountsWhateverTheyHold) {
    const std::string head = "<EOH>";
    const std::string rest = "<qso_date:8>20261207 <time_on:6>143015 <freq:9>14.074000 <mode:3>FT8 ";
    struct Case {
        const char* what;
        std::string adif;
        std::size_t contacts;
        const char* call;
        const char* comment; // Windows-1252
    };
    const Case cases[] = {
        {"a call inside the comment, counted in bytes",
         "<comment:16>73 <call:5>W9XYZ <call:5>K1ABC " + rest + "<eor>", 1, "K1ABC", "73 <call:5>W9XYZ"},
        {"a call inside the comment, counted in characters",
         "<comment:19>Gr\xc3\xbc\xc3\x9f"
         "e <call:5>W9XYZ <call:5>K1ABC " +
             rest + "<eor>",
         1, "K1ABC",
         "Gr\xfc\xdf"
         "e <call:5>W9XYZ"},
        {"the same counted in bytes",
         "<comment:21>Gr\xc3\xbc\xc3\x9f"
         "e <call:5>W9XYZ <call:5>K1ABC " +
             rest + "<eor>",
         1, "K1ABC",
         "Gr\xfc\xdf"
         "e <call:5>W9XYZ"},
        {"an end of record inside the comment", "<call:5>K1ABC <comment:9>ok <eor>! " + rest + "<eor>", 1,
         "K1ABC", "ok <eor>!"},
        {"a count longer than the text left takes it all, the end of record too",
         "<call:5>K1ABC " + rest + "<comment:40>tnx <eor>", 0, "", ""},
        {"a count of 0 is an empty value", "<call:5>K1ABC <comment:0>tnx " + rest + "<eor>", 1, "K1ABC", ""},
        {"a second call after an empty value counts for nothing",
         "<call:5>K1ABC <comment:0><call:5>W9XYZ " + rest + "<eor>", 1, "K1ABC", ""},
        {"a count with letters in it is its digits",
         "<call:5>K1ABC <comment:1x6>tnx <call:5>W9XYZ " + rest + "<eor>", 1, "K1ABC", "tnx <call:5>W9XY"},
        {"a count of no digits is 0", "<call:5>K1ABC <comment:x>tnx " + rest + "<eor>", 1, "K1ABC", ""},
    };
    for (const Case& c : cases) {
        const auto found = contacts(testing::logged_adif(head + c.adif));
        ASSERT_EQ(found.size(), c.contacts) << c.what;
        if (found.empty()) continue;
        EXPECT_EQ(trimmed(found[0].record.call), c.call) << c.what;
        EXPECT_EQ(trimmed(found[0].record.comment), c.comment) << c.what;
    }

    // The spool keeps such a value whole too, and reads it back the same.
    const ContactFields kept{{"call", "K1ABC"}, {"comment", "73 <call:5>W9XYZ <eor>"}};
    EXPECT_EQ(fields_of_line(adif_record_line(kept))->at(1).value, "73 <call:5>W9XYZ <eor>");
}

TEST(WsjtxMessages, FrequenciesInMegahertz) {
    EXPECT_EQ(megahertz_text(14'074'000), "14.074000");
    EXPECT_EQ(megahertz_text(1'840'500), "1.840500");
    EXPECT_EQ(megahertz_text(10'368'100'000), "10368.100000");
    EXPECT_EQ(megahertz_text(0), "0.000000");
}

} // namespace
} // namespace kestrel::digital
