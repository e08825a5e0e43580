#include "browse/list_window.hpp"

#include "common/number_text.hpp"
#include "logstore/faulty_file_system.hpp"
#include "logstore/test_log.hpp"
#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrel::browse {
namespace {

using logstore::RecordBytes;
using ui::Key;
using W = ListWindow;

RecordBytes entry(const std::string& call, const std::string& comment = "") {
    logstore::QsoRecord q = logstore::QsoRecord::decode(testing::qso("02-11-06", "1415", call));
    q.comment = comment;
    return q.encode();
}

// The record numbers of the lines shown, from their last six characters.
std::vector<int> numbers_shown(const ui::TestRun& run) {
    std::vector<int> out;
    for (const std::string& line : run.items(W::k_list))
        out.push_back(std::stoi(line.substr(line.size() - 6)));
    return out;
}

// A station directory made current, with a log in it and the program's band names.
class ListTest : public ::testing::Test {
  protected:
    ListTest() : m_cwd(m_dir.path()) {}

    void make_log(const std::vector<RecordBytes>& records) {
        testing::write_log(log_path(), records);
        ASSERT_TRUE(m_log.open_log(log_path()));
        ASSERT_TRUE(m_log.build_record_index());
    }
    std::string log_path() const { return m_dir.file("MYLOG.LOG"); }
    ListEnv env(double scale = 1.0, bool online = false) { return {m_log, m_bands, scale, online}; }
    ui::TestRun open(std::string start = "", double scale = 1.0, bool online = false) {
        return m_host.open(ListWindow{env(scale, online), std::move(start)});
    }

    testing::TempDir m_dir;
    testing::ScopedCurrentDir m_cwd;
    testing::FaultyFileSystem m_files;
    logstore::LogStore m_log{m_files};
    logstore::BandNameTable m_bands = logstore::load_band_names();
    ui::TestHost m_host;
};

// G4ABC in several forms among others: records 1, 3, 4, 6 and 8 are the same station.
std::vector<RecordBytes> mixed_log() {
    return {entry("G4ABC", "Name Bob"), entry("DL1XX"),   entry("G4ABC/P", "portable"), entry("GW4ABC"),
            entry("G4ABCD", "bob"),     entry("G4ABC/M"), entry("F5ZZZ", "Bobby"),      entry("GM4ABC/MM")};
}

TEST_F(ListTest, TheWindowStandsAsLaidOutAndGrowsWithTheScreen) {
    make_log({});
    const struct {
        double scale;
        ui::Rect frame, list, delete_button, exit_button, entries;
    } sizes[] = {
        {1.0, {0, 0, 316, 268}, {2, 32, 310, 218}, {120, 245, 30, 15}, {260, 245, 30, 15}, {56, 243, 50, 10}},
        {1.6, {0, 0, 506, 429}, {2, 32, 496, 349}, {192, 392, 30, 15}, {416, 392, 30, 15}, {56, 389, 50, 10}},
    };
    for (const auto& s : sizes) {
        auto run = open("", s.scale);
        const ui::Form& form = run.context().form();
        EXPECT_EQ(form.frame, s.frame);
        EXPECT_TRUE(form.at_default_position);
        EXPECT_EQ(form.font, (ui::Font{"Courier", 8}));
        EXPECT_EQ(run.context().control(W::k_list).rect, s.list);
        EXPECT_EQ(run.context().control(W::k_delete).rect, s.delete_button);
        EXPECT_EQ(run.context().control(ui::k_cancel).rect, s.exit_button);
        EXPECT_EQ(run.context().control(W::k_entries).rect, s.entries);
        EXPECT_EQ(run.context().control(W::k_heading).rect.w, s.list.w);
        EXPECT_LT(s.entries.x + s.entries.w, s.delete_button.x)
            << "the count, as wide as a log's, before DELETE";
    }

    auto run = open();
    EXPECT_EQ(run.caption(), "KESTREL v6    List by Call or Comment" + std::string(30, ' ') + log_path());
    const ui::Control& heading = run.context().control(W::k_heading);
    EXPECT_EQ(heading.text, list_heading());
    EXPECT_EQ(heading.foreground, (ui::Colour{255, 255, 0}));
    EXPECT_EQ(heading.background, (ui::Colour{0, 0, 255}));
    EXPECT_TRUE(heading.style & ui::static_edge);
    EXPECT_TRUE(run.context().control(W::k_list).style & ui::extended_selection);
    EXPECT_TRUE(run.context().control(W::k_search).style & ui::default_button);
    EXPECT_EQ(run.text(W::k_call_label), "&Call:");
    EXPECT_EQ(run.text(W::k_comment_label), "Commen&t:");
    EXPECT_EQ(run.text(W::k_file), "&File");
    EXPECT_FALSE(run.enabled(W::k_file)) << "nothing to write yet";
    EXPECT_EQ(run.focused(), W::k_call);
    EXPECT_TRUE(run.exists(W::k_delete));
    EXPECT_FALSE(open("", 1.0, true).exists(W::k_delete)) << "not while on-line logging is open";
}

TEST_F(ListTest, ListingACallFindsEveryFormOfItAndDeletesTheLinesChosen) {
    make_log(mixed_log());
    auto run = open();
    run.type("g4abc").key(Key::enter);
    EXPECT_EQ(run.text(W::k_call), "G4ABC");
    EXPECT_EQ(numbers_shown(run), (std::vector<int>{1, 3, 4, 6, 8}));
    EXPECT_EQ(run.items(W::k_list)[1].substr(0, 22), "02-11-06|G4ABC/P     |");
    EXPECT_EQ(run.text(W::k_entries), " 5");
    EXPECT_TRUE(run.enabled(W::k_file));

    // Lines 1, 3 and 4 (records 3, 6 and 8) are chosen and deleted.
    m_host.answer(ui::Answer::yes);
    run.select_many(W::k_list, {1, 3, 4}).click(W::k_delete);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].text, "Are you sure?");
    EXPECT_EQ(m_host.messages()[0].title, "Delete these 3 Entries");
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::question);
    EXPECT_EQ(m_host.messages()[0].buttons, ui::Buttons::yes_no);
    EXPECT_EQ(testing::calls_in(log_path()),
              (std::vector<std::string>{"G4ABC", "DL1XX", "GW4ABC", "G4ABCD", "F5ZZZ"}));
    EXPECT_EQ(numbers_shown(run), (std::vector<int>{1, 3})) << "listed again, with the new numbers";
    EXPECT_EQ(run.text(W::k_entries), " 2");
    EXPECT_EQ(run.focused(), W::k_list);
    EXPECT_TRUE(m_host.surprises().empty());
}

