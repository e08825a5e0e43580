#include "exchange/adif_reader.hpp"

#include "common/windows1252.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace kestrel::exchange {
namespace {

// Every field as "name=value", in order.
std::vector<std::string> fields_of(std::string_view file) {
    AdifScanner scanner(file);
    std::vector<std::string> out;
    for (AdifField f; scanner.next(f);)
        out.push_back(f.name + "=" + f.value);
    return out;
}

using Fields = std::vector<std::string>;

TEST(AdifReader, ReadsSpecifiersAndPassesOverTheRest) {
    EXPECT_EQ(fields_of("Exported by hand\r\n<ADIF_VER:5>3.1.0 <eoh>\r\n<CALL:5>K1ABC<QSO_DATE:8:D>20240305 "
                        "junk text <Time_On:6>143200<comment:0><eor>\r\n"),
              (Fields{"adif_ver=3.1.0", "eoh=", "call=K1ABC", "qso_date=20240305", "time_on=143200",
                      "comment=", "eor="}));
    EXPECT_EQ(fields_of("<call:5 :S>G9QQQ<eor>"), (Fields{"call=G9QQQ", "eor="}))
        << "blanks and type ignored";
    EXPECT_EQ(fields_of("a < b <call:3>W1A<eor>"), (Fields{"call=W1A", "eor="})) << "a stray '<' is text";
    EXPECT_EQ(fields_of("<notes:7>1<2 & 3<eor>"), (Fields{"notes=1<2 & 3", "eor="}));
    EXPECT_EQ(fields_of(""), Fields{});
    EXPECT_EQ(fields_of("no tags at all"), Fields{});
}

TEST(AdifReader, AWrongLengthNeverSwallowsTheNextField) {
    const struct {
        const char* file;
        Fields fields;
    } cases[] = {
        {"<call:10>K1ABC <eor><call:4>W1AW<eor>", {"call=K1ABC", "eor=", "call=W1AW", "eor="}},
        {"<call:99999999>K1ABC <eor>", {"call=K1ABC", "eor="}},
        {"<call:999999999999999999999999>K1ABC\r\n<rst_sent:2>59<eor>",
         {"call=K1ABC", "rst_sent=59", "eor="}},
        {"<call:3>K1ABC <rst_sent:2>59<eor>", {"call=K1A", "rst_sent=59", "eor="}},
        {"<comment:20>short<EOR>\r\n<call:2>K1", {"comment=short", "eor=", "call=K1"}},
        {"<call:5>K1ABC<eor", {"call=K1ABC"}},
        {"<call:5>K1", {"call=K1"}},
        {"<call:5", {}},
        {"<call", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fields_of(c.file), c.fields) << c.file;
}

TEST(AdifReader, Utf8LengthsInBytesOrCharacters) {
    // Jürgen is 6 characters and 7 bytes; ü is 0xFC in Windows-1252.
    const struct {
        const char* file;
        Fields fields;
    } cases[] = {
        {"<name:7>J\xC3\xBCrgen <qth:4>Linz<eor>", {"name=J\xFCrgen", "qth=Linz", "eor="}},
        {"<name:6>J\xC3\xBCrgen <qth:4>Linz<eor>", {"name=J\xFCrgen", "qth=Linz", "eor="}},
        {"<name:6>J\xC3\xBCrgen<qth:5>K\xC3\xB6ln<eor>", {"name=J\xFCrgen", "qth=K\xF6ln", "eor="}},
        {"<name:2>J\xC3\xBCrgen <eor>", {"name=J\xFC", "eor="}},
        {"<name:9>J\xC3\xBCrgen <eor>", {"name=J\xFCrgen", "eor="}},
        {"<name:4>Ren\xC3\xA9<eor>", {"name=Ren\xE9", "eor="}},
        {"<name:7>\xE2\x82\xAC 100<eor>", {"name=\x80 100", "eor="}}, // the euro sign is in Windows-1252
        {"<name:4>\xF0\x9F\x93\xBB ok<eor>", {"name=? ok", "eor="}},  // a radio emoji is not
    };
    for (const auto& c : cases)
        EXPECT_EQ(fields_of(c.file), c.fields) << c.file;
}

TEST(AdifReader, EncodingIsDetectedOrDeclared) {
    EXPECT_EQ(detect_encoding("<name:6>J\xFCrgen<eor>"), TextEncoding::windows1252);
    EXPECT_EQ(detect_encoding("<name:7>J\xC3\xBCrgen<eor>"), TextEncoding::utf8);
    EXPECT_EQ(detect_encoding("<call:5>K1ABC<eor>"), TextEncoding::windows1252);
    EXPECT_EQ(detect_encoding("\xEF\xBB\xBF<call:5>K1ABC<eor>"), TextEncoding::utf8);
    EXPECT_EQ(detect_encoding("<APP_X_ENCODING:5>UTF-8<eoh><call:5>K1ABC<eor>"), TextEncoding::utf8);
    EXPECT_EQ(detect_encoding("<app_x_charset:12>Windows-1252<eoh><name:7>J\xC3\xBCrgen<eor>"),
              TextEncoding::windows1252);
    // Windows-1252 text keeps its bytes, even the few that would be UTF-8 on their own.
    EXPECT_EQ(fields_of("<name:6>J\xFCrgen<qth:5>\xC3\xA9t\xE9 <eor>"),
              (Fields{"name=J\xFCrgen", "qth=\xC3\xA9t\xE9 ", "eor="}));
    // A UTF-8 file with one record from an older program: that record's bytes are its own.
    EXPECT_EQ(fields_of("<name:7>J\xC3\xBCrgen<eor><name:6>J\xFCrgen<eor><qth:5>K\xC3\xB6ln<eor>"),
              (Fields{"name=J\xFCrgen", "eor=", "name=J\xFCrgen", "eor=", "qth=K\xF6ln", "eor="}));
}

TEST(AdifReader, CutsAndTruncationsLoseOnlyTheCutRecord) {
    std::string file = "Header<eoh>\r\n";
    for (int i = 0; i < 6; ++i)
        file += "<call:5>K" + std::to_string(i) +
                "ABC <name:7>J\xC3\xBCrgen <comment:11>tnx f\xC3\xBCr QSO <eor>\r\n";
    for (std::size_t cut = 0; cut <= file.size(); ++cut) {
        const std::string_view part(file.data(), cut);
        std::size_t complete = 0;
        for (std::size_t at = part.find("<eor>"); at != std::string::npos; at = part.find("<eor>", at + 1))
            ++complete;
        const Fields fields = fields_of(part);
        EXPECT_EQ(static_cast<std::size_t>(std::count(fields.begin(), fields.end(), "eor=")), complete)
            << cut;
    }
}

// A UTF-8 text of the given characters.
std::string utf8_of(const std::u32string& characters) {
    std::string out;
    for (const char32_t c : characters) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Values of a UTF-8 file come out as windows1252_from_utf8 makes them, and a value that is not
// UTF-8 keeps its bytes: random values of characters from every part of the code page and beyond
// it, some with a byte that breaks them.
TEST(AdifReader, Utf8ValuesBecomeWindows1252OrKeepTheirBytes) {
    std::mt19937 random(20240306);
    const std::u32string characters =
        U"aZ09 _\x7F\x80\x81\x9D\x9F\xA0\xE9\xFC\xFF\u0152\u0160\u017D\u0178\u02DC"
        U"\u0800\u2013\u20AC\u2122\uFFFD\U0001F4FB";
    const std::string breakers[] = {"\xC3", "\xFF", "\xC0\x80", "\xED\xA0\x80", "\x80", "\xF4\x90\x80\x80"};
    for (int round = 0; round < 2000; ++round) {
        std::u32string text;
        for (auto n = random() % 12; n > 0; --n)
            text += characters[random() % characters.size()];
        std::string value = utf8_of(text);
        if (random() % 4 == 0)
            value.insert(random() % (value.size() + 1), breakers[random() % std::size(breakers)]);
        const std::string file = "\xEF\xBB\xBF<name:" + std::to_string(value.size()) + ">" + value + "<eor>";
        AdifScanner scanner(file);
        AdifField field;
        ASSERT_TRUE(scanner.next(field));
        EXPECT_EQ(field.value, is_valid_utf8(value) ? windows1252_from_utf8(value) : value) << value;
    }
}

// Random bytes, rich in the characters that matter, and random damage to a good file: the
// scanner ends, moves forward, reads only inside the text and gives no more fields than '<'s.
TEST(AdifReader, SurvivesRandomAndHostileInput) {
    std::mt19937 random(20240305);
    const std::string alphabet = "<>:<>:0123456789999eEoOrRhHcall_ \r\n\xC3\xBC\xE2\x82\xAC\xF0\x80\xFF";
    const std::string good = "<adif_ver:5>3.1.0<eoh><call:5>K1ABC <name:7>J\xC3\xBCrgen <freq:6>14.074<eor>";
    for (int round = 0; round < 3000; ++round) {
        std::string file;
        if (round % 2 == 0) {
            const int length = static_cast<int>(random() % 200);
            for (int i = 0; i < length; ++i)
                file += alphabet[random() % alphabet.size()];
        } else {
            file = good;
            for (int damage = 0; damage < 4; ++damage) {
                const std::size_t at = random() % file.size();
                switch (random() % 3) {
                case 0: file[at] = alphabet[random() % alphabet.size()]; break;
                case 1: file.erase(at, 1); break;
                default: file.insert(at, std::to_string(random() % 100000000)); break;
                }
                if (file.empty()) file = "<";
            }
        }
        // Keep the bytes in a buffer of their own, so the sanitizer sees any read past the end.
        const std::vector<char> bytes(file.begin(), file.end());
        AdifScanner scanner(std::string_view(bytes.data(), bytes.size()));
        const auto opens = static_cast<std::size_t>(std::count(file.begin(), file.end(), '<'));
        std::size_t fields = 0;
        std::size_t last = 0;
        for (AdifField f; scanner.next(f);) {
            ++fields;
            ASSERT_GT(scanner.position(), last) << file;
            ASSERT_LE(scanner.position(), bytes.size());
            ASSERT_LE(f.value.size(), bytes.size());
            last = scanner.position();
        }
        ASSERT_LE(fields, opens) << file;
    }
}

} // namespace
} // namespace kestrel::exchange
