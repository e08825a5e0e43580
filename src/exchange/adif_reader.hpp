#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel::exchange {

enum class TextEncoding { windows1252, utf8 };

// How the texts of an ADIF file are written. UTF-8 when the file says so (a byte-order mark, or a
// header field whose name speaks of an encoding or character set with a value naming UTF-8), or
// when its bytes hold more well-formed multibyte UTF-8 sequences than bytes that cannot be
// UTF-8; Windows-1252 otherwise, as older programs write.
[[nodiscard]] TextEncoding detect_encoding(std::string_view file);

// One data specifier of an ADIF file: the field name in lower case and its value, converted to
// Windows-1252 ('?' for what that cannot show). "<eoh>" and "<eor>" come as fields named "eoh"
// and "eor" with empty values.
struct AdifField {
    std::string name;
    std::string value;
};

// The same without copies: the name as the file writes it (in any case), the value in place
// when it needs no conversion. Both last until the scanner's next read.
struct AdifFieldView {
    std::string_view name;
    std::string_view value;
};

// How the scanner below takes a value's length. A file from anywhere has its counts weighed, as
// said there. Text a program has just made for us (the contact a digital-mode program logged, a
// line of our own) has them taken exactly: a value is as many characters as its length says,
// whatever they hold, a '<' among them included, so that nothing inside a value is ever read as a
// field of its own. In UTF-8 text a count of bytes that leads to the next specifier is taken as
// such; any other is a count of characters. A count longer than the text left takes the rest.
enum class ValueCounts { weighed, exact };

// Reads the data specifiers of an ADIF file one after another, from bytes held by the caller.
//
// Text outside specifiers (the header's free text, line breaks, whatever stands between fields)
// is passed over. Tag names are read up to ':' or '>', lengths from the digits before an
// optional ":type" indicator. A value is taken by its length, which programs do not always count
// the same way, so the scanner checks where the count leads:
// - a count that leads to the next specifier (or the end of the file), perhaps over blanks and
//   line breaks, is right;
// - in UTF-8 text a length may count bytes or characters; the one that leads on is taken, bytes
//   when both do;
// - otherwise a value never runs over the start of the next specifier or "<eor>": a length that
//   would (a wrong count, a hostile one such as 99999999) ends the value where that specifier
//   begins, so the next field and the next record are never lost; and an end inside a
//   multibyte character is moved to the character's end.
// Every read stays inside the bytes; the scanner always moves forward, so it ends.
class AdifScanner {
  public:
    explicit AdifScanner(std::string_view file);
    AdifScanner(std::string_view file, TextEncoding encoding);
    // Reading from `start` on, as a scanner that has just read a specifier ending there would.
    AdifScanner(std::string_view file, TextEncoding encoding, std::size_t start);
    AdifScanner(std::string_view file, TextEncoding encoding, ValueCounts counts);

    // The next specifier; false at the end of the bytes (a specifier cut off by the end is not
    // given, except a value cut short, which is given as far as it goes).
    [[nodiscard]] bool next(AdifField& field);
    [[nodiscard]] bool next(AdifFieldView& field);

    TextEncoding encoding() const { return m_encoding; }
    // Bytes read so far, for progress.
    std::size_t position() const { return m_at; }
    std::size_t size() const { return m_file.size(); }

    // What a specifier's tag says: where its name ends, the length it gives and where its value
    // starts (no value for "<eor>" and "<eoh>").
    struct Tag {
        std::size_t at = std::string_view::npos; // its '<'
        std::size_t name_end = 0;
        std::size_t length = 0;
        std::size_t value_start = 0;
        bool has_value = false;
    };

  private:
    std::size_t value_end(std::size_t start, std::size_t length);
    // The value's end when its count does not lead straight to the next specifier.
    std::size_t weighed_value_end(std::size_t start, std::size_t length);
    std::size_t exact_value_end(std::size_t start, std::size_t length) const;
    std::size_t next_specifier_from(std::size_t start);
    std::string_view decode_value(std::size_t start, std::size_t end);
    std::string_view converted_value(std::string_view raw);

    std::string m_converted; // a value converted from UTF-8, until the next read

    std::string_view m_file;
    TextEncoding m_encoding;
    ValueCounts m_counts = ValueCounts::weighed;
    std::size_t m_at = 0;
    // The last search for the next specifier: none lies in [from, at), so a search from anywhere
    // in between has its answer already. Text full of near-specifiers would otherwise be searched
    // again for every one of them.
    std::size_t m_search_from = std::string_view::npos;
    std::size_t m_search_at = 0;
    // The specifier found there, read once: the next read starts from it rather than reading its
    // tag again.
    Tag m_found;
    // Whether m_found is also the first '<' from where the next read starts (a value's count led
    // to it over nothing but blanks), so that read need not look for it.
    bool m_found_follows = false;
};

// Where the next specifier of an ADIF file begins at or after `from`: a '<' followed by a field
// name and either ":" length [":" type] ">" or, for the two names that have no value, "eor>" or
// "eoh>". The size of the text when there is none.
[[nodiscard]] std::size_t next_specifier(std::string_view file, std::size_t from);
// Where the first "<eor>" specifier at or after `from` ends; npos when there is none.
[[nodiscard]] std::size_t end_of_next_eor(std::string_view file, std::size_t from);

} // namespace kestrel::exchange