TEST_F(ListTest, DeletingAsksFirstAndNoChangesNothing) {
    make_log(mixed_log());
    const std::string before = testing::read_file(log_path());
    auto run = open("G4ABC");
    run.click(W::k_delete);
    EXPECT_TRUE(m_host.messages().empty()) << "no line chosen: no question";

    m_host.answer(ui::Answer::no);
    run.select(W::k_list, 2).click(W::k_delete);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].title, "Delete Entry");
    EXPECT_EQ(testing::read_file(log_path()), before);
    EXPECT_EQ(run.items(W::k_list).size(), 5u);

    m_host.answer(ui::Answer::yes);
    run.click(W::k_delete);
    EXPECT_EQ(testing::calls_in(log_path()).size(), 7u);
    EXPECT_EQ(numbers_shown(run), (std::vector<int>{1, 3, 5, 7}));
}

TEST_F(ListTest, PrefixAndCommentListsFollowTheBoxLastEntered) {
    make_log(mixed_log());
    auto run = open();
    const struct {
        int box;
        const char* typed;
        std::vector<int> numbers;
    } searches[] = {
        {W::k_call, "G4*", {1, 3, 5, 6}},
        {W::k_call, "G*", {1, 3, 4, 5, 6, 8}},
        {W::k_call, "GW4ABC", {1, 3, 4, 6, 8}},
        {W::k_comment, "bob", {1, 5, 7}},
        {W::k_comment, "PORT", {3}},
    };
    for (const auto& s : searches) {
        run.replace(s.box, s.typed).key(Key::enter);
        EXPECT_EQ(numbers_shown(run), s.numbers) << s.typed;
        EXPECT_EQ(run.text(W::k_entries), number_text(static_cast<int>(s.numbers.size())));
    }
    EXPECT_EQ(run.text(W::k_call), "") << "entering the comment box emptied the call box";
    run.focus(W::k_call);
    EXPECT_EQ(run.text(W::k_comment), "");
    run.type("DL1XX").click(W::k_search);
    EXPECT_EQ(numbers_shown(run), (std::vector<int>{2}));
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(ListTest, NothingFoundIsToldAndLeavesAnEmptyList) {
    make_log(mixed_log());
    auto run = open("G4ABC");
    ASSERT_EQ(run.items(W::k_list).size(), 5u);
    const struct {
        int box;
        const char* typed;
        const char* told;
    } searches[] = {{W::k_call, "K1ABC", "Callsign not found"}, {W::k_comment, "QRP", "Comment not found"}};
    for (const auto& s : searches) {
        m_host.expect_message(s.told);
        run.replace(s.box, s.typed).key(Key::enter);
        EXPECT_TRUE(run.items(W::k_list).empty());
        EXPECT_EQ(run.text(W::k_entries), " 0");
        EXPECT_FALSE(run.enabled(W::k_file));
        ASSERT_FALSE(m_host.messages().empty());
        EXPECT_EQ(m_host.messages().back().text, s.told);
        EXPECT_EQ(m_host.messages().back().title, "");
        EXPECT_EQ(m_host.messages().back().icon, ui::Icon::none);
    }
    run.replace(W::k_comment, "").key(Key::enter);
    EXPECT_EQ(m_host.messages().size(), 2u) << "an empty box searches for nothing";
}

TEST_F(ListTest, FileWritesTheListAsCommaSeparatedLines) {
    std::vector<RecordBytes> records(6, entry("DL1XX"));
    records.push_back(entry("G4ABC/P", "Name Bob, Leeds"));
    make_log(records);
    auto run = open("G4ABC");
    run.click(W::k_file);
    EXPECT_EQ(testing::read_file(m_dir.path() / "QSOLIST.CSV"),
              "02-11-06,G4ABC/P     ,14:15,14:15,14MHz ,SSB ,100  --,Name Bob, Leeds" + std::string(25, ' ') +
                  std::string(10, ' ') + "     7\r\n");
    EXPECT_FALSE(run.enabled(W::k_file)) << "until the next search";
    run.key(Key::enter);
    EXPECT_TRUE(run.enabled(W::k_file));
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(ListTest, AFileThatCannotBeWrittenIsToldAndCanBeTriedAgain) {
    make_log(mixed_log());
    std::filesystem::create_directory(m_dir.path() / "QSOLIST.CSV");
    auto run = open("G4ABC");
    m_host.expect_message("QSOLIST.CSV could not be written.");
    run.click(W::k_file);
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].text, "QSOLIST.CSV could not be written.");
    EXPECT_EQ(m_host.messages()[0].icon, ui::Icon::stop);
    EXPECT_TRUE(run.enabled(W::k_file));
    std::filesystem::remove(m_dir.path() / "QSOLIST.CSV");
    run.click(W::k_file);
    EXPECT_EQ(testing::read_file(m_dir.path() / "QSOLIST.CSV").size(), 5u * 112u);
}

