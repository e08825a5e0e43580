// Contacts logged by digital-mode programs, taken into the log by the on-line window: those that
// waited while it was closed when it opens, and those that arrive while it is open at once.
#include "online/online_fixture.hpp"

#include "common/fixed_text.hpp"
#include "digital/listener.hpp"
#include "digital/spool.hpp"
#include "digital/wsjtx_datagrams.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"
#include "platform/posix/posix_devices.hpp"
#include "support/udp_sender.hpp"

#include <filesystem>
#include <thread>

namespace kestrel::online {
namespace {

using namespace std::chrono_literals;
using testing::LoggedQso;
using W = OnlineWindow;

// A contact of 7 December 2026 as a program reports it, begun at hh:mm and 75 seconds long.
LoggedQso digital_contact(const std::string& call, int hour, int minute, std::uint64_t hertz = 14'074'000,
                          const std::string& mode = "FT8") {
    LoggedQso q;
    q.call = call;
    q.on = testing::utc(2026, 12, 7, hour, minute);
    q.off = q.on + 75s;
    q.hertz = hertz;
    q.mode = mode;
    return q;
}

digital::ContactFields fields_of(const LoggedQso& q) {
    return digital::contacts_of_datagram(testing::qso_logged(q)).at(0);
}

logstore::RecordBytes logged(const char* call, int hour, int minute) {
    logstore::QsoRecord q;
    q.date = logstore::day_number_of("07-12-26");
    q.time_on = q.time_off = static_cast<std::int16_t>(hour * 60 + minute);
    q.call = call;
    q.rst_sent = q.rst_received = "599";
    q.band = logstore::coded_band_field(4);
    q.mode = "CW";
    return q.encode();
}

class DigitalIntake : public testing::OnlineTest {
  protected:
    OnlineEnv env_with_spool() {
        OnlineEnv env = online_env();
        env.digital_spool = &m_spool;
        return env;
    }
    void run_with_spool(const std::function<void(ui::TestRun&)>& script) {
        auto opener = m_host.open(
            testing::Opener{[this](ui::Context& ctx) { run_online_logging(ctx, env_with_spool()); }});
        m_host.on_modal(script);
        opener.command(testing::Opener::k_open);
    }
    std::string call_of(int n) const { return std::string(trim_trailing_spaces(contact(n).call)); }

    digital::Spool m_spool{log_path()};
};

// Spooled while the main window showed: at the opening every contact goes to its place in date
// order, with default reports, the band's power where none came, its country in the chart and
// its square in SQUARES.EDB; the spool is then empty.
TEST_F(DigitalIntake, WhatWaitedIsTakenInWhenTheWindowOpens) {
    open_log({logged("G4OLD", 14, 0), logged("K1OLD", 14, 20)});
    m_log.set_last_band(4);
    m_station.rows[2].power = "5";
    testing::write_file(m_dir.path() / "SQUARES.EDB", "IO91  :            :        :\r\n");

    LoggedQso aaa = digital_contact("G4AAA", 14, 10);
    aaa.sent = "-05";
    aaa.received = "-08";
    LoggedQso bbb = digital_contact("K1BBB", 14, 25, 7'047'500, "FT4");
    bbb.sent = bbb.received = bbb.power = "";
    LoggedQso ccc = digital_contact("G4CCC", 13, 50, 50'313'000);
    ccc.grid = "IO91wm";
    for (const LoggedQso& q : {aaa, bbb, ccc})
        ASSERT_EQ(m_spool.add(fields_of(q)), digital::Spooled::added);

    run_with_spool([](ui::TestRun& run) {
        EXPECT_EQ(run.text(W::k_entry), "5");
        EXPECT_EQ(run.text(W::k_call), "") << "the operator's boxes are left alone";
        run.key(ui::Key::escape);
    });

    ASSERT_EQ(m_log.record_count(), 5);
    const char* order[] = {"G4CCC", "G4OLD", "G4AAA", "K1OLD", "K1BBB"};
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(call_of(n), order[n - 1]) << n;
    const logstore::QsoRecord a = contact(3);
    EXPECT_EQ(a.rst_sent, fixed_width("-05", 7));
    EXPECT_EQ(a.rst_received, fixed_width("-08", 7));
    EXPECT_EQ(a.band, logstore::coded_band_field(4));
    EXPECT_EQ(a.mode, "FT8");
    EXPECT_EQ(a.power, fixed_width("50", 5));
    EXPECT_EQ(a.time_on, 14 * 60 + 10);
    EXPECT_EQ(a.time_off, 14 * 60 + 11);
    EXPECT_EQ(a.qsl_flags, 0);
    const logstore::QsoRecord b = contact(5);
    EXPECT_EQ(b.rst_sent, fixed_width("59", 7)) << "no report: the mode's default";
    EXPECT_EQ(b.rst_received, fixed_width("59", 7));
    EXPECT_EQ(b.power, fixed_width("5", 5)) << "no power: the band's";
    EXPECT_EQ(b.band, logstore::coded_band_field(2));
    EXPECT_EQ(b.mode, "FT4");

    EXPECT_EQ(m_log.contact_count(), 5);
    EXPECT_TRUE(m_chart.worked(223, 4, logstore::k_mode_other)) << "a report in dB still marks the chart";
    EXPECT_TRUE(m_chart.worked(291, 2, logstore::k_mode_other));
    EXPECT_TRUE(m_chart.worked(223, 9, logstore::k_mode_other));
    EXPECT_EQ(testing::read_file(m_dir.path() / "SQUARES.EDB"), "IO91  :G4CCC       :07-12-26:\r\n");
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("MYLOG.SPOOL.ADI")));
    EXPECT_TRUE(m_spool.waiting().contacts.empty());
}

