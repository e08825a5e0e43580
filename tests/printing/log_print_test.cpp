#include "printing/log_print.hpp"

#include "printing/log_pages.hpp"
#include "printing_fixture.hpp"

namespace kestrel::printing {
namespace {

using testing::Contact;
using testing::contact;

class LogListingTest : public testing::PrintingTest {
  protected:
    LogListingTest() {
        open_log({contact({.date = "01-01-24", .call = "G9AAA"}),
                  contact({.date = "02-01-24", .call = "DL1AB", .band = 2, .comment = "5W, dipole"}),
                  testing::station_data("03-01-24", 4, "ANN", "TS50", "G5RV"),
                  testing::note("04-01-24", "Contest starts"),
                  contact({.date = "05-01-24", .call = "G9XYZ", .comment = "QSL via bureau"}),
                  contact({.date = "06-01-24", .call = "CQ"}),
                  contact({.date = "07-01-24", .call = "DL2CD", .band = 19, .comment = "sked"})});
    }
    // The records the listing holds, told by their dates' days.
    std::vector<int> listed(const LogFilter& filter) {
        LogListing listing(filter, ListingStyle::file, m_names);
        std::vector<int> days;
        EXPECT_TRUE(list_log(m_log, listing, [&](const ListingLine& line) {
            days.push_back(std::stoi(line.text.substr(0, 2)));
            return true;
        }));
        return days;
    }
};

TEST_F(LogListingTest, TheFiltersChooseTheEntries) {
    const auto date = [](const char* d) { return std::optional<std::int16_t>(logstore::day_number_of(d)); };
    const struct {
        const char* why;
        LogFilter filter;
        std::vector<int> days;
    } cases[] = {
        {"everything", {}, {1, 2, 3, 4, 5, 6, 7}},
        {"from the first G9X on, any call", {.from_call = "G9X"}, {5, 6, 7}},
        {"from a date", {.start_date = date("03-01-24")}, {3, 4, 5, 6, 7}},
        {"a starting call earlier than the date is not found", {date("05-01-24"), "DL1"}, {}},
        {"a date, then a starting call", {date("02-01-24"), "G9"}, {5, 6, 7}},
        {"a prefix keeps notes and station data", {.prefix = "DL"}, {2, 3, 4, 7}},
        {"a band leaves them out", {.band = 4}, {1, 5, 6}},
        {"5 MHz is a band too", {.band = 19}, {7}},
        {"a comment key in any case", {.comment_key = "Dipole"}, {2}},
        {"prefix and key", {.prefix = "DL", .comment_key = "SKED"}, {7}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(listed(c.filter), c.days) << c.why;
}

TEST(LogListingBand, OnlyANumberInTheBandBoxChoosesABand) {
    const struct {
        const char* typed;
        std::optional<int> band;
    } cases[] = {{"", std::nullopt}, {"abc", std::nullopt}, {"0", std::nullopt}, {"14", 4},
                 {"5.3", 19},        {"144", 11},           {"1.2G", 13}};
    for (const auto& c : cases)
        EXPECT_EQ(band_filter_of(c.typed), c.band) << c.typed;
}

TEST_F(LogListingTest, AFileGetsCommaSeparatedLinesAndCommasInTextBecomeSemicolons) {
    auto text = listing_file_text(m_log, {.prefix = "DL"}, m_names);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text,
              "02-01-24,DL1AB       ,12:34,12:39,57     ,59     ,7MHz  ,SSB,100  ,5W; dipole" +
                  std::string(30, ' ') +
                  ",--\r\n"
                  "03-01-24,   00:00 Op: ANN          Tcvr: TS50         Ant: G5RV         Band: 14MHz \r\n"
                  "04-01-24,Contest starts" +
                  std::string(50, ' ') +
                  "\r\n"
                  "07-01-24,DL2CD       ,12:34,12:39,57     ,59     ,5MHz  ,SSB,100  ,sked" +
                  std::string(36, ' ') + ",--\r\n");
}

TEST_F(LogListingTest, CqCallsAreListedButNotCounted) {
    LogListing listing({}, ListingStyle::portrait, m_names);
    int lines = 0;
    ASSERT_TRUE(list_log(m_log, listing, [&](const ListingLine&) { return ++lines > 0; }));
    EXPECT_EQ(lines, 7);
    EXPECT_EQ(listing.qso_count(), 4);
}

TEST(LogListingHeading, TheHeadingsColumnsStandOverTheLinesColumns) {
    for (ListingStyle style : {ListingStyle::landscape, ListingStyle::portrait}) {
        const std::string heading = listing_heading(style);
        const std::size_t separator = separator_of(style).size();
        std::size_t at = 0;
        for (int f = 0; f < k_listing_fields - 1; ++f) {
            at += static_cast<std::size_t>(k_field_widths[f]);
            // "Time On/Off" stands over both times.
            if (f != 2) {
                EXPECT_EQ(heading.substr(at, separator), std::string(separator, ' ')) << f;
            }
            at += separator;
        }
        EXPECT_EQ(heading.substr(at), "QSL");
    }
}

TEST(LogListingFile, TheListingFileIsNamedAfterTheLog) {
    const struct {
        const char* log;
        const char* listing;
    } cases[] = {
        {"MYLOG.LOG", "MYLOG.TXT"},
        {"mylog.log", "MYLOG.TXT"},
        {"/home/ann/kestrel/home.log", "/home/ann/kestrel/HOME.TXT"},
        {"contest", "CONTEST.TXT"},
        {"/data/FIELD.ADI", "/data/FIELD.ADI.TXT"},
        {"/data/.LOG", "/data/.LOG.TXT"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(listing_file_name(c.log), c.listing) << c.log;
}

class LogPagesTest : public testing::PrintingTest {
  protected:
    void log_of(int contacts) {
        std::vector<logstore::RecordBytes> records;
        for (int i = 0; i < contacts; ++i)
            records.push_back(contact({.call = "DL" + std::to_string(i)}));
        open_log(records);
    }
};

TEST_F(LogPagesTest, LandscapeAndPortraitHoldTheirLinesAPageInTheirFonts) {
    const struct {
        Orientation orientation;
        int points;
        int contacts_a_page; // the heading is one of the page's lines
        int left;            // dots at 600 dpi
        int top;
    } cases[] = {{Orientation::landscape, 10, 45, 150, 450}, {Orientation::portrait, 7, 93, 450, 150}};
    for (const auto& c : cases) {
        log_of(2 * c.contacts_a_page + 1);
        auto job = std::make_shared<PrintedJob>();
        RecordingPrinter printer(job);
        auto printed = print_log_pages(printer, c.orientation, m_log, {}, m_names);
        ASSERT_TRUE(printed);
        EXPECT_EQ(*printed, LogPrintEnd::finished);
        EXPECT_EQ(job->orientation, c.orientation);
        ASSERT_EQ(job->pages.size(), 3u);
        const auto& first = job->pages[0].texts;
        ASSERT_EQ(first.size(), static_cast<std::size_t>(1 + c.contacts_a_page + 1));
        EXPECT_EQ(first[0].text,
                  listing_heading(c.orientation == Orientation::landscape ? ListingStyle::landscape
                                                                          : ListingStyle::portrait));
        EXPECT_EQ(first[0].x, c.left);
        EXPECT_EQ(first[0].font, "Courier New");
        EXPECT_EQ(first[0].points, c.points);
        EXPECT_EQ(first.back().text, "Page 1");
        EXPECT_GT(first.back().y, first[first.size() - 2].y);
        const int pitch = first[2].y - first[1].y;
        EXPECT_LE(first.back().y + pitch, printer.page_height()) << "the page number is on the page";
        const auto& last = job->pages[2].texts;
        ASSERT_EQ(last.size(), 4u) << "heading, one contact, the count and the page number";
        EXPECT_EQ(last[2].text,
                  std::string(20, ' ') + "Number of QSOs  " + std::to_string(2 * c.contacts_a_page + 1));
        EXPECT_EQ(last[3].text, "Page 3");
    }
}

TEST_F(LogPagesTest, ColumnRulesStandBetweenTheColumnsOfTheContacts) {
    open_log({contact({.call = "DL1AA"}), testing::note("01-02-24", "note"), contact({.call = "DL1AB"})});
    auto job = std::make_shared<PrintedJob>();
    RecordingPrinter printer(job);
    ASSERT_TRUE(print_log_pages(printer, Orientation::portrait, m_log, {}, m_names));
    const auto& page = job->pages[0];
    // Portrait: one blank between fields, 50 dots a character, 0.75 inch (450 dots) from the left.
    std::vector<int> between;
    int chars = 0;
    for (int f = 0; f < k_listing_fields - 1; ++f) {
        chars += k_field_widths[f];
        between.push_back(450 + chars * 50 + 25);
        chars += 1;
    }
    const int heading_top = 150; // a quarter inch
    const int line = page.texts[1].y - page.texts[0].y;
    for (int x : between) {
        std::vector<std::pair<int, int>> spans;
        for (const auto& l : page.lines)
            if (l.x1 == x && l.x2 == x) spans.emplace_back(l.y1, l.y2);
        std::sort(spans.begin(), spans.end());
        if (x == between[0]) {
            // The date's rule runs the whole table, beside the note too.
            EXPECT_EQ(spans, (std::vector<std::pair<int, int>>{{heading_top, heading_top + 4 * line}})) << x;
        } else if (x == between[2]) {
            // "Time On/Off" stands over both times.
            EXPECT_EQ(spans,
                      (std::vector<std::pair<int, int>>{{heading_top + line, heading_top + 2 * line},
                                                        {heading_top + 3 * line, heading_top + 4 * line}}))
                << x;
        } else {
            // Beside the heading and the first contact, then beside the last, not across the note.
            EXPECT_EQ(spans,
                      (std::vector<std::pair<int, int>>{{heading_top, heading_top + 2 * line},
                                                        {heading_top + 3 * line, heading_top + 4 * line}}))
                << x;
        }
    }
}

TEST_F(LogPagesTest, NoToTheNextPageEndsTheJobAfterThePagePrinted) {
    log_of(100);
    auto job = std::make_shared<PrintedJob>();
    RecordingPrinter printer(job);
    int asked = 0;
    auto printed =
        print_log_pages(printer, Orientation::landscape, m_log, {}, m_names, [&] { return ++asked < 2; });
    ASSERT_TRUE(printed);
    EXPECT_EQ(*printed, LogPrintEnd::stopped);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(job->pages.size(), 2u) << "no blank page after the last one printed";
    EXPECT_EQ(job->pages[1].texts.back().text, "Page 2");
}

TEST_F(LogPagesTest, AnEmptyListingStillShowsItsHeadingAndCount) {
    open_log({});
    auto job = std::make_shared<PrintedJob>();
    RecordingPrinter printer(job);
    ASSERT_TRUE(print_log_pages(printer, Orientation::landscape, m_log, {}, m_names));
    ASSERT_EQ(job->pages.size(), 1u);
    ASSERT_EQ(job->pages[0].texts.size(), 3u);
    EXPECT_EQ(job->pages[0].texts[1].text, std::string(20, ' ') + "Number of QSOs  0");
}

} // namespace
} // namespace kestrel::printing
