#include "shell/startup.hpp"

#include "logstore/crashing_file_system.hpp"
#include "logstore/log_store.hpp"
#include "rig/station_settings.hpp"
#include "shell/backup.hpp"
#include "shell/main_window.hpp"
#include "shell_fixture.hpp"
#include "ui/context.hpp"

#include <filesystem>
#include <sys/stat.h>

namespace kestrel::shell::testing {
namespace {

using ui::TestRun;

class StartUp : public ShellTest {
  protected:
    // Runs the whole program; the main window does what `script` says.
    void run_program_with(std::function<void(TestRun&)> script) {
        m_host.on_modal(std::move(script));
        run_program(m_app, m_host);
    }
    // The back-up directory comes from RIG.LST, as the Set Up window leaves it.
    void use_backup(const std::string& directory) {
        rig::StationSettings settings;
        settings.backup = directory;
        ASSERT_TRUE(rig::write_settings_file(settings, file("RIG.LST")));
    }
};

TEST_F(StartUp, AnEmptyDirectoryStartsMyLogAndRemembersItAtExit) {
    std::string caption;
    m_host.expect_message("File COUNTRY.LST missing");
    run_program_with([&](TestRun& main) {
        caption = main.caption();
        main.command(MainWindow::k_exit);
    });
    ASSERT_FALSE(m_host.messages().empty());
    EXPECT_EQ(m_host.messages()[0].text, "File COUNTRY.LST missing");
    EXPECT_EQ(m_host.messages()[0].title, "Kestrel");
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::exclamation);
    EXPECT_EQ(caption, "Kestrel v6.44" + std::string(60, ' ') + "MYLOG.LOG");
    EXPECT_EQ(read("CURLOG.DTA"), "MYLOG.LOG\r\n");
    EXPECT_TRUE(std::filesystem::exists(file("MYLOG.LOG")));
    EXPECT_EQ(std::filesystem::file_size(file("MYLOG.LOG")), 0u);
    EXPECT_EQ(m_host.messages().size(), 1u);
    EXPECT_TRUE(m_host.surprises().empty());
}

TEST_F(StartUp, TheLogNamedInCurlogIsOpenedAndNoIndexIsBuiltYet) {
    write("COUNTRY.LST", "");
    write("CURLOG.DTA", "\"HOME.LOG\"\r\n");
    write("HOME.LOG", log_of(3));
    run_program_with([&](TestRun& main) {
        EXPECT_EQ(main.caption().substr(73), "HOME.LOG");
        EXPECT_EQ(m_app.log.record_count(), 3);
        EXPECT_FALSE(m_app.log.index_loaded());
        main.close_box();
    });
    EXPECT_TRUE(m_host.messages().empty());
    EXPECT_TRUE(m_host.modal_captions().size() == 1) << "no Load Log window at start-up";
    EXPECT_EQ(read("CURLOG.DTA"), "HOME.LOG\r\n");
}

TEST_F(StartUp, MinimizeAndMaximizeRebuildTheMainWindowAtTheNewSize) {
    m_host.set_screen_height(960);
    ui::Rect first, second, third;
    std::string item_after;
    m_host.on_modal([&](TestRun& main) {
        first = main.context().form().frame;
        main.command(MainWindow::k_size_toggle);
    });
    m_host.on_modal([&](TestRun& main) {
        second = main.context().form().frame;
        item_after = m_app.shell.size_toggle_text;
        main.command(MainWindow::k_size_toggle);
    });
    m_host.expect_message("File COUNTRY.LST missing");
    run_program_with([&](TestRun& main) {
        third = main.context().form().frame;
        main.command(MainWindow::k_exit);
    });
    EXPECT_EQ(first.w, 1260);
    EXPECT_EQ(first.h, 830);
    EXPECT_EQ(second.w, 630);
    EXPECT_EQ(second.h, 415);
    EXPECT_EQ(item_after, "&Maximize");
    EXPECT_EQ(third.w, 1260);
    EXPECT_EQ(m_app.shell.size_toggle_text, "&Minimize");
}

TEST_F(StartUp, TheLogIsCopiedToTheBackUpDirectoryAtExit) {
    write("COUNTRY.LST", "");
    write("MYLOG.LOG", log_of(5));
    std::filesystem::create_directory(file("backup"));
    use_backup(file("backup") + "/");
    run_program_with([](TestRun& main) { main.command(MainWindow::k_exit); });
    EXPECT_EQ(read("backup/MYLOG.LOG"), log_of(5));
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(StartUp, AFailedBackUpIsReportedAndTheLogIsUntouched) {
    write("COUNTRY.LST", "");
    write("MYLOG.LOG", log_of(2));
    write("backup", "a file, not a directory");
    use_backup(file("backup"));
    m_host.expect_message("Log not backed up");
    run_program_with([](TestRun& main) { main.command(MainWindow::k_exit); });
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].text, "Log not backed up");
    EXPECT_EQ(m_host.messages()[0].title, "KestLog");
    EXPECT_EQ(read("MYLOG.LOG"), log_of(2));
}

TEST(Backup, DestinationIsTheDirectoryAndTheLogsFileName) {
    EXPECT_EQ(backup_destination("/media/usb", "/home/op/LOGS/HOME.LOG"), "/media/usb/HOME.LOG");
    EXPECT_EQ(backup_destination("/media/usb/", "HOME.LOG"), "/media/usb/HOME.LOG");
    EXPECT_EQ(backup_destination("/", "logs/A.LOG"), "/A.LOG");
}

