// A large ADIF file is read in two halves at once. Wherever the second half starts, the outcome
// is the one reading straight through gives: the same records, counts, left-out text and
// encoding, also when what the first half carries (a power, the encoding of our own fields)
// matters after the split, or when an "<eor>" near the middle is only text inside a value.

#include "exchange/adif_import_text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kestrel::exchange {
namespace {

void expect_same(const ImportedLog& halves, const ImportedLog& straight, const std::string& where) {
    EXPECT_EQ(halves.records == straight.records, true) << where;
    EXPECT_EQ(halves.entries, straight.entries) << where;
    EXPECT_EQ(halves.left_out.total(), straight.left_out.total()) << where;
    for (const LeftOut why : {LeftOut::no_call, LeftOut::date, LeftOut::time, LeftOut::band})
        EXPECT_EQ(halves.left_out.count(why), straight.left_out.count(why)) << where;
    EXPECT_EQ(halves.without_call, straight.without_call) << where;
    EXPECT_EQ(halves.outside_dates, straight.outside_dates) << where;
    EXPECT_EQ(halves.rejected, straight.rejected) << where;
    EXPECT_EQ(halves.rejected_encoding, straight.rejected_encoding) << where;
}

std::string contact(const std::string& call, const std::string& more = "") {
    return "<call:" + std::to_string(call.size()) + ">" + call +
           " <qso_date:8>20240305 <time_on:4>1432 <band:3>20m <mode:3>FT8 " + more + "<eor>\n";
}

TEST(AdifImportInHalves, GivesWhatReadingStraightThroughGivesWhereverItSplits) {
    const std::string header = "exported <adif_ver:5>3.1.7 <eoh>\n";
    const struct {
        const char* what;
        std::string file;
    } cases[] = {
        {"a power read once holds for the contacts after it",
         header + contact("K1A", "<tx_pwr:3>400 ") + contact("K1B") + contact("K1C") + contact("K1D") +
             contact("K1E", "<tx_pwr:2>50 ") + contact("K1F") + contact("K1G")},
        {"our own power field, and a left-out record that reads a power",
         header + contact("K2A", "<app_kestrel_tx_pwr:4>1 kW ") + contact("K2B") +
             "<call:3>K2C <tx_pwr:3>250 <eor>\n" + contact("K2D") + contact("K2E")},
        {"an encoding declared again further on",
         header + contact("K3A", "<app_kestrel_call:5>K3%E9A ") + contact("K3B") +
             "<app_kestrel_encoding:17>Windows-1252, %XX <eoh>\n" +
             contact("K3C", "<app_kestrel_call:5>K3%E9C ") + contact("K3D")},
        {"an <eor> inside a value whose count leads over it",
         header + contact("K4A") + contact("K4B", "<comment:22>tnx <eor> and <eor> 73 ") + contact("K4C") +
             contact("K4D", "<notes:11>x<eor>y<eor> ") + contact("K4E")},
        {"no header, contacts left out, a length past the end",
         contact("K5A") + "<call:3>K5B <qso_date:8>19000101 <time_on:4>1200 <band:3>20m <eor>\n" +
             contact("") + contact("K5C") + "<eor>\n" + contact("K5D", "<comment:999>runs on ") +
             contact("K5E")},
        {"UTF-8 names, counted in characters", "\xEF\xBB\xBF" + header +
                                                   contact("K6A", "<name:6>J\xC3\xBCrgen ") +
                                                   contact("K6B", "<name:5>Jos\xC3\xA9 ") +
                                                   contact("K6C", "<name:7>J\xC3\xBCrgen ") + contact("K6D")},
    };
    for (const auto& c : cases) {
        for (const ImportOptions& options : {ImportOptions{}, ImportOptions{"100", " imported"}}) {
            const ImportedLog straight = import_adif_text_in_halves(c.file, options, std::string_view::npos);
            ASSERT_GT(straight.entries, 0) << c.what;
            for (std::size_t middle = 0; middle <= c.file.size(); ++middle)
                expect_same(import_adif_text_in_halves(c.file, options, middle), straight,
                            std::string(c.what) + ", split after " + std::to_string(middle));
        }
    }
}

TEST(AdifImportInHalves, TellsItsProgressInOrderUpToTheWholeFile) {
    std::string file = "<eoh>\n";
    while (file.size() < (std::size_t{6} << 20))
        file += contact("K" + std::to_string(file.size() % 10) + "XYZ", "<tx_pwr:3>100 ");
    std::vector<std::size_t> told;
    const ImportedLog log = import_adif_text(file, {}, [&told](std::size_t done) { told.push_back(done); });
    const ImportedLog straight = import_adif_text_in_halves(file, {}, std::string_view::npos);
    expect_same(log, straight, "a file read in halves");
    ASSERT_GT(told.size(), 2u);
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_EQ(told.back(), file.size());
}

} // namespace
} // namespace kestrel::exchange
