// The US licence files as an off-line callbook: EN lines read field by field, the index beside
// them kept in step with EN.dat, and the same answers with the index as without it.

#include "callbook/fcc_licences.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace kestrel::callbook {
namespace {

namespace fs = std::filesystem;

// An EN line with the fields the window shows; the rest as the real files leave them.
std::string en(const std::string& id, const std::string& call, const std::string& entity,
               const std::string& first, const std::string& mi, const std::string& last,
               const std::string& suffix, const std::string& email, const std::string& street,
               const std::string& city, const std::string& state, const std::string& zip,
               const std::string& po_box = "") {
    return "EN|" + id + "|||" + call + "|L|L00000001|" + entity + "|" + first + "|" + mi + "|" + last + "|" +
           suffix + "|||" + email + "|" + street + "|" + city + "|" + state + "|" + zip + "|" + po_box +
           "||000|0001234567|I||||||\r\n";
}

TEST(FccLicences, EnLinesGiveTheSevenFields) {
    struct Case {
        std::string line;
        std::optional<CallbookRecord> record;
    } cases[] = {
        {en("100", "W1AW", "", "Alan", "B", "Grey", "JR", "ag@example.org", "1 Main St", "York", "PA",
            "17401"),
         CallbookRecord{"W1AW", "Alan B Grey JR", "1 Main St, York, PA 17401", "", "", "", "ag@example.org"}},
        {en("101", "k2abc", "Hill Radio Club", "", "", "", "", "", "", "Erie", "PA", "16501", "12"),
         CallbookRecord{"K2ABC", "Hill Radio Club", "PO BOX 12, Erie, PA 16501", "", "", "", ""}},
        {en("102", "N3X", "", "Ann", "", "Lee", "", "", "", "", "", ""),
         CallbookRecord{"N3X", "Ann Lee", "", "", "", "", ""}},
        {"HD|100|||W1AW|A|HA\r\n", std::nullopt},                                    // another record type
        {"EN|100|||W1AW|L|L1|\r\n", std::nullopt},                                   // cut short
        {en("103", "", "", "Ann", "", "Lee", "", "", "", "", "", ""), std::nullopt}, // no call
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<LicenceLine> got = parse_licence_line(c.line);
        ASSERT_EQ(got.has_value(), c.record.has_value()) << c.line;
        if (got) {
            EXPECT_EQ(got->record, *c.record) << c.line;
        }
    }
}

const std::string k_sample =
    en("500", "W1AW", "", "Old", "", "Holder", "", "", "", "", "", "") + "HD|500|||W1AW|A|HA|\r\n" +
    en("20", "K2ABC", "", "Bea", "", "Cole", "", "bc@example.org", "2 Elm Rd", "Troy", "NY", "12180") +
    en("900", "W1AW", "", "New", "", "Holder", "", "", "", "Newington", "CT", "06111") +
    en("30", "N3X", "", "Ann", "", "Lee", "", "", "", "", "", "");

TEST(FccLicences, LooksUpByCallTheLatestHolderAndSaysWhatWentWrong) {
    testing::TempDir dir;
    testing::write_file(dir.path() / k_licence_file, k_sample);
    struct Case {
        std::string call;
        std::string name_or_error;
    } cases[] = {
        {"W1AW", "New Holder"}, // given out again: the larger identifier, though earlier in the file
        {"k2abc", "Bea Cole"},        {" N3X ", "Ann Lee"},
        {"N3", "Callsign not found"}, {"ZZ9ZZZ", "Callsign not found"},
        {"", "Callsign not found"},   {"AVERYLONGCALLSIGNINDEED", "Callsign not found"},
    };
    FccLicences licences(dir.path().string());
    for (const Case& c : cases) {
        const Lookup got = licences.lookup_call(c.call);
        EXPECT_EQ(got ? got->name : got.error(), c.name_or_error) << c.call;
    }
    EXPECT_TRUE(fs::exists(dir.path() / k_index_file));

    testing::TempDir empty;
    const Lookup missing = FccLicences(empty.path().string()).lookup_call("W1AW");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error(), "Database not found");
}

TEST(FccLicences, AnIndexOlderThanTheFileIsMadeAgain) {
    testing::TempDir dir;
    testing::write_file(dir.path() / k_licence_file, k_sample);
    FccLicences licences(dir.path().string());
    EXPECT_FALSE(licences.lookup_call("KA1NEW"));

    // A new week's file: the new call must be found, and an old line's offset not trusted.
    testing::write_file(dir.path() / k_licence_file,
                        en("7", "KA1NEW", "", "Cy", "", "Dunn", "", "", "", "", "", "") + k_sample);
    fs::last_write_time(dir.path() / k_licence_file,
                        fs::last_write_time(dir.path() / k_index_file) + std::chrono::seconds(5));
    const Lookup fresh = licences.lookup_call("KA1NEW");
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->name, "Cy Dunn");
    const Lookup moved = licences.lookup_call("N3X");
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->name, "Ann Lee");

    // The same size but rewritten since: still made again.
    std::string same_size = k_sample;
    same_size.replace(same_size.find("Bea"), 3, "Bob");
    testing::write_file(dir.path() / k_licence_file, same_size);
    fs::last_write_time(dir.path() / k_licence_file,
                        fs::last_write_time(dir.path() / k_index_file) + std::chrono::seconds(5));
    EXPECT_EQ(licences.lookup_call("K2ABC")->name, "Bob Cole");
}

// Where no index can be written the file is read through; both ways must give the same answers.
TEST(FccLicences, ReadingThroughAgreesWithTheIndexOnRandomFiles) {
    std::mt19937 random(12345);
    const auto random_call = [&random] {
        std::string call;
        const int length = 3 + static_cast<int>(random() % 4);
        for (int i = 0; i < length; ++i)
            call += static_cast<char>(i == 1 ? '0' + random() % 10 : 'A' + random() % 26);
        return call;
    };
    std::string bytes;
    std::vector<std::string> calls;
    for (int i = 0; i < 300; ++i) {
        calls.push_back(random_call());
        bytes += en(std::to_string(random() % 1000), calls.back(), "", "N" + std::to_string(i), "", "X", "",
                    "", "", "", "", "");
    }
    testing::TempDir indexed;
    testing::TempDir unindexed;
    testing::write_file(indexed.path() / k_licence_file, bytes);
    testing::write_file(unindexed.path() / k_licence_file, bytes);
    fs::create_directory(unindexed.path() / k_index_file); // the index cannot be put there
    FccLicences fast(indexed.path().string());
    FccLicences slow(unindexed.path().string());
    for (int i = 0; i < 100; ++i)
        calls.push_back(random_call()); // most of these are not in the file
    for (const std::string& call : calls) {
        const Lookup a = fast.lookup_call(call);
        const Lookup b = slow.lookup_call(call);
        ASSERT_EQ(a.ok(), b.ok()) << call;
        if (a)
            EXPECT_EQ(*a, *b) << call;
        else
            EXPECT_EQ(a.error(), b.error()) << call;
    }
}

} // namespace
} // namespace kestrel::callbook
