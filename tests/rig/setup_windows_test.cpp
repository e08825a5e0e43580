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
    SetupEnv env() { return {m_settings, m_link, m_bands, m_dir.file("RIG.LST")}; }
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

TEST_F(SetupWindows, ACommaIsRefusedWithABeepWhereverItIsTyped) {
    auto run = m_host.open(W{env()});
    run.type_into(W::k_antenna + 2, "Yagi, 3 el").type_into(W::k_port, "1,2");
    EXPECT_EQ(run.text(W::k_antenna + 2), "Yagi 3 el");
    EXPECT_EQ(run.text(W::k_port), "12");
    EXPECT_EQ(m_host.beeps(), 2);
    auto location = m_host.open(LocationWindow{env()});
    location.type("52,5");
    EXPECT_EQ(location.text(LocationWindow::k_latitude), "525");
    EXPECT_EQ(m_host.beeps(), 3);
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

} // namespace
} // namespace kestrel::rig
