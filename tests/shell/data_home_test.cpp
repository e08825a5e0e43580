#include "shell/command_line.hpp"
#include "shell/data_home.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrel::shell {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

TEST(CommandLine, KestrelsOwnOptionsAreTakenOutAndTheRestPassedOn) {
    struct Case {
        std::vector<std::string_view> args;
        CommandAction action;
        std::optional<std::string> home;
        std::vector<std::string> passed_on;
    };
    const std::vector<Case> cases{
        {{"kestrel"}, CommandAction::run, std::nullopt, {"kestrel"}},
        {{"kestrel", "--home", "/srv/g4abc"}, CommandAction::run, "/srv/g4abc", {"kestrel"}},
        {{"kestrel", "--home=/srv/g4abc"}, CommandAction::run, "/srv/g4abc", {"kestrel"}},
        {{"kestrel", "--home", "a", "--home=b"}, CommandAction::run, "b", {"kestrel"}},
        {{"kestrel", "-platform", "offscreen", "--home", "log dir"},
         CommandAction::run,
         "log dir",
         {"kestrel", "-platform", "offscreen"}},
        {{"kestrel", "--frobnicate"}, CommandAction::run, std::nullopt, {"kestrel", "--frobnicate"}},
        {{"kestrel", "--home"}, CommandAction::error, std::nullopt, {"kestrel"}},
        {{"kestrel", "--home="}, CommandAction::error, std::nullopt, {"kestrel"}},
        // Asking for help or the version is answered even on a line that is otherwise wrong.
        {{"kestrel", "--frobnicate", "--help"},
         CommandAction::help,
         std::nullopt,
         {"kestrel", "--frobnicate"}},
        {{"kestrel", "-h"}, CommandAction::help, std::nullopt, {"kestrel"}},
        {{"kestrel", "--version", "--home"}, CommandAction::version, std::nullopt, {"kestrel"}},
        {{"kestrel", "--version", "--help"}, CommandAction::help, std::nullopt, {"kestrel"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const CommandLine line = parse_command_line(c.args);
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.home, c.home);
        EXPECT_EQ(line.passed_on, c.passed_on);
        EXPECT_EQ(line.error.empty(), c.action != CommandAction::error);
    }
}

TEST(DataHome, TheCommandLineThenKestrelHomeThenTheHomeDirectoryChoose) {
    TempDir tmp;
    testing::ScopedCurrentDir here(tmp.path());
    struct Case {
        std::optional<std::string> option;
        const char* kestrel_home;
        const char* home;
        fs::path expected;
    };
    const std::vector<Case> cases{
        {"/srv/log", "/data/k", "/home/op", "/srv/log"},
        {std::nullopt, "/data/k", "/home/op", "/data/k"},
        {std::nullopt, "", "/home/op", "/home/op/kestrel"},
        {std::nullopt, nullptr, "/home/op/", "/home/op/kestrel"},
        {"station", nullptr, "/home/op", tmp.path() / "station"},
        {std::nullopt, "../up/./k", "/home/op", (tmp.path().parent_path() / "up/k")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.string());
        const DataHomeChoice choice = choose_data_home(c.option, c.kestrel_home, c.home);
        EXPECT_EQ(choice.problem, "");
        EXPECT_EQ(choice.dir, c.expected);
    }
    for (const char* home : {static_cast<const char*>(nullptr), ""}) {
        const DataHomeChoice none = choose_data_home(std::nullopt, "", home);
        EXPECT_NE(none.problem, "");
    }
}

class PrepareDataHome : public ::testing::Test {
  protected:
    PrepareDataHome() {
        fs::create_directories(m_shipped / "rigs");
        write_file(m_shipped / "COUNTRY.LST", "England,G\r\n");
        write_file(m_shipped / "LABELS.DTA", "$A$\r\n");
        write_file(m_shipped / "rigs" / "ASCII-IF.RIG", "1:9600,N,8,1\r\n");
    }
    TempDir m_tmp;
    fs::path m_shipped = m_tmp.path() / "shipped";
    fs::path m_home = m_tmp.path() / "a" / "b" / "kestrel";
};

TEST_F(PrepareDataHome, ANewDirectoryIsMadeAndGivenTheShippedFilesButNotTheirFolders) {
    const DataHomeReady ready = prepare_data_home(m_home, {m_tmp.path() / "not-here", m_shipped});
    EXPECT_EQ(ready.problem, "");
    EXPECT_TRUE(ready.created);
    EXPECT_EQ(ready.source, m_shipped);
    EXPECT_EQ(ready.copied, (std::vector<std::string>{"COUNTRY.LST", "LABELS.DTA"}));
    EXPECT_EQ(read_file(m_home / "COUNTRY.LST"), "England,G\r\n");
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_home))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"COUNTRY.LST", "LABELS.DTA"}));
}

