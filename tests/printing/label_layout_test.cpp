#include "printing/label_layout.hpp"

#include "printing_fixture.hpp"

#include <filesystem>

namespace kestrel::printing {
namespace {

using testing::read_file;
using testing::settings_bytes;
using testing::write_file;

TEST(LabelSettings, TenBytesReadAndWrittenAsTheyStand) {
    const std::string bytes = settings_bytes(8, 3, 66, 2, 34, 7, 13, 'Y', 'N', 1);
    const auto settings = decode_settings(bytes);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->labels_down, 8);
    EXPECT_EQ(settings->labels_across, 3);
    EXPECT_EQ(settings->label_width, 66);
    EXPECT_EQ(settings->qsls_per_label, 2);
    EXPECT_EQ(settings->label_height, 34);
    EXPECT_EQ(settings->left_margin, 7);
    EXPECT_EQ(settings->top_margin, 13);
    EXPECT_TRUE(settings->pause);
    EXPECT_FALSE(settings->received_only);
    EXPECT_EQ(settings->label_type, k_multi_label);
    EXPECT_EQ(encode_settings(*settings), bytes);

    // A new file's zeros: one label of one QSL, single, switches off.
    const auto zeros = decode_settings(std::string(10, '\0'));
    ASSERT_TRUE(zeros);
    EXPECT_EQ(zeros->down(), 1);
    EXPECT_EQ(zeros->across(), 1);
    EXPECT_EQ(zeros->per_label(), 1);
    EXPECT_FALSE(zeros->pause);
    EXPECT_EQ(encode_settings(*zeros), settings_bytes(0, 0, 0, 0, 0, 0, 0, 'N', 'N', 0));

    // A value too large for its byte is held at 255 rather than wrapped round.
    LabelSettings big;
    big.label_width = 300;
    EXPECT_EQ(static_cast<unsigned char>(encode_settings(big)[2]), 255);

    for (const std::string& bad : {std::string(9, '\0'), std::string(11, '\0'), std::string("0303661340"),
                                   settings_bytes(1, 1, 1, 1, 1, 1, 1, 'y', 'N')})
        EXPECT_FALSE(decode_settings(bad)) << bad.size();
}

TEST(LabelSettings, TheSettingsFileHasTheTemplatesNameAndTheExtensionDat) {
    const struct {
        const char* template_path;
        const char* settings_path;
    } cases[] = {
        {"LABELS.DTA", "LABELS.DAT"},
        {"/home/ann/kestrel/MULTI.DTA", "/home/ann/kestrel/MULTI.DAT"},
        {"labels.dta", "labels.dat"},
        {"/data.d/QSL", "/data.d/QSL.DAT"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(settings_path_of(c.template_path), c.settings_path) << c.template_path;
}

class LabelLayoutFiles : public testing::PrintingTest {};

TEST_F(LabelLayoutFiles, TemplatesAreTheDtaFilesButTheCurrentLogsName) {
    for (const char* name : {"MULTI.DTA", "CURLOG.DTA", "labels.dta", "NOTES.TXT", "X.DTA.BAK", "A.DAT"})
        write_file(m_dir.path() / name, "x");
    std::filesystem::create_directory(m_dir.path() / "DIR.DTA");
    EXPECT_EQ(template_files(m_dir.path().string()), (std::vector<std::string>{"MULTI.DTA", "labels.dta"}));
    EXPECT_EQ(template_files(m_dir.file("absent")), std::vector<std::string>{});
}

TEST_F(LabelLayoutFiles, ATemplateLoadsWithItsSettingsAndANewOneGetsASheetOfZeros) {
    write_template("LABELS.DTA", "QSL $A$\r\n", settings_bytes(8, 3, 66, 1, 34, 7, 13));
    auto load = load_label_layout(m_dir.file("LABELS.DTA"));
    ASSERT_TRUE(load.layout) << load.problem;
    EXPECT_EQ(load.layout->template_text, "QSL $A$\r\n");
    EXPECT_EQ(load.layout->settings.labels_across, 3);

    write_template("NEW.DTA", "$A$", "");
    load = load_label_layout(m_dir.file("NEW.DTA"));
    ASSERT_TRUE(load.layout) << load.problem;
    EXPECT_EQ(load.layout->settings, LabelSettings{});
    EXPECT_EQ(read_file(m_dir.path() / "NEW.DAT"), std::string(10, '\0'));

    write_file(m_dir.path() / "NEW.DAT", "");
    load = load_label_layout(m_dir.file("NEW.DTA"));
    ASSERT_TRUE(load.layout) << "an empty settings file is a new one";
    EXPECT_EQ(read_file(m_dir.path() / "NEW.DAT"), std::string(10, '\0'));
}

TEST_F(LabelLayoutFiles, AFileThatCannotBeReadOrIsNotWhatItShouldBeIsToldAndLeftAlone) {
    const std::string good_settings = settings_bytes(8, 3, 66, 1, 34, 7, 13);
    const struct {
        const char* why;
        std::string template_text;
        std::string settings; // empty: none written
        bool settings_is_directory;
        std::string problem;
    } cases[] = {
        {"settings too short", "$A$", "\x08\x03", false,
         "T.DAT does not hold label settings (ten bytes): nothing will be printed with T.DTA. The file has "
         "been "
         "left as it is."},
        {"settings of another program", "$A$", "0123456789ABCDEF", false,
         "T.DAT does not hold label settings (ten bytes): nothing will be printed with T.DTA. The file has "
         "been "
         "left as it is."},
        {"settings not a file", "$A$", "", true,
         "T.DAT could not be read: nothing will be printed with T.DTA."},
        {"a bad command", "QSL #F12 $A$", good_settings, false,
         "T.DTA: line 1 has \"#F\" without a number and \";\" after it. Nothing will be printed with it "
         "until it "
         "is put right."},
        {"far too large", std::string(k_largest_template + 1, 'x'), good_settings, false,
         "T.DTA is too large to be a label template: nothing will be printed with it."},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(m_dir.path() / "T.DAT");
        write_file(m_dir.path() / "T.DTA", c.template_text);
        if (c.settings_is_directory)
            std::filesystem::create_directory(m_dir.path() / "T.DAT");
        else if (!c.settings.empty())
            write_file(m_dir.path() / "T.DAT", c.settings);
        const auto load = load_label_layout(m_dir.file("T.DTA"));
        EXPECT_FALSE(load.layout) << c.why;
        EXPECT_EQ(load.problem, c.problem) << c.why;
        if (!c.settings.empty()) {
            EXPECT_EQ(read_file(m_dir.path() / "T.DAT"), c.settings) << c.why;
        }
    }
    const auto gone = load_label_layout(m_dir.file("GONE.DTA"));
    EXPECT_FALSE(gone.layout);
    EXPECT_EQ(gone.problem, "GONE.DTA could not be read: nothing will be printed with it.");
    EXPECT_FALSE(std::filesystem::exists(m_dir.path() / "GONE.DAT"))
        << "no settings for a template not there";
}

} // namespace
} // namespace kestrel::printing
