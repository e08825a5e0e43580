#include "exchange/extract.hpp"

#include "tools_fixture.hpp"

namespace kestrel::exchange::tools_testing {
namespace {

ExtractChoice every_band_and_classic_mode() {
    ExtractChoice choice;
    choice.bands.fill(true);
    choice.modes = {true, true, true, true};
    return choice;
}

logstore::RecordBytes with_band_text(logstore::RecordBytes record, const char* text) {
    logstore::QsoRecord q = logstore::QsoRecord::decode(record);
    q.band = logstore::text_band_field(text);
    return q.encode();
}

TEST(ExtractChoiceTest, BandsModesAndKindsDecideWhatIsTaken) {
    const ExtractChoice all = every_band_and_classic_mode();
    ExtractChoice no_40m = all;
    no_40m.bands[2] = false;
    ExtractChoice no_5mhz = all;
    no_5mhz.bands[ExtractChoice::k_five_mhz_flag] = false;
    ExtractChoice only_cw = all;
    only_cw.modes = {true, false, false, true};
    ExtractChoice no_modes_but_all = all;
    no_modes_but_all.modes = {false, false, false, true};
    no_modes_but_all.fourth_mode = "ALL";
    ExtractChoice rtty = all;
    rtty.fourth_mode = "RTY";

    const struct {
        const char* what;
        logstore::RecordBytes record;
        const ExtractChoice& choice;
        Verdict verdict;
    } cases[] = {
        {"20 m SSB", contact("01-01-24", "1200", "K1ABC", 4, "SSB"), all, Verdict::take},
        {"160 m", contact("01-01-24", "1200", "K1ABC", 0), all, Verdict::take},
        {"144 MHz, the last flagged band", contact("01-01-24", "1200", "K1ABC", 11), all, Verdict::take},
        {"430 MHz and up are never taken", contact("01-01-24", "1200", "K1ABC", 12), all, Verdict::skip},
        {"24 GHz", contact("01-01-24", "1200", "K1ABC", 18), all, Verdict::skip},
        {"a coded band past the table", contact("01-01-24", "1200", "K1ABC", 25), all, Verdict::skip},
        {"40 m not ticked", contact("01-01-24", "1200", "K1ABC", 2), no_40m, Verdict::skip},
        {"5 MHz by its own flag", contact("01-01-24", "1200", "K1ABC", 19), all, Verdict::take},
        {"5 MHz not ticked", contact("01-01-24", "1200", "K1ABC", 19), no_5mhz, Verdict::skip},
        {"a band written as text", with_band_text(contact("01-01-24", "1200", "K1ABC"), "7.0"), no_40m,
         Verdict::skip},
        {"A1A is CW", contact("01-01-24", "1200", "K1ABC", 4, "A1A"), only_cw, Verdict::take},
        {"SSB not ticked", contact("01-01-24", "1200", "K1ABC", 4, "SSB"), only_cw, Verdict::skip},
        {"ALL takes any mode", contact("01-01-24", "1200", "K1ABC", 4, "SSB"), no_modes_but_all,
         Verdict::take},
        {"ALL takes RTTY too", contact("01-01-24", "1200", "K1ABC", 4, "RTY"), no_modes_but_all,
         Verdict::take},
        {"other modes need the fourth-mode text", contact("01-01-24", "1200", "K1ABC", 4, "RTY"), all,
         Verdict::skip},
        {"a blank mode matches an empty fourth box", contact("01-01-24", "1200", "K1ABC", 4, ""), all,
         Verdict::take},
        {"the fourth mode exactly", contact("01-01-24", "1200", "K1ABC", 4, "RTY"), rtty, Verdict::take},
        {"the fourth mode is not a prefix", contact("01-01-24", "1200", "K1ABC", 4, "RT"), rtty,
         Verdict::skip},
        {"a note", note("01-01-24", "1200", "antenna down"), no_modes_but_all, Verdict::skip},
        {"a CQ call", contact("01-01-24", "1200", "CQ"), no_modes_but_all, Verdict::skip},
        {"a call starting CQ is a contact", contact("01-01-24", "1200", "CQ9X"), no_modes_but_all,
         Verdict::take},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(judge_entry(c.record, c.choice), c.verdict);
    }
}

TEST(ExtractChoiceTest, DatesIncludeBothEndsAndStopAfterTheLast) {
    ExtractChoice choice = every_band_and_classic_mode();
    choice.from = logstore::day_number_of("10-03-24");
    choice.to = logstore::day_number_of("12-03-24");
    EXPECT_EQ(judge_entry(contact("09-03-24", "2359", "K1A"), choice), Verdict::skip);
    EXPECT_EQ(judge_entry(contact("10-03-24", "0000", "K1A"), choice), Verdict::take);
    EXPECT_EQ(judge_entry(contact("12-03-24", "2359", "K1A"), choice), Verdict::take);
    EXPECT_EQ(judge_entry(contact("13-03-24", "0000", "K1A"), choice), Verdict::stop);
    // A note after the range is passed over, not a reason to stop.
    EXPECT_EQ(judge_entry(note("13-03-24", "0000", "x"), choice), Verdict::skip);
    // With no dates given, the whole range a log can hold is taken, 2029 included.
    const ExtractChoice open = every_band_and_classic_mode();
    EXPECT_EQ(judge_entry(contact("22-07-29", "1200", "K1A"), open), Verdict::take);
    EXPECT_EQ(judge_entry(contact("01-01-30", "1200", "K1A"), open), Verdict::take);
}

TEST(ExtractEntries, TheScanStopsAtTheFirstContactAfterTheRange) {
    // Not in date order: a contact in range after the first one past it is not reached.
    VectorSource in({contact("01-01-24", "1200", "A1"), note("05-01-24", "1200", "x"),
                     contact("02-01-24", "1200", "B2"), contact("09-01-24", "1200", "C3"),
                     contact("03-01-24", "1200", "D4")});
    ExtractChoice choice = every_band_and_classic_mode();
    choice.to = logstore::day_number_of("05-01-24");
    VectorSink out;
    const auto taken = extract_entries(in, choice, out);
    ASSERT_TRUE(taken);
    EXPECT_EQ(*taken, 2);
    ASSERT_EQ(out.records.size(), 2u);
    EXPECT_EQ(out.records[1], contact("02-01-24", "1200", "B2"));
}

} // namespace
} // namespace kestrel::exchange::tools_testing