// While the window is open a contact goes in as it arrives, before a station logged on after it
// began; that station's Log Off still completes its own record. The same contact sent again
// later, and one the log holds already, is not logged twice.
TEST_F(DigitalIntake, ArrivingWhileOpenItGoesInAtOnceAndTheNetKeepsItsRecords) {
    open_log({logged("G4OLD", 14, 0)});
    m_log.set_last_band(4);
    run_with_spool([this](ui::TestRun& run) {
        log_on(run, "G4NET", "579", "589"); // 14:30, record 2
        ASSERT_EQ(m_spool.add(fields_of(digital_contact("K1ABC", 14, 20))), digital::Spooled::added);
        m_host.advance(10ms);
        EXPECT_EQ(run.text(W::k_entry), "3");
        EXPECT_EQ(call_of(2), "K1ABC");
        EXPECT_EQ(call_of(3), "G4NET");

        ASSERT_EQ(m_spool.add(fields_of(digital_contact("K1ABC", 14, 20))), digital::Spooled::added);
        ASSERT_EQ(m_spool.add(fields_of(digital_contact("G4OLD", 14, 0, 14'030'000, "CW"))),
                  digital::Spooled::added);
        m_host.advance(10ms);
        EXPECT_EQ(m_log.record_count(), 3) << "each contact once";

        tick_at(14, 41, 1); // the clock's ticks moved on by the 20 ms above
        run.key(ui::Key::f2);
        EXPECT_EQ(run.items(W::k_net)[0].substr(4, 5), std::string(5, ' ')) << "the net is empty";
        run.key(ui::Key::escape);
    });
    const logstore::QsoRecord net = contact(3);
    EXPECT_EQ(call_of(3), "G4NET");
    EXPECT_EQ(net.time_off, 14 * 60 + 41) << "Log Off found its own record, one further on";
    EXPECT_EQ(net.rst_received, fixed_width("589", 7));
    EXPECT_EQ(contact(2).time_off, 14 * 60 + 21) << "the program's contact untouched by the Log Off";
    EXPECT_TRUE(m_spool.waiting().contacts.empty());
}

// The list, the notepad or a note may be open over the window when a contact arrives: nothing in
// the log moves under them; the contact goes in once they have closed.
TEST_F(DigitalIntake, AContactArrivingUnderAnotherWindowWaitsForItToClose) {
    open_log({logged("G4OLD", 14, 0)});
    m_log.set_last_band(4);
    run_with_spool([this](ui::TestRun& run) {
        m_host.on_modal([this](ui::TestRun& note) {
            ASSERT_EQ(m_spool.add(fields_of(digital_contact("K1ABC", 13, 20))), digital::Spooled::added);
            m_host.advance(10ms);
            EXPECT_EQ(m_log.record_count(), 1) << "not while the note is open";
            note.key(ui::Key::escape);
        });
        run.alt('X');
        EXPECT_EQ(m_log.record_count(), 2);
        EXPECT_EQ(call_of(1), "K1ABC");
        EXPECT_EQ(run.text(W::k_entry), "2");
        run.key(ui::Key::escape);
    });
}

