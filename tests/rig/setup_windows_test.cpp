#include "rig/setup_windows.hpp"

#include "logstore/band_names.hpp"
#include "support/temp_dir.hpp"
#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

namespace kestrel::rig {
namespace {

using W = StationDataWindow;

class SetupWindows : public ::testing::Test {
  protected:
    SetupEnv env() { return {m_settings, m_link, m_bands, m_dir.file("RIG.LST"), m_dir.file("HOME.LOG")}; }
    std::string rig_lst() const { return testing::read_file(m_dir.path() / "RIG.LST"); }

    testing::TempDir m_dir;
    StationSettings m_settings;
    RigLinkSettings m_link;
    logstore::BandNameTable m_bands = logstore::load_band_names();
    ui::TestHost m_host;
};

TEST_F(SetupWindows, TheStationDataWindowShowsARowPerBand) {
    m_settings.rows[4] = {"FT-1000", "Yagi", "100", "SSB", "G9QQQ"};
    auto run = m_host.open(W{env()});
    EXPECT_EQ(run.caption(), "STATION DATA ");
    EXPECT_EQ(run.focused(), W::k_transceiver);
    EXPECT_EQ(run.text(W::k_band_label + 0), "1.8MHz");
    EXPECT_EQ(run.text(W::k_band_label + 18), "24GHz");
    EXPECT_EQ(run.text(W::k_antenna + 4), "Yagi");
    EXPECT_EQ(run.text(W::k_operator + 4), "G9QQQ");
    EXPECT_TRUE(run.exists(W::k_mode + 18));
    EXPECT_FALSE(run.exists(W::k_mode + 19));
}

TEST_F(SetupWindows, KeysMoveAlongAndAcrossTheTableAndStopAtItsEdges) {
    auto run = m_host.open(W{env()});
    struct Step {
        ui::Key key;
        unsigned modifiers;
        int focused;
    } steps[] = {
        {ui::Key::tab, ui::shift, W::k_transceiver}, // first column: stays
        {ui::Key::up, 0, W::k_transceiver},          // first row: stays
        {ui::Key::enter, 0, W::k_antenna},
        {ui::Key::tab, 0, W::k_power},
        {ui::Key::enter, 0, W::k_mode},
        {ui::Key::enter, 0, W::k_operator},
        {ui::Key::enter, 0, W::k_operator}, // last column: stays
        {ui::Key::down, 0, W::k_operator + 1},
        {ui::Key::tab, ui::shift, W::k_mode + 1},
    };
    for (const Step& s : steps) {
        run.key(s.key, s.modifiers);
        EXPECT_EQ(run.focused(), s.focused);
    }
    run.focus(W::k_antenna + 17).key(ui::Key::down).key(ui::Key::down);
    EXPECT_EQ(run.focused(), W::k_antenna + 18);
}

TEST_F(SetupWindows, CopyTakesARowIntoTheNextAndNotPastTheLast) {
    auto run = m_host.open(W{env()});
    run.type_into(W::k_transceiver + 3, "IC-7300").type_into(W::k_operator + 3, "G9QQQ");
    run.focus(W::k_antenna + 3).click(W::k_copy);
    EXPECT_EQ(run.text(W::k_transceiver + 4), "IC-7300");
    EXPECT_EQ(run.text(W::k_operator + 4), "G9QQQ");
    EXPECT_EQ(run.focused(), W::k_transceiver + 4);

    run.type_into(W::k_transceiver + 18, "Last").click(W::k_copy);
    EXPECT_EQ(run.focused(), W::k_copy) << "the last row has no row below to copy into";
    EXPECT_EQ(run.text(W::k_transceiver + 18), "Last");
}

TEST_F(SetupWindows, ClosingWritesRigLstEvenWithoutChanges) {
    m_settings.rows[0] = {"FT-817", "Whip", "5", "CW", "G9QQQ"};
    ASSERT_TRUE(write_settings_file(m_settings, m_dir.file("RIG.LST")));
    const std::string before = rig_lst();
    testing::write_file(m_dir.path() / "RIG.LST", "");
    m_host.open(W{env()}).key(ui::Key::escape);
    EXPECT_EQ(rig_lst(), before);
}

TEST_F(SetupWindows, TwoBandsLocationAndBackUpAreKeptInRigLst) {
    auto run = m_host.open(W{env()});
    run.type_into(W::k_transceiver + 4, "FT-1000").type_into(W::k_power + 4, "100");
    run.type_into(W::k_transceiver + 9, "IC-7300").type_into(W::k_mode + 9, "FM");
    run.click(ui::k_cancel);
    EXPECT_FALSE(run.is_open());

    auto location = m_host.open(LocationWindow{env()});
    EXPECT_EQ(location.focused(), LocationWindow::k_latitude);
    location.type("52.5").key(ui::Key::enter).type("-1.2").key(ui::Key::escape);
    EXPECT_FALSE(location.is_open());

    std::filesystem::create_directory(m_dir.path() / "backup");
    auto backup = m_host.open(BackupDriveWindow{env()});
    m_host.answer_directory(m_dir.file("backup"));
    backup.click(BackupDriveWindow::k_browse).click(ui::k_cancel);

    const StationSettings back = read_settings_file(m_dir.file("RIG.LST"));
    EXPECT_EQ(back.rows[4].transceiver, "FT-1000");
    EXPECT_EQ(back.rows[4].power, "100");
    EXPECT_EQ(back.rows[9].mode, "FM");
    EXPECT_EQ(back.latitude, "52.5");
    EXPECT_EQ(back.longitude, "-1.2");
    EXPECT_EQ(back.backup, m_dir.file("backup"));
    EXPECT_EQ(back, m_settings);
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(SetupWindows, ACommaOrAQuoteIsRefusedWithABeepWhereverItIsTyped) {
    auto run = m_host.open(W{env()});
    run.type_into(W::k_antenna + 2, "Yagi, 3 el").type_into(W::k_port, "1,2");
    EXPECT_EQ(run.text(W::k_antenna + 2), "Yagi 3 el");
    EXPECT_EQ(run.text(W::k_port), "12");
    EXPECT_EQ(m_host.beeps(), 2);
    run.type_into(W::k_transceiver + 4, "5\" dish");
    EXPECT_EQ(run.text(W::k_transceiver + 4), "5 dish");
    EXPECT_EQ(m_host.beeps(), 3);
    run.key(ui::Key::escape);
    EXPECT_EQ(read_settings_file(m_dir.file("RIG.LST")), m_settings)
        << "every setting reads back in its place";
    auto location = m_host.open(LocationWindow{env()});
    location.type("52,5");
    EXPECT_EQ(location.text(LocationWindow::k_latitude), "525");
    EXPECT_EQ(m_host.beeps(), 4);
}

TEST_F(SetupWindows, TheCatPortAndRateGoIntoTheRigDescriptionWhenChanged) {
    const std::string rig = m_dir.file("IC706.RIG");
    testing::write_file(rig, "1:4800,N,8,2\r\nFE\r\n1,5,3\r\n0,0\r\n00\r\n0,0\r\n");
    m_link = {rig, "1", "4800", false};
    auto run = m_host.open(W{env()});
    EXPECT_EQ(run.text(W::k_port), "1");
    run.replace(W::k_port, "2").replace(W::k_rate, "96x00");
    EXPECT_EQ(run.text(W::k_rate), "9600") << "the rate box takes digits only";
    EXPECT_TRUE(m_link.changed);
    run.key(ui::Key::escape);
    EXPECT_EQ(testing::read_file(rig).substr(0, 15), "2:9600,N,8,2\r\nF");
    EXPECT_FALSE(m_link.changed);
}

TEST_F(SetupWindows, ABackUpFolderThatIsNotThereIsKeptButTheOperatorIsWarned) {
    auto run = m_host.open(BackupDriveWindow{env()});
    m_host.expect_message(
        "/no/such/folder is not a folder: the log will not be backed up at exit until it is.");
    run.type_into(BackupDriveWindow::k_directory, "/no/such/folder").key(ui::Key::escape);
    EXPECT_EQ(m_settings.backup, "/no/such/folder");
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_NE(m_host.messages()[0].text.find("not a folder"), std::string::npos);
}

TEST_F(SetupWindows, ABackUpFolderIsTheSameBytesTypedOrChosenAndNeverTheLogsOwnFolder) {
    namespace fs = std::filesystem;
    const std::string utf8_name = m_dir.file("b\xc3\xa4"
                                             "ckup"); // as the file system names it
    fs::create_directory(utf8_name);
    const struct {
        std::optional<std::string> chosen; // by Browse; else typed
        std::string typed;                 // Windows-1252, as a box holds it
        std::string kept;                  // empty: refused, the window stays open
    } cases[] = {
        {std::nullopt,
         m_dir.file("b\xe4"
                    "ckup"),
         utf8_name},
        {utf8_name, "", utf8_name},
        {std::nullopt, m_dir.path().string(), ""}, // the log's own folder
        {m_dir.path().string() + "/", "", ""},
    };
    for (const auto& c : cases) {
        m_settings.backup.clear();
        ui::TestHost host;
        auto run = host.open(BackupDriveWindow{env()});
        if (c.chosen) {
            host.answer_directory(*c.chosen);
            if (c.kept.empty()) host.answer(ui::Answer::ok); // refused when chosen
            run.click(BackupDriveWindow::k_browse);
        } else {
            run.replace(BackupDriveWindow::k_directory, c.typed);
        }
        if (c.kept.empty() && !c.chosen) host.answer(ui::Answer::ok); // refused at Exit
        run.click(ui::k_cancel);
        if (c.kept.empty()) {
            EXPECT_TRUE(c.chosen ? !run.is_open() : run.is_open());
            EXPECT_EQ(m_settings.backup, "");
            ASSERT_FALSE(host.messages().empty());
            EXPECT_NE(host.messages()[0].text.find("the log itself"), std::string::npos);
            if (run.is_open()) run.replace(BackupDriveWindow::k_directory, "").click(ui::k_cancel);
        } else {
            EXPECT_FALSE(run.is_open());
            EXPECT_EQ(m_settings.backup, c.kept);
            EXPECT_TRUE(host.messages().empty()) << host.message_texts().front();
            EXPECT_EQ(read_settings_file(m_dir.file("RIG.LST")).backup, c.kept);
        }
    }
}

} // namespace
} // namespace kestrel::rig