TEST_F(PrepareDataHome, WhatIsThereAlreadyIsNeverReplacedNorWrittenThrough) {
    fs::create_directories(m_home);
    write_file(m_home / "Country.lst", "my own list\r\n"); // brought from a system blind to case
    const fs::path elsewhere = m_tmp.path() / "elsewhere.DTA";
    fs::create_symlink(elsewhere, m_home / "LABELS.DTA"); // a link to nowhere
    const DataHomeReady ready = prepare_data_home(m_home, {m_shipped});
    EXPECT_EQ(ready.problem, "");
    EXPECT_FALSE(ready.created);
    EXPECT_TRUE(ready.copied.empty());
    EXPECT_FALSE(fs::exists(m_home / "COUNTRY.LST"));
    EXPECT_EQ(read_file(m_home / "Country.lst"), "my own list\r\n");
    EXPECT_FALSE(fs::exists(elsewhere));
    EXPECT_TRUE(fs::is_symlink(m_home / "LABELS.DTA"));
}

TEST_F(PrepareDataHome, AReadOnlyShippedFileArrivesWritableForTheOperator) {
    fs::permissions(m_shipped / "LABELS.DTA",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ASSERT_EQ(prepare_data_home(m_home, {m_shipped}).problem, "");
    EXPECT_NE(fs::status(m_home / "LABELS.DTA").permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(PrepareDataHome, ACopyThatFailsIsReportedAndLeavesNothingUnderTheName) {
    fs::create_directories(m_home / ".LABELS.DTA.part");
    write_file(m_home / ".LABELS.DTA.part" / "in the way", "");
    const DataHomeReady ready = prepare_data_home(m_home, {m_shipped});
    EXPECT_EQ(ready.problem, "");
    EXPECT_EQ(ready.copied, std::vector<std::string>{"COUNTRY.LST"});
    ASSERT_EQ(ready.not_copied.size(), 1u);
    EXPECT_TRUE(ready.not_copied[0].starts_with("LABELS.DTA ("));
    EXPECT_FALSE(fs::exists(m_home / "LABELS.DTA"));
}

TEST_F(PrepareDataHome, WithoutShippedFilesTheDirectoryIsStillMade) {
    const DataHomeReady ready = prepare_data_home(m_home, {m_tmp.path() / "not-here"});
    EXPECT_EQ(ready.problem, "");
    EXPECT_TRUE(ready.created);
    EXPECT_FALSE(ready.source);
    EXPECT_TRUE(fs::is_directory(m_home));
}

TEST_F(PrepareDataHome, AFileOrAPathThroughAFileCannotBeTheDataDirectory) {
    write_file(m_tmp.path() / "MYLOG.LOG", "records");
    for (const fs::path& dir : {m_tmp.path() / "MYLOG.LOG", m_tmp.path() / "MYLOG.LOG" / "kestrel"}) {
        SCOPED_TRACE(dir.string());
        const DataHomeReady ready = prepare_data_home(dir, {m_shipped});
        EXPECT_NE(ready.problem, "");
        EXPECT_TRUE(ready.copied.empty());
    }
    EXPECT_EQ(read_file(m_tmp.path() / "MYLOG.LOG"), "records");
}

} // namespace
} // namespace kestrel::shell
