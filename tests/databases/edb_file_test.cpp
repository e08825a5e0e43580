// The operator's database files: fields named by the first line, records found by any field,
// a record saved in place with every other byte of the file kept.

#include "databases/edb_file.hpp"

#include <gtest/gtest.h>

#include <random>

namespace kestrel::databases {
namespace {

const std::string k_club = "CALL:NAME:QTH:$$\r\n"
                           "G3ABC   :JOHN  :LEEDS :\r\n"
                           "G3ABD   :Mary  :      :\r\n"
                           "-- members who left --\r\n"
                           "G4XYZ   :PETE  :G3ABC :\r\n";

EdbDatabase club() {
    auto db = EdbDatabase::read(k_club);
    EXPECT_TRUE(db.ok());
    return std::move(db).value();
}

TEST(EdbFile, TheFirstLineNamesTheFieldsAndTheFirstRecordSetsTheirWidths) {
    const EdbDatabase db = club();
    ASSERT_EQ(db.field_count(), 3);
    EXPECT_EQ(db.field_name(0), "CALL");
    EXPECT_EQ(db.field_name(2), "QTH") << "the $$ goes";
    EXPECT_EQ(db.width(0), 8u);
    EXPECT_EQ(db.width(1), 6u);
    EXPECT_EQ(db.record_count(), 3) << "a line without a colon is no record";
    EXPECT_EQ(db.worked_count(), 2) << "the last field marks a record worked";
    EXPECT_EQ(db.fields(2), (std::vector<std::string>{"G4XYZ   ", "PETE  ", "G3ABC "}));
}

// Each "$$" removed from the first line used to move the rest of the line, so the time grew
// with the square of its length (seconds for this one, minutes for a few megabytes); now the
// line is read in one pass.
TEST(EdbFile, EveryDollarPairOfTheFirstLineGoesHoweverManyThereAre) {
    const std::string header = "CALL" + std::string(1'000'000, '$') + ":NA$$$ME:";
    const auto db = EdbDatabase::read(header + "\r\nG3ABC:JOHN:\r\n");
    ASSERT_TRUE(db.ok());
    ASSERT_EQ(db->field_count(), 2);
    EXPECT_EQ(db->field_name(0), "CALL");
    EXPECT_EQ(db->field_name(1), "NA$ME");
    EXPECT_EQ(db->text(), "CALL:NA$ME:\r\nG3ABC:JOHN:\r\n");
}

TEST(EdbFile, FilesThatAreNoDatabaseOrHaveTooManyFieldsAreRefused) {
    struct Case {
        std::string bytes;
        std::optional<EdbProblem> problem;
        int fields;
    } cases[] = {
        {"", EdbProblem::no_fields, 0},
        {"CALL NAME\r\nG3ABC JOHN\r\n", EdbProblem::no_fields, 0},
        {"A:B:C:D:E:F:G:H:I:J:K:\r\n", std::nullopt, 11},
        {"A:B:C:D:E:F:G:H:I:J:K:L:\r\n", EdbProblem::too_many_fields, 0},
        {"CALL:NAME\r\nG3ABC:JOHN\r\n", std::nullopt, 1}, // one colon, one field
        {"CALL:NAME:\nG3ABC:JOHN:\n", std::nullopt, 2},   // LF alone ends lines too
    };
    for (const Case& c : cases) {
        const auto db = EdbDatabase::read(c.bytes);
        if (c.problem) {
            ASSERT_FALSE(db.ok()) << c.bytes;
            EXPECT_EQ(db.error(), *c.problem) << c.bytes;
        } else {
            ASSERT_TRUE(db.ok()) << c.bytes;
            EXPECT_EQ(db->field_count(), c.fields) << c.bytes;
        }
    }
}

TEST(EdbFile, ARecordIsFoundByAWholeFieldOrByTheStartOfOne) {
    const EdbDatabase db = club();
    struct Case {
        const char* search;
        int after;
        std::optional<int> found;
    } cases[] = {
        {"g3abc", -1, 0},
        {"g3abc", 0, 2}, // the next one: a QTH field
        {"g3ab", -1, std::nullopt},
        {"g3*", -1, 0},
        {"g3*", 0, 1},
        {"g3*", 1, 2},
        {"g3*", 2, std::nullopt},
        {"mary", -1, 1},  // in any case
        {"MA*RY", -1, 1}, // before the first star only
        {"*", 1, 2},
        {"LEEDS ", -1, std::nullopt}, // the search keeps its blanks
    };
    for (const Case& c : cases)
        EXPECT_EQ(db.find(c.search, c.after), c.found) << c.search << " after " << c.after;
}

TEST(EdbFile, TheCopyGoesIntoTheLastFieldNamedForIt) {
    struct Case {
        std::string header;
        int call, band, date;
    } cases[] = {
        {"CALL:NAME:BAND:DATE:", 0, 2, 3},
        {"Callsign:His call:Worked date:", 1, -1, 2}, // names in any case; the last CALL wins
        {"SQUARE:WORKED:", -1, -1, -1},
    };
    for (const Case& c : cases) {
        const auto db = EdbDatabase::read(c.header + "\r\n");
        ASSERT_TRUE(db.ok());
        EXPECT_EQ(db->copy_target(CopyField::call), c.call) << c.header;
        EXPECT_EQ(db->copy_target(CopyField::band), c.band) << c.header;
        EXPECT_EQ(db->copy_target(CopyField::date), c.date) << c.header;
    }
}

TEST(EdbFile, ASavedRecordKeepsItsPlaceWidthsAndTheRestOfTheFile) {
    struct Case {
        const char* what;
        std::vector<std::string> texts;
        std::string line;
    } cases[] = {
        {"padded", {"G3ABD", "ANN", "HULL"}, "G3ABD   :ANN   :HULL  :"},
        {"cut to the width", {"G3ABD", "ELIZABETH", "SCARBOROUGH"}, "G3ABD   :ELIZAB:SCARBO:"},
        {"a field left out is empty", {"G3ABD"}, "G3ABD   :      :      :"},
    };
    for (const Case& c : cases) {
        EdbDatabase db = club();
        db.replace_record(1, c.texts);
        EXPECT_EQ(db.text(), "CALL:NAME:QTH:\r\n"
                             "G3ABC   :JOHN  :LEEDS :\r\n" +
                                 c.line +
                                 "\r\n"
                                 "-- members who left --\r\n"
                                 "G4XYZ   :PETE  :G3ABC :\r\n")
            << c.what;
    }
}

TEST(EdbFile, ALineThatDiffersFromTheFirstRecordLosesNothingWhenSaved) {
    auto db = EdbDatabase::read("CALL:NAME:\r\n"
                                "G3ABC:JOHN:\r\n"
                                "G4ABCDEFG:MARY:notes of mine\r\n" // wider, and more after the fields
                                "M0AAA\r\n"                        // no colon: no record
                                "M0BBB:\r\n");                     // one field of two
    ASSERT_TRUE(db.ok());
    ASSERT_EQ(db->record_count(), 3);
    EXPECT_EQ(db->fields(2), (std::vector<std::string>{"M0BBB", ""}));
    db->replace_record(1, {"G4ABCDEFG", "ANN"});
    db->replace_record(2, {"M0BBB", "BOB"});
    EXPECT_EQ(db->text(), "CALL:NAME:\r\n"
                          "G3ABC:JOHN:\r\n"
                          "G4ABCDEFG:ANN :notes of mine\r\n"
                          "M0AAA\r\n"
                          "M0BBB:BOB :\r\n");
}

TEST(EdbFile, AFieldWithNoWidthInTheFirstRecordTakesTheWidthOfItsName) {
    auto db = EdbDatabase::read("CALL:WORKED:\r\nG3ABC:\r\n");
    ASSERT_TRUE(db.ok());
    EXPECT_EQ(db->width(1), 6u);
    db->replace_record(0, {"G3ABC", "YES"});
    EXPECT_EQ(db->text(), "CALL:WORKED:\r\nG3ABC:YES   :\r\n");
}

// The worked squares the on-line window keeps are a database too: with a first line naming
// their fields, a record saved here keeps the layout the square check reads.
TEST(EdbFile, TheWorkedSquaresFileIsADatabase) {
    auto db = EdbDatabase::read("SQUARE:CALL        :DATE    :\r\n"
                                "IO91  :            :        :\r\n"
                                "JO01  :G4ABC       :01-02-03:\r\n");
    ASSERT_TRUE(db.ok());
    EXPECT_EQ(db->worked_count(), 1);
    EXPECT_EQ(db->find("io91", -1), 0);
    db->replace_record(0, {"IO91", "M0XYZ", "24-12-25"});
    EXPECT_EQ(db->text(), "SQUARE:CALL        :DATE    :\r\n"
                          "IO91  :M0XYZ       :24-12-25:\r\n"
                          "JO01  :G4ABC       :01-02-03:\r\n");
}

TEST(EdbFile, RecordsPastTheLimitAreKeptButNotSearched) {
    std::string bytes = "CALL:\r\n";
    for (int i = 0; i < k_most_records + 2; ++i)
        bytes += "C" + std::to_string(i) + ":\r\n";
    auto db = EdbDatabase::read(bytes);
    ASSERT_TRUE(db.ok());
    EXPECT_EQ(db->record_count(), k_most_records + 2);
    EXPECT_EQ(db->records_beyond_limit(), 2);
    EXPECT_EQ(db->find("C9999", -1), 9999);
    EXPECT_EQ(db->find("C10000", -1), std::nullopt);
    db->replace_record(0, {"X"});
    EXPECT_EQ(db->text().substr(db->text().size() - 18), "C10000:\r\nC10001:\r\n");
}

// Whatever a file holds, reading it, searching it and saving into it does no harm, and
// the file written reads back to the same records.
TEST(EdbFile, RandomFilesReadSearchAndSaveWithoutHarm) {
    std::mt19937 random(12);
    const std::string alphabet = "AB:: \r\n\n$*x\xE9";
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 80, ' ');
        for (char& c : bytes)
            c = alphabet[random() % alphabet.size()];
        auto db = EdbDatabase::read(bytes);
        if (!db) continue;
        (void)db->find("a*", -1);
        (void)db->worked_count();
        if (db->record_count() > 0)
            db->replace_record(static_cast<int>(random() % db->record_count()), {"B", "A"});
        const std::string written = db->text();
        const auto again = EdbDatabase::read(written);
        ASSERT_TRUE(again.ok()) << written;
        ASSERT_EQ(again->record_count(), db->record_count()) << written;
        for (int r = 0; r < db->record_count(); ++r)
            EXPECT_EQ(again->fields(r), db->fields(r)) << written;
        EXPECT_EQ(again->text(), written);
    }
}

} // namespace
} // namespace kestrel::databases
