// The Database Search window as the operator uses it from a logging window: look a record up,
// copy the contact into it, save it, and find the file changed (and only then) after Escape.

#include "databases/database_search_window.hpp"

#include "support/temp_dir.hpp"
#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrel::databases {
namespace {

using W = DatabaseSearchWindow;

const std::string k_members = "CALL:NAME:QTH:BAND:DATE:$$\r\n"
                              "G3ABC   :JOHN  :LEEDS :      :        :\r\n"
                              "G3ABD   :MARY  :YORK  :14MHz :01-02-24:\r\n"
                              "G4XYZ   :PETE  :G3ABC :      :        :\r\n";

class DatabaseSearch : public ::testing::Test {
  protected:
    DatabaseSearch() { testing::write_file(m_dir.path() / "MEMBERS.EDB", k_members); }
    ui::TestRun open(const std::string& name = "MEMBERS.EDB") {
        return m_host.open(W{{name, m_dir.file(name), {"M0NEW", "144MHz", "24-12-25"}}});
    }
    std::string file() const { return testing::read_file(m_dir.path() / "MEMBERS.EDB"); }
    std::vector<std::string> boxes(ui::TestRun& run) const {
        std::vector<std::string> out;
        for (int i = 0; i < 5; ++i)
            out.push_back(run.text(W::k_first_field + i));
        return out;
    }

