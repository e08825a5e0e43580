// The sample database and DBNAMES.LST that a new data directory gets: the names file names the
// database, and the database is one the search window opens, finds in and saves into.

#include "databases/database_search_window.hpp"

#include "support/temp_dir.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrel::databases {
namespace {

const std::filesystem::path k_shipped = KESTREL_SHIPPED_DATA;

TEST(ShippedDatabase, DbnamesLstNamesTheSampleDatabaseAndNoCallbook) {
    const SettingsLoad load = load_callbook_settings(k_shipped.string());
    EXPECT_FALSE(load.notice);
    EXPECT_EQ(load.settings.callbook, CallbookKind::none);
    EXPECT_EQ(load.settings.names, (std::array<std::string, 4>{"CLUB.EDB", "", "", ""}));
}

TEST(ShippedDatabase, EveryRecordHasItsFieldsAtTheWidthsOfTheFirst) {
    const std::string bytes = testing::read_file(k_shipped / "CLUB.EDB");
    const auto db = EdbDatabase::read(bytes);
    ASSERT_TRUE(db.ok());
    ASSERT_EQ(db->field_count(), 6);
    EXPECT_GE(db->record_count(), 10);
    EXPECT_GT(db->worked_count(), 0);
    EXPECT_LT(db->worked_count(), db->record_count());
    for (CopyField f : {CopyField::call, CopyField::band, CopyField::date})
        EXPECT_GE(db->copy_target(f), 0);
    for (int r = 0; r < db->record_count(); ++r) {
        const std::vector<std::string> fields = db->fields(r);
        for (int i = 0; i < db->field_count(); ++i)
            EXPECT_EQ(fields[static_cast<std::size_t>(i)].size(), db->width(i))
                << "record " << r << " field " << i;
    }
    EXPECT_EQ(db->text(), bytes) << "CR LF throughout, and written back byte for byte";
}

TEST(ShippedDatabase, ACopyIsSearchedAndUpdatedFromALoggingWindow) {
    testing::TempDir dir;
    std::filesystem::copy_file(k_shipped / "CLUB.EDB", dir.path() / "CLUB.EDB");
    ui::TestHost host;
    auto run =
        host.open(DatabaseSearchWindow{{"CLUB.EDB", dir.file("CLUB.EDB"), {"G9ABC", "14MHz", "24-12-25"}}});
    run.type("york").key(ui::Key::enter);
    EXPECT_EQ(run.text(DatabaseSearchWindow::k_first_field), "G9ABC");
    run.key(ui::Key::f1).key(ui::Key::f12).key(ui::Key::escape);
    const std::string written = testing::read_file(dir.path() / "CLUB.EDB");
    EXPECT_NE(written.find("G9ABC       :BETTY       :YORK          :0002  :14MHz   :24-12-25:\r\n"),
              std::string::npos);
}

// SQUARES.EDB comes with its field names alone, so the worked-squares check of the on-line
// window can begin it and the database search opens it before and after.
TEST(ShippedDatabase, SquaresEdbHoldsItsFieldNamesAndOpensEmptyAndOnceASquareIsWorked) {
    const std::string bytes = testing::read_file(k_shipped / "SQUARES.EDB");
    const auto empty = EdbDatabase::read(bytes);
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty->field_count(), 3);
    EXPECT_EQ(empty->record_count(), 0);
    EXPECT_EQ(empty->copy_target(CopyField::call), 1);
    EXPECT_EQ(empty->copy_target(CopyField::date), 2);
    EXPECT_EQ(empty->text(), bytes);
    const auto worked = EdbDatabase::read(bytes + "IO91  :G4AAA       :07-12-26:\r\n");
    ASSERT_TRUE(worked.ok());
    EXPECT_EQ(worked->record_count(), 1);
    EXPECT_EQ(worked->worked_count(), 1);
    EXPECT_EQ(worked->fields(0), (std::vector<std::string>{"IO91  ", "G4AAA       ", "07-12-26"}));
}

} // namespace
} // namespace kestrel::databases
