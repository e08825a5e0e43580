// A session at the keyboard, from the main window through the windows it opens: contacts
// typed in off line, found in browse, confirmed, listed, deleted and moved.

#include "browse/browse_window.hpp"
#include "browse/list_window.hpp"
#include "offline/entry_editor.hpp"
#include "shell/main_window.hpp"
#include "shell/startup.hpp"
#include "shell_fixture.hpp"
#include "ui/context.hpp"

namespace kestrel::shell::testing {
namespace {

using ui::Key;
using ui::TestRun;
using Editor = offline::EntryEditorWindow;
using Browse = browse::BrowseWindow;

class OperatorFlow : public ShellTest {
  protected:
    OperatorFlow() {
        write("COUNTRY.LST",
              "G,G,England,1,52,-1\r\nK,K,United States,9,38,-97\r\nDL,DL,Germany,5,51,10\r\n");
        start_up(m_app, m_host);
    }
};

TEST_F(OperatorFlow, TwentyContactsByKeyboardThenBrowseConfirmListDeleteAndRedate) {
    auto main = m_host.open(MainWindow{m_app});

    // Twenty contacts typed in reverse date order, every field reached with Enter, saved with F12.
    m_host.on_modal([](TestRun& editor) {
        for (int i = 20; i >= 1; --i) {
            const std::string day = (i < 10 ? "0" : "") + std::to_string(i);
            const std::string call = i % 2 ? "DL" + std::to_string(i) + "ABC" : "G4ABC";
            editor.type(day + "0324").key(Key::enter).type(call).key(Key::enter).type("1200").key(Key::enter);
            editor.key(Key::enter).key(Key::enter).key(Key::enter).type("14.2").key(Key::enter).type("cw");
            editor.key(Key::enter)
                .type("100")
                .key(Key::enter)
                .type("test " + std::to_string(i))
                .key(Key::f12);
        }
        editor.key(Key::escape);
    });
    main.command(MainWindow::k_offline);
    ASSERT_EQ(m_app.log.record_count(), 20);
    for (int n = 1; n <= 20; ++n) {
        const auto q = logstore::QsoRecord::decode(m_app.log.read_record(n).value());
        EXPECT_EQ(logstore::date_text_of(q.date), (n < 10 ? "0" : "") + std::to_string(n) + "-03-24") << n;
        EXPECT_EQ(q.rst_sent.substr(0, 3), "599");
    }
    EXPECT_TRUE(m_app.chart.worked(5, 4, 0));
    EXPECT_FALSE(m_app.chart.confirmed(5, 4, 0));

    // Browse: the first line is DL1ABC; F2 marks its QSL received and confirms Germany.
    m_host.on_modal([](TestRun& b) {
        EXPECT_EQ(b.text(Browse::k_first_shown), " 1");
        b.key(Key::f2).key(Key::escape);
    });
    main.command(MainWindow::k_browse);
    EXPECT_EQ(logstore::QsoRecord::decode(m_app.log.read_record(1).value()).qsl_flags & 2, 2);
    EXPECT_TRUE(m_app.chart.confirmed(5, 4, 0));

    // List G4ABC: ten contacts; delete the first one listed.
    m_host.on_modal([&](TestRun& list) {
        list.type("G4ABC").key(Key::enter);
        EXPECT_EQ(list.items(102).size(), 10u);
        m_host.answer(ui::Answer::yes);
        list.select(102, 0).click(103).key(Key::escape);
    });
    main.command(MainWindow::k_list);
    EXPECT_EQ(m_app.log.record_count(), 19);

    // Browse, Edit the first entry and give it a new date after all others: it moves to the end.
    m_host.on_modal([&](TestRun& b) {
        m_host.on_modal([](TestRun& editor) { editor.replace(Editor::k_date, "250324").key(Key::f12); });
        b.click(Browse::k_edit).key(Key::escape);
    });
    main.command(MainWindow::k_browse);
    EXPECT_EQ(m_app.log.record_count(), 19);
    const auto last = logstore::QsoRecord::decode(m_app.log.read_record(19).value());
    EXPECT_EQ(logstore::date_text_of(last.date), "25-03-24");
    EXPECT_EQ(last.call.substr(0, 6), "DL1ABC");
    EXPECT_TRUE(m_host.surprises().empty()) << m_host.surprises().front();
}

} // namespace
} // namespace kestrel::shell::testing
