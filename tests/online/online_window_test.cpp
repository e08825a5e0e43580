#include "online/online_fixture.hpp"

#include "common/fixed_text.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"
#include "support/temp_dir.hpp"

#include <cmath>

namespace kestrel::online {
namespace {

using testing::OnlineTest;
using ui::Key;
using ui::TestRun;
using W = OnlineWindow;

std::string padded(std::string_view text, int width) {
    return fixed_width(text, static_cast<std::size_t>(width));
}

logstore::RecordBytes contact_bytes(const char* date, int on, int off, const char* call, const char* sent,
                                    const char* received, int band, const char* mode, const char* power,
                                    const char* comment, std::uint8_t qsl = 0) {
    logstore::QsoRecord q;
    q.date = logstore::day_number_of(date);
    q.time_on = static_cast<std::int16_t>(on);
    q.time_off = static_cast<std::int16_t>(off);
    q.call = call;
    q.rst_sent = sent;
    q.rst_received = received;
    q.band = logstore::coded_band_field(band);
    q.mode = mode;
    q.power = power;
    q.comment = comment;
    q.qsl_flags = qsl;
    return q.encode();
}

TEST_F(OnlineTest, NoLogSelected) {
    auto opener =
        m_host.open(testing::Opener{[this](ui::Context& ctx) { run_online_logging(ctx, online_env()); }});
    m_host.expect_message("No Log Selected");
    opener.command(testing::Opener::k_open);
    EXPECT_TRUE(m_host.modal_captions().empty());
}

// The operator's evening, keyboard only: ten stations on, three off, one edited, a note, a band
// change, the clock running, the rate box, and the window closed with stations on the net.
TEST_F(OnlineTest, AnEveningOnTheAirKeyboardOnly) {
    open_log({});
    m_log.set_last_band(4); // 14 MHz
    run_window([&](TestRun& run) {
        EXPECT_EQ(run.caption(), "Kestrel v6.44  On Line Logging" + std::string(10, ' ') + "Date: 07-12-26" +
                                     std::string(10, ' ') + m_log.path());
        EXPECT_EQ(run.text(W::k_entry), "1");
        EXPECT_EQ(run.text(W::k_mode), "CW");
        EXPECT_EQ(run.text(W::k_transceiver), "FT1000");
        EXPECT_EQ(run.focused(), W::k_call);
        EXPECT_EQ(run.text(W::k_first_digit), "F1");
        EXPECT_EQ(run.text(W::k_first_digit + 4), "F0");

        const char* calls[] = {"G4AAA", "G4BBB", "K1CCC", "G4DDD", "K1EEE",
                               "G4FFF", "K1GGG", "G4HHH", "K1III", "G4JJJ"};
        for (int i = 0; i < 10; ++i) {
            log_on(run, calls[i], i == 0 ? "579" : "", i == 0 ? "589" : "");
            EXPECT_EQ(run.text(W::k_entry), std::to_string(i + 1));
            EXPECT_EQ(run.text(W::k_call), "");
            EXPECT_EQ(run.focused(), W::k_call);
        }
        EXPECT_EQ(run.items(W::k_net)[0],
                  "\xff 1 G4AAA        14:30 579     589     " + std::string(40, ' '));
        EXPECT_EQ(m_log.contact_count(), 10);
        EXPECT_EQ(run.text(W::k_country), "England New Country") << "the last station's country";

        // Three off with F2: the first line twice (a Log Off leaves nothing selected, so F2 again
        // with many on the net does nothing), then the second line.
        tick_at(14, 41);
        run.key(Key::down).key(Key::f2);
        run.key(Key::down).key(Key::f2);
        run.key(Key::f2);
        run.key(Key::down).key(Key::down).key(Key::f2);
        EXPECT_EQ(run.items(W::k_net)[0].substr(4, 5), "K1CCC");
        EXPECT_EQ(run.items(W::k_net)[1].substr(0, 9), "\xff 2 K1EEE");
        EXPECT_EQ(run.items(W::k_net)[6].substr(0, 9), "\xff 7 G4JJJ");
        EXPECT_EQ(run.items(W::k_net)[9], "\xff"
                                          "10" +
                                              std::string(100, ' '));

        // Edit the first station on the net: a new call, same time on.
        run.key(Key::up).key(Key::up);
        run.alt('E');
        EXPECT_EQ(run.text(W::k_call), "K1CCC");
        run.replace(W::k_call, "K1CCD").key(Key::f1);
        EXPECT_EQ(run.items(W::k_net)[0].substr(1, 21), " 1 K1CCD        14:30");

        // A note, then 70 MHz from the band list with the arrow keys.
        m_host.on_modal([](TestRun& text) { text.type("Sked with K1ZZZ at 1500").key(Key::enter); });
        run.alt('X');
        EXPECT_EQ(m_host.modal_captions().back(), "Text Entry:");
        run.focus(W::k_band).key(Key::down).key(Key::down).key(Key::down).key(Key::down).key(Key::down).key(
            Key::down);
        EXPECT_EQ(run.text(W::k_transceiver), "IC271");
        EXPECT_EQ(run.text(W::k_mode), "SSB") << "no mode for the band: SSB";
        run.key(Key::enter);
        EXPECT_EQ(run.focused(), W::k_rst_sent);

        run.alt('Q');
        EXPECT_TRUE(run.exists(W::k_rate_box));
        tick_at(14, 42);
        EXPECT_EQ(run.text(W::k_rate_box), "QSOs per hour\r\nLast 10 : 0\r\nLast 100: 0\r\nOverall : 45");
        EXPECT_EQ(run.text(W::k_first_digit + 3), "F4");
        EXPECT_EQ(run.text(W::k_first_digit + 4), "F2");
        tick_at(14, 55);
        run.key(Key::escape);
    });

    // Every record as written, in order: ten contacts, the note, nothing else; three logged off
    // at 14:41 on 14 MHz, the rest at the close, still on the 14 MHz they were logged on with.
    ASSERT_EQ(m_log.record_count(), 11);
    const int on = 14 * 60 + 30;
    EXPECT_EQ(record(1),
              contact_bytes("07-12-26", on, 14 * 60 + 41, "G4AAA", "579", "589", 4, "CW", "100", ""));
    EXPECT_EQ(record(3),
              contact_bytes("07-12-26", on, 14 * 60 + 55, "K1CCD", "599", "599", 4, "CW", "100", ""));
    EXPECT_EQ(record(2),
              contact_bytes("07-12-26", on, 14 * 60 + 41, "G4BBB", "599", "599", 4, "CW", "100", ""));
    EXPECT_EQ(record(4),
              contact_bytes("07-12-26", on, 14 * 60 + 41, "G4DDD", "599", "599", 4, "CW", "100", ""));
    EXPECT_EQ(record(10),
              contact_bytes("07-12-26", on, 14 * 60 + 55, "G4JJJ", "599", "599", 4, "CW", "100", ""));
    const auto note = logstore::TextRecord::decode(record(11));
    EXPECT_EQ(note.text, padded("Sked with K1ZZZ at 1500", 64));
    EXPECT_TRUE(m_chart.worked(223, 4, logstore::k_mode_cw)) << "England marked at Log Off";
    EXPECT_TRUE(m_chart.worked(291, 4, logstore::k_mode_cw)) << "the United States marked at the close";
    EXPECT_FALSE(m_chart.worked(291, 10, logstore::k_mode_cw)) << "not on the band the window closed on";
}

bool worked_on(const countries::StatusChart& chart, int country, int band) {
    for (int m = 0; m < countries::k_mode_classes; ++m)
        if (chart.worked(country, band, m)) return true;
    return false;
}

// K1AW logged on at 21 MHz, the band list moved to 7 MHz, G4ABC logged on there. Closing the
// window completes each record on the band it was logged on with; F2 after the move is the
// operator saying the station came along, so it takes the band of the moment.
TEST_F(OnlineTest, StationsLeftOnTheNetKeepTheirBandAtTheClose) {
    struct Case {
        const char* name;
        bool log_off_first;
        int k1aw_band;
    };
    const Case cases[] = {{"closed with both on the net", false, 6},
                          {"K1AW logged off after the move", true, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open_log({});
        m_chart.clear();
        m_log.set_last_band(6); // 21 MHz
        run_window([&](TestRun& run) {
            log_on(run, "K1AW");
            run.select(W::k_band, 2).focus(W::k_call); // 7 MHz
            log_on(run, "G4ABC");
            if (c.log_off_first) run.select(W::k_net, 0).key(Key::f2);
            run.key(Key::escape);
        });
        ASSERT_EQ(m_log.record_count(), 2);
        const logstore::QsoRecord k1aw = contact(1);
        ASSERT_EQ(trim_trailing_spaces(k1aw.call), "K1AW");
        EXPECT_EQ(logstore::band_of_field(k1aw.band), c.k1aw_band);
        EXPECT_EQ(logstore::band_of_field(contact(2).band), 2);
        EXPECT_TRUE(worked_on(m_chart, 291, c.k1aw_band));
        EXPECT_FALSE(worked_on(m_chart, 291, c.k1aw_band == 6 ? 2 : 6));
        EXPECT_TRUE(worked_on(m_chart, 223, 2));
    }
}

// "CQ" resolves to Portugal in the test's country list; a CQ on the net must never mark it, whether
// the window closes over it or it is logged off with a report typed in.
TEST_F(OnlineTest, ACqOnTheNetMarksNoCountry) {
    struct Case {
        const char* name;
        bool logged_off;
    };
    const Case cases[] = {{"left on the net at the close", false}, {"logged off with 599 received", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open_log({});
        m_chart.clear();
        m_log.set_last_band(11); // 144 MHz
        run_window([&](TestRun& run) {
            if (c.logged_off) {
                run.type("CQ").focus(W::k_rst_received).type("599").key(Key::f1);
                run.select(W::k_net, 0).key(Key::f2);
            } else {
                run.type("CQ").key(Key::enter);
            }
            EXPECT_EQ(run.items(W::k_net)[0].substr(4, 2), c.logged_off ? "  " : "CQ");
            run.key(Key::escape);
        });
        ASSERT_EQ(m_log.record_count(), 1);
        EXPECT_EQ(contact(1).call, padded("CQ", 12));
        EXPECT_EQ(contact(1).time_off, 14 * 60 + 30) << "the record is still completed";
        EXPECT_FALSE(worked_on(m_chart, 272, 11));
    }
}

TEST_F(OnlineTest, ReportsByModeAndCqEntries) {
    open_log({});
    struct Case {
        const char* mode;
        const char* sent;
        const char* expected_sent;
        const char* expected_received;
    };
    const Case cases[] = {{"CW", "", "599", "599"},
                          {"SSB", "", "59", "59"},
                          {"CQC", "", "N", "N"},
                          {"RTY", "", "599", "599"},
                          {"SSB", "57", "57", "59"}};
    run_window([&](TestRun& run) {
        for (const Case& c : cases) {
            run.replace(W::k_mode, c.mode).key(Key::enter);
            run.focus(W::k_call);
            log_on(run, "G4ABC", c.sent);
        }
        run.type("CQ").key(Key::enter);
        EXPECT_EQ(run.items(W::k_net)[5].substr(4, 2), "CQ");
        run.key(Key::escape);
    });
    for (int n = 1; n <= 5; ++n) {
        const auto& c = cases[n - 1];
        EXPECT_EQ(contact(n).rst_sent, padded(c.expected_sent, 7)) << c.mode;
        EXPECT_EQ(contact(n).rst_received, padded(c.expected_received, 7)) << c.mode;
    }
    EXPECT_EQ(contact(6).call, padded("CQ", 12));
    EXPECT_EQ(contact(6).rst_sent, padded("", 7)) << "a CQ gets no reports";
    EXPECT_EQ(m_log.contact_count(), 5) << "a CQ is no contact";
}

TEST_F(OnlineTest, CountryAndNewCountryNotes) {
    open_log({});
    m_log.set_last_band(4);
    m_chart.update_chart(272, 3, logstore::k_mode_cw, 0);  // Portugal on 10 MHz only
    m_chart.update_chart(223, 4, logstore::k_mode_ssb, 0); // England on 14 MHz SSB
    m_countries = countries::parse_country_list("CQ,CQ,Portugal,272,39,-8\r\nGB,GB,Special event,0,52,-1\r\n"
                                                "G,G,England,223,52,-1\r\nK,K,United States,291,38,-97\r\n")
                      .table;
    struct Case {
        int band;
        const char* mode;
        const char* call;
        const char* country;
    };
    const Case cases[] = {
        {4, "CW", "K1ABC", "United States New Country"},
        {4, "CW", "CQ7ABC", "Portugal New Country this Band"},
        {4, "CW", "G4ABC", "England New Country this Mode"},
        {4, "SSB", "G4ABC", "England"},
        {13, "SSB", "K1ABC", "United States"},
        {4, "SSB", "GB2XX", "Special event Not a DXCC Entity"},
        {4, "SSB", "ZZ9", " Not a DXCC Entity"},
    };
    run_window([&](TestRun& run) {
        for (const Case& c : cases) {
            m_log.set_last_band(c.band);
            run.replace(W::k_mode, c.mode).focus(W::k_call);
            run.replace(W::k_call, c.call).key(Key::enter);
            EXPECT_EQ(run.text(W::k_country), c.country) << c.call << " on band " << c.band;
            EXPECT_EQ(run.focused(), W::k_rst_sent);
            run.key(Key::f12);
            EXPECT_EQ(run.text(W::k_comment), upper_case(c.country)) << "F12 copies the country";
        }
        run.replace(W::k_call, "K1ABC").key(Key::enter);
        EXPECT_EQ(run.text(W::k_heading), "Short path 300\xb0  Long Path 120\xb0");
        run.replace(W::k_call, "GB2XX").key(Key::enter);
        EXPECT_EQ(run.text(W::k_heading), "") << "no heading for a block that is no country";
        run.key(Key::escape);
    });
}

TEST_F(OnlineTest, LastQsoIsTheNewestEarlierContactNotOneOnTheNet) {
    open_log({contact_bytes("01-02-26", 600, 605, "G4ABC", "599", "599", 4, "CW", "100", "first"),
              contact_bytes("02-02-26", 700, 705, "K1XYZ", "59", "59", 6, "SSB", "10", ""),
              contact_bytes("03-02-26", 480, 485, "GW4ABC/P", "59", "57", 6, "SSB", "10", "portable", 1)});
    run_window([&](TestRun& run) {
        run.type("G4ABC").key(Key::enter);
        EXPECT_EQ(run.text(W::k_last_qso), "03-02-26 at: 08:00 on 21MHz  SSB QSL: S-");
        EXPECT_EQ(run.text(W::k_comment), "portable");
        run.key(Key::f1); // G4ABC on the net now: its own record is no earlier contact
        run.type("G4ABC").key(Key::enter);
        EXPECT_EQ(run.text(W::k_last_qso), "03-02-26 at: 08:00 on 21MHz  SSB QSL: S-");
        run.replace(W::k_call, "M0NEW").key(Key::enter);
        EXPECT_EQ(run.text(W::k_last_qso), "No previous contact");
        run.replace(W::k_call, "/").key(Key::enter);
        EXPECT_EQ(run.text(W::k_last_qso), "No previous contact") << "notes are never a contact";
        run.key(Key::escape);
    });
}

// The station just logged on is on the net: whether its record is the log's first or sits after
// earlier ones, it is never shown as its own last contact.
TEST_F(OnlineTest, TheFirstContactOfALogIsNotItsOwnLastQso) {
    struct Case {
        const char* name;
        std::vector<logstore::RecordBytes> before;
        const char* last_qso;
    };
    const Case cases[] = {
        {"an empty log", {}, "No previous contact"},
        {"another call first",
         {contact_bytes("01-02-26", 600, 605, "K1XYZ", "59", "59", 6, "SSB", "10", "")},
         "No previous contact"},
        {"worked before",
         {contact_bytes("01-02-26", 600, 605, "G4AAA", "59", "59", 6, "SSB", "10", "")},
         "01-02-26 at: 10:00 on 21MHz  SSB QSL: --"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open_log(c.before);
        run_window([&](TestRun& run) {
            log_on(run, "G4AAA");
            EXPECT_EQ(run.text(W::k_last_qso), c.last_qso) << "shown as the station goes on the net";
            run.type("G4AAA").key(Key::enter);
            EXPECT_EQ(run.text(W::k_last_qso), c.last_qso) << "Enter on the call again";
            run.key(Key::escape);
        });
    }
}

TEST_F(OnlineTest, NetOfFiftyIsFullUntilOneGoesOff) {
    open_log({});
    run_window([&](TestRun& run) {
        for (int i = 0; i < 50; ++i)
            log_on(run, "G4A" + std::to_string(i));
        EXPECT_EQ(run.items(W::k_net).size(), 50u);
        m_host.expect_message("You have 50 calls logged on\r\nTo continue you must log some calls off");
        log_on(run, "K1FULL");
        EXPECT_EQ(m_host.messages().back().title, "NET LOG FULL");
        EXPECT_EQ(m_log.record_count(), 50);
        run.select(W::k_net, 0).key(Key::f2);
        log_on(run, "K1FULL");
        EXPECT_EQ(m_log.record_count(), 51);
        EXPECT_EQ(run.items(W::k_net)[49].substr(1, 9), "50 K1FULL");
        run.key(Key::escape);
    });
}

TEST_F(OnlineTest, LogOffMovesTheLinesUpAndTouchesOnlyItsRecord) {
    open_log({});
    std::string a, c;
    run_window([&](TestRun& run) {
        log_on(run, "G4AAA");
        log_on(run, "G4BBB", "", "1");
        log_on(run, "G4CCC");
        a = log_bytes().substr(0, 84);
        c = log_bytes().substr(168, 84);
        tick_at(14, 35);
        run.select(W::k_net, 3).key(Key::f2);
        EXPECT_EQ(m_host.beeps(), 1) << "a free line";
        run.select(W::k_net, 1).key(Key::f2);
        const auto lines = run.items(W::k_net);
        EXPECT_EQ(lines.size(), 12u);
        EXPECT_EQ(lines[0].substr(1, 8), " 1 G4AAA");
        EXPECT_EQ(lines[1].substr(1, 8), " 2 G4CCC");
        EXPECT_EQ(lines[2], "\xff 3" + std::string(100, ' '));
        EXPECT_EQ(lines[11].substr(0, 3), "\xff"
                                          "12");
        EXPECT_EQ(log_bytes().substr(0, 84), a);
        EXPECT_EQ(log_bytes().substr(168, 84), c);
        EXPECT_EQ(contact(2).time_off, 14 * 60 + 35);
        EXPECT_FALSE(m_chart.worked(223, 0, logstore::k_mode_ssb)) << "a report of 1 is no contact";
        run.key(Key::escape);
    });
    EXPECT_TRUE(m_chart.worked(223, 0, logstore::k_mode_ssb)) << "the close counts every station";
}

TEST_F(OnlineTest, EditKeepsTheRecordsDateTimesAndBand) {
    open_log({});
    run_window([&](TestRun& run) {
        log_on(run, "G4AAA");
        log_on(run, "G4BBB");
        const std::string date_and_times = log_bytes().substr(84, 6);
        tick_at(14, 50);
        run.alt('E');
        EXPECT_EQ(m_host.beeps(), 1) << "nothing selected";
        run.double_click(W::k_net, 1);
        EXPECT_EQ(run.text(W::k_call), "G4BBB");
        run.key(Key::f2); // Log Off waits while an edit is pending
        EXPECT_EQ(run.items(W::k_net)[1].substr(4, 5), "G4BBB");
        run.replace(W::k_call, "G4BBC").replace(W::k_comment, "name Ann").key(Key::f1);
        EXPECT_EQ(run.items(W::k_net)[1],
                  "\xff 2 G4BBC        14:30 59      59      " + padded("name Ann", 40));
        EXPECT_EQ(m_log.record_count(), 2);
        EXPECT_EQ(log_bytes().substr(84, 6), date_and_times);
        EXPECT_EQ(contact(2).call, padded("G4BBC", 12));
        EXPECT_EQ(contact(2).comment, padded("name Ann", 40));
        run.key(Key::escape);
    });
}

// The comment of an entry being edited is the operator's: Enter on the call, the same or a new
// one, worked before or not, leaves it as typed, and Log On writes it to the record.
TEST_F(OnlineTest, EnterOnTheCallKeepsTheCommentOfAnEdit) {
    struct Case {
        const char* name;
        const char* new_call;
    };
    const Case cases[] = {
        {"the same call", "G4AAA"}, {"a call worked before", "K1XYZ"}, {"a new call", "M0NEW"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open_log({contact_bytes("01-02-26", 600, 605, "G4AAA", "59", "59", 6, "SSB", "10", "first"),
                  contact_bytes("02-02-26", 700, 705, "K1XYZ", "59", "59", 6, "SSB", "10", "old news")});
        run_window([&](TestRun& run) {
            log_on(run, "G4AAA");
            run.double_click(W::k_net, 0);
            ASSERT_EQ(run.text(W::k_call), "G4AAA");
            run.replace(W::k_comment, "name Ann");
            run.focus(W::k_call).replace(W::k_call, c.new_call).key(Key::enter);
            EXPECT_EQ(run.text(W::k_comment), "name Ann");
            run.key(Key::f1);
            run.key(Key::escape);
        });
        EXPECT_EQ(contact(3).call, padded(c.new_call, 12));
        EXPECT_EQ(contact(3).comment, padded("name Ann", 40));
    }
}

TEST_F(OnlineTest, QsledMarksTheNextNewContactOnly) {
    open_log({});
    run_window([&](TestRun& run) {
        run.click(W::k_qsled);
        log_on(run, "G4AAA");
        log_on(run, "G4BBB");
        run.key(Key::escape);
    });
    EXPECT_EQ(contact(1).qsl_flags, 1);
    EXPECT_EQ(contact(2).qsl_flags, 0);
}

TEST_F(OnlineTest, FocusKeys) {
    open_log({});
    run_window([&](TestRun& run) {
        for (int expected : {W::k_rst_sent, W::k_rst_received, W::k_locator, W::k_comment, W::k_call}) {
            run.key(Key::enter);
            EXPECT_EQ(run.focused(), expected);
        }
        run.key(Key::tab)
            .key(Key::tab)
            .key(Key::tab, ui::shift)
            .key(Key::tab, ui::shift)
            .key(Key::tab, ui::shift);
        EXPECT_EQ(run.focused(), W::k_call) << "Shift+Tab stops at the call";
        run.key(Key::tab, ui::control);
        EXPECT_EQ(run.focused(), W::k_transceiver);
        for (int i = 0; i < 5; ++i)
            run.key(Key::tab, ui::control);
        EXPECT_EQ(run.focused(), W::k_power);
        run.type("400").key(Key::enter);
        EXPECT_EQ(run.focused(), W::k_rst_sent) << "Enter on Power goes back to the contact";
        run.key(Key::tab, ui::control);
        EXPECT_EQ(run.focused(), W::k_transceiver);
        run.key(Key::tab, ui::control | ui::alt);
        EXPECT_EQ(run.focused(), W::k_list);
        for (int i = 0; i < 8; ++i)
            run.key(Key::tab, ui::control | ui::alt);
        EXPECT_EQ(run.focused(), W::k_list) << "round again past the last button there is";
        run.focus(W::k_operator).type("Sue").key(Key::enter);
        EXPECT_EQ(run.focused(), W::k_rst_sent);
        run.focus(W::k_call);
        log_on(run, "G4AAA");
        run.key(Key::escape);
    });
    ASSERT_EQ(m_log.record_count(), 2);
    const auto data = logstore::StationDataRecord::decode(record(1));
    EXPECT_EQ(data.operator_name, padded("Sue", 12));
    EXPECT_EQ(data.band_index, m_log.last_band());
    EXPECT_EQ(contact(2).power, padded("400", 5));
}

TEST_F(OnlineTest, ClockRunsThroughMidnightAndTheLastStorableDay) {
    open_log({});
    m_host.set_now(std::chrono::sys_days{std::chrono::year{2026} / 12 / 31} + std::chrono::hours(23) +
                   std::chrono::minutes(59) + std::chrono::seconds(58));
    run_window([&](TestRun& run) {
        EXPECT_EQ(run.text(W::k_first_digit), "F2");
        const std::string colon = run.text(W::k_colon);
        m_host.advance(std::chrono::milliseconds(1000));
        EXPECT_NE(run.text(W::k_colon), colon) << "the colon blinks";
        m_host.advance(std::chrono::milliseconds(1000));
        EXPECT_EQ(run.text(W::k_first_digit), "F0");
        EXPECT_EQ(run.text(W::k_first_digit + 1), "F0");
        EXPECT_EQ(run.text(W::k_first_digit + 3), "F0");
        EXPECT_EQ(run.text(W::k_first_digit + 4), "F0");
        EXPECT_NE(run.caption().find("Date: 01-01-27"), std::string::npos);
        log_on(run, "G4NEW");
        EXPECT_EQ(contact(1).date, logstore::day_number_of("01-01-27"));
        EXPECT_EQ(contact(1).time_on, 0);

        // The clock shows two digits of the year; the contact is dated in the clock's year.
        m_host.set_now(std::chrono::sys_days{std::chrono::year{2030} / 1 / 1} + std::chrono::hours(0));
        m_host.advance(std::chrono::milliseconds(1000));
        EXPECT_NE(run.caption().find("Date: 01-01-30"), std::string::npos);
        log_on(run, "G4TEN");
        EXPECT_EQ(contact(2).date, logstore::day_number_of("01-01-2030"));

        m_host.set_now(std::chrono::sys_days{std::chrono::year{2061} / 1 / 31} + std::chrono::hours(23));
        m_host.advance(std::chrono::milliseconds(1000));
        log_on(run, "G4LAST");
        EXPECT_EQ(contact(3).date, logstore::k_last_day_number);

        m_host.set_now(std::chrono::sys_days{std::chrono::year{2061} / 2 / 1} + std::chrono::hours(0));
        m_host.advance(std::chrono::milliseconds(1000));
        m_host.expect_message(std::string(logstore::k_date_range_message) +
                              "\r\nNothing was written to the log.");
        log_on(run, "G4LATE");
        EXPECT_EQ(m_log.record_count(), 3);
        EXPECT_EQ(run.items(W::k_net)[3].substr(4, 6), "      ");
        run.key(Key::escape);
    });
}

TEST_F(OnlineTest, NudgeMovesTheComputerClockAndARefusalIsToldOnce) {
    open_log({});
    m_clock.set_now(std::chrono::sys_days{std::chrono::year{2026} / 12 / 31} + std::chrono::hours(23) +
                    std::chrono::minutes(59) + std::chrono::seconds(20));
    run_window([&](TestRun& run) {
        run.click(W::k_clock_later);
        ASSERT_EQ(m_clock.sets().size(), 1u);
        EXPECT_EQ(m_clock.sets()[0], std::chrono::sys_days{std::chrono::year{2027} / 1 / 1});
        m_clock.refuse_sets();
        m_host.answer(ui::Answer::ok);
        run.click(W::k_clock_earlier).click(W::k_clock_earlier);
        EXPECT_EQ(m_host.messages().size(), 1u);
        EXPECT_EQ(m_host.messages()[0].title, "Clock");
        EXPECT_EQ(run.focused(), W::k_call);
        run.key(Key::escape);
    });
}

TEST_F(OnlineTest, WorkedSquaresOnVhfOnly) {
    open_log({});
    testing::write_file(m_dir.file("SQUARES.EDB"), "IO91  :            :        :\r\n");
    run_window([&](TestRun& run) {
        m_log.set_last_band(10);
        run.type("G4AAA").key(Key::enter).key(Key::enter).key(Key::enter).type("IO91").key(Key::enter);
        EXPECT_EQ(run.text(W::k_square_label), "New");
        run.key(Key::f1);
        EXPECT_EQ(run.text(W::k_square_label), "");
        run.type("G4BBB").key(Key::enter).key(Key::enter).key(Key::enter).type("IO91").key(Key::enter);
        EXPECT_EQ(run.text(W::k_square_label), "Got");
        run.key(Key::f1);
        run.focus(W::k_locator).type("JO01").key(Key::enter);
        run.focus(W::k_call).type("PA0AAA").key(Key::f1);
        m_log.set_last_band(4);
        run.focus(W::k_locator).type("JO02").key(Key::enter);
        EXPECT_EQ(run.text(W::k_square_label), "") << "no squares on 14 MHz";
        run.focus(W::k_call).type("PA0BBB").key(Key::f1);
        m_host.expect_message(
            "IO9 is not a Maidenhead locator: two letters A to R, two digits, and perhaps two "
            "letters A to X (IO91 or IO91WM).");
        run.focus(W::k_locator).type("IO9").key(Key::enter);
        EXPECT_EQ(run.focused(), W::k_locator);
        run.key(Key::escape);
    });
    EXPECT_EQ(testing::read_file(m_dir.file("SQUARES.EDB")),
              "IO91  :G4AAA       :07-12-26:\r\nJO01  :PA0AAA      :07-12-26:\r\n");
}

TEST_F(OnlineTest, EscapeStopsAMessageBeforeItClosesAndF5WaitsForTheKeyer) {
    open_log({});
    bool sending = false;
    std::vector<int> sent;
    m_devices.sending = [&] { return sending; };
    m_devices.send = [&](ui::Context&, int message, const std::string&, const std::string&) {
        sent.push_back(message);
        sending = true;
    };
    m_devices.stop_sending = [&] { sending = false; };
    run_window([&](TestRun& run) {
        run.key(Key::f6);
        run.key(Key::f5);
        EXPECT_EQ(sent, std::vector<int>{1}) << "F5 while a message is going does nothing";
        run.key(Key::escape);
        EXPECT_TRUE(run.is_open());
        EXPECT_FALSE(sending);
        run.key(Key::escape);
        EXPECT_FALSE(run.is_open());
    });
}

TEST_F(OnlineTest, ToolButtonsAndPrintQslWithoutALayout) {
    open_log({});
    std::string listed;
    m_online_links.list = [&](ui::Context&, const std::string& call) { listed = call; };
    run_window([&](TestRun& run) {
        run.type("G4ABC").alt('S');
        EXPECT_EQ(listed, "G4ABC");
        EXPECT_EQ(run.focused(), W::k_call);
        m_host.expect_message("No Printer file loaded");
        run.alt('I');
        EXPECT_EQ(m_host.messages().back().title, "Print QSL");
        EXPECT_FALSE(run.exists(W::k_cat)) << "no rig description, no CAT button";
        run.key(Key::escape);
    });
}

// On every screen the list holds its lines whole, whatever font height (in pixels) the screen
// gives: its height is in dialog units (an eighth of the font's height each), its lines the
// font's height plus item_height pixels, and its frame takes two pixels top and bottom. A net
// longer than the list scrolls so that the station just logged on is in sight.
TEST_F(OnlineTest, TheNetListHoldsItsLinesWholeAndFollowsTheNewestStation) {
    struct Case {
        double scale;
        int lines;
    };
    const Case cases[] = {{1.0, 12}, {1.2, 16}, {1.5, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        open_log({});
        m_scale = c.scale;
        run_window([&](TestRun& run) {
            const ui::Control& net = run.context().control(W::k_net);
            ASSERT_EQ(run.items(W::k_net).size(), static_cast<std::size_t>(c.lines));
            for (int font = 11; font <= 40; ++font) {
                const int inside = static_cast<int>(std::lround(net.rect.h * font / 8.0)) - 4;
                const int line = net.item_height > 0 ? net.item_height : font + net.item_height;
                EXPECT_GE(inside, c.lines * line) << "a font " << font << " pixels high";
            }
            for (int n = 1; n <= c.lines + 5; ++n) {
                log_on(run, "G4A" + std::to_string(n));
                const int top = run.context().top_index(W::k_net);
                EXPECT_TRUE(top < n && n <= top + c.lines) << "station " << n << ", top line " << top;
            }
            EXPECT_EQ(run.context().top_index(W::k_net), 5);
            run.key(Key::escape);
        });
    }
}

// A screen reader says each net line as it is drawn, never the marker byte that starts it; the
// line itself keeps the marker the window's own logic relies on.
TEST_F(OnlineTest, NetLinesAreSpokenWithoutTheirMarker) {
    open_log({});
    run_window([&](TestRun& run) {
        log_on(run, "G4AAA");
        log_on(run, "G4BBB");
        log_on(run, "G4CCC");
        run.select(W::k_net, 0).key(Key::f2);
        const ui::Window& window = run.context().window();
        struct Case {
            int control;
            int line;
            std::optional<std::string> spoken;
        };
        const Case cases[] = {
            {W::k_net, 0, " 1 G4BBB        14:30 59      59"},
            {W::k_net, 1, " 2 G4CCC        14:30 59      59"},
            {W::k_net, 2, " 3"},
            {W::k_net, 12, std::nullopt},
            {W::k_band, 0, std::nullopt},
        };
        for (const Case& c : cases)
            EXPECT_EQ(window.spoken_item(run.context(), c.control, c.line), c.spoken) << c.line;
        EXPECT_EQ(run.items(W::k_net)[0].front(), k_line_marker);
        run.key(Key::escape);
    });
}

TEST_F(OnlineTest, NetLinesAreDrawnWithTheirGrid) {
    open_log({});
    run_window([&](TestRun& run) {
        log_on(run, "G4AAA");
        const auto plain = run.draw(W::k_net, 0, false);
        const auto chosen = run.draw(W::k_net, 0, true);
        ASSERT_FALSE(plain.ops.empty());
        EXPECT_EQ(plain.ops[0].colour, ui::colours::white);
        EXPECT_EQ(chosen.ops[0].colour, ui::colours::navy);
        EXPECT_EQ(plain.all_text().substr(0, 8), " 1 G4AAA");
        int verticals = 0;
        for (const auto& op : plain.ops)
            if (op.kind == ui::RecordingCanvas::OpKind::line && op.area.w == 0) ++verticals;
        EXPECT_EQ(verticals, 5);
        run.key(Key::escape);
    });
}

} // namespace
} // namespace kestrel::online

namespace kestrel::online {
namespace {

TEST_F(OnlineTest, TheBandListFollowsTheRigUntilCatIsSwitchedOff) {
    open_log({});
    m_log.set_last_band(4);
    m_station.rows[2] = {"FT817", "Dipole", "5", "", "John"};
    m_online.rig_active = true;
    std::vector<rig::RigReading> replies = {{"7.030", "CW"}, {"7.031", ""}, {"14.250", "USB"}};
    int polls = 0;
    m_devices.poll_rig = [&](ui::Context&) -> std::optional<rig::RigReading> {
        ++polls;
        if (replies.empty()) return std::nullopt;
        rig::RigReading r = replies.front();
        replies.erase(replies.begin());
        return r;
    };
    run_window([&](TestRun& run) {
        EXPECT_EQ(polls, 1) << "the first tick, as the window opens";
        EXPECT_EQ(run.text(W::k_transceiver), "FT817") << "7 MHz: its station data";
        EXPECT_EQ(run.text(W::k_mode), "CW");
        EXPECT_EQ(run.items(W::k_band)[2], "7.030");
        EXPECT_EQ(run.text(W::k_band), "7.030");
        run.type("G4A");
        m_host.advance(std::chrono::milliseconds(1000));
        EXPECT_EQ(run.items(W::k_band)[2], "7.031");
        EXPECT_EQ(run.text(W::k_mode), "CW") << "no mode in the reply: Mode stays";
        run.type("BC");
        EXPECT_EQ(run.text(W::k_call), "G4ABC") << "a poll never takes the typing away";
        EXPECT_EQ(run.text(W::k_cat), "CA&T OFF");
        run.click(W::k_cat);
        EXPECT_EQ(run.text(W::k_cat), "CA&T ON");
        m_host.advance(std::chrono::milliseconds(3000));
        EXPECT_EQ(polls, 2) << "no polls while CAT is off";
        run.click(W::k_cat);
        m_host.advance(std::chrono::milliseconds(1000));
        EXPECT_EQ(m_log.last_band(), 4);
        EXPECT_EQ(run.text(W::k_mode), "USB");
        EXPECT_EQ(run.items(W::k_band)[2], "7.031") << "a band's frequency stays in the list";
        run.key(Key::escape);
    });
    EXPECT_EQ(m_online.band_texts[4], "14.250");
}

TEST_F(OnlineTest, FunctionKeysSendTheStationBeingWorkedOrTheLastOne) {
    open_log({});
    std::vector<std::string> sent;
    m_devices.send = [&](ui::Context&, int message, const std::string& call, const std::string& report) {
        sent.push_back(std::to_string(message) + " " + call + " " + report);
    };
    run_window([&](TestRun& run) {
        run.type("G4ABC").key(Key::enter).type("579").key(Key::f5);
        log_on(run, "G4ABC", "579");
        run.key(Key::f8);
        run.key(Key::escape);
    });
    EXPECT_EQ(sent, (std::vector<std::string>{"0 G4ABC 579", "3 G4ABC 579"}));
}

} // namespace
} // namespace kestrel::online
