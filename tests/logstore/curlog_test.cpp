#include "logstore/curlog.hpp"

#include "faulty_file_system.hpp"
#include "support/named_pipe.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrel::logstore {
namespace {

using testing::read_file;
using testing::TempDir;
using testing::write_file;

// The log CURLOG.DTA names, or a mark for a name refused as too long.
std::string named(const TempDir& dir) {
    const auto path = read_current_log_path(dir.path().string());
    return path ? *path : "(too long)";
}

TEST(CurrentLog, AbsentOrEmptyMeansTheDefaultLog) {
    TempDir dir;
    EXPECT_EQ(named(dir), "MYLOG.LOG");
    write_file(dir.file("CURLOG.DTA"), "");
    EXPECT_EQ(named(dir), "MYLOG.LOG");
    write_file(dir.file("CURLOG.DTA"), "\r\n");
    EXPECT_EQ(named(dir), "MYLOG.LOG");
}

TEST(CurrentLog, ReadsTheFirstItem) {
    const struct {
        const char* bytes;
        const char* path;
    } cases[] = {
        {"/home/op/logs/HOME.LOG\r\n", "/home/op/logs/HOME.LOG"},
        {"  HOME.LOG\r\nignored\r\n", "HOME.LOG"},
        {"\"CONTEST.LOG\"\r\n", "CONTEST.LOG"},
        {"FIRST.LOG,SECOND.LOG\r\n", "FIRST.LOG"},
        {"NOEOL.LOG", "NOEOL.LOG"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        write_file(dir.file("CURLOG.DTA"), c.bytes);
        EXPECT_EQ(named(dir), c.path);
    }
}

TEST(CurrentLog, APathFromTheOldPlatformNamesTheFileInTheDataDirectory) {
    const struct {
        const char* bytes;
        const char* name; // in the data directory
    } cases[] = {
        {"C:\\KESTREL\\HOME.LOG\r\n", "HOME.LOG"},
        {"\"c:\\logs\\2019\\contest.log\"\r\n", "contest.log"},
        {"A:HOME.LOG\r\n", "HOME.LOG"},
        {"LOGS\\DX.LOG\r\n", "DX.LOG"},
        {"C:\\\r\n", nullptr}, // names no file: the default log
    };
    for (const auto& c : cases) {
        TempDir dir;
        write_file(dir.file("CURLOG.DTA"), c.bytes);
        EXPECT_EQ(named(dir), c.name ? dir.file(c.name) : "MYLOG.LOG") << c.bytes;
    }
    // CURLOG.DTA itself may come in any case.
    TempDir dir;
    write_file(dir.file("curlog.dta"), "HOME.LOG\r\n");
    EXPECT_EQ(named(dir), "HOME.LOG");
    ASSERT_TRUE(write_current_log_path(dir.path().string(), "OTHER.LOG"));
    EXPECT_EQ(read_file(dir.file("curlog.dta")), "OTHER.LOG\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("CURLOG.DTA")));
}

TEST(CurrentLog, WritesOneLineThatReadsBack) {
    // Every name the dialogs let through: blanks at either end, commas, any other byte.
    for (const std::string path :
         {"/home/op/logs/HOME.LOG", "MYLOG.LOG", "/home/op/a,b/COMMA.LOG", " LEAD.LOG", "TRAIL.LOG ",
          "\tTAB.LOG", " /x/ a , b /L.LOG ", "/home/op/it's/O'NEIL.LOG",
          "/home/op/b\xc3\xa4"
          "ckup/\xe4.LOG"}) {
        TempDir dir;
        ASSERT_TRUE(write_current_log_path(dir.path().string(), path));
        EXPECT_EQ(named(dir), path);
    }
    TempDir dir;
    ASSERT_TRUE(write_current_log_path(dir.path().string() + "/", "/home/op/HOME.LOG"));
    EXPECT_EQ(read_file(dir.file("CURLOG.DTA")), "/home/op/HOME.LOG\r\n");
}

TEST(CurrentLog, AFailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    write_file(dir.file("CURLOG.DTA"), "OLD.LOG\r\n");
    for (int failing = 1; failing <= 3; ++failing) { // write, sync, rename
        testing::FaultyFileSystem files;
        files.fail_change_number = failing;
        EXPECT_FALSE(write_current_log_path(dir.path().string(), "NEW.LOG", files));
        EXPECT_EQ(read_file(dir.file("CURLOG.DTA")), "OLD.LOG\r\n");
        EXPECT_FALSE(std::filesystem::exists(dir.file("CURLOG.DTA.new")));
    }
    EXPECT_FALSE(write_current_log_path(dir.file("missing-dir"), "NEW.LOG"));
}

TEST(CurrentLog, ANameLongerThanAPathIsRefusedWhateverFollowsIt) {
    const std::string longest(4095, 'L'); // as long as a path can be
    const struct {
        std::string bytes;
        std::string named; // "(too long)" when refused
    } cases[] = {
        {longest + "\r\n", longest},
        {longest + "L\r\n", "(too long)"},
        {"\"" + longest + "L\"\r\n", "(too long)"},
        {std::string(1 << 20, 'L'), "(too long)"}, // no line end at all
        {std::string(1 << 20, '/') + "\r\n", "(too long)"},
        {"C:\\" + std::string(1 << 20, 'L') + "\\HOME.LOG\r\n", "(too long)"},
        // Only the first item counts: what comes after it may be as long as it likes.
        {"HOME.LOG\r\n" + std::string(1 << 20, 'x'), "HOME.LOG"},
        {"HOME.LOG," + std::string(1 << 20, 'x') + "\r\n", "HOME.LOG"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        write_file(dir.file("CURLOG.DTA"), c.bytes);
        EXPECT_EQ(named(dir), c.named) << c.bytes.substr(0, 20) << "... (" << c.bytes.size() << " bytes)";
    }
}

TEST(CurrentLog, ANamedPipeOrAFolderInItsPlaceIsRefusedAndNeverWaitedOn) {
    for (const bool pipe : {true, false}) {
        TempDir dir;
        if (pipe)
            ASSERT_TRUE(testing::make_named_pipe(dir.file("CURLOG.DTA")));
        else
            std::filesystem::create_directory(dir.file("CURLOG.DTA"));
        std::string found;
        EXPECT_TRUE(testing::returns_without_waiting_on(dir.file("CURLOG.DTA"), [&] { found = named(dir); }))
            << "a named pipe where CURLOG.DTA belongs must not hang the start";
        EXPECT_EQ(found, "MYLOG.LOG") << (pipe ? "named pipe" : "folder");
    }
}

TEST(CurrentLog, IsReportedWrittenOnlyOnceItsDirectoryIsSynced) {
    TempDir dir;
    write_file(dir.file("CURLOG.DTA"), "OLD.LOG\r\n");
    testing::FaultyFileSystem files;
    files.fail_directory_syncs = true;
    EXPECT_FALSE(write_current_log_path(dir.path().string(), "NEW.LOG", files))
        << "a change a power cut could still undo is not done";
    EXPECT_EQ(read_file(dir.file("CURLOG.DTA")), "NEW.LOG\r\n") << "the directory is synced after the rename";
    files.fail_directory_syncs = false;
    EXPECT_TRUE(write_current_log_path(dir.path().string(), "NEW.LOG", files));
}

} // namespace
} // namespace kestrel::logstore
