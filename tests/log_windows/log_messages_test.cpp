#include "log_windows/log_messages.hpp"

#include "logstore/log_store.hpp"
#include "ui/test_host.hpp"

#include "logstore/test_log.hpp"

#include <gtest/gtest.h>

namespace kestrel::log_windows {
namespace {

using logstore::LogError;
using testing::TempDir;

// A window for the messages to be shown over.
class Blank final : public ui::Window {
  public:
    ui::Form build() const override { return {}; }
    void on_command(ui::Context&, int, ui::Notify) override {}
};

TEST(LogMessages, AWindowOpensOnlyOverAnOpenLog) {
    TempDir dir;
    testing::write_log(dir.file("L.LOG"), {testing::qso("01-01-24", "1000", "G4ABC")});
    logstore::LogStore never;
    logstore::LogStore failed; // its name is remembered, but the file could not be opened
    ASSERT_FALSE(failed.open_log(dir.file("NO/SUCH/L.LOG")));
    logstore::LogStore open;
    ASSERT_TRUE(open.open_log(dir.file("L.LOG")));

    const struct {
        const logstore::LogStore* log;
        bool selected;
    } cases[] = {{&never, false}, {&failed, false}, {&open, true}};
    for (const auto& c : cases) {
        ui::TestHost host;
        Blank blank;
        auto run = host.open_window(blank);
        if (!c.selected) host.expect_message("No Log Selected");
        EXPECT_EQ(log_selected(run.context(), *c.log), c.selected) << c.log->path();
        if (c.selected) continue;
        ASSERT_EQ(host.messages().size(), 1u);
        EXPECT_EQ(host.messages()[0].title, "Kestrel");
        EXPECT_EQ(host.messages()[0].icon, ui::Icon::none);
    }
}

TEST(LogMessages, AFailureIsToldWithItsReasonAndTheLogsPath) {
    const struct {
        LogError error;
        std::string path;
        std::string text;
    } cases[] = {
        {LogError::disk_full, "", std::string(logstore::message_of(LogError::disk_full))},
        {LogError::read_only, "/logs/MY.LOG",
         std::string(logstore::message_of(LogError::read_only)) + "\r\n/logs/MY.LOG"},
    };
    for (const auto& c : cases) {
        ui::TestHost host;
        Blank blank;
        auto run = host.open_window(blank);
        host.expect_message(c.text);
        host.expect_message(c.text);
        host.expect_message(c.text);
        tell_log_error(run.context(), c.error, c.path);
        tell_log_error(run.context(), c.error, c.path, "LOG EXPORT");
        tell_log_error(host, nullptr, c.error, c.path); // while the program starts
        ASSERT_EQ(host.messages().size(), 3u);
        EXPECT_EQ(host.messages()[0].title, "Kestrel");
        EXPECT_EQ(host.messages()[1].title, "LOG EXPORT");
        EXPECT_EQ(host.messages()[2].title, "Kestrel");
        for (const ui::Message& shown : host.messages())
            EXPECT_EQ(shown.icon, ui::Icon::stop);
    }
}

} // namespace
} // namespace kestrel::log_windows
