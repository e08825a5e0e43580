// Finding the station's files whatever their case, and never writing over one that could not be
// read.

#include "common/file_names.hpp"
#include "common/side_file.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrel {
namespace {

using testing::read_file;
using testing::TempDir;
using testing::write_file;

TEST(SideFiles, AreFoundByANameThatDiffersOnlyInCase) {
    const struct {
        std::vector<std::string> on_disk;
        std::string asked;
        std::string found; // empty: the name asked for, a file yet to be made
    } cases[] = {
        {{"COUNTRY.LST"}, "COUNTRY.LST", "COUNTRY.LST"},
        {{"country.lst"}, "COUNTRY.LST", "country.lst"},
        {{"Country.Lst", "country.lst"}, "COUNTRY.LST", "Country.Lst"}, // the first by name
        {{"COUNTRY.LST", "country.lst"}, "country.lst", "country.lst"}, // the exact name first
        {{"COUNTRY.LS"}, "COUNTRY.LST", ""},
        {{"mylog.log"}, "MYLOG.LOG", "mylog.log"},
        {{"\xc9T\xc9.DTA"}, "\xe9t\xe9.DTA", ""}, // only ASCII letters have a case here
        {{}, "RIG.LST", ""},
    };
    for (const auto& c : cases) {
        TempDir dir;
        for (const std::string& name : c.on_disk)
            write_file(dir.file(name), name);
        const std::string found = find_file_any_case(dir.file(c.asked));
        EXPECT_EQ(found, dir.file(c.found.empty() ? c.asked : c.found)) << c.asked;
        if (!c.found.empty()) {
            EXPECT_EQ(read_side_file(dir.file(c.asked)), c.found);
        }
    }
    TempDir dir;
    write_file(dir.file("cwtext.txt"), "old");
    testing::ScopedCurrentDir here(dir.path());
    EXPECT_EQ(find_file_any_case("CWTEXT.TXT"), "cwtext.txt");
    ASSERT_TRUE(write_side_file("CWTEXT.TXT", "new"));
    EXPECT_EQ(read_file(dir.file("cwtext.txt")), "new") << "the file found is the one written";
    EXPECT_FALSE(std::filesystem::exists(dir.file("CWTEXT.TXT")));
}

TEST(SideFiles, ComeBackByteForByteWhateverTheirSize) {
    TempDir dir;
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1}, std::size_t{65535}, std::size_t{65537}, std::size_t{3} << 20}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>(i * 131 % 251);
        ASSERT_TRUE(write_side_file(dir.file("DATA.BIN"), bytes));
        const auto back = read_side_file(dir.file("DATA.BIN"));
        ASSERT_TRUE(back.has_value()) << size;
        EXPECT_EQ(*back == bytes, true) << size << " bytes";
    }
    // A file the system tells no size of is read to its end all the same.
    const auto status = read_side_file("/proc/self/status");
    ASSERT_TRUE(status.has_value());
    EXPECT_NE(status->find("Name:"), std::string::npos);
}

TEST(SideFiles, MadePieceByPieceReplaceTheOldFileOnlyWhenWhole) {
    TempDir dir;
    write_file(dir.file("BIG.ADI"), "old");
    std::string whole;
    {
        SideFileWriter file(dir.file("BIG.ADI"));
        // Small pieces and pieces large enough to go to the disk while the file is made.
        for (const std::size_t size :
             {std::size_t{10}, std::size_t{1} << 20, std::size_t{7}, std::size_t{300000}}) {
            const std::string piece(size, static_cast<char>('a' + whole.size() % 26));
            ASSERT_TRUE(file.write(piece));
            whole += piece;
        }
        EXPECT_EQ(read_file(dir.file("BIG.ADI")), "old") << "not before it is committed";
    }
    EXPECT_EQ(read_file(dir.file("BIG.ADI")), "old") << "a writer dropped leaves the old file";
    SideFileWriter file(dir.file("BIG.ADI"));
    ASSERT_TRUE(file.write(whole));
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(read_file(dir.file("BIG.ADI")) == whole, true);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "no temporary file left";
}

