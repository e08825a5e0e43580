// A station directory received from someone else may hold hostile files: a link planted where the
// program makes a work file, a named pipe where a file belongs. Nothing outside is ever written
// through the one, and the other is never waited on.

#include "callbook/credentials.hpp"
#include "callbook/error_texts.hpp"
#include "callbook/fcc_licences.hpp"
#include "common/side_file.hpp"
#include "countries/status_chart.hpp"
#include "digital/spool.hpp"
#include "exchange/cabrillo_import.hpp"
#include "logstore/curlog.hpp"
#include "online/squares.hpp"
#include "shell/backup.hpp"
#include "shell/data_home.hpp"
#include "support/named_pipe.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace kestrel::shell {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

// A station directory with a log, a back-up folder and a folder of shipped files beside it.
struct Station {
    Station() {
        write_file(dir.path() / "HOME.LOG", "the records of HOME.LOG");
        fs::create_directories(dir.path() / "backup");
        fs::create_directories(dir.path() / "shipped");
        fs::create_directories(dir.path() / "new-home");
        write_file(dir.path() / "shipped" / "LABELS.DTA", "$A$\r\n");
    }
    std::string file(const std::string& name) const { return dir.file(name); }
    TempDir dir;
};

TEST(WorkFiles, ALinkPlantedAtAWorkNameIsRemovedAndNeverWrittenThrough) {
    struct Case {
        std::string work;   // the work file's name in the station directory
        std::string placed; // the file it becomes
        std::string bytes;  // what that file then holds
        std::function<bool(const Station&)> write;
    };
    const std::vector<Case> cases{
        {"DXCC.CHT.kestrel-tmp", "DXCC.CHT", "chart",
         [](const Station& s) { return write_side_file(s.file("DXCC.CHT"), "chart"); }},
        {"EXPORT.ADI.kestrel-tmp", "EXPORT.ADI", "in two pieces",
         [](const Station& s) {
             SideFileWriter file(s.file("EXPORT.ADI"));
             return file.write("in two") && file.write(" pieces") && file.commit();
         }},
        {"CURLOG.DTA.new", "CURLOG.DTA", "NEW.LOG\r\n",
         [](const Station& s) { return logstore::write_current_log_path(s.dir.path().string(), "NEW.LOG"); }},
        {"backup/HOME.LOG.kestrel-tmp", "backup/HOME.LOG", "the records of HOME.LOG",
         [](const Station& s) { return copy_log(s.file("HOME.LOG"), s.file("backup/HOME.LOG")); }},
        {"new-home/.LABELS.DTA.part", "new-home/LABELS.DTA", "$A$\r\n",
         [](const Station& s) {
             const DataHomeReady ready = prepare_data_home(s.file("new-home"), {s.file("shipped")});
             return ready.copied == std::vector<std::string>{"LABELS.DTA"};
         }},
    };
    for (const Case& c : cases) {
        for (const bool target_there : {true, false}) { // a file outside, or a link to nowhere
            SCOPED_TRACE(c.work + (target_there ? " linked to a file outside" : " linked to nowhere"));
            Station station;
            TempDir outside;
            const fs::path target = outside.path() / "not-ours";
            if (target_there) write_file(target, "not ours to change");
            fs::create_symlink(target, station.file(c.work));

            ASSERT_TRUE(c.write(station));
            EXPECT_EQ(fs::exists(target), target_there);
            EXPECT_EQ(read_file(target), target_there ? "not ours to change" : "");
            EXPECT_EQ(fs::symlink_status(station.file(c.placed)).type(), fs::file_type::regular);
            EXPECT_EQ(read_file(station.file(c.placed)), c.bytes);
            EXPECT_FALSE(fs::exists(fs::symlink_status(station.file(c.work)))) << "nothing left behind";
        }
    }
}

TEST(WorkFiles, AMissingChartIsMadeButNeverThroughALinkToNowhere) {
    Station station;
    TempDir outside;
    const fs::path target = outside.path() / "made-outside";
    fs::create_symlink(target, station.file("DXCC.CHT"));
    (void)countries::load_chart(station.file("DXCC.CHT"));
    EXPECT_FALSE(fs::exists(target));
    EXPECT_TRUE(fs::is_symlink(station.file("DXCC.CHT")));

    (void)countries::load_chart(station.file("NEW.CHT"));
    EXPECT_EQ(fs::symlink_status(station.file("NEW.CHT")).type(), fs::file_type::regular);
}

TEST(WorkFiles, ANamedPipeWhereAFileBelongsIsRefusedAndNeverWaitedOn) {
    struct Case {
        std::string name; // where the pipe is put
        std::function<bool(const Station&)> refused;
    };
    const std::vector<Case> cases{
        {"DXCC.CHT",
         [](const Station& s) {
             const auto loaded = load_side_file(s.file("DXCC.CHT"));
             forget_unreadable_side_file(s.file("DXCC.CHT"));
             return !loaded && loaded.error() == SideFileProblem::unreadable;
         }},
        {"COUNTRY.LST",
         [](const Station& s) {
             const auto loaded = read_regular_file(s.file("COUNTRY.LST"));
             return !loaded && loaded.error() == SideFileProblem::unreadable;
         }},
        {"CURLOG.DTA",
         [](const Station& s) {
             const auto named = logstore::read_current_log_path(s.dir.path().string());
             return named && *named == logstore::k_default_log;
         }},
        {"PIPE.LOG", // the log itself, when it is backed up
         [](const Station& s) {
             return !copy_log(s.file("PIPE.LOG"), s.file("backup/PIPE.LOG")) &&
                    !fs::exists(s.file("backup/PIPE.LOG"));
         }},
        {"CALLBOOK.PWD",
         [](const Station& s) {
             fs::permissions(s.file("CALLBOOK.PWD"), fs::perms::owner_read | fs::perms::owner_write);
             const auto account = callbook::read_account(s.dir.path().string(), "qrz");
             return !account && account.error() == callbook::AccountError::unreadable;
         }},
        {"EN.dat", // the licences of a callbook folder kept with the station's files
         [](const Station& s) {
             callbook::FccLicences licences(s.dir.path().string());
             const callbook::Lookup found = licences.lookup_call("W1AW");
             return !found && found.error() == callbook::k_disc_read_error;
         }},
        {"CABRILLO.FRM",
         [](const Station& s) { return !exchange::read_layout_file(s.file("CABRILLO.FRM")); }},
        {"SQUARES.TXT",
         [](const Station& s) {
             online::SquareCheck check;
             check.status = online::SquareCheck::Status::new_line;
             check.square = "IO91";
             return !online::record_square(s.file("SQUARES.TXT"), check, "G4ABC", "01-02-24");
         }},
        {"HOME.SPOOL.ADI",
         [](const Station& s) {
             digital::Spool spool(s.file("HOME.LOG"));
             return spool.path() == s.file("HOME.SPOOL.ADI") && spool.waiting().contacts.empty();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Station station;
        ASSERT_TRUE(testing::make_named_pipe(station.file(c.name)));
        bool refused = false;
        EXPECT_TRUE(
            testing::returns_without_waiting_on(station.file(c.name), [&] { refused = c.refused(station); }));
        EXPECT_TRUE(refused);
    }
}

} // namespace
} // namespace kestrel::shell
