// An operator's database (*.EDB), a text file he edits by hand. Read, written back and read
// again, it must be the same database: the same fields and widths, the same records with the
// same fields, and the same text once more. A record's own field finds that record (or one
// before it), and a record saved unchanged keeps every field it had.
#include "common/fixed_text.hpp"
#include "databases/edb_file.hpp"
#include "fuzz_support.hpp"

#include <algorithm>

namespace {

using namespace kestrel;
using databases::EdbDatabase;

// The records checked one by one; enough for the fuzzer to reach every branch.
constexpr int k_records_checked = 16;

void check_same(const EdbDatabase& a, const EdbDatabase& b) {
    fuzz::check(a.field_count() == b.field_count(), "the same number of fields");
    for (int f = 0; f < a.field_count(); ++f) {
        fuzz::check(a.field_name(f) == b.field_name(f), "the same field names");
        fuzz::check(a.width(f) == b.width(f), "the same field widths");
    }
    fuzz::check(a.record_count() == b.record_count(), "the same number of records");
    for (int r = 0; r < std::min(a.record_count(), k_records_checked); ++r)
        fuzz::check(a.fields(r) == b.fields(r), "the same records");
}

void check_fields(const EdbDatabase& db) {
    fuzz::check(db.field_count() >= 1 && db.field_count() <= databases::k_most_fields, "1 to 11 fields");
    for (int f = 0; f < db.field_count(); ++f)
        fuzz::check(db.width(f) >= 1, "every field has room for something");
    fuzz::check(db.worked_count() >= 0 && db.worked_count() <= db.record_count(),
                "no more worked than records");
    for (int r = 0; r < std::min(db.record_count(), k_records_checked); ++r) {
        const std::vector<std::string> fields = db.fields(r);
        fuzz::check(static_cast<int>(fields.size()) == db.field_count(), "a record has every field");
        for (const std::string& field : fields)
            fuzz::check(field.find_first_of(":\n") == std::string::npos,
                        "a field holds no colon or line end");
    }
}

void check_search(const EdbDatabase& db) {
    for (int r = 0; r < std::min(db.record_count(), k_records_checked); ++r) {
        for (const std::string& field : db.fields(r)) {
            const std::string_view wanted = trim_trailing_spaces(field);
            if (wanted.empty() || wanted.find('*') != std::string_view::npos) continue;
            const std::optional<int> found = db.find(wanted, -1);
            fuzz::check(found && *found <= r, "a record's own field finds it or one before it");
        }
    }
    if (db.record_count() > 0) {
        const std::optional<int> any = db.find("*", -1);
        fuzz::check(any == 0, "\"*\" matches the first record");
    }
}

void check_saved_unchanged(EdbDatabase db, const std::string& before) {
    const int records = std::min(db.record_count(), k_records_checked);
    for (int r = 0; r < records; ++r) {
        const std::vector<std::string> fields = db.fields(r);
        db.replace_record(r, fields);
        const std::vector<std::string> saved = db.fields(r);
        for (std::size_t f = 0; f < fields.size(); ++f)
            fuzz::check(trim_trailing_spaces(saved[f]) == trim_trailing_spaces(fields[f]),
                        "a field saved unchanged is never cut");
    }
    const auto again = EdbDatabase::read(db.text());
    fuzz::check(again.ok(), "a saved database reads");
    fuzz::check(again->record_count() == db.record_count(), "saving keeps every record");
    if (records == 0) fuzz::check(db.text() == before, "nothing saved, nothing changed");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto first = EdbDatabase::read(fuzz::bytes_of(data, size));
    if (!first) return 0;
    check_fields(*first);

    const std::string text = first->text();
    const auto again = EdbDatabase::read(text);
    fuzz::check(again.ok(), "a database written back reads");
    check_same(*first, *again);
    fuzz::check(again->text() == text, "and is written the same again");

    check_search(*first);
    check_saved_unchanged(*first, text);
    return 0;
}
