#include "keyer/cw_setup_window.hpp"

#include "support/temp_dir.hpp"
#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrel::keyer {
namespace {

using W = CwSetupWindow;

class CwSetup : public ::testing::Test {
  protected:
    std::string path() const { return m_dir.file(k_settings_file); }
    std::string written() const { return testing::read_file(m_dir.path() / k_settings_file); }

    testing::TempDir m_dir;
    KeyerSettings m_settings{"1", 22, {"CQ TEST", "#HCALL UR #RST #RST", "TU 73", "QRZ?"}};
    ui::TestHost m_host;
};

TEST_F(CwSetup, OpensWithTheSettingsAndTheFocusOnTheFirstMessage) {
    auto run = m_host.open(W{m_settings, path()});
    EXPECT_EQ(run.caption(), "CW Set Up");
    EXPECT_EQ(run.focused(), W::k_first_message);
    for (int m = 0; m < k_message_count; ++m) {
        EXPECT_EQ(run.text(W::k_first_key_label + m), "F" + std::to_string(5 + m) + ":");
        EXPECT_EQ(run.text(W::k_first_message + m), m_settings.messages[static_cast<std::size_t>(m)]);
    }
    EXPECT_EQ(run.text(W::k_port), "1");
    EXPECT_EQ(run.text(W::k_speed), "22");
    run.alt('W');
    EXPECT_EQ(run.focused(), W::k_speed);
    run.alt('P');
    EXPECT_EQ(run.focused(), W::k_port);
}

TEST_F(CwSetup, SaveKeepsWhatWasTypedInTheSettingsAndInCwtext) {
    const struct {
        const char* port;
        const char* speed;
        std::string kept_port;
        int kept_speed;
    } cases[] = {
        {"P", "25", "P", 25},
        {"p", "5", "P", 10}, // too slow: saved as 10
        {" 2 ", "", "2", 10},
        {"/dev/ttyUSB0", "40", "/dev/ttyUSB0", 40}, // a device path keeps its small letters
        {"", "999", "", 999},
    };
    for (const auto& c : cases) {
        auto run = m_host.open(W{m_settings, path()});
        run.replace(W::k_first_message + 2, "TU 73 GL")
            .replace(W::k_port, c.port)
            .replace(W::k_speed, c.speed);
        run.click(W::k_save);
        EXPECT_FALSE(run.is_open());
        const KeyerSettings expected{
            c.kept_port, c.kept_speed, {"CQ TEST", "#HCALL UR #RST #RST", "TU 73 GL", "QRZ?"}};
        EXPECT_EQ(m_settings, expected) << c.port << " " << c.speed;
        EXPECT_EQ(written(), c.kept_port + "\r\n" + c.kept_port + "\r\n" + std::to_string(c.kept_speed) +
                                 "\r\nCQ TEST\r\n#HCALL UR #RST #RST\r\nTU 73 GL\r\nQRZ?\r\n");
    }
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(CwSetup, ExitAndEscapeLeaveTheSettingsAndTheFileAlone) {
    const KeyerSettings before = m_settings;
    for (const bool escape : {false, true}) {
        auto run = m_host.open(W{m_settings, path()});
        run.replace(W::k_first_message, "CQ DX").replace(W::k_speed, "35");
        if (escape)
            run.key(ui::Key::escape);
        else
            run.click(W::k_exit);
        EXPECT_FALSE(run.is_open());
    }
    EXPECT_EQ(m_settings, before);
    EXPECT_FALSE(std::filesystem::exists(path()));
}

TEST_F(CwSetup, BoxesRefuseWhatCwtextCouldNotGiveBack) {
    auto run = m_host.open(W{m_settings, path()});
    run.replace(W::k_first_message + 1, "TU, 73").replace(W::k_port, "1,2").replace(W::k_speed, "2x0,05");
    EXPECT_EQ(run.text(W::k_first_message + 1), "TU 73");
    EXPECT_EQ(run.text(W::k_port), "12");
    EXPECT_EQ(run.text(W::k_speed), "200") << "digits only, three at most";
    EXPECT_EQ(m_host.beeps(), 5);
}

TEST_F(CwSetup, ASettingsFileThatCannotBeWrittenIsToldAndTheSettingsStillChange) {
    std::filesystem::create_directory(m_dir.path() / "CWTEXT.TXT"); // a directory in its place
    auto run = m_host.open(W{m_settings, path()});
    m_host.expect_message(
        "CWTEXT.TXT could not be written: the CW settings are kept only until the program ends.");
    run.replace(W::k_speed, "30").click(W::k_save);
    EXPECT_FALSE(run.is_open());
    EXPECT_EQ(m_settings.words_per_minute, 30);
    EXPECT_EQ(m_host.messages().size(), 1u);
}

TEST_F(CwSetup, RunsModallyOverItsOwnerAndTheNextStartReadsWhatWasSaved) {
    struct Owner final : ui::Window {
        ui::Form build() const override {
            ui::Form form;
            form.caption = "Kestrel";
            form.frame = {0, 0, 200, 100};
            return form;
        }
        void on_command(ui::Context&, int, ui::Notify) override {}
    };
    auto owner = m_host.open(Owner{});
    m_host.on_modal([](ui::TestRun& run) {
        run.replace(W::k_first_message + 3, "QRL?")
            .replace(W::k_port, "P")
            .replace(W::k_speed, "18")
            .click(W::k_save);
    });
    cw_setup_window(owner.context(), m_settings, path());
    EXPECT_EQ(m_host.modal_captions(), std::vector<std::string>{"CW Set Up"});
    const KeyerFiles next_start = load_keyer_files(m_dir.path().string());
    EXPECT_EQ(next_start.settings, m_settings);
    EXPECT_EQ(next_start.settings.messages[3], "QRL?");
    EXPECT_EQ(next_start.settings.port, "P");
}

} // namespace
} // namespace kestrel::keyer
