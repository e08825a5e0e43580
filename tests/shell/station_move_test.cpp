// A station directory brought over from the old platform, and the operator's files kept safe at
// start and exit.

#include "common/side_file.hpp"
#include "logstore/faulty_file_system.hpp"
#include "rig/station_settings.hpp"
#include "shell/log_files.hpp"
#include "shell/main_window.hpp"
#include "shell/startup.hpp"
#include "shell_fixture.hpp"
#include "ui/context.hpp"

#include <filesystem>

namespace kestrel::shell::testing {
namespace {

namespace fs = std::filesystem;
using ui::TestRun;

class StationMove : public ShellTest {
  protected:
    StationMove() { write("COUNTRY.LST", ""); }
    void run_and_exit(std::function<void(TestRun&)> also = {}) {
        m_host.on_modal([also](TestRun& main) {
            if (also) also(main);
            main.command(MainWindow::k_exit);
        });
        run_program(m_app, m_host);
    }
    void use_backup(const std::string& folder) {
        rig::StationSettings settings;
        settings.backup = folder;
        ASSERT_TRUE(rig::write_settings_file(settings, file("RIG.LST")));
    }
};

TEST_F(StationMove, TheOldDirectoryOpensAsItIs) {
    const struct {
        std::string curlog;  // CURLOG.DTA as the old platform left it
        std::string on_disk; // the log's name here
        std::string country; // COUNTRY.LST's name here
    } cases[] = {
        {"C:\\KESTREL\\HOME.LOG\r\n", "HOME.LOG", "COUNTRY.LST"},
        {"C:\\KESTREL\\HOME.LOG\r\n", "home.log", "country.lst"},
        {"mylog.log\r\n", "MYLOG.LOG", "Country.Lst"},
    };
    for (const auto& c : cases) {
        kestrel::testing::TempDir dir;
        kestrel::testing::ScopedCurrentDir here(dir.path());
        kestrel::testing::write_file(dir.file("CURLOG.DTA"), c.curlog);
        kestrel::testing::write_file(dir.file(c.on_disk), log_of(4));
        kestrel::testing::write_file(dir.file(c.country), "G,G,England,223,52,-1\r\n");
        ui::TestHost host;
        Application app;
        int records = -1;
        host.on_modal([&](TestRun& main) {
            records = app.log.record_count();
            main.command(MainWindow::k_exit);
        });
        run_program(app, host);
        EXPECT_EQ(records, 4) << c.curlog;
        EXPECT_TRUE(host.messages().empty()) << c.curlog << host.message_texts().front();
        EXPECT_EQ(app.countries.resolve_country("G4ABC").country, 223) << c.country;
        EXPECT_EQ(fs::path(app.log.path()).filename(), c.on_disk);
        // Nothing was made beside the real files: no "C:\KESTREL\HOME.LOG", no second log.
        // Hidden files are the locks of the directory and the log, there while Kestrel runs.
        int files = 0;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            files += !entry.path().filename().string().starts_with(".");
        EXPECT_EQ(files, 4) << "CURLOG.DTA, the log, COUNTRY.LST, DXCC.CHT";
        EXPECT_EQ(kestrel::testing::read_file(dir.file("CURLOG.DTA")), app.log.path() + "\r\n");
    }
}

TEST_F(StationMove, AMissingLogIsNeverMadeWithoutAWord) {
    const struct {
        std::vector<ui::Answer> answers; // to "not there", then to the dialog's result
        std::optional<std::string> chosen;
        std::string opened; // empty: the program left
    } cases[] = {
        {{ui::Answer::cancel}, std::nullopt, ""},
        {{ui::Answer::no}, std::nullopt, "GONE.LOG"},
        {{ui::Answer::yes}, "OTHER.LOG", "OTHER.LOG"},
        {{ui::Answer::yes, ui::Answer::cancel}, std::nullopt, ""}, // the dialog cancelled: asked again
    };
    for (const auto& c : cases) {
        kestrel::testing::TempDir dir;
        kestrel::testing::ScopedCurrentDir here(dir.path());
        kestrel::testing::write_file(dir.file("COUNTRY.LST"), "");
        kestrel::testing::write_file(dir.file("CURLOG.DTA"), "GONE.LOG\r\n");
        kestrel::testing::write_file(dir.file("OTHER.LOG"), log_of(2));
        ui::TestHost host;
        Application app;
        for (const ui::Answer a : c.answers)
            host.answer(a);
        if (c.answers.front() == ui::Answer::yes) host.answer_file(c.chosen ? dir.file(*c.chosen) : c.chosen);
        std::string caption_log;
        if (!c.opened.empty())
            host.on_modal([&](TestRun& main) {
                caption_log = app.log.path();
                main.command(MainWindow::k_exit);
            });
        run_program(app, host);
        ASSERT_FALSE(host.messages().empty());
        EXPECT_NE(host.messages()[0].text.find("GONE.LOG"), std::string::npos);
        EXPECT_EQ(host.messages()[0].default_answer, ui::Answer::yes);
        EXPECT_EQ(fs::exists(dir.file("GONE.LOG")), c.opened == "GONE.LOG");
        if (c.opened.empty()) {
            EXPECT_EQ(kestrel::testing::read_file(dir.file("CURLOG.DTA")), "GONE.LOG\r\n");
            EXPECT_FALSE(fs::exists(dir.file("DXCC.CHT"))) << "nothing written on leaving";
        } else {
            EXPECT_EQ(fs::path(caption_log).filename(), c.opened);
        }
    }
}

TEST_F(StationMove, ALogNameLongerThanAPathIsToldOnceThenTakenAsALogThatIsNotThere) {
    const std::string curlog = std::string(1 << 20, 'L') + "\r\n";
    const struct {
        std::vector<ui::Answer> answers; // to "not there", then to the dialog's result
        std::optional<std::string> chosen;
        std::string opened; // empty: the program left
    } cases[] = {
        {{ui::Answer::no}, std::nullopt, "MYLOG.LOG"},
        {{ui::Answer::yes}, "OTHER.LOG", "OTHER.LOG"},
        {{ui::Answer::yes, ui::Answer::cancel}, std::nullopt, ""}, // the dialog cancelled: asked again
        {{ui::Answer::cancel}, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        kestrel::testing::TempDir dir;
        kestrel::testing::ScopedCurrentDir here(dir.path());
        kestrel::testing::write_file(dir.file("COUNTRY.LST"), "");
        kestrel::testing::write_file(dir.file("CURLOG.DTA"), curlog);
        kestrel::testing::write_file(dir.file("OTHER.LOG"), log_of(2));
        ui::TestHost host;
        Application app;
        host.expect_message(
            "CURLOG.DTA names a log whose name is longer than a path can be; no such log can be opened.");
        for (const ui::Answer a : c.answers)
            host.answer(a);
        if (c.answers.front() == ui::Answer::yes) host.answer_file(c.chosen ? dir.file(*c.chosen) : c.chosen);
        std::string caption_log;
        if (!c.opened.empty())
            host.on_modal([&](TestRun& main) {
                caption_log = app.log.path();
                main.command(MainWindow::k_exit);
            });
        run_program(app, host);
        ASSERT_EQ(host.messages().size(), 1 + c.answers.size()) << "told once, however often asked";
        const std::string& question = host.messages()[1].text;
        EXPECT_TRUE(question.starts_with("The log named in CURLOG.DTA is not there.")) << question;
        EXPECT_NE(question.find("No:\topen MYLOG.LOG"), std::string::npos) << question;
        EXPECT_EQ(host.messages()[1].default_answer, ui::Answer::yes);
        if (c.opened.empty()) {
            EXPECT_EQ(kestrel::testing::read_file(dir.file("CURLOG.DTA")) == curlog, true);
            EXPECT_FALSE(fs::exists(dir.file("MYLOG.LOG")));
        } else {
            EXPECT_EQ(fs::path(caption_log).filename(), c.opened);
            EXPECT_EQ(fs::path(kestrel::testing::read_file(dir.file("CURLOG.DTA"))).filename(),
                      c.opened + "\r\n");
        }
    }
}

TEST_F(StationMove, ALogThatCannotBeOpenedLeavesTheWindowsThatNeedOneSayingSo) {
    fs::create_directory(file("HOME.LOG")); // no file can be opened there, whoever runs the program
    write("CURLOG.DTA", "HOME.LOG\r\n");
    m_host.answer(ui::Answer::ok); // why the log could not be opened
    m_host.expect_message("No Log Selected");
    m_host.expect_message("No Log Selected");
    run_and_exit([](TestRun& main) {
        main.command(MainWindow::k_online);
        main.command(MainWindow::k_browse);
    });
    ASSERT_EQ(m_host.messages().size(), 3u);
    EXPECT_NE(m_host.messages()[0].text.find("HOME.LOG"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(file("HOME.LOG")));
}

TEST_F(StationMove, ALogThatCanOnlyBeReadIsToldOnOpening) {
    write("HOME.LOG", log_of(2));
    kestrel::testing::FaultyFileSystem files;
    files.refuse_writable_open = true; // as for a file without write permission, or a read-only disk
    logstore::LogStore log(files);
    m_host.answer(ui::Answer::ok);
    ASSERT_TRUE(open_log_checked(m_host, nullptr, log, file("HOME.LOG")));
    EXPECT_TRUE(log.read_only());
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_NE(m_host.messages()[0].text.find("can only be read"), std::string::npos);
    EXPECT_EQ(log.record_count(), 2);
}

TEST_F(StationMove, ADriveLetterForBackUpsIsToldOnceAtStart) {
    write("MYLOG.LOG", log_of(1));
    use_backup("A");
    m_host.answer(ui::Answer::ok);
    run_and_exit();
    ASSERT_EQ(m_host.messages().size(), 1u) << "told at start, not again at exit";
    EXPECT_NE(m_host.messages()[0].text.find("Set Up/Back Up Drive"), std::string::npos);
    EXPECT_TRUE(rig::backup_is_drive_letter("a:"));
    EXPECT_TRUE(rig::backup_is_drive_letter("C:\\"));
    EXPECT_FALSE(rig::backup_is_drive_letter("/media/A"));
    EXPECT_FALSE(rig::backup_is_drive_letter("AB"));
}

TEST_F(StationMove, TheBackUpNeverTouchesTheLogItself) {
    fs::create_directory(file("backup"));
    const struct {
        std::string folder;
        bool link_in_backup; // backup/MYLOG.LOG is a symbolic link to the log
    } cases[] = {
        {".", false},
        {"", false}, // the data folder by its full name, below
        {"backup", true},
    };
    for (const auto& c : cases) {
        write("MYLOG.LOG", log_of(3));
        if (c.link_in_backup) fs::create_symlink(file("MYLOG.LOG"), file("backup/MYLOG.LOG"));
        use_backup(c.folder.empty() ? m_dir.path().string() : c.folder);
        ui::TestHost host;
        Application app;
        host.expect_message("Log not backed up");
        host.on_modal([](TestRun& main) { main.command(MainWindow::k_exit); });
        run_program(app, host);
        EXPECT_EQ(read("MYLOG.LOG"), log_of(3)) << c.folder;
        if (c.link_in_backup) {
            EXPECT_TRUE(fs::is_symlink(file("backup/MYLOG.LOG")));
        }
    }
}

TEST_F(StationMove, AnUnreadableSideFileIsToldOnceAndNeverWrittenOver) {
    write("MYLOG.LOG", log_of(1));
    // A folder in a file's place cannot be read, whoever runs the program.
    fs::create_directory(file("DXCC.CHT"));
    m_host.answer(ui::Answer::ok);
    run_and_exit([&](TestRun&) { m_app.chart.update_chart(7, 4, 0, 2); });
    ASSERT_GE(m_host.messages().size(), 1u);
    EXPECT_NE(m_host.messages()[0].text.find("DXCC.CHT"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(file("DXCC.CHT")));
    forget_unreadable_side_file(file("DXCC.CHT"));
}

TEST_F(StationMove, NewOnAFileThatHoldsRecordsNeedsAYesNotAnEnter) {
    write("MYLOG.LOG", log_of(1));
    write("COUNTRY.LST", "G,G,England,223,52,-1\r\n");
    const std::string country = read("COUNTRY.LST");
    write("FULL.LOG", log_of(6));
    m_host.on_modal([&](TestRun& main) {
        for (const std::string name : {"FULL.LOG", "COUNTRY.LST"}) {
            m_host.answer_file(file(name));
            m_host.answer_enter();
            main.command(MainWindow::k_new);
        }
        main.command(MainWindow::k_exit);
    });
    run_program(m_app, m_host);
    EXPECT_EQ(read("FULL.LOG"), log_of(6));
    EXPECT_EQ(read("COUNTRY.LST"), country);
    ASSERT_EQ(m_host.messages().size(), 2u);
    EXPECT_EQ(m_host.messages()[0].default_answer, ui::Answer::no);
}

TEST_F(StationMove, TheMainWindowFitsTheScreen) {
    const struct {
        int height;
        ui::Size area;
        int most_width, most_height;
    } cases[] = {
        {1024, {1280, 994}, 1280, 994},
        {768, {1024, 740}, 1024, 740},
        {960, {}, 1276, 900}, // the area unknown: by the height alone
    };
    for (const auto& c : cases) {
        ui::TestHost host(c.height);
        host.set_available_screen(c.area);
        Application app;
        ui::Rect frame;
        host.expect_message("File COUNTRY.LST missing");
        kestrel::testing::TempDir dir;
        kestrel::testing::ScopedCurrentDir here(dir.path());
        host.on_modal([&](TestRun& main) {
            frame = main.context().form().frame;
            main.command(MainWindow::k_exit);
        });
        run_program(app, host);
        EXPECT_LE(frame.w, c.most_width - 16) << c.height;
        EXPECT_LE(frame.h, c.most_height - 70) << c.height;
        EXPECT_GT(frame.w, c.most_width * 9 / 10) << "still as large as fits";
    }
}

} // namespace
} // namespace kestrel::shell::testing