    testing::TempDir m_dir;
    ui::TestHost m_host;
};

TEST_F(DatabaseSearch, OpensWithABoxPerFieldAndTheCountsInTheTitle) {
    auto run = open();
    EXPECT_EQ(run.caption(), "Data Base Search     Total Entites: 3  Worked 1");
    EXPECT_EQ(run.text(W::k_name), "MEMBERS.EDB");
    EXPECT_EQ(run.text(W::k_first_label), "CALL");
    EXPECT_EQ(run.text(W::k_first_label + 4), "DATE");
    EXPECT_FALSE(run.exists(W::k_first_field + 5));
    EXPECT_EQ(run.focused(), W::k_search);
    run.key(ui::Key::escape);
    EXPECT_FALSE(run.is_open());
    EXPECT_EQ(file(), k_members) << "nothing saved, nothing written";
}

TEST_F(DatabaseSearch, EnterFindsMatchAfterMatchAndStartsAgainAfterTheEnd) {
    auto run = open();
    run.type("g3*");
    struct Step {
        std::vector<std::string> shown; // empty: End of DataBase
    } steps[] = {
        {{"G3ABC", "JOHN", "LEEDS", "", ""}},
        {{"G3ABD", "MARY", "YORK", "14MHz", "01-02-24"}},
        {{"G4XYZ", "PETE", "G3ABC", "", ""}}, // by its QTH
        {{}},
        {{"G3ABC", "JOHN", "LEEDS", "", ""}}, // from the top again
    };
    for (const Step& s : steps) {
        if (s.shown.empty()) m_host.expect_message("End of DataBase");
        run.key(ui::Key::enter);
        EXPECT_EQ(boxes(run), s.shown.empty() ? std::vector<std::string>(5) : s.shown);
        EXPECT_EQ(run.focused(), W::k_search);
    }
    EXPECT_EQ(m_host.messages().back().title, "Database Search");
}

TEST_F(DatabaseSearch, AWholeFieldMatchesOnlyItsEqualAndANewSearchStartsAtTheTop) {
    auto run = open();
    run.type("g3abc").key(ui::Key::enter);
    EXPECT_EQ(run.text(W::k_first_field), "G3ABC");
    run.key(ui::Key::enter);
    EXPECT_EQ(run.text(W::k_first_field + 1), "PETE") << "G3ABC in the QTH field";

    // Entering the search box again starts from the top.
    run.focus(W::k_first_field).focus(W::k_search).key(ui::Key::enter);
    EXPECT_EQ(run.text(W::k_first_field + 1), "JOHN");
    // So does asking for something else: MARY's record comes before the last one shown.
    run.key(ui::Key::enter).replace(W::k_search, "mary").key(ui::Key::enter);
    EXPECT_EQ(run.text(W::k_first_field), "G3ABD");
}

TEST_F(DatabaseSearch, EnterOutsideTheSearchBoxMovesOnAsTabDoes) {
    auto run = open();
    run.focus(W::k_first_field + 3).key(ui::Key::enter);
    EXPECT_EQ(run.focused(), W::k_first_field + 4);
    run.replace(W::k_search, "").key(ui::Key::enter);
    EXPECT_EQ(boxes(run), std::vector<std::string>(5)) << "an empty search does nothing";
}

TEST_F(DatabaseSearch, F1CopiesTheContactAndF12SavesTheRecordWrittenAtEscape) {
    auto run = open();
    run.type("g4xyz").key(ui::Key::enter).key(ui::Key::f1);
    EXPECT_EQ(boxes(run), (std::vector<std::string>{"M0NEW", "PETE", "G3ABC", "144MHz", "24-12-25"}));
    run.replace(W::k_first_field + 1, "PETER").key(ui::Key::f12);
    EXPECT_EQ(boxes(run), std::vector<std::string>(5));
    EXPECT_EQ(run.caption(), "Data Base Search     Total Entites: 3  Worked 2");
    EXPECT_EQ(file(), k_members) << "written only when the window closes";
    run.key(ui::Key::escape);
    EXPECT_EQ(file(), "CALL:NAME:QTH:BAND:DATE:\r\n"
                      "G3ABC   :JOHN  :LEEDS :      :        :\r\n"
                      "G3ABD   :MARY  :YORK  :14MHz :01-02-24:\r\n"
                      "M0NEW   :PETER :G3ABC :144MHz:24-12-25:\r\n");
}

TEST_F(DatabaseSearch, BoxesTakeNoMoreThanTheirFieldAndNoColon) {
    auto run = open();
    run.type("g3abc").key(ui::Key::enter);
    run.replace(W::k_first_field + 1, "JOHNATHAN").replace(W::k_first_field + 2, "LE:EDS");
    EXPECT_EQ(run.text(W::k_first_field + 1), "JOHNAT");
    EXPECT_EQ(run.text(W::k_first_field + 2), "LEEDS");
    EXPECT_EQ(m_host.beeps(), 4);
}

TEST_F(DatabaseSearch, F12WithoutARecordOrWithAnEmptyFirstBoxSavesNothing) {
    auto run = open();
    m_host.expect_message("No Data");
    run.key(ui::Key::f12);
    run.type("g3abc").key(ui::Key::enter).replace(W::k_first_field, "");
    m_host.expect_message("No data in box 1");
    run.key(ui::Key::f12);
    run.replace(W::k_first_field, "G3ABC").key(ui::Key::f12);
    // The boxes are empty after a save: typing into the first and saving again must not blank
    // the rest of the record.
    run.type_into(W::k_first_field, "G3ZZZ");
    m_host.expect_message("No Data");
    run.key(ui::Key::f12);
    EXPECT_EQ(m_host.messages()[0].title, "");
    run.key(ui::Key::escape);
    std::string unchanged = k_members;
    unchanged.erase(unchanged.find("$$"), 2);
    EXPECT_EQ(file(), unchanged) << "the record saved as it was, and only the $$ gone";
}

TEST_F(DatabaseSearch, WhatCannotBeOpenedIsToldAndTheWindowStaysEmpty) {
    testing::write_file(m_dir.path() / "WIDE.EDB", "A:B:C:D:E:F:G:H:I:J:K:L:\r\n");
    testing::write_file(m_dir.path() / "NOTES.EDB", "just some words\r\n");
    std::filesystem::create_directory(m_dir.path() / "FOLDER.EDB");
    struct Case {
        std::string name;
        std::string message; // empty: none
    } cases[] = {
        {"", ""},
        {"GONE.EDB", "Data Base Not Found"},
        {"WIDE.EDB", "WIDE.EDB has more than 11 fields: a database can have 11 at most."},
        {"NOTES.EDB",
         "NOTES.EDB is not a database: its first line should name the fields, each followed by \":\"."},
        {"FOLDER.EDB", "FOLDER.EDB could not be read."},
    };
    for (const Case& c : cases) {
        ui::TestHost host;
        if (!c.message.empty()) host.expect_message(c.message);
        auto run = host.open(W{{c.name, m_dir.file(c.name), {}}});
        EXPECT_EQ(host.messages().size(), c.message.empty() ? 0u : 1u) << c.name;
        if (!c.message.empty()) {
            EXPECT_EQ(host.messages()[0].title, "Database Search");
        }
        EXPECT_FALSE(run.exists(W::k_search)) << c.name;
        EXPECT_EQ(run.caption(), "Database Search");
        host.expect_message("No Data");
        run.key(ui::Key::f12).key(ui::Key::f1).key(ui::Key::enter).key(ui::Key::escape);
        EXPECT_FALSE(run.is_open());
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir.path() / "GONE.EDB"));
}

