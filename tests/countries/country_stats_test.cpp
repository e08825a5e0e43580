#include "countries/country_stats_window.hpp"

#include "dxcc_fixture.hpp"

namespace kestrel::countries::testing {
namespace {

using ui::TestRun;
using W = CountryStatsWindow;

class CountryStats : public DxccTest {
  protected:
    StatsEnv env(std::string directory = "") { return {m_log, m_table, m_chart, 1.0, std::move(directory)}; }
    TestRun open_stats() { return m_host.open(CountryStatsWindow{env()}); }
    static std::string crlf_lines(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& l : lines)
            text += l + "\r\n";
        return text;
    }
};

TEST_F(CountryStats, CountriesWantedAreThoseNeverWorkedByName) {
    open_log({});
    m_chart.update_chart(5, m40, 3, 0); // Germany, other mode
    m_chart.update_chart(0, m20, 0, 0); // no country
    TestRun run = open_stats();
    EXPECT_EQ(run.caption(), "KESTREL v6    Country Statistics");
    EXPECT_FALSE(run.enabled(W::k_file));
    run.click(W::k_wanted);
    // Every country of the list, the highest number among them; numbers it skips are none.
    const std::vector<std::string> wanted{"England", "Kure Island", "Portugal", "United States"};
    EXPECT_EQ(run.items(W::k_list), wanted);
    EXPECT_EQ(run.text(W::k_heading), "Countries wanted 4");
    EXPECT_FALSE(run.visible(W::k_columns));
    EXPECT_FALSE(run.enabled(W::k_wanted));
    EXPECT_TRUE(run.enabled(W::k_qsls));
    EXPECT_TRUE(run.enabled(W::k_bands));
    EXPECT_TRUE(run.enabled(W::k_file));
    run.click(W::k_file);
    EXPECT_EQ(file("DXNEEDS.TXT"), "Countries wanted 4\r\n" + crlf_lines(wanted));
    EXPECT_FALSE(run.enabled(W::k_file));
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(CountryStats, QslsNeededNameTheFirstContactWithEachCountryWorkedButNotConfirmed) {
    open_log({
        cq_call(),                           // resolves to Portugal, but is no contact
        note(),                              //
        contact("KH6AB", m20, "CW", none),   // the first with 7, in the block of Hawaii
        contact("KH7K", m15, "SSB", sent),   // 7 is listed as Kure Island, its first line
        contact("CT1ABC", m40, "SSB", sent), // Portugal's first
        contact("CT1ABC", m40, "SSB", none), //
        contact("DL1ABC", m20, "CW", both),  // Germany confirmed
        contact("G3ABC/P", m10, "FM", sent), // England, card sent
        contact("W1AW", m20, "CW", none),    // no country at all
    });
    m_chart.update_chart(7, m20, 0, 0);
    m_chart.update_chart(7, m15, 1, 1);
    m_chart.update_chart(3, m40, 1, 0);
    m_chart.update_chart(5, m20, 0, 2);
    m_chart.update_chart(5, m40, 1, 0); // unconfirmed here, confirmed on 20 m
    m_chart.update_chart(1, m10, 2, 0);
    m_chart.update_chart(9, m2, 0, 0); // set by hand: the log has no contact with it
    TestRun run = open_stats();
    run.click(W::k_qsls);
    const std::vector<std::string> needed{
        "G3ABC/P     , QSL sent    , England",
        "KH6AB       , QSL not sent, Hawaii",
        "CT1ABC      , QSL sent    , Portugal",
        "NONE FOUND  , not in log  , United States",
    };
    EXPECT_EQ(run.items(W::k_list), needed);
    EXPECT_EQ(run.text(W::k_heading), "Countries not confirmed, QSLs needed 4");
    EXPECT_FALSE(run.enabled(W::k_qsls));
    run.click(W::k_file);
    EXPECT_EQ(file("QSLNEEDS.CSV"), "Countries not confirmed, QSLs needed 4\r\n" + crlf_lines(needed));

    // Once a card comes in, the country leaves the list.
    m_chart.update_chart(3, m80, 0, 2);
    run.click(W::k_wanted).click(W::k_qsls);
    EXPECT_EQ(run.items(W::k_list).size(), 3u);
}

TEST_F(CountryStats, BandsByCountryMarkEachBandWorkedOrConfirmed) {
    open_log({});
    m_chart.update_chart(7, m20, 0, 0);
    m_chart.update_chart(7, m20, 1, 2); // CW worked, SSB confirmed: confirmed
    m_chart.update_chart(7, m160, 3, 0);
    m_chart.update_chart(7, cm70, 2, 2);
    m_chart.update_chart(9, m2, 0, 1); // a card sent is no confirmation
    TestRun run = open_stats();
    run.click(W::k_bands);
    EXPECT_TRUE(run.visible(W::k_columns));
    EXPECT_EQ(run.text(W::k_columns), std::string(k_bands_heading));
    EXPECT_EQ(run.text(W::k_heading), "Status for all 5 DXCC Entities");
    const std::string none = "-   -   -   -   -   -   -   -   -   -   -   -   -   ";
    const std::vector<std::string> lines{
        "England                            " + none,
        "Germany                            " + none,
        "Kure Island                        W   -   -   -   C   -   -   -   -   -   -   -   C   ",
        "Portugal                           " + none,
        "United States                      -   -   -   -   -   -   -   -   -   -   -   W   -   ",
    };
    EXPECT_EQ(run.items(W::k_list), lines);
    run.click(W::k_file);
    EXPECT_EQ(file("COUNTRY.TXT"), std::string(k_bands_heading) + "\r\n" + crlf_lines(lines));
    run.click(W::k_wanted);
    EXPECT_FALSE(run.visible(W::k_columns)) << "the column heading belongs to this list only";
}

TEST_F(CountryStats, AFileThatCannotBeWrittenIsToldAndCanBeTriedAgain) {
    open_log({});
    TestRun run = m_host.open(CountryStatsWindow{env(m_dir.file("no-such-directory") + "/")});
    m_host.expect_message("DXNEEDS.TXT could not be written.");
    run.click(W::k_wanted).click(W::k_file);
    EXPECT_EQ(m_host.messages().at(0).icon, ui::Icon::stop);
    EXPECT_TRUE(run.enabled(W::k_file));
}

TEST_F(CountryStats, NoLogNoWindow) {
    m_host.expect_message("No Log Selected");
    m_host.open(Opener{[this](ui::Context& ctx) { show_country_statistics(ctx, env()); }})
        .command(Opener::k_open);
    EXPECT_TRUE(m_host.modal_captions().empty());
}

} // namespace
} // namespace kestrel::countries::testing
