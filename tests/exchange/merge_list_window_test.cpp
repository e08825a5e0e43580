#include "exchange/merge_list_window.hpp"

#include "exchange/merge_rows.hpp"
#include "tools_fixture.hpp"

namespace kestrel::exchange::tools_testing {
namespace {

using W = MergeListWindow;

TEST(MergeRows, EachKindOfEntryHasItsRow) {
    const logstore::BandNameTable names = logstore::load_band_names();
    logstore::QsoRecord q = logstore::QsoRecord::decode(contact("05-03-24", "1432", "G4ABC/P", 4, "CW"));
    q.time_off = 1439;
    q.power = "100";
    q.qsl_flags = '0' | 3;
    q.comment = "first";
    logstore::StationDataRecord s;
    s.date = logstore::day_number_of("06-03-24");
    s.time = logstore::minute_of("0800");
    s.operator_name = "G4ABC";
    s.transceiver = "IC-7300";
    s.antenna = "DIPOLE";
    s.band_index = 77;
    const struct {
        logstore::RecordBytes record;
        bool marked;
        std::string row;
    } cases[] = {
        {q.encode(), true,
         "05-03-24 * G4ABC/P      14:32 23:59 14MHz  CW  100   SR first" + std::string(35, ' ')},
        {q.encode(), false,
         "05-03-24   G4ABC/P      14:32 23:59 14MHz  CW  100   SR first" + std::string(35, ' ')},
        {s.encode(), true,
         "06-03-24 * @ 08:00  Op: G4ABC        Tcvr: IC-7300      Ant: DIPOLE       B:5MHz  "},
        {note("07-03-24", "0930", "QRT"), false, "07-03-24   @ 09:30 QRT" + std::string(61, ' ')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        const std::string row = merge_row(c.record, c.marked, names);
        EXPECT_EQ(row, c.row);
        EXPECT_EQ(is_contact_row(row), c.row[11] != '@');
    }
    // The heading's "M" stands over the marker.
    EXPECT_EQ(k_merge_heading.find('M'), 9u);
}

TEST(MergeListPages, PageSizeFollowsTheScale) {
    const struct {
        double scale;
        int size;
    } cases[] = {{1.0, 24}, {1.1, 24}, {1.2, 30}, {1.3, 30}, {1.31, 40}, {2.25, 40}};
    for (const auto& c : cases)
        EXPECT_EQ(merge_page_size(c.scale), c.size) << c.scale;
}

class MergeListTest : public ToolsTest {
  protected:
    void make_log(int n) {
        std::vector<logstore::RecordBytes> records;
        for (int i = 1; i <= n; ++i)
            records.push_back(contact("01-03-24", "0000", "C" + std::to_string(i)));
        write_log(file("EXTRACT.LOG"), records);
        ASSERT_TRUE(m_extract.open(file("EXTRACT.LOG")));
        m_marks.assign(static_cast<std::size_t>(n), false);
    }
    ui::TestRun open(double scale = 1.0) {
        m_window = std::make_unique<MergeListWindow>(m_extract, m_marks, m_bands, scale);
        return m_host.open_window(*m_window);
    }
    static std::string call_of_row(const std::string& row) { return row.substr(11, row.find(' ', 11) - 11); }
    std::pair<std::string, std::string> shown(ui::TestRun& run) {
        const auto rows = run.items(W::k_rows);
        if (rows.empty()) return {};
        return {call_of_row(rows.front()), call_of_row(rows.back())};
    }
    LogReader m_extract{m_files};
    std::vector<bool> m_marks;
    std::unique_ptr<MergeListWindow> m_window;
};

TEST_F(MergeListTest, PagesMoveAWholePageAndStopAtTheEnds) {
    make_log(100);
    auto run = open();
    EXPECT_EQ(run.caption(), "KESTREL v6    SELECT ENTRIES TO MERGE from  " + file("EXTRACT.LOG"));
    EXPECT_EQ(shown(run), std::make_pair(std::string("C1"), std::string("C24")));
    EXPECT_EQ(run.text(W::k_first_shown), " 1");
    EXPECT_EQ(run.text(W::k_last_shown), " 24");
    EXPECT_EQ(run.focused(), W::k_rows);
    run.key(ui::Key::page_down);
    EXPECT_EQ(shown(run), std::make_pair(std::string("C25"), std::string("C48")));
    run.key(ui::Key::end);
    EXPECT_EQ(shown(run), std::make_pair(std::string("C77"), std::string("C100")));
    EXPECT_EQ(run.text(W::k_first_shown), " 77");
    run.key(ui::Key::page_down);
    EXPECT_EQ(run.text(W::k_first_shown), " 77");
    run.key(ui::Key::page_up);
    EXPECT_EQ(shown(run), std::make_pair(std::string("C53"), std::string("C76")));
    run.key(ui::Key::page_up).key(ui::Key::page_up).key(ui::Key::page_up);
    EXPECT_EQ(shown(run), std::make_pair(std::string("C1"), std::string("C24")));
    run.key(ui::Key::end).key(ui::Key::home);
    EXPECT_EQ(run.text(W::k_first_shown), " 1");
}

TEST_F(MergeListTest, AShortLogShowsAllItsEntriesOnOnePage) {
    make_log(10);
    auto run = open(2.0);
    EXPECT_EQ(run.items(W::k_rows).size(), 10u);
    EXPECT_EQ(run.text(W::k_last_shown), " 10");
    run.key(ui::Key::page_down).key(ui::Key::end);
    EXPECT_EQ(run.text(W::k_first_shown), " 1");
    EXPECT_EQ(run.context().form().frame, (ui::Rect{0, 0, 632, 536}));
}

TEST_F(MergeListTest, F1AndDoubleClickToggleTheMarkOfTheSelectedEntry) {
    make_log(30);
    auto run = open();
    run.key(ui::Key::page_down); // entries 7 to 30
    run.select(W::k_rows, 3).key(ui::Key::f1);
    EXPECT_TRUE(m_marks[9]);
    EXPECT_EQ(run.items(W::k_rows)[3].substr(9, 2), "* ");
    EXPECT_EQ(run.context().selection(W::k_rows), 3); // the selection stays
    run.double_click(W::k_rows, 5);
    EXPECT_TRUE(m_marks[11]);
    run.select(W::k_rows, 3).key(ui::Key::f1);
    EXPECT_FALSE(m_marks[9]);
    EXPECT_EQ(run.items(W::k_rows)[3].substr(9, 2), "  ");
    EXPECT_EQ(std::count(m_marks.begin(), m_marks.end(), true), 1);
    // Marks survive paging.
    run.key(ui::Key::home).key(ui::Key::end);
    EXPECT_EQ(run.items(W::k_rows)[5].substr(9, 2), "* ");
    run.key(ui::Key::escape);
    EXPECT_FALSE(run.is_open());
}

TEST_F(MergeListTest, RowsAreDrawnWithTheDateOfTheSelectedOneInBlue) {
    write_log(file("EXTRACT.LOG"), {contact("01-03-24", "0000", "G4ABC"), note("01-03-24", "0100", "QRT")});
    ASSERT_TRUE(m_extract.open(file("EXTRACT.LOG")));
    m_marks.assign(2, false);
    auto run = open();
    using Op = ui::RecordingCanvas::OpKind;
    const auto lines = [](const ui::RecordingCanvas& canvas) {
        std::vector<int> xs;
        for (const auto& op : canvas.ops)
            if (op.kind == Op::line) xs.push_back(op.area.x);
        return xs;
    };
    const ui::RecordingCanvas contact_row = run.draw(W::k_rows, 0, true);
    // The test canvas's characters are 6 pixels wide: the rules stand 6/8 of their distances out.
    EXPECT_EQ(lines(contact_row), (std::vector<int>{51, 63, 142, 177, 213, 255, 279, 315, 333}));
    ASSERT_GE(contact_row.ops.size(), 4u);
    EXPECT_EQ(contact_row.ops[2].kind, Op::fill);
    EXPECT_EQ(contact_row.ops[2].colour, ui::colours::blue);
    EXPECT_EQ(contact_row.ops[3].words, "01-03-24");
    EXPECT_EQ(contact_row.ops[3].colour, ui::colours::white);
    const ui::RecordingCanvas note_row = run.draw(W::k_rows, 1, false);
    EXPECT_TRUE(lines(note_row).empty());
    EXPECT_EQ(note_row.ops.size(), 2u); // white ground, black text
    EXPECT_EQ(note_row.ops[1].colour, ui::colours::black);
}

} // namespace
} // namespace kestrel::exchange::tools_testing
