// The spool beside the log: every contact on disk the moment it is received, each once.
#include "digital/spool.hpp"

#include "common/fixed_text.hpp"
#include "digital/wsjtx_datagrams.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrel::digital {
namespace {

using testing::LoggedQso;

ContactFields fields_of(const LoggedQso& q) {
    return contacts_of_datagram(testing::qso_logged(q)).at(0);
}

LoggedQso station(const std::string& call, int minute) {
    LoggedQso q;
    q.call = call;
    q.on = testing::utc(2026, 12, 7, 14, minute);
    q.off = q.on + std::chrono::seconds(75);
    return q;
}

std::vector<std::string> calls_waiting(Spool& spool) {
    std::vector<std::string> calls;
    for (const DigitalContact& c : spool.waiting().contacts)
        calls.emplace_back(trim_trailing_spaces(c.record.call));
    return calls;
}

TEST(Spool, BesideTheLog) {
    const std::pair<const char*, const char*> cases[] = {
        {"MYLOG.LOG", "MYLOG.SPOOL.ADI"},
        {"/home/op/kestrel/club.log", "/home/op/kestrel/club.SPOOL.ADI"},
        {"/home/op/2026.OLD", "/home/op/2026.OLD.SPOOL.ADI"},
        {"/home/op.LOG/contest", "/home/op.LOG/contest.SPOOL.ADI"},
        {"/home/op/.LOG", "/home/op/.LOG.SPOOL.ADI"},
        {"", "KESTREL.SPOOL.ADI"},
    };
    for (const auto& [log, spool] : cases)
        EXPECT_EQ(spool_path_of(log), spool) << log;
}

// Each contact is appended as one line of ADIF, the file begun with its header; the same contact
// again is not, in this run or the next.
TEST(Spool, EachContactOnceOnDiskAcrossRestarts) {
    testing::TempDir dir;
    const std::string log = dir.file("MYLOG.LOG");
    int notices = 0;
    {
        Spool spool(log);
        spool.set_notice([&notices] { ++notices; });
        EXPECT_EQ(spool.add(fields_of(station("K1ABC", 30))), Spooled::added);
        EXPECT_EQ(testing::read_file(dir.file("MYLOG.SPOOL.ADI")),
                  std::string(k_spool_header) + adif_record_line(fields_of(station("K1ABC", 30))));
        LoggedQso resent = station("K1ABC", 30);
        resent.off += std::chrono::seconds(30); // a later end, a changed report: the same contact
        resent.received = "-03";
        EXPECT_EQ(spool.add(fields_of(resent)), Spooled::already_waiting);
        EXPECT_EQ(spool.add(fields_of(station("DL2XYZ", 33))), Spooled::added);
        EXPECT_EQ(spool.add(ContactFields{{"call", "G4AAA"}}), Spooled::set_aside)
            << "no date: kept in the file of those the log cannot hold, never in the spool";
        EXPECT_EQ(spool.add(ContactFields{{"call", "  "}}), Spooled::not_a_contact) << "nothing to keep";
        EXPECT_EQ(notices, 3);
    }
    Spool after_restart(log);
    EXPECT_EQ(after_restart.add(fields_of(station("K1ABC", 30))), Spooled::already_waiting);
    LoggedQso other_band = station("K1ABC", 30);
    other_band.hertz = 7'074'000;
    EXPECT_EQ(after_restart.add(fields_of(other_band)), Spooled::added);
    EXPECT_EQ(calls_waiting(after_restart), (std::vector<std::string>{"K1ABC", "DL2XYZ", "K1ABC"}));
}

// A contact the log cannot hold counts as kept only once it is on disk: while its file cannot be
// written it stays in memory, is told of as such, and is written as soon as the file can be.
TEST(Spool, ContactsSetAsideAreCountedOnceOnDisk) {
    testing::TempDir dir;
    const std::string log = dir.file("MYLOG.LOG");
    const std::string aside = dir.file("MYLOG.SPOOL.REJECTED.ADI");
    EXPECT_EQ(set_aside_path_of(log), aside);
    std::filesystem::create_directory(aside); // in the way of the file
    Spool spool(log);
    LoggedQso far_down = station("G4LFA", 30);
    far_down.hertz = 136'000;
    EXPECT_EQ(spool.add(fields_of(far_down)), Spooled::held);
    Spool::SetAside told = spool.set_aside();
    EXPECT_EQ(told.tally.total(), 0);
    EXPECT_EQ(told.held, 1u);

    std::filesystem::remove(aside);
    told = spool.set_aside();
    EXPECT_EQ(told.path, aside);
    EXPECT_EQ(told.tally.count(exchange::LeftOut::band), 1);
    EXPECT_EQ(told.held, 0u);
    EXPECT_NE(testing::read_file(aside).find(adif_record_line(fields_of(far_down))), std::string::npos);
    EXPECT_EQ(spool.set_aside().tally.total(), 0) << "told once";
    EXPECT_FALSE(std::filesystem::exists(dir.file("MYLOG.SPOOL.ADI")));
}

// Taken into the log, a batch leaves the spool; what came meanwhile stays, and a contact of the
// batch sent again meanwhile is not added twice.
TEST(Spool, ReleasedBatchesGoAndLaterContactsStay) {
    testing::TempDir dir;
    Spool spool(dir.file("MYLOG.LOG"));
    ASSERT_EQ(spool.add(fields_of(station("K1ABC", 30))), Spooled::added);
    ASSERT_EQ(spool.add(fields_of(station("DL2XYZ", 33))), Spooled::added);
    const Spool::Batch batch = spool.waiting();
    ASSERT_EQ(batch.contacts.size(), 2u);
    EXPECT_EQ(spool.add(fields_of(station("DL2XYZ", 33))), Spooled::already_waiting);
    ASSERT_EQ(spool.add(fields_of(station("JA1ZZZ", 40))), Spooled::added);
    ASSERT_TRUE(spool.release(batch));
    EXPECT_EQ(calls_waiting(spool), (std::vector<std::string>{"JA1ZZZ"}));
    EXPECT_EQ(testing::read_file(dir.file("MYLOG.SPOOL.ADI")),
              std::string(k_spool_header) + adif_record_line(fields_of(station("JA1ZZZ", 40))));

    ASSERT_TRUE(spool.release(spool.waiting()));
    EXPECT_FALSE(std::filesystem::exists(dir.file("MYLOG.SPOOL.ADI"))) << "nothing waits: no file";
    EXPECT_EQ(spool.add(fields_of(station("K1ABC", 30))), Spooled::added) << "gone from the spool";
}

// A spool whose last line was cut short when the computer stopped: that line is passed over, the
// next contact starts a line of its own, and the contacts before are all there.
TEST(Spool, ALineCutShortIsPassedOver) {
    testing::TempDir dir;
    const std::string whole = adif_record_line(fields_of(station("K1ABC", 30)));
    const std::string cut = adif_record_line(fields_of(station("DL2XYZ", 33))).substr(0, 40);
    testing::write_file(dir.file("MYLOG.SPOOL.ADI"), std::string(k_spool_header) + whole + cut);
    Spool spool(dir.file("MYLOG.LOG"));
    EXPECT_EQ(calls_waiting(spool), (std::vector<std::string>{"K1ABC"}));
    EXPECT_EQ(spool.add(fields_of(station("DL2XYZ", 33))), Spooled::added);
    EXPECT_EQ(calls_waiting(spool), (std::vector<std::string>{"K1ABC", "DL2XYZ"}));
}

// A spool that cannot be written keeps its contacts in memory: the on-line window still gets
// them, and they go to disk, in order, once the disk takes them.
TEST(Spool, ContactsTheDiskRefusesAreHeldAndWrittenLater) {
    testing::TempDir dir;
    Spool spool(dir.file("gone/MYLOG.LOG"));
    EXPECT_EQ(spool.add(fields_of(station("K1ABC", 30))), Spooled::held);
    EXPECT_EQ(spool.add(fields_of(station("K1ABC", 30))), Spooled::already_waiting);
    EXPECT_EQ(calls_waiting(spool), (std::vector<std::string>{"K1ABC"}));

    std::filesystem::create_directory(dir.path() / "gone");
    EXPECT_EQ(spool.add(fields_of(station("DL2XYZ", 33))), Spooled::added);
    EXPECT_EQ(testing::read_file(dir.file("gone/MYLOG.SPOOL.ADI")),
              std::string(k_spool_header) + adif_record_line(fields_of(station("K1ABC", 30))) +
                  adif_record_line(fields_of(station("DL2XYZ", 33))));
    const Spool::Batch batch = spool.waiting();
    EXPECT_EQ(batch.held, 0u);
    EXPECT_EQ(batch.contacts.size(), 2u);
}

// The spool follows the log: a contact goes beside the log open when it came.
TEST(Spool, FollowsTheLogNowOpen) {
    testing::TempDir dir;
    Spool spool(dir.file("MYLOG.LOG"));
    ASSERT_EQ(spool.add(fields_of(station("K1ABC", 30))), Spooled::added);
    spool.set_log_path(dir.file("CONTEST.LOG"));
    EXPECT_EQ(spool.path(), dir.file("CONTEST.SPOOL.ADI"));
    EXPECT_EQ(spool.add(fields_of(station("K1ABC", 30))), Spooled::added) << "not waiting for this log";
    EXPECT_EQ(calls_waiting(spool), (std::vector<std::string>{"K1ABC"}));
    EXPECT_TRUE(std::filesystem::exists(dir.file("MYLOG.SPOOL.ADI")));
}

} // namespace
} // namespace kestrel::digital
