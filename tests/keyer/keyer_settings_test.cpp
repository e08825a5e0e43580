#include "keyer/keyer_settings.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace kestrel::keyer {
namespace {

TEST(KeyerSettings, WrittenAndReadBackTheSame) {
    testing::TempDir dir;
    const KeyerSettings settings{"P", 25, {"CQ TEST", "#HCALL UR #RST #RST", "", "QRZ?"}};
    ASSERT_TRUE(write_keyer_settings(settings, dir.file(k_settings_file)));
    const std::string bytes = testing::read_file(dir.path() / k_settings_file);
    EXPECT_EQ(bytes, "P\r\nP\r\n25\r\nCQ TEST\r\n#HCALL UR #RST #RST\r\n\r\nQRZ?\r\n");
    EXPECT_EQ(read_keyer_settings(bytes), settings);
    EXPECT_EQ(load_keyer_files(dir.path().string()).settings, settings);
}

TEST(KeyerSettings, ReadingKeepsEachLineToItself) {
    using M = std::array<std::string, k_message_count>;
    const struct {
        const char* bytes;
        KeyerSettings settings;
    } cases[] = {
        {"1\r\n2\r\n30\r\nA\r\nB\r\nC\r\nD\r\n",
         {"2", 30, M{"A", "B", "C", "D"}}}, // the second port line counts
        {"\r\n\r\n5\r\n", {"", 10, M{}}},   // too slow: 10
        {"P\r\nP\r\n\r\n", {"P", 10, M{}}}, // no speed at all: 10
        {"\r\n\r\n20\r\nTU, 73\r\nQRZ?\r\n", {"", 20, M{"TU", "QRZ?", "", ""}}}, // cut at the comma only
        {"3\n3\n18\n\"#HCALL 5NN\" x\nTU\n", {"3", 18, M{"#HCALL 5NN", "TU", "", ""}}},
        {"", {"", 10, M{}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read_keyer_settings(c.bytes), c.settings) << c.bytes;
}

TEST(KeyerSettings, StartUpWithoutFilesHasNoPortTwentyWordsAndNoMessages) {
    testing::TempDir dir;
    const KeyerFiles files = load_keyer_files(dir.path().string());
    EXPECT_EQ(files.settings, KeyerSettings{});
    EXPECT_EQ(files.settings.words_per_minute, 20);
    EXPECT_FALSE(files.table.has_code('E'));
    EXPECT_FALSE(files.message);
}

TEST(KeyerSettings, StartUpGivesTheFaultyLinesOfTheMorseTable) {
    testing::TempDir dir;
    testing::write_file(dir.path() / k_morse_file, "69,.\r\n84,-\r\n300,.-\r\n");
    for (const std::string& directory : {dir.path().string(), dir.path().string() + "/"}) {
        const KeyerFiles files = load_keyer_files(directory);
        EXPECT_EQ(files.message, "Faulty ASCII code on line 3");
        EXPECT_TRUE(files.table.has_code('E'));
        EXPECT_TRUE(files.table.has_code('T'));
    }
}

} // namespace
} // namespace kestrel::keyer