// The comment and the name a program sends go into the one comment with a blank between them,
// whichever message brought them; the whole is still cut to the comment's 40 characters.
TEST_F(DigitalIntake, CommentAndNameKeepABlankBetweenThem) {
    open_log({});
    m_log.set_last_band(4);
    struct Case {
        const char* comments;
        const char* name;
        const char* stored;
    };
    const Case cases[] = {
        {"tnx", "Hans", "tnx Hans"},
        {"", "Hans", "Hans"},
        {"tnx", "", "tnx"},
        {"tnx fer QSO, best 73 and good DX es CU", "Hans", "tnx fer QSO, best 73 and good DX es CU H"},
    };
    int minute = 0;
    for (const Case& c : cases) {
        for (const bool as_adif : {false, true}) {
            LoggedQso q = digital_contact("G4A" + std::string(1, char('A' + minute)), 12, minute);
            q.comments = c.comments;
            q.name = c.name;
            const testing::Datagram datagram =
                as_adif ? testing::logged_adif(testing::adif_of(q)) : testing::qso_logged(q);
            ASSERT_EQ(m_spool.add(digital::contacts_of_datagram(datagram).at(0)), digital::Spooled::added);
            ++minute;
        }
    }
    run_with_spool([](ui::TestRun& run) { run.key(ui::Key::escape); });
    ASSERT_EQ(m_log.record_count(), minute);
    for (int n = 1; n <= minute; ++n)
        EXPECT_EQ(trim_trailing_spaces(contact(n).comment), std::string_view(cases[(n - 1) / 2].stored)) << n;
}