TEST_F(ListTest, PageKeysMoveAWholePageAndKeepTheSelection) {
    make_log(std::vector<RecordBytes>(100, entry("G4ABC")));
    const struct {
        double scale;
        std::vector<int> tops; // after Down, Down, Down, Up, Up, Up
    } cases[] = {
        {1.0, {24, 48, 72, 48, 24, 0}},
        {1.2, {32, 64, 68, 36, 4, 0}},
        {1.6, {42, 58, 58, 16, 0, 0}},
    };
    for (const auto& c : cases) {
        auto run = open("G4ABC", c.scale);
        run.select(W::k_list, 3);
        std::vector<int> tops;
        for (Key k :
             {Key::page_down, Key::page_down, Key::page_down, Key::page_up, Key::page_up, Key::page_up}) {
            run.key(k);
            tops.push_back(run.context().top_index(W::k_list));
        }
        EXPECT_EQ(tops, c.tops) << c.scale;
        EXPECT_EQ(run.context().selections(W::k_list), std::vector<int>{3});
    }
    make_log(std::vector<RecordBytes>(10, entry("G4ABC")));
    auto run = open("G4ABC");
    run.key(Key::page_down);
    EXPECT_EQ(run.context().top_index(W::k_list), 0) << "a list shorter than a page stays put";
}

