#include "logstore/curlog.hpp"

#include "faulty_file_system.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrel::logstore {
namespace {

using testing::read_file;
using testing::TempDir;
using testing::write_file;

TEST(CurrentLog, AbsentOrEmptyMeansTheDefaultLog) {
    TempDir dir;
    EXPECT_EQ(read_current_log_path(dir.path().string()), "MYLOG.LOG");
    write_file(dir.file("CURLOG.DTA"), "");
    EXPECT_EQ(read_current_log_path(dir.path().string()), "MYLOG.LOG");
    write_file(dir.file("CURLOG.DTA"), "\r\n");
    EXPECT_EQ(read_current_log_path(dir.path().string()), "MYLOG.LOG");
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
        EXPECT_EQ(read_current_log_path(dir.path().string()), c.path);
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
        EXPECT_EQ(read_current_log_path(dir.path().string()), c.name ? dir.file(c.name) : "MYLOG.LOG")
            << c.bytes;
    }
    // CURLOG.DTA itself may come in any case.
    TempDir dir;
    write_file(dir.file("curlog.dta"), "HOME.LOG\r\n");
    EXPECT_EQ(read_current_log_path(dir.path().string()), "HOME.LOG");
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
        EXPECT_EQ(read_current_log_path(dir.path().string()), path);
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

} // namespace
} // namespace kestrel::logstore
