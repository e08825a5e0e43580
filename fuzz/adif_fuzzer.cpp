// ADIF files from other programs: read them as an import does, write the contacts out again as
// our export does, and read that. The contacts must come back as they were read, but for what
// the export writes in its own way on purpose: reports, power and mode lose their blanks, and an
// empty report or power is written as 0, a time no clock shows as 0000. Once so written, a contact goes round
// unchanged.
#include "exchange/adif_import_text.hpp"
#include "exchange/adif_modes.hpp"
#include "exchange/adif_reader.hpp"
#include "exchange/adif_records.hpp"
#include "exchange/adif_writer.hpp"
#include "fuzz_support.hpp"
#include "logstore/record.hpp"

#include <algorithm>

namespace {

using namespace kestrel;

logstore::RecordBytes record_at(const std::string& records, std::size_t n) {
    logstore::RecordBytes bytes;
    std::copy_n(records.begin() + static_cast<std::ptrdiff_t>(n * logstore::k_record_size),
                logstore::k_record_size, bytes.begin());
    return bytes;
}

std::string without_blanks(std::string_view text, std::size_t width, bool zero_when_empty) {
    std::string out;
    for (const char c : text)
        if (c != ' ' && c != '\0') out += c;
    if (out.empty() && zero_when_empty) out = "0";
    out.resize(width, ' ');
    return out;
}

// A text as the export writes it and the import reads it back: up to its first 0x00 byte, without
// trailing white space.
std::string up_to_nul(std::string_view text, std::size_t width) {
    std::string out(text.substr(0, text.find('\0')));
    while (!out.empty() && std::string_view(" \t\r\n\v\f").find(out.back()) != std::string_view::npos)
        out.pop_back();
    out.resize(width, ' ');
    return out;
}

// A contact as the export writes it, the mode left out.
logstore::RecordBytes as_exported(const logstore::RecordBytes& bytes) {
    logstore::QsoRecord contact = logstore::QsoRecord::decode(bytes);
    contact.rst_sent = without_blanks(contact.rst_sent, logstore::k_report_width, true);
    contact.rst_received = without_blanks(contact.rst_received, logstore::k_report_width, true);
    contact.power = without_blanks(contact.power, logstore::k_power_width, true);
    // The call loses every blank and 0x00 byte, and the import trims other white space.
    contact.call =
        up_to_nul(without_blanks(contact.call, logstore::k_call_width, true), logstore::k_call_width);
    contact.call.erase(0, contact.call.find_first_not_of(" \t\r\n\v\f"));
    contact.call.resize(logstore::k_call_width, ' ');
    contact.comment = up_to_nul(contact.comment, logstore::k_comment_width);
    contact.mode.clear();
    // A time no clock shows is written as 0000.
    for (std::int16_t* time : {&contact.time_on, &contact.time_off})
        if (*time < 0 || *time > 1439)
            *time = 0; // written as the ADIF name of the mode, which may read back as another
    return contact.encode();
}

std::string exported(const std::string& records) {
    std::string out = exchange::adif_header("FUZZ.LOG", {2024, 11, 23});
    for (std::size_t at = 0; at + logstore::k_record_size <= records.size(); at += logstore::k_record_size) {
        logstore::RecordBytes bytes;
        std::copy_n(records.begin() + static_cast<std::ptrdiff_t>(at), logstore::k_record_size,
                    bytes.begin());
        exchange::append_adif_entry(out, logstore::QsoRecord::decode(bytes));
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file = fuzz::bytes_of(data, size);

    // The scanner always moves on and never reads outside the bytes.
    exchange::AdifScanner scanner(file);
    exchange::AdifField field;
    std::size_t last = 0;
    while (scanner.next(field)) {
        fuzz::check(scanner.position() > last, "the scanner moves on");
        fuzz::check(scanner.position() <= scanner.size(), "the scanner stays inside the bytes");
        last = scanner.position();
    }

    const exchange::ImportOptions options{"100", ""};
    const exchange::ImportedLog first = exchange::import_adif_text(file, options);
    fuzz::check(first.records.size() == static_cast<std::size_t>(first.entries) * logstore::k_record_size,
                "one record per entry");
    // Read in two halves, split anywhere, the file gives what reading straight through gives.
    const exchange::ImportedLog halves =
        exchange::import_adif_text_in_halves(file, options, size == 0 ? 0 : data[0] * size / 256);
    fuzz::check(halves.records == first.records && halves.rejected == first.rejected &&
                    halves.left_out.total() == first.left_out.total() &&
                    halves.rejected_encoding == first.rejected_encoding,
                "halves read as the whole");

    // Our export does not say how its texts are written; Windows-1252 text that happens to read
    // as UTF-8 (such as "\xc3\xa9") is then taken for UTF-8, a known limit of the guess.
    const std::string text = exported(first.records);
    if (exchange::detect_encoding(text) == exchange::TextEncoding::utf8) return 0;

    const exchange::ImportedLog again = exchange::import_adif_text(text, options);
    fuzz::check(again.entries + again.outside_dates + again.without_call == first.entries,
                "every exported contact is read back or counted");
    // Two kinds of contact are taken as they come, the way older versions did, but do not come
    // back from our own export: a short date ("1930010") that makes a day the export writes as
    // "19300100", which the import refuses; and a call of nothing but white space other than
    // blanks ("\n"), which the import trims to nothing. Then there is nothing to compare.
    if (again.outside_dates > 0 || again.without_call > 0) return 0;
    for (std::size_t n = 0; n < static_cast<std::size_t>(first.entries); ++n) {
        const logstore::RecordBytes contact = record_at(first.records, n);
        fuzz::check(logstore::has_contact_fields(contact), "an imported contact is no note or station data");
        fuzz::check(as_exported(record_at(again.records, n)) == as_exported(contact),
                    "exported contacts read back the same");
    }

    // A mode stored short goes out under the full ADIF name it stands for ("TO" as TOR) and comes
    // back so; its meaning stays. Once written under that name, a contact goes round unchanged.
    const std::string text_again = exported(again.records);
    if (exchange::detect_encoding(text_again) == exchange::TextEncoding::utf8) return 0;
    const exchange::ImportedLog third = exchange::import_adif_text(text_again, options);
    fuzz::check(third.records.size() == again.records.size(), "a contact once exported is read back");
    for (std::size_t n = 0; n < static_cast<std::size_t>(third.entries); ++n) {
        const logstore::RecordBytes before = record_at(again.records, n);
        const logstore::RecordBytes after = record_at(third.records, n);
        fuzz::check(as_exported(after) == as_exported(before),
                    "a contact once exported goes round unchanged");
        const auto mode_of = [](const logstore::RecordBytes& r) {
            return exchange::adif_mode_of(logstore::QsoRecord::decode(r).mode);
        };
        // The three letters a log keeps hold the mode, not always its submode too ("U" goes out
        // as SSB with submode USB and is kept as SSB).
        fuzz::check(mode_of(after).mode == mode_of(before).mode, "a mode keeps its meaning");
    }
    const std::string text_third = exported(third.records);
    if (exchange::detect_encoding(text_third) == exchange::TextEncoding::utf8) return 0;
    fuzz::check(exchange::import_adif_text(text_third, options).records == third.records,
                "a contact written with its full mode name goes round unchanged");
    return 0;
}
