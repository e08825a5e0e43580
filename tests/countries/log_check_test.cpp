#include "countries/log_check.hpp"

#include "countries/chart_report.hpp"
#include "dxcc_fixture.hpp"
#include "offline/entry_record.hpp"

#include <random>

namespace kestrel::countries::testing {
namespace {

class LogCheck : public DxccTest {
  protected:
    // Answers the questions from a script, keeping the calls asked about.
    LogCheckResult check(std::vector<CallCorrection> answers = {}) {
        LogCheckHooks hooks;
        hooks.correct_call = [this, answers](int record, std::string_view call) mutable {
            asked.push_back(std::to_string(record) + ":" + std::string(call));
            if (answers.empty()) {
                ADD_FAILURE() << "unexpected question about " << call;
                return CallCorrection{};
            }
            CallCorrection a = answers.front();
            answers.erase(answers.begin());
            return a;
        };
        return rebuild_chart(m_log, m_table, m_chart, hooks);
    }
    std::vector<std::string> asked;
};

using Answer = CallCorrection::Answer;

TEST_F(LogCheck, MarksEveryContactAndNothingElse) {
    struct Case {
        const char* what;
        logstore::RecordBytes record;
        int country, band;
        std::uint8_t byte; // of that country and band after the check
    };
    const Case cases[] = {
        {"CW contact with QSL received", contact("KH6XX", m20, "CW", received), 7, m20, 0x03},
        {"SSB contact, QSL sent only", contact("K1ABC", m40, "SSB", sent), 9, m40, 0x04},
        {"FM, the first matching block wins", contact("KH7K", m2, "FM"), 7, m2, 0x10},
        {"RTTY is in the other class", contact("DL1ABC/P", m10, "RTY", both), 5, m10, 0xC0},
        {"A1A counts as CW, trailing spaces do not matter", contact("G3ABC       ", m160, "A1A"), 1, m160,
         0x01},
        {"1.2 GHz is not charted", contact("G4XYZ", cm23, "CW", received), 1, m15, 0x00},
        {"a CQ call is no contact", cq_call(), 3, m20, 0x00},
        {"a call no block holds is passed over", contact("W1AW", m20), 9, m20, 0x00},
        {"a note marks nothing", note(), 1, m20, 0x00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_log.close_log();
        m_chart = {};
        open_log({c.record});
        const LogCheckResult result = check();
        EXPECT_FALSE(result.error);
        EXPECT_EQ(m_chart.byte(c.country, c.band), c.byte);
        int marked = 0;
        for (std::uint8_t b : m_chart.bytes())
            marked += b != 0;
        EXPECT_EQ(marked, c.byte ? 1 : 0) << "no other cell";
        EXPECT_TRUE(asked.empty());
    }
}

TEST_F(LogCheck, OldMarksOfListedCountriesGoRowZeroAndHigherRowsStay) {
    m_chart.update_chart(5, m20, 0, 2);  // Germany, not in the log any more
    m_chart.update_chart(0, m40, 1, 0);  // row 0: no country
    m_chart.update_chart(10, m80, 0, 0); // above the highest number of the list
    open_log({contact("G3ABC", m15, "SSB")});
    EXPECT_FALSE(check().error);
    EXPECT_EQ(m_chart.byte(5, m20), 0);
    EXPECT_EQ(m_chart.byte(1, m15), 0x04);
    EXPECT_EQ(m_chart.byte(0, m40), 0x04);
    EXPECT_EQ(m_chart.byte(10, m80), 0x01);
}

TEST_F(LogCheck, CallsInABlockOfNoCountryAreCorrectedOrLeft) {
    struct Case {
        const char* what;
        std::vector<CallCorrection> answers;
        std::vector<std::string> calls_after;
        int corrected, left;
        std::uint8_t usa_20m; // K1ABC's country, where a correction lands
    };
    const Case cases[] = {
        {"a call given is stored and counted", {{Answer::correct, "K1ABC"}}, {"K1ABC", "G3ABC"}, 1, 0, 0x01},
        {"leading and trailing blanks are dropped",
         {{Answer::correct, "  K1ABC "}},
         {"K1ABC", "G3ABC"},
         1,
         0,
         0x01},
        {"Cancel keeps the entry", {{Answer::keep, ""}}, {"4U1UN", "G3ABC"}, 0, 1, 0},
        {"OK on the call as it stands keeps it, without asking again",
         {{Answer::correct, "4U1UN"}},
         {"4U1UN", "G3ABC"},
         0,
         1,
         0},
        {"an empty answer keeps it", {{Answer::correct, "   "}}, {"4U1UN", "G3ABC"}, 0, 1, 0},
        {"a call that would make the entry a note is not stored",
         {{Answer::correct, "/K1ABC"}},
         {"4U1UN", "G3ABC"},
         0,
         1,
         0},
        {"a longer call is cut to the field",
         {{Answer::correct, "K1ABCDEFGHIJKLM"}},
         {"K1ABCDEFGHIJ", "G3ABC"},
         1,
         0,
         0x01},
        {"a correction still in no country is asked about again",
         {{Answer::correct, "4U1UN/P"}, {Answer::correct, "K1ABC"}},
         {"K1ABC", "G3ABC"},
         2,
         0,
         0x01},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_log.close_log();
        asked.clear();
        open_log({contact("4U1UN"), contact("G3ABC")});
        const LogCheckResult result = check(c.answers);
        EXPECT_FALSE(result.error);
        EXPECT_EQ(asked.front(), "1:4U1UN") << "the call as logged, without its padding";
        EXPECT_EQ(asked.size(), c.answers.size());
        EXPECT_EQ(calls(), c.calls_after) << "on disk";
        EXPECT_EQ(result.corrected, c.corrected);
        EXPECT_EQ(result.left_unrecognised, c.left);
        EXPECT_EQ(m_chart.byte(9, m20), c.usa_20m);
        EXPECT_EQ(m_chart.byte(1, m20), 0x01) << "the check goes on after the question";
        EXPECT_EQ(m_chart.byte(0, m20), 0) << "an entry of no country is not marked";
    }
}

TEST_F(LogCheck, TheOperatorCanStopTheQuestionsForTheRestOfTheCheck) {
    std::vector<logstore::RecordBytes> log;
    for (int i = 0; i < 5000; ++i)
        log.push_back(contact(i % 2 ? "4U1UN" : "DL1ABC"));
    open_log(log);
    const LogCheckResult result = check({{Answer::keep, ""}, {Answer::ask_no_more, ""}});
    EXPECT_EQ(asked, (std::vector<std::string>{"2:4U1UN", "4:4U1UN"}));
    EXPECT_TRUE(result.stopped_asking);
    EXPECT_EQ(result.left_unrecognised, 2500);
    EXPECT_EQ(result.charted, 2500) << "the check runs to the end";
    EXPECT_EQ(m_chart.byte(5, m20), 0x01);
}

TEST_F(LogCheck, ACorrectionIsSyncedToDiskAndTheIndexFollowsIt) {
    open_log({contact("4U1UN"), contact("G3ABC")});
    ASSERT_TRUE(m_log.build_record_index());
    m_files.arm();
    EXPECT_FALSE(check({{Answer::correct, "K1ABC/P"}}).error);
    EXPECT_NE(std::find(m_files.change_log.begin(), m_files.change_log.end(), "fsync"),
              m_files.change_log.end());
    EXPECT_EQ(m_log.index().index_call(1), "K1ABC       ");
}

// The check reads the log in blocks; proved against reading it one entry at a time, over
// block boundaries, with every kind of entry and every country of the list.
TEST_F(LogCheck, BlocksGiveTheSameChartAsOneEntryAtATime) {
    const char* calls[] = {"KH6AB", "KH7K", "K1ABC", "G3ABC", "CT1AB", "DL2XY", "W1AW", "VK2AB", "CQ"};
    const char* modes[] = {"CW", "SSB", "FM", "RTY", "A1A", "J3E", "PSK"};
    std::mt19937 random(11);
    std::vector<logstore::RecordBytes> log;
    for (int i = 0; i < 9000; ++i) {
        if (random() % 50 == 0) {
            log.push_back(note());
            continue;
        }
        log.push_back(contact(calls[random() % std::size(calls)], static_cast<int>(random() % 20),
                              modes[random() % std::size(modes)], static_cast<std::uint8_t>(random() % 4)));
    }
    open_log(log);
    StatusChart expected;
    for (int n = 1; n <= m_log.record_count(); ++n) {
        const logstore::RecordBytes r = *m_log.read_record(n);
        if (!logstore::is_contact(r)) continue;
        const int country = m_table.resolve_country(logstore::call_view(r)).country;
        if (country > 0)
            expected.update_chart(country, logstore::band_of_field(logstore::band_field(r)),
                                  logstore::mode_class_of(logstore::mode_view(r)),
                                  r[logstore::record_layout::qsl_flags]);
    }
    std::vector<int> progress;
    LogCheckHooks hooks;
    hooks.progress = [&](int done, int total) {
        EXPECT_EQ(total, 9000);
        progress.push_back(done);
    };
    EXPECT_FALSE(rebuild_chart(m_log, m_table, m_chart, hooks).error);
    EXPECT_EQ(m_chart.bytes(), expected.bytes());
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), 9000);
    EXPECT_GT(progress.size(), 1u) << "the bar moves while the check runs";
}

// A few hundred contacts as the entry editor stores them, with the country list that comes with
// the program: the chart the check rebuilds is the one logging marked, to the last cell.
TEST_F(LogCheck, TheRebuiltChartIsTheOneLoggingMarked) {
    m_table = load_country_list(KESTREL_SHIPPED_COUNTRY_LIST).table;
    const char* modes[] = {"CW", "SSB", "FM", "RTY", "A1A", "J3E", "F3E", "PSK"};
    std::mt19937 random(5);
    std::vector<logstore::RecordBytes> log;
    StatusChart logged;
    for (int i = 0; i < 400; ++i) {
        std::string call = m_table.row(static_cast<int>(random() % m_table.entry_count())).low_prefix;
        call += std::to_string(random() % 10) + "AB";
        if (random() % 10 == 0) call += "/P";
        logstore::QsoRecord q = logstore::QsoRecord::decode(contact(call, static_cast<int>(random() % 20),
                                                                    modes[random() % std::size(modes)],
                                                                    static_cast<std::uint8_t>(random() % 4)));
        if (random() % 7 == 0)
            q.band = logstore::text_band_field(random() % 2 ? "14." : "3.5"); // older entries
        ASSERT_TRUE(offline::report_marks_chart(q));
        offline::mark_chart(m_table, logged, q);
        log.push_back(q.encode());
    }
    open_log(log);
    EXPECT_FALSE(check().error);
    const ChartTotals rebuilt = tally_chart(m_chart, 1, m_table.highest_country());
    EXPECT_EQ(status_csv(rebuilt, m_labels),
              status_csv(tally_chart(logged, 1, m_table.highest_country()), m_labels));
    EXPECT_EQ(m_chart.bytes(), logged.bytes());
}

} // namespace
} // namespace kestrel::countries::testing
