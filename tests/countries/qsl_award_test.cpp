#include "countries/qsl_award_window.hpp"

#include "dxcc_fixture.hpp"

#include <cstdio>

namespace kestrel::countries::testing {
namespace {

using ui::TestRun;
using W = QslAwardWindow;

class QslAward : public DxccTest {
  protected:
    AwardEnv env(std::string directory = "") { return {m_log, m_names, m_table, std::move(directory)}; }
    TestRun open_award() { return m_host.open(QslAwardWindow{env()}); }
    std::vector<std::string> calls_listed(const AwardSelection& s) {
        auto entries = collect_award_list(m_log, m_table, m_names, s);
        EXPECT_TRUE(entries);
        std::vector<std::string> calls;
        for (const AwardEntry& e : *entries)
            calls.push_back(std::string(trim_trailing_spaces(e.call)) +
                            (e.country.ends_with(" 2") ? "+" : ""));
        return calls;
    }
};

AwardSelection worked() {
    AwardSelection s;
    s.confirmed_only = false;
    return s;
}

// Calls marked "+" were confirmed.
TEST_F(QslAward, TheSelectionKeepsTheLatestContactWithEachCountryThatPasses) {
    struct Case {
        const char* what;
        std::vector<logstore::RecordBytes> log;
        std::function<void(AwardSelection&)> choose;
        std::vector<std::string> listed; // sorted by call
    };
    const auto rtty_cw = [](AwardSelection& s) {
        s = worked();
        s.ssb = s.fm = false;
        s.fourth_mode = "RTY";
    };
    const Case cases[] = {
        {"the later of two confirmed contacts",
         {contact("G3AAA", m20, "CW", both), contact("G3BBB", m20, "CW", received),
          contact("G3CCC", m20, "CW")},
         [](AwardSelection&) {},
         {"G3BBB+"}},
        {"worked lists the unconfirmed too, marked 0",
         {contact("G3AAA", m20, "CW", both), contact("G3CCC", m20, "CW"),
          contact("DL1AB", m40, "SSB", received)},
         [](AwardSelection& s) { s = worked(); },
         {"DL1AB+", "G3CCC"}},
        {"the fourth mode and only CW",
         {contact("G3AAA", m20, "CW"), contact("DL1AB", m20, "RTY"), contact("K1ABC", m20, "SSB"),
          contact("KH6AB", m20, "FM"), contact("CT1AB", m20, "PSK")},
         rtty_cw,
         {"DL1AB", "G3AAA"}},
        {"ALL passes every mode whatever the boxes",
         {contact("G3AAA", m20, "CW"), contact("K1ABC", m20, "SSB"), contact("CT1AB", m20, "PSK")},
         [](AwardSelection& s) {
             s = worked();
             s.cw = s.ssb = s.fm = false;
         },
         {"CT1AB", "G3AAA", "K1ABC"}},
        {"an empty fourth mode passes every other mode",
         {contact("G3AAA", m20, "CW"), contact("K1ABC", m20, "SSB"), contact("CT1AB", m20, "PSK")},
         [](AwardSelection& s) {
             s = worked();
             s.cw = false;
             s.fourth_mode = "";
         },
         {"CT1AB", "K1ABC"}},
        {"bands: 70 cm and above never, unticked ones not",
         {contact("G3AAA", cm70, "CW"), contact("K1ABC", cm23, "CW"), contact("DL1AB", m40, "CW"),
          contact("CT1AB", m160, "CW"), contact("KH6AB", m2, "CW")},
         [](AwardSelection& s) {
             s = worked();
             s.bands[m40] = false;
         },
         {"CT1AB", "KH6AB"}},
        {"no contacts: CQ calls, notes, calls of no country or none known",
         {cq_call(), note(), contact("4U1UN", m20, "CW", both), contact("W1AW", m20, "CW", both)},
         [](AwardSelection& s) { s = worked(); },
         {}},
        {"a later contact that does not pass leaves the earlier one",
         {contact("G3AAA", m20, "CW", both), contact("G3BBB", m20, "SSB", both)},
         [](AwardSelection& s) {
             s.ssb = false;
             s.fourth_mode = "";
         },
         {"G3AAA+"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_log.close_log();
        open_log(c.log);
        AwardSelection s;
        c.choose(s);
        EXPECT_EQ(calls_listed(s), c.listed);
    }
}

TEST_F(QslAward, TheFileHoldsTheEntriesSortedByCall) {
    open_log({contact("KH6AB", m20, "RTY", both, "03-04-05"),
              contact("DL1ABC/P", m160, "CW", received, "31-12-99"),
              contact("G3ABC", m2, "SSB", both, "01-01-00")});
    TestRun run = open_award();
    EXPECT_EQ(run.text(W::k_run), "F&ile");
    m_host.answer(ui::Answer::yes);
    m_host.expect_message("QSLAWARD.TXT written");
    run.click(W::k_run);
    ASSERT_EQ(m_host.messages().size(), 2u);
    EXPECT_EQ(m_host.messages()[0].text, "Write File?");
    EXPECT_EQ(m_host.messages()[0].title, " 3 Countries Found");
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::question);
    EXPECT_EQ(m_host.messages()[1].title, "QSL AWARD LIST");
    EXPECT_EQ(m_host.messages()[1].icon, ui::Icon::information);
    EXPECT_EQ(file("QSLAWARD.TXT"), "        QSL AWARD LIST\r\n"
                                    "       Date       Call      Freq  Mode    Country\r\n"
                                    "     31-12-99 DL1ABC/P     1.8MHz CW     Germany 2\r\n"
                                    "     01-01-00 G3ABC        144MHz SSB    England 2\r\n"
                                    "     03-04-05 KH6AB        14MHz  RTY    Hawaii 2\r\n");

    std::remove("QSLAWARD.TXT");
    m_host.answer(ui::Answer::no);
    run.click(W::k_run);
    EXPECT_EQ(file("QSLAWARD.TXT"), "") << "No writes nothing";
}

TEST_F(QslAward, TheOptionsNameWhatTheButtonDoes) {
    open_log({});
    TestRun run = open_award();
    EXPECT_EQ(run.text(W::k_run), "F&ile") << "the file is chosen at opening";
    run.click(W::k_to_printer);
    EXPECT_EQ(run.text(W::k_run), "P&rint");
    run.alt('F');
    EXPECT_TRUE(run.checked(W::k_to_file));
    EXPECT_EQ(run.text(W::k_run), "F&ile");
}

TEST_F(QslAward, NothingFoundIsTold) {
    open_log({contact("G3ABC", m20, "CW", none)});
    TestRun run = open_award();
    m_host.expect_message("No Countries found");
    run.click(W::k_run);
    EXPECT_EQ(m_host.messages().at(0).title, "End of QSL check");
    EXPECT_EQ(m_host.messages().at(0).icon, ui::Icon::exclamation);
}

TEST_F(QslAward, AFileThatCannotBeWrittenIsTold) {
    open_log({contact("G3ABC", m20, "CW", both)});
    TestRun run = m_host.open(QslAwardWindow{env(m_dir.file("gone") + "/")});
    m_host.answer(ui::Answer::yes);
    m_host.expect_message("QSLAWARD.TXT could not be written.");
    run.click(W::k_run);
    EXPECT_EQ(m_host.messages().at(1).icon, ui::Icon::stop);
}

TEST_F(QslAward, NoLogNoWindow) {
    m_host.expect_message("No Log Selected");
    m_host.open(Opener{[this](ui::Context& ctx) { show_qsl_award_list(ctx, env()); }})
        .command(Opener::k_open);
    EXPECT_EQ(m_host.messages().at(0).title, "QSL Award List");
    EXPECT_TRUE(m_host.modal_captions().empty());
}

// A list of n countries, "C001" to "Cnnn", and a confirmed contact with each.
class QslAwardPages : public QslAward {
  protected:
    void make_log(int n) {
        std::string list;
        std::vector<logstore::RecordBytes> log;
        for (int k = 1; k <= n; ++k) {
            char prefix[16];
            std::snprintf(prefix, sizeof prefix, "C%03d", k);
            list += std::string(prefix) + "," + prefix + ",Country " + prefix + "," + std::to_string(k) +
                    ",0,0\r\n";
            log.push_back(contact(std::string(prefix) + "A", m20, "CW", received));
        }
        m_table = parse_country_list(list).table;
        open_log(log);
    }
};

TEST_F(QslAwardPages, PagesOfSixtyNineEntriesAfterTheirHeading) {
    struct Case {
        int entries;
        std::vector<ui::Answer> go_on; // the answers to "Continue?"
        std::vector<std::size_t> lines_per_page;
    };
    const Case cases[] = {
        {140, {ui::Answer::yes, ui::Answer::yes}, {70, 70, 3}},
        {138, {ui::Answer::yes}, {70, 70}},
        {69, {}, {70}},
        {140, {ui::Answer::no}, {70}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entries);
        m_log.close_log();
        make_log(c.entries);
        ui::TestHost host;
        TestRun run = host.open(QslAwardWindow{env()});
        run.click(W::k_to_printer);
        host.answer(ui::Answer::yes); // Print?
        for (ui::Answer a : c.go_on)
            host.answer(a);
        run.click(W::k_run);
        ASSERT_EQ(host.messages().size(), 1 + c.go_on.size());
        EXPECT_EQ(host.messages()[0].text, "Print?");
        EXPECT_EQ(host.messages()[0].title, " " + std::to_string(c.entries) + " Countries Found");
        for (std::size_t i = 1; i < host.messages().size(); ++i) {
            EXPECT_EQ(host.messages()[i].text, "Continue?");
            EXPECT_EQ(host.messages()[i].title, "End of Page");
        }
        ASSERT_EQ(host.print_jobs().size(), 1u);
        const printing::PrintedJob& job = *host.print_jobs()[0];
        EXPECT_TRUE(job.ended) << "pages printed before a stop are still sent";
        ASSERT_EQ(job.pages.size(), c.lines_per_page.size());
        for (std::size_t p = 0; p < job.pages.size(); ++p) {
            const auto& texts = job.pages[p].texts;
            ASSERT_EQ(texts.size(), c.lines_per_page[p]);
            EXPECT_EQ(texts[0].text, award_heading() + "      Page " + std::to_string(p + 1));
            for (std::size_t i = 0; i < texts.size(); ++i) {
                EXPECT_EQ(texts[i].x, 150) << "a quarter of an inch at 600 dots per inch";
                EXPECT_EQ(texts[i].y, 150 + 100 * static_cast<int>(i));
                EXPECT_EQ(texts[i].font, "Courier New");
            }
        }
        EXPECT_EQ(job.pages[0].texts[1].text, "     01-02-03|C001A       |14MHz |CW |    Country C001 2");
    }
}

TEST_F(QslAwardPages, APrinterThatCannotBeHadIsTold) {
    make_log(3);
    TestRun run = open_award();
    run.click(W::k_to_printer);
    m_host.answer(ui::Answer::yes);
    m_host.answer_printer(ui::TestHost::PrinterAnswer::cancel);
    m_host.expect_message("Printer Fail");
    run.click(W::k_run);
    EXPECT_EQ(m_host.messages().at(1).title, "Printer Report");
    EXPECT_TRUE(m_host.print_jobs().empty());
}

} // namespace
} // namespace kestrel::countries::testing
