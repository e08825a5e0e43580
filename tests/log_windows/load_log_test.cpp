#include "log_windows/load_log.hpp"

#include "logstore/log_store.hpp"
#include "ui/test_host.hpp"

#include "logstore/test_log.hpp"

#include <gtest/gtest.h>

namespace kestrel::log_windows {
namespace {

using testing::qso;
using testing::TempDir;

class LoadLog : public ::testing::Test {
  protected:
    void SetUp() override {
        std::vector<logstore::RecordBytes> records(25, qso("01-01-24", "1000", "G4ABC"));
        testing::write_log(m_dir.file("L.LOG"), records);
        ASSERT_TRUE(m_log.open_log(m_dir.file("L.LOG")));
    }
    TempDir m_dir;
    logstore::LogStore m_log;
    ui::TestHost m_host;
};

TEST_F(LoadLog, TheIndexIsBuiltOnceBehindTheLoadLogWindow) {
    EXPECT_TRUE(ensure_record_index(m_host, nullptr, m_log));
    EXPECT_TRUE(m_log.index_loaded());
    EXPECT_EQ(m_log.contact_count(), 25);
    EXPECT_EQ(m_host.modal_captions(), std::vector<std::string>{"Load Log"});

    EXPECT_TRUE(ensure_record_index(m_host, nullptr, m_log));
    EXPECT_EQ(m_host.modal_captions().size(), 1u) << "an index that describes the log is kept";
}

TEST_F(LoadLog, ALogThatCannotBeReadIsToldAndNotIndexed) {
    m_log.close_log();
    m_host.expect_message(std::string(logstore::message_of(logstore::LogError::no_log_open)));
    EXPECT_FALSE(build_index_with_progress(m_host, nullptr, m_log));
    EXPECT_FALSE(m_log.index_loaded());
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].title, "Kestrel");
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::stop);
}

} // namespace
} // namespace kestrel::log_windows