TEST_F(ListTest, AFailedDeletionIsToldAndLosesNothing) {
    make_log(mixed_log());
    auto run = open("G4ABC");
    m_files.refuse_writable_open = true;
    ASSERT_TRUE(m_log.open_log(log_path())); // now for reading only
    ASSERT_TRUE(m_log.read_only());
    const std::string before = testing::read_file(log_path());
    m_host.answer(ui::Answer::yes);
    m_host.answer(ui::Answer::ok); // why the log was not written
    run.select_many(W::k_list, {0, 4}).click(W::k_delete);
    ASSERT_EQ(m_host.messages().size(), 2u);
    EXPECT_EQ(m_host.messages()[1].text, logstore::message_of(logstore::LogError::read_only));
    EXPECT_EQ(m_host.messages()[1].icon, ui::Icon::stop);
    EXPECT_EQ(testing::read_file(log_path()), before);
    EXPECT_EQ(numbers_shown(run), (std::vector<int>{1, 3, 4, 6, 8}));
}

TEST_F(ListTest, ALogChangedUnderTheListIsNotDeletedFrom) {
    make_log(mixed_log());
    auto run = open("G4ABC");
    ASSERT_TRUE(m_log.delete_record(2)); // records 3 to 8 move down by one
    const std::string before = testing::read_file(log_path());
    m_host.answer(ui::Answer::yes);
    m_host.answer(ui::Answer::ok); // the log changed since it was listed
    run.select_many(W::k_list, {2, 4}).click(W::k_delete);
    ASSERT_EQ(m_host.messages().size(), 2u);
    EXPECT_EQ(m_host.messages()[1].icon, ui::Icon::stop);
    EXPECT_EQ(testing::read_file(log_path()), before);
    EXPECT_EQ(numbers_shown(run), (std::vector<int>{1, 2, 3, 5, 7})) << "listed again as the log is now";
}

TEST_F(ListTest, EscapeAndExitClose) {
    make_log(mixed_log());
    auto by_key = open();
    by_key.key(Key::escape);
    EXPECT_FALSE(by_key.is_open());
    auto by_button = open();
    by_button.click(ui::k_cancel);
    EXPECT_FALSE(by_button.is_open());
}

// The window the list is opened from.
class Opener final : public ui::Window {
  public:
    Opener(ListEnv env, std::string start) : m_env(env), m_start(std::move(start)) {}
    ui::Form build() const override {
        ui::Form form;
        form.caption = "Opener";
        form.add(ui::button(7, "Li&st", {0, 0, 30, 12}));
        return form;
    }
    void on_command(ui::Context& ctx, int id, ui::Notify) override {
        if (id == 7) run_list(ctx, m_env, m_start);
    }

  private:
    ListEnv m_env;
    std::string m_start;
};

TEST_F(ListTest, RunListBuildsTheIndexAndListsTheCallHandedOver) {
    testing::write_log(log_path(), mixed_log());
    ASSERT_TRUE(m_log.open_log(log_path()));
    ASSERT_FALSE(m_log.index_loaded());
    std::vector<int> shown;
    bool file_enabled = false;
    m_host.on_modal([&](ui::TestRun& list) {
        shown = numbers_shown(list);
        file_enabled = list.enabled(W::k_file);
        list.key(Key::escape);
    });
    auto opener = m_host.open(Opener{env(), "GW4ABC/P"});
    opener.click(7);
    EXPECT_EQ(m_host.modal_captions().size(), 2u);
    EXPECT_EQ(m_host.modal_captions()[0], "Load Log");
    EXPECT_TRUE(m_log.index_loaded());
    EXPECT_EQ(shown, (std::vector<int>{1, 3, 4, 6, 8}));
    EXPECT_TRUE(file_enabled);
    EXPECT_TRUE(m_host.surprises().empty());
}

TEST_F(ListTest, RunListWithNoLogSaysSo) {
    auto opener = m_host.open(Opener{env(), ""});
    m_host.expect_message("No Log Selected");
    opener.click(7);
    EXPECT_EQ(m_host.message_texts(), std::vector<std::string>{"No Log Selected"});
    EXPECT_EQ(m_host.messages()[0].title, "Kestrel");
    EXPECT_TRUE(m_host.modal_captions().empty());
}

} // namespace
} // namespace kestrel::browse
