#include "digital/contact_fields.hpp"

#include "common/fixed_text.hpp"
#include "common/windows1252.hpp"
#include "exchange/adif_import_text.hpp"
#include "logstore/field_codes.hpp"

#include <algorithm>

namespace kestrel::digital {

namespace {

constexpr const char* k_utf8_mark = "\xef\xbb\xbf";

std::string trimmed_capitals(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return upper_case(trim_trailing_spaces(text));
}

// The fields the log's one comment is made of. The ADIF import runs their values together as they
// stand in a file; a program sends each without blanks around it ("tnx" and "Hans"), so they are
// joined here with a blank between them, in the order they came, as one comment.
bool is_comment_part(std::string_view name) {
    for (const char* part : {"comment", "name", "notes", "iota", "qth"})
        if (name == part) return true;
    return false;
}

ContactFields with_one_comment(const ContactFields& fields) {
    ContactFields out;
    std::string comment;
    for (const exchange::AdifField& field : fields) {
        if (!is_comment_part(field.name)) {
            out.push_back(field);
            continue;
        }
        if (!comment.empty()) comment += ' ';
        comment += field.value;
    }
    if (!comment.empty()) out.push_back({"comment", std::move(comment)});
    return out;
}

} // namespace

std::string_view field_value(const ContactFields& fields, std::string_view name) {
    for (const exchange::AdifField& field : fields)
        if (field.name == name) return field.value;
    return {};
}

std::string clean_value(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    const auto first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

SortedContact sort_contact(const ContactFields& raw) {
    ContactFields fields;
    for (const exchange::AdifField& field : raw)
        if (std::string value = clean_value(field.value); !value.empty())
            fields.push_back({field.name, value});
    if (fields.empty()) return {};
    // The contact goes through the ADIF import as a file of one record, so that it is stored
    // exactly as an imported one would be, and left out for the same reasons. The file is UTF-8
    // and says so with its first bytes, so that no Windows-1252 text of it is mistaken for UTF-8.
    ContactFields utf8;
    for (const exchange::AdifField& field : with_one_comment(fields))
        utf8.push_back({field.name, utf8_from_windows1252(field.value)});
    const exchange::ImportedLog imported =
        exchange::import_adif_text(k_utf8_mark + adif_record_line(utf8), exchange::ImportOptions{});
    if (imported.entries != 1 || imported.records.size() < logstore::k_record_size) {
        for (const exchange::LeftOut why : {exchange::LeftOut::no_call, exchange::LeftOut::date,
                                            exchange::LeftOut::time, exchange::LeftOut::band})
            if (imported.left_out.count(why) > 0) return {std::nullopt, why};
        return {std::nullopt, exchange::LeftOut::no_call};
    }
    logstore::RecordBytes bytes{};
    std::copy_n(imported.records.begin(), logstore::k_record_size, bytes.begin());
    logstore::QsoRecord record = logstore::QsoRecord::decode(bytes);
    // The import marks its contacts with the character '0' under the QSL bits; contacts logged
    // on the air carry the bits alone.
    record.qsl_flags &= 3;
    return {DigitalContact{std::move(record), trimmed_capitals(field_value(fields, "gridsquare"))},
            std::nullopt};
}

std::optional<DigitalContact> contact_of(const ContactFields& fields) {
    return sort_contact(fields).contact;
}

ContactKey key_of(const logstore::RecordBytes& record) {
    return ContactKey{trimmed_capitals(logstore::call_view(record)), logstore::record_date(record),
                      logstore::record_time(record), logstore::band_of_field(logstore::band_field(record)),
                      trimmed_capitals(logstore::mode_view(record))};
}

ContactKey key_of(const logstore::QsoRecord& record) {
    return key_of(record.encode());
}

std::string adif_record_line(const ContactFields& fields) {
    std::string line;
    for (const exchange::AdifField& field : fields) {
        const std::string value = clean_value(field.value);
        if (field.name == "eor" || field.name == "eoh" || value.empty()) continue;
        line += "<" + field.name + ":" + std::to_string(value.size()) + ">" + value + " ";
    }
    return line + "<eor>\r\n";
}

std::optional<ContactFields> fields_of_line(std::string_view line) {
    // Our own line, its counts made from the values: taken exactly.
    exchange::AdifScanner scanner(line, exchange::TextEncoding::windows1252, exchange::ValueCounts::exact);
    ContactFields fields;
    exchange::AdifField field;
    while (scanner.next(field)) {
        if (field.name == "eor") return fields;
        if (field.name == "eoh")
            fields.clear();
        else
            fields.push_back(std::move(field));
    }
    return std::nullopt;
}

} // namespace kestrel::digital