TEST_F(StartUp, ABackUpThatFailsHalfWayKeepsTheEarlierCopy) {
    write("MYLOG.LOG", log_of(4));
    std::filesystem::create_directory(file("backup"));
    write("backup/MYLOG.LOG", "earlier copy");
    ::chmod(file("backup").c_str(), 0555);
    const bool copied = copy_log(file("MYLOG.LOG"), file("backup/MYLOG.LOG"));
    ::chmod(file("backup").c_str(), 0755);
    if (::geteuid() != 0) {
        EXPECT_FALSE(copied); // root writes anywhere
    }
    if (!copied) {
        EXPECT_EQ(read("backup/MYLOG.LOG"), "earlier copy");
    }
    EXPECT_FALSE(std::filesystem::exists(file("backup/MYLOG.LOG.kestrel-tmp")));
}

TEST_F(StartUp, ALogEndingInAPieceOfARecordIsKeptUntilTheOperatorSaysSo) {
    write("COUNTRY.LST", "");
    write("MYLOG.LOG", log_of(2) + "tail!");
    m_host.answer(ui::Answer::no);
    run_program_with([&](TestRun& main) {
        EXPECT_EQ(m_app.log.record_count(), 2);
        main.command(MainWindow::k_exit);
    });
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_NE(m_host.messages()[0].text.find(" 5 bytes"), std::string::npos) << m_host.messages()[0].text;
    EXPECT_EQ(read("MYLOG.LOG"), log_of(2) + "tail!");

    ui::TestHost again;
    Application app;
    again.answer(ui::Answer::yes);
    again.on_modal([](TestRun& main) { main.command(MainWindow::k_exit); });
    run_program(app, again);
    EXPECT_EQ(read("MYLOG.LOG"), log_of(2));
    EXPECT_EQ(read("MYLOG.LOG.PART"), "tail!");
}

TEST_F(StartUp, AChangeInterruptedByACrashIsUndoneAndTheOperatorToldOnce) {
    write("COUNTRY.LST", "");
    write("MYLOG.LOG", log_of(3));
    {
        // The program dies half way through deleting the first entry.
        kestrel::testing::CrashingFileSystem dying(400);
        logstore::LogStore log(dying);
        ASSERT_TRUE(log.open_log(file("MYLOG.LOG")));
        EXPECT_FALSE(log.delete_record(1));
        ASSERT_TRUE(dying.crashed());
    }
    ASSERT_NE(read("MYLOG.LOG"), log_of(3));
    m_host.expect_message("The last change to MYLOG.LOG was interrupted; the log is as it was before it.");
    run_program_with([&](TestRun& main) { main.command(MainWindow::k_exit); });
    EXPECT_EQ(m_host.messages().back().icon, ui::Icon::information);
    EXPECT_EQ(read("MYLOG.LOG"), log_of(3));

    ui::TestHost again;
    Application app;
    again.on_modal([](TestRun& main) { main.command(MainWindow::k_exit); });
    run_program(app, again);
    EXPECT_TRUE(again.messages().empty());
}

TEST_F(StartUp, TheCountryListIsLoadedAndABadLineIsReported) {
    write("COUNTRY.LST",
          "KH6,KH6,Hawaii,7,21,-158\r\nK,K,United States,9,38,-97\r\nbroken line\r\nG,G,England,1,52,-1\r\n");
    m_host.expect_message("Line 3 of COUNTRY.LST");
    run_program_with([](TestRun& main) { main.command(MainWindow::k_exit); });
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].text, "Line 3 of COUNTRY.LST");
    EXPECT_EQ(m_host.messages()[0].title, "File Error");
    EXPECT_EQ(m_app.countries.entry_count(), 2);
    EXPECT_EQ(m_app.countries.resolve_country("KH6XX").country, 7);
}

TEST_F(StartUp, TheStatusChartSurvivesARestart) {
    write("COUNTRY.LST", "");
    run_program_with([&](TestRun& main) {
        m_app.chart.update_chart(7, 4, 0, 2);
        main.command(MainWindow::k_exit);
    });
    EXPECT_EQ(read("DXCC.CHT").size(), 5213u);

    ui::TestHost again;
    Application app;
    bool confirmed = false;
    again.on_modal([&](TestRun& main) {
        confirmed = app.chart.confirmed(7, 4, 0);
        main.command(MainWindow::k_exit);
    });
    run_program(app, again);
    EXPECT_TRUE(confirmed);
    EXPECT_TRUE(again.messages().empty());
}

TEST_F(StartUp, AChartFileOfTheWrongLengthIsReportedOnceAndKeptWhole) {
    write("COUNTRY.LST", "");
    write("DXCC.CHT", std::string(100, '\x01'));
    m_host.answer(ui::Answer::ok); // the length found, and how to rebuild the chart
    run_program_with([](TestRun& main) { main.command(MainWindow::k_exit); });
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_NE(m_host.messages()[0].text.find("DXCC.CHT holds 100 bytes"), std::string::npos);
    const std::string saved = read("DXCC.CHT");
    ASSERT_EQ(saved.size(), 5213u);
    EXPECT_EQ(saved.substr(0, 100), std::string(100, '\x01'));
    EXPECT_EQ(saved[100], '\0');
}

TEST_F(StartUp, TheStationSettingsAreReadFromRigLst) {
    write("COUNTRY.LST", "");
    rig::StationSettings settings;
    settings.rows[4] = {"FT-1000", "Yagi", "100", "SSB", "G9QQQ"};
    settings.latitude = "52.5";
    settings.longitude = "-1.2";
    ASSERT_TRUE(rig::write_settings_file(settings, file("RIG.LST")));
    run_program_with([](TestRun& main) { main.command(MainWindow::k_exit); });
    EXPECT_EQ(m_app.station, settings);
}

} // namespace
} // namespace kestrel::shell::testing