TEST(SideFiles, AWorkFileLeftBehindIsMadeAfreshAndAFileReadUpToALimit) {
    TempDir dir;
    // A longer work file left by a run that stopped short: none of its bytes survive.
    write_file(dir.file("RIG.LST.kestrel-tmp"), "left behind by a run that stopped short");
    ASSERT_TRUE(write_side_file(dir.file("RIG.LST"), "new"));
    EXPECT_EQ(read_file(dir.file("RIG.LST")), "new");
    EXPECT_FALSE(std::filesystem::exists(dir.file("RIG.LST.kestrel-tmp")));
    // A folder in the work file's name is not removed: the side file is then not written.
    std::filesystem::create_directory(dir.file("RIG.LST.kestrel-tmp"));
    EXPECT_FALSE(write_side_file(dir.file("RIG.LST"), "newer"));
    EXPECT_EQ(read_file(dir.file("RIG.LST")), "new");

    std::string bytes(std::size_t{3} << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 131 % 251);
    write_file(dir.file("BIG.FRM"), bytes);
    for (const std::size_t limit : {std::size_t{0}, std::size_t{1}, std::size_t{65536}, std::size_t{65537},
                                    bytes.size() - 1, bytes.size(), bytes.size() + 1, std::string::npos}) {
        const auto read = read_regular_file(dir.file("BIG.FRM"), limit);
        ASSERT_TRUE(read.ok()) << limit;
        EXPECT_EQ(*read == bytes.substr(0, limit), true) << limit;
    }
    EXPECT_EQ(read_regular_file(dir.file("big.frm")).error(), SideFileProblem::missing) << "the very name";
}

TEST(SideFiles, OneThatCouldNotBeReadIsNeverWrittenOver) {
    TempDir dir;
    // A folder where the file should be cannot be read, even by the administrator.
    std::filesystem::create_directory(dir.file("DXCC.CHT"));
    write_file(dir.file("DXCC.CHT") + "/inside", "kept");
    EXPECT_EQ(load_side_file(dir.file("DXCC.CHT")).error(), SideFileProblem::unreadable);
    EXPECT_EQ(load_side_file(dir.file("GONE.LST")).error(), SideFileProblem::missing);
    const auto unreadable = unreadable_side_files();
    EXPECT_NE(std::find(unreadable.begin(), unreadable.end(), dir.file("DXCC.CHT")), unreadable.end());
    EXPECT_EQ(std::find(unreadable.begin(), unreadable.end(), dir.file("GONE.LST")), unreadable.end());

    EXPECT_FALSE(write_side_file(dir.file("DXCC.CHT"), "empty chart"));
    EXPECT_EQ(read_file(dir.file("DXCC.CHT") + "/inside"), "kept");
    EXPECT_TRUE(write_side_file(dir.file("GONE.LST"), "made"));
    forget_unreadable_side_file(dir.file("DXCC.CHT"));
}

TEST(SideFiles, ACopyThatWouldLandOnTheOriginalIsKnown) {
    namespace fs = std::filesystem;
    TempDir dir;
    write_file(dir.file("HOME.LOG"), "records");
    fs::create_directory(dir.file("backup"));
    fs::create_directory_symlink(dir.path(), dir.file("data-link"));
    fs::create_symlink(dir.file("HOME.LOG"), dir.file("backup/LINK.LOG"));
    fs::create_hard_link(dir.file("HOME.LOG"), dir.file("backup/HARD.LOG"));
    write_file(dir.file("backup/OTHER.LOG"), "older copy");
    const struct {
        std::string copy;
        bool original;
    } cases[] = {
        {dir.file("HOME.LOG"), true},           {dir.path().string() + "/./HOME.LOG", true},
        {dir.file("data-link/HOME.LOG"), true}, // the data folder by another name
        {dir.file("backup/LINK.LOG"), true},    // a symbolic link to the log
        {dir.file("backup/HARD.LOG"), true},    {dir.file("backup/HOME.LOG"), false},
        {dir.file("backup/OTHER.LOG"), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(copy_would_be_original(c.copy, dir.file("HOME.LOG")), c.original) << c.copy;
    testing::ScopedCurrentDir here(dir.path());
    EXPECT_TRUE(copy_would_be_original("./HOME.LOG", "HOME.LOG"));
    EXPECT_TRUE(copy_would_be_original(dir.file("HOME.LOG"), "HOME.LOG"));
}

} // namespace
} // namespace kestrel