TEST_F(DatabaseSearch, AFileThatCannotBeReplacedIsToldUntilTheOperatorGivesUp) {
    auto run = open();
    run.type("g3abc").key(ui::Key::enter).replace(W::k_first_field + 1, "JACK").key(ui::Key::f12);
    // Something stands where the file was, so the new file cannot be put in its place.
    std::filesystem::remove(m_dir.path() / "MEMBERS.EDB");
    std::filesystem::create_directories(m_dir.path() / "MEMBERS.EDB" / "in the way");
    m_host.answer(ui::Answer::retry);
    m_host.answer(ui::Answer::cancel);
    run.key(ui::Key::escape);
    ASSERT_EQ(m_host.messages().size(), 2u) << "tried again once";
    EXPECT_EQ(m_host.messages()[0].text,
              "MEMBERS.EDB could not be written. Its file is as it was before this "
              "window opened; Cancel gives up the records saved here.");
    EXPECT_EQ(m_host.messages()[0].buttons, ui::Buttons::retry_cancel);
    EXPECT_FALSE(run.is_open());
    EXPECT_TRUE(std::filesystem::is_directory(m_dir.path() / "MEMBERS.EDB" / "in the way"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.path()), {}), 1)
        << "no temporary file left behind";
}

TEST_F(DatabaseSearch, ABigDatabaseIsSearchedAsFarAsItsLimitAndKeptWhole) {
    std::string bytes = "CALL:WORKED:\r\n";
    for (int i = 0; i <= k_most_records; ++i)
        bytes += "C" + std::to_string(i) + ":   :\r\n";
    testing::write_file(m_dir.path() / "BIG.EDB", bytes);
    m_host.expect_message(
        "BIG.EDB has 10001 records: the first 10000 are searched, and the rest are kept as they are.");
    auto run = m_host.open(W{{"BIG.EDB", m_dir.file("BIG.EDB"), {}}});
    m_host.expect_message("End of DataBase");
    run.type("c10000").key(ui::Key::enter);
    run.replace(W::k_search, "c0").key(ui::Key::enter).replace(W::k_first_field + 1, "YES").key(ui::Key::f12);
    run.key(ui::Key::escape);
    const std::string written = testing::read_file(m_dir.path() / "BIG.EDB");
    EXPECT_EQ(written.substr(0, 23), "CALL:WORKED:\r\nC0:YES:\r\n");
    EXPECT_EQ(written.size(), bytes.size());
    EXPECT_TRUE(written.ends_with("C10000:   :\r\n"));
}

TEST_F(DatabaseSearch, OpenedFromALoggingWindowByItsNumber) {
    DatabaseSettings settings;
    settings.names = {"", "members.edb", "", ""}; // as written where case did not matter
    struct Owner final : ui::Window {
        ui::Form build() const override { return {}; }
        void on_command(ui::Context&, int, ui::Notify) override {}
    };
    auto owner = m_host.open(Owner{});
    m_host.on_modal([](ui::TestRun& run) {
        EXPECT_EQ(run.text(W::k_name), "members.edb");
        run.type("mary").key(ui::Key::enter).key(ui::Key::f1).key(ui::Key::f12).key(ui::Key::escape);
    });
    database_search(owner.context(), settings, 2, {"G3ABD", "7MHz", "02-03-24"}, m_dir.path().string());
    database_search(owner.context(), settings, 5, {}, m_dir.path().string()); // no such slot: nothing
    EXPECT_EQ(m_host.modal_captions().size(), 1u);
    EXPECT_NE(file().find("G3ABD   :MARY  :YORK  :7MHz  :02-03-24:"), std::string::npos);
}

} // namespace
} // namespace kestrel::databases