// Contacts the log has no place for (630 m, 2200 m, 222 MHz, no frequency, no band, a date before
// 1930) are kept as they came in a file beside the spool, each once however often it is sent, and
// never reach the log. The operator hears of them in one message for each opening of the window,
// with how many and where; those set aside after it are told of at the next opening.
TEST_F(DigitalIntake, ContactsTheLogCannotHoldAreKeptAsideAndToldOfOncePerOpening) {
    open_log({});
    m_log.set_last_band(4);
    const std::string aside_path = (m_dir.path() / "MYLOG.SPOOL.REJECTED.ADI").string();
    LoggedQso old = digital_contact("G4OLD", 10, 9);
    old.on = testing::utc(1929, 12, 31, 10, 9);
    old.off = old.on + 75s;
    struct Case {
        const char* what;
        testing::Datagram datagram;
        const char* call;
    };
    const Case cases[] = {
        {"630 m", testing::qso_logged(digital_contact("G4MWA", 10, 1, 474'200)), "G4MWA"},
        {"2200 m", testing::qso_logged(digital_contact("G4LFA", 10, 2, 136'000)), "G4LFA"},
        {"222 MHz", testing::qso_logged(digital_contact("K1VHF", 10, 3, 222'100'000)), "K1VHF"},
        {"frequency 0", testing::qso_logged(digital_contact("K1ZRO", 10, 4, 0)), "K1ZRO"},
        {"no band",
         testing::logged_adif("<call:5>K1NOB <qso_date:8>20261207 <time_on:6>100500 "
                              "<mode:3>FT8 <eor>"),
         "K1NOB"},
        {"before 1930", testing::qso_logged(old), "G4OLD"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(m_spool.add(digital::contacts_of_datagram(c.datagram).at(0)), digital::Spooled::set_aside)
            << c.what;
    EXPECT_EQ(m_spool.add(digital::contacts_of_datagram(testing::logged_adif(testing::adif_of(old))).at(0)),
              digital::Spooled::already_waiting)
        << "the program's second message of the same contact";
    ASSERT_EQ(m_spool.add(fields_of(digital_contact("G4AAA", 10, 30))), digital::Spooled::added);

    m_host.answer(ui::Answer::ok);
    run_with_spool([](ui::TestRun& run) { run.key(ui::Key::escape); });
    ASSERT_EQ(m_host.messages().size(), 1u);
    const std::string told = m_host.messages()[0].text;
    EXPECT_NE(told.find(" 5 contacts on a band the log has no place for"), std::string::npos) << told;
    EXPECT_NE(told.find(" 1 contacts without a date the log can hold"), std::string::npos) << told;
    EXPECT_NE(told.find("kept as they were in " + aside_path), std::string::npos) << told;
    EXPECT_EQ(m_log.record_count(), 1);
    EXPECT_EQ(call_of(1), "G4AAA");
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("MYLOG.SPOOL.ADI")));

    const std::string aside = testing::read_file(aside_path);
    EXPECT_NE(aside.find("<eoh>"), std::string::npos) << "an ADIF file the import can read";
    for (const Case& c : cases)
        EXPECT_NE(aside.find("<call:5>" + std::string(c.call)), std::string::npos) << c.what;
    EXPECT_EQ(aside.find("G4OLD"), aside.rfind("G4OLD")) << "each contact once";

    run_with_spool([this](ui::TestRun& run) {
        EXPECT_EQ(m_host.messages().size(), 1u) << "nothing new: nothing told";
        m_host.answer(ui::Answer::ok);
        ASSERT_EQ(m_spool.add(fields_of(digital_contact("K1VHA", 11, 0, 222'100'000))),
                  digital::Spooled::set_aside);
        m_host.advance(10ms);
        EXPECT_EQ(m_host.messages().size(), 2u) << "told as it arrives";
        ASSERT_EQ(m_spool.add(fields_of(digital_contact("K1VHB", 11, 1, 222'100'000))),
                  digital::Spooled::set_aside);
        m_host.advance(10ms);
        EXPECT_EQ(m_host.messages().size(), 2u) << "one message an opening";
        run.key(ui::Key::escape);
    });
    m_host.answer(ui::Answer::ok);
    run_with_spool([](ui::TestRun& run) { run.key(ui::Key::escape); });
    ASSERT_EQ(m_host.messages().size(), 3u);
    EXPECT_NE(m_host.messages()[2].text.find(" 1 contacts on a band"), std::string::npos);
    EXPECT_NE(testing::read_file(aside_path).find("K1VHB"), std::string::npos);
    EXPECT_EQ(m_log.record_count(), 1);
}

// Waits, handing the window what other threads posted, until `done` holds.
bool wait_until(ui::TestHost& host, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(5ms);
        host.advance(5ms);
    }
    return true;
}

// A program logs ten contacts, sending both messages for each: five while only the main window
// shows, five with the on-line window open. All ten are in the log in date order, each once, on
// their bands and modes, and the chart is marked.
TEST_F(DigitalIntake, TenContactsFromAProgramEachOnceInDateOrder) {
    open_log({});
    m_log.set_last_band(4);
    platform::posix::PosixDevices devices;
    digital::Listener listener(devices, m_spool);
    ASSERT_TRUE(listener.start("127.0.0.1", 0, io::GroupJoin::loopback));
    testing::UdpSender program;
    const auto send = [&](const LoggedQso& q) {
        EXPECT_TRUE(program.send(testing::qso_logged(q), listener.port()));
        EXPECT_TRUE(program.send(testing::logged_adif(testing::adif_of(q)), listener.port()));
    };
    const auto on_band = [](int i) {
        return i % 2 == 0 ? std::uint64_t{14'074'000} : std::uint64_t{7'047'500};
    };
    const auto mode = [](int i) { return i % 2 == 0 ? "FT8" : "FT4"; };
    const int first_minutes[] = {9, 1, 7, 3, 5};
    const int later_minutes[] = {2, 10, 4, 8, 6};
    const auto call = [](int minute) {
        return (minute % 3 == 0 ? "K1A" : "G4A") + std::string(1, char('A' + minute));
    };

    for (int i = 0; i < 5; ++i)
        send(digital_contact(call(first_minutes[i]), 13, first_minutes[i], on_band(first_minutes[i]),
                             mode(first_minutes[i])));
    ASSERT_TRUE(wait_until(m_host, [&] { return listener.counts().datagrams == 10; }));
    EXPECT_EQ(m_log.record_count(), 0) << "spooled, not yet in the log";

    run_with_spool([&](ui::TestRun& run) {
        EXPECT_EQ(run.text(W::k_entry), "5");
        for (int i = 0; i < 5; ++i)
            send(digital_contact(call(later_minutes[i]), 13, later_minutes[i], on_band(later_minutes[i]),
                                 mode(later_minutes[i])));
        EXPECT_TRUE(wait_until(
            m_host, [&] { return listener.counts().datagrams == 20 && m_log.record_count() == 10; }));
        run.key(ui::Key::escape);
    });
    listener.stop();

    ASSERT_EQ(m_log.record_count(), 10);
    for (int n = 1; n <= 10; ++n) {
        const logstore::QsoRecord c = contact(n);
        const int minute = n;
        EXPECT_EQ(c.time_on, 13 * 60 + minute) << n;
        EXPECT_EQ(call_of(n), call(minute)) << n;
        const int band = minute % 2 == 0 ? 4 : 2;
        EXPECT_EQ(c.band, logstore::coded_band_field(band)) << n;
        EXPECT_EQ(c.mode, mode(minute)) << n;
        const int country = minute % 3 == 0 ? 291 : 223;
        EXPECT_TRUE(m_chart.worked(country, band, logstore::k_mode_other)) << n;
    }
    EXPECT_EQ(m_log.contact_count(), 10);
    EXPECT_TRUE(m_spool.waiting().contacts.empty());
}

} // namespace
} // namespace kestrel::online
