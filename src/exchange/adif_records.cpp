#include "exchange/adif_records.hpp"

#include "common/fixed_text.hpp"
#include "exchange/adif_bands.hpp"
#include "exchange/adif_modes.hpp"
#include "exchange/adif_text.hpp"
#include "exchange/log_limits.hpp"
#include "logstore/field_codes.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

namespace kestrel::exchange {

namespace {

constexpr std::size_t k_comment_width = 40;
// The QSL byte of an imported contact is the character '0' with the sent and received bits added.
constexpr std::uint8_t k_imported_qsl_base = '0';

// Line breaks and tabs of a multi-line note become blanks: the comment is one line of the log.
void append_as_one_line(std::string& to, std::string_view text, std::size_t width) {
    if (to.size() >= width) return;
    const std::size_t from = to.size();
    to.append(text.substr(0, width - from));
    for (std::size_t i = from; i < to.size(); ++i)
        if (static_cast<unsigned char>(to[i]) < 0x20) to[i] = ' ';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A text in upper case (ASCII letters only), in place.
void make_upper_case(std::string& text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

// Whether a QSL answer, blanks aside, is one of the letters given in upper case, in either case.
bool answer_is(std::string_view value, char upper) {
    const std::string_view answer = trim_blanks(value);
    return answer.size() == 1 && (answer[0] == upper || answer[0] == lower(upper));
}

// The fields the import reads, told apart by a table with one slot per name rather than by
// comparing a name with each of them: a name's slot comes from its length and three of its
// letters in lower case, and one comparison in any case confirms it.
enum class Field {
    other,
    eor,
    eoh,
    qso_date,
    time_on,
    time_off,
    call,
    freq,
    band,
    mode,
    submode,
    rst_rcvd,
    rst_sent,
    tx_pwr,
    comment,
    name,
    notes,
    iota,
    qth,
    qsl_rcvd,
    qsl_sent,
    encoding,
};
constexpr std::string_view k_field_names[] = {
    "",      "eor",  "eoh",     "qso_date", "time_on",  "time_off",       "call",    "freq",
    "band",  "mode", "submode", "rst_rcvd", "rst_sent", "tx_pwr",         "comment", "name",
    "notes", "iota", "qth",     "qsl_rcvd", "qsl_sent", k_encoding_field,
};
constexpr std::size_t k_slots = 64;

constexpr std::size_t slot_of(std::string_view name) {
    const auto byte = [name](std::size_t at) {
        const char c = name[at];
        return static_cast<std::size_t>(static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    };
    return (name.size() * 2 + byte(0) + byte(name.size() - 1) * 7 + byte(name.size() / 2)) % k_slots;
}

// A name of up to 16 bytes as two words, compared in two steps rather than byte by byte: its
// first and its last eight bytes (overlapping when it is shorter than 16), four and four under
// eight, and under four its first, middle and last byte.
constexpr std::size_t k_longest_word_name = 16;
struct NameWords {
    std::uint64_t head = 0;
    std::uint64_t tail = 0;
};

// Up to eight bytes as a little-endian word.
constexpr std::uint64_t word_of(std::string_view bytes) {
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        word |= std::uint64_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
    return word;
}
template <typename Word> std::uint64_t load_word(const char* at) {
    if constexpr (std::endian::native == std::endian::little) {
        Word word;
        std::memcpy(&word, at, sizeof word);
        return word;
    } else {
        return word_of({at, sizeof(Word)});
    }
}

constexpr NameWords words_of(std::string_view name) {
    const std::size_t size = name.size();
    if (size < 4) {
        const std::string_view three[] = {name.substr(0, 1), name.substr(size / 2, 1),
                                          name.substr(size - 1, 1)};
        return {word_of(three[0]) | word_of(three[1]) << 8 | word_of(three[2]) << 16, 0};
    }
    if (std::is_constant_evaluated()) {
        const std::size_t width = size >= 8 ? 8 : 4;
        return {word_of(name.substr(0, width)), word_of(name.substr(size - width))};
    }
    if (size >= 8)
        return {load_word<std::uint64_t>(name.data()), load_word<std::uint64_t>(name.data() + size - 8)};
    return {load_word<std::uint32_t>(name.data()), load_word<std::uint32_t>(name.data() + size - 4)};
}

// A known name, in lower case, ready to be compared with a name in any case: a name's word with
// the case bit of each letter set (`letters`) is the known one's word.
struct KnownName {
    Field field = Field::other;
    std::size_t size = 0;
    NameWords words;
    NameWords letters;
};

constexpr KnownName known_name(Field field, std::string_view name) {
    std::array<char, k_longest_word_name> letters{};
    for (std::size_t i = 0; i < name.size() && i < letters.size(); ++i)
        letters[i] = name[i] >= 'a' && name[i] <= 'z' ? 0x20 : 0;
    if (name.size() > k_longest_word_name) return {field, name.size(), {}, {}};
    return {field, name.size(), words_of(name), words_of({letters.data(), name.size()})};
}

constexpr std::array<KnownName, k_slots> k_field_slots = [] {
    std::array<KnownName, k_slots> slots{};
    for (std::size_t i = 1; i < std::size(k_field_names); ++i)
        slots[slot_of(k_field_names[i])] = known_name(static_cast<Field>(i), k_field_names[i]);
    return slots;
}();

constexpr bool every_name_has_a_slot_of_its_own() {
    for (std::size_t i = 1; i < std::size(k_field_names); ++i)
        if (k_field_slots[slot_of(k_field_names[i])].field != static_cast<Field>(i)) return false;
    return true;
}
static_assert(every_name_has_a_slot_of_its_own());

// Whether a name, in any case, is the given one in lower case.
bool is_name(std::string_view name, std::string_view lower_case) {
    if (name.size() != lower_case.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (lower(name[i]) != lower_case[i]) return false;
    return true;
}

inline bool is_known_name(std::string_view name, const KnownName& known) {
    if (name.size() != known.size) return false;
    if (name.size() > k_longest_word_name) [[unlikely]]
        return is_name(name, k_field_names[static_cast<std::size_t>(known.field)]);
    const NameWords words = words_of(name);
    return (words.head | known.letters.head) == known.words.head &&
           (words.tail | known.letters.tail) == known.words.tail;
}

// The field a name is, in any case.
Field field_of(std::string_view name) {
    if (name.empty()) return Field::other;
    const KnownName& known = k_field_slots[slot_of(name)];
    return is_known_name(name, known) ? known.field : Field::other;
}

constexpr KnownName k_app_prefix_name = known_name(Field::other, k_app_prefix);

// The field of ours a name stands for ("app_kestrel_call": call), in any case; other for any
// other name.
Field own_field_of(std::string_view name) {
    if (name.size() <= k_app_prefix.size() ||
        !is_known_name(name.substr(0, k_app_prefix.size()), k_app_prefix_name))
        return Field::other;
    return field_of(name.substr(k_app_prefix.size()));
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

bool all_digits(std::string_view text) {
    for (const char c : text)
        if (!is_digit(c)) return false;
    return true;
}

// The number a text of digits writes.
int number_of(std::string_view digits) {
    int number = 0;
    for (const char c : digits)
        number = number * 10 + (c - '0');
    return number;
}

} // namespace

std::optional<int> storable_adif_date(std::string_view value) {
    // Nearly always eight digits and nothing else.
    if (value.size() == 8 && all_digits(value))
        return storable_day_number(number_of(value.substr(0, 4)), number_of(value.substr(4, 2)),
                                   number_of(value.substr(6, 2)));
    // The digits in order make YYYYMMDD; whatever stands among them is passed over.
    int digits = 0;
    int parts[3] = {0, 0, 0};
    for (const char c : value) {
        if (!is_digit(c)) continue;
        if (++digits > 8) return std::nullopt;
        int& part = parts[digits <= 4 ? 0 : digits <= 6 ? 1 : 2];
        part = part * 10 + (c - '0');
    }
    if (digits != 8) return std::nullopt;
    return storable_day_number(parts[0], parts[1], parts[2]);
}

std::optional<std::int16_t> adif_time_of_day(std::string_view value) {
    // Nearly always HHMM or HHMMSS and nothing else.
    if ((value.size() == 4 || value.size() == 6) && all_digits(value)) {
        if (value.size() == 6 && number_of(value.substr(4, 2)) > 59) return std::nullopt;
        return minute_of_day(number_of(value.substr(0, 2)), number_of(value.substr(2, 2)));
    }
    // HH, MM and SS as pairs of digits; a ':' among them is passed over (14:32), nothing else.
    int digits = 0;
    int pairs[3] = {0, 0, 0};
    for (const char c : trim_blanks(value)) {
        if (c == ':') continue;
        if (!is_digit(c) || ++digits > 6) return std::nullopt;
        int& pair = pairs[(digits - 1) / 2];
        pair = pair * 10 + (c - '0');
    }
    if (digits != 4 && digits != 6) return std::nullopt;
    if (digits == 6 && pairs[2] > 59) return std::nullopt;
    return minute_of_day(pairs[0], pairs[1]);
}

ContactBuilder::ContactBuilder(ImportOptions options)
    : m_options(std::move(options)), m_power(m_options.power) {}

ContactBuilder ContactBuilder::continued() const {
    ContactBuilder next(m_options);
    next.m_power = m_power;
    next.m_declared_encoding = m_declared_encoding;
    next.m_own_fields_escaped = m_own_fields_escaped;
    return next;
}

void ContactBuilder::Entry::clear() {
    any_field = false;
    date.reset();
    time_on.reset();
    time_off.reset();
    has_time_off = false;
    for (std::string* text : {&contact.call, &contact.rst_sent, &contact.rst_received, &contact.comment,
                              &frequency, &band, &mode, &submode})
        text->clear();
    qsl_bits = 0;
    for (OwnText* own : {&own_call, &own_rst_sent, &own_rst_received, &own_power, &own_mode, &own_comment}) {
        own->given = false;
        own->text.clear();
    }
}

void ContactBuilder::take_own(std::string_view name, std::string_view text) {
    OwnText* own = nullptr;
    switch (own_field_of(name)) {
    case Field::call: own = &m_entry.own_call; break;
    case Field::rst_sent: own = &m_entry.own_rst_sent; break;
    case Field::rst_rcvd: own = &m_entry.own_rst_received; break;
    case Field::tx_pwr: own = &m_entry.own_power; break;
    case Field::mode: own = &m_entry.own_mode; break;
    case Field::comment: own = &m_entry.own_comment; break;
    default: return;
    }
    own->given = true;
    if (m_own_fields_escaped)
        own->text = unescaped_app_text(text);
    else
        own->text.assign(text);
}

std::optional<FinishedEntry> ContactBuilder::take(const AdifField& field) {
    return take(AdifFieldView{field.name, field.value});
}

std::optional<FinishedEntry> ContactBuilder::take(const AdifFieldView& field) {
    const std::string_view name = field.name;
    const std::string_view value = field.value;
    const Field known = field_of(name);
    if (known == Field::eor) return finish();
    if (known == Field::eoh) {
        m_entry.clear();
        return std::nullopt;
    }
    m_entry.any_field = true;
    switch (known) {
    case Field::qso_date: m_entry.date = storable_adif_date(value); break;
    case Field::time_on: m_entry.time_on = adif_time_of_day(value); break;
    case Field::time_off:
        m_entry.time_off = adif_time_of_day(value);
        m_entry.has_time_off = true;
        break;
    case Field::call:
        m_entry.contact.call.assign(trim_blanks(value));
        make_upper_case(m_entry.contact.call);
        break;
    case Field::freq: m_entry.frequency.assign(trim_blanks(value)); break;
    case Field::band: m_entry.band.assign(trim_blanks(value)); break;
    case Field::mode: m_entry.mode.assign(trim_blanks(value)); break;
    case Field::submode: m_entry.submode.assign(trim_blanks(value)); break;
    case Field::rst_rcvd: m_entry.contact.rst_received.assign(value); break;
    case Field::rst_sent: m_entry.contact.rst_sent.assign(value); break;
    case Field::tx_pwr:
        m_power.assign(value);
        m_power_read = true;
        break;
    case Field::comment:
    case Field::name:
    case Field::notes:
    case Field::iota:
    case Field::qth: append_as_one_line(m_entry.contact.comment, value, k_comment_width); break;
    case Field::qsl_rcvd:
        // V (verified) is the older way of saying the card came.
        if (answer_is(value, 'Y') || answer_is(value, 'V')) m_entry.qsl_bits |= 2;
        break;
    case Field::qsl_sent:
        if (answer_is(value, 'Y')) m_entry.qsl_bits |= 1;
        break;
    case Field::encoding:
        m_declared_encoding = value;
        m_own_fields_escaped = says_escaped(value);
        break;
    default: take_own(name, value); break;
    }
    return std::nullopt;
}

FinishedEntry ContactBuilder::finish() {
    const FinishedEntry finished = finished_entry();
    m_entry.clear();
    return finished;
}

FinishedEntry ContactBuilder::finished_entry() {
    Entry& entry = m_entry;
    const auto leave_out = [&](LeftOut why) {
        m_left_out.add(why);
        return FinishedEntry{std::nullopt, why, entry.any_field};
    };
    logstore::QsoRecord& contact = entry.contact;
    // Our own field's text wins over the ADIF field's.
    const auto own_or_adif = [](const OwnText& own, std::string& text) {
        if (own.given) text.assign(own.text);
    };
    own_or_adif(entry.own_call, contact.call);
    // A call starting with "/" would make the entry a note or station data in the log.
    if (trim_blanks(contact.call).empty() || contact.call.front() == '/') return leave_out(LeftOut::no_call);
    if (!entry.date) return leave_out(LeftOut::date);
    if (!entry.time_on || (entry.has_time_off && !entry.time_off)) return leave_out(LeftOut::time);
    const auto band = imported_band_index(entry.frequency, entry.band);
    if (!band) return leave_out(LeftOut::band);

    contact.date = *entry.date;
    contact.time_on = *entry.time_on;
    // A contact without an end ends when it began; one that ended at midnight keeps 00:00.
    contact.time_off = entry.has_time_off ? *entry.time_off : *entry.time_on;
    own_or_adif(entry.own_rst_sent, contact.rst_sent);
    own_or_adif(entry.own_rst_received, contact.rst_received);
    contact.band = logstore::coded_band_field(*band);
    if (entry.own_mode.given)
        contact.mode.assign(entry.own_mode.text);
    else if (!entry.mode.empty() || !entry.submode.empty())
        contact.mode = stored_mode_of(entry.mode, entry.submode);
    else
        contact.mode.clear();
    if (entry.own_power.given) {
        m_power.assign(entry.own_power.text);
        m_power_read = true;
    }
    if (!m_power_read) m_used_power_carried_in = true;
    contact.power.assign(m_power);
    own_or_adif(entry.own_comment, contact.comment);
    contact.comment.append(m_options.extra_comment);
    contact.qsl_flags = static_cast<std::uint8_t>(k_imported_qsl_base | entry.qsl_bits);
    return {contact.encode(), LeftOut::no_call, true};
}

} // namespace kestrel::exchange
