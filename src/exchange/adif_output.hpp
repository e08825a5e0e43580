#pragma once

// The pieces an ADIF export is written with, each made to cost no allocation per contact: the
// block of text items are written into, a text's ASCII form, and the last few lookups kept.

#include "common/windows1252.hpp"
#include "exchange/adif_text.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::exchange {

// The padding of a record text: blanks, or the 0x00 bytes of older logs.
inline bool is_blank_byte(char c) {
    return c == ' ' || c == '\0';
}

inline std::string_view without_trailing_blanks(std::string_view text) {
    while (!text.empty() && is_blank_byte(text.back()))
        text.remove_suffix(1);
    return text;
}

// Two digits of a number below 100.
inline void put_two_digits(char* at, int value) {
    at[0] = static_cast<char>('0' + value / 10 % 10);
    at[1] = static_cast<char>('0' + value % 10);
}

// A text in printable ASCII, made in a buffer kept from one contact to the next, so the texts
// of an export cost no allocation each.
class AsciiText {
  public:
    // The stored bytes in ASCII (see ascii_of_windows1252).
    std::string_view of(std::string_view stored) {
        if (m_bytes.size() < stored.size() * k_longest_ascii_spelling)
            m_bytes.resize(stored.size() * k_longest_ascii_spelling);
        m_size = static_cast<std::size_t>(put_ascii_of_windows1252(stored, m_bytes.data()) - m_bytes.data());
        return view();
    }
    // The stored bytes in ASCII without any blank; "0" when nothing is left, as an ADIF value
    // may not be empty.
    std::string_view of_without_blanks(std::string_view stored) {
        (void)of(stored);
        const auto kept =
            std::remove(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(m_size), ' ');
        m_size = static_cast<std::size_t>(kept - m_bytes.begin());
        if (m_size == 0) m_bytes[m_size++] = '0';
        return view();
    }
    // The same text with its ASCII letters made capitals.
    std::string_view upper_case() {
        if (m_upper.size() < m_size) m_upper.resize(m_size);
        std::transform(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(m_size),
                       m_upper.begin(),
                       [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
        return {m_upper.data(), m_size};
    }

  private:
    std::string_view view() const { return {m_bytes.data(), m_size}; }

    // Never empty: "0" fits whatever the text.
    std::string m_bytes = std::string(k_longest_ascii_spelling, ' ');
    std::string m_upper;
    std::size_t m_size = 0;
};

// The text of an export as it is made. Items are written straight into a block of memory, which
// is handed on (to the file, or to a text in memory) whenever it fills.
class AdifOutput {
  public:
    using Put = std::function<bool(std::string_view)>;
    // Full once it holds `full_bytes`; the block holds a few contacts more, so that it seldom has
    // to be handed on in the middle of one.
    AdifOutput(Put put, std::size_t full_bytes)
        : m_put(std::move(put)), m_block(full_bytes + k_room_beyond_full), m_full_bytes(full_bytes) {}
    // An output that adds what it hands on to the end of `text`.
    static AdifOutput onto(std::string& text, std::size_t full_bytes) {
        return AdifOutput(
            [&text](std::string_view more) {
                text += more;
                return true;
            },
            full_bytes);
    }

    // Room for `bytes` more at the end of the text, handing on what is written when the block
    // has not that much left.
    char* room(std::size_t bytes) {
        if (m_block.size() - m_used < bytes) make_room(bytes);
        return m_block.data() + m_used;
    }
    // The text now ends at `end`, inside the room given last.
    void ends_at(const char* end) { m_used = static_cast<std::size_t>(end - m_block.data()); }

    void put(std::string_view text) { ends_at(copy(room(text.size()), text)); }
    // "  <tag:length>value". The tag is a literal, so its copy is a few moves.
    template <std::size_t N> void item(const char (&tag)[N], std::string_view value) {
        char* at = copy(room(N + value.size() + k_most_item_bytes), "  <");
        std::memcpy(at, tag, N - 1);
        at += N - 1;
        *at++ = ':';
        at = put_length(at, value.size());
        *at++ = '>';
        ends_at(copy(at, value));
    }
    void item(std::string_view tag, std::string_view value) {
        char* at = copy(room(tag.size() + value.size() + k_most_item_bytes), "  <");
        at = copy(at, tag);
        *at++ = ':';
        at = put_length(at, value.size());
        *at++ = '>';
        ends_at(copy(at, value));
    }
    // Our own field beside the ADIF field `tag`: the stored text as it is.
    void own(std::string_view tag, std::string_view stored) {
        const std::string_view text = without_trailing_blanks(stored);
        const std::size_t size = escaped_app_size(text);
        char* at = copy(room(k_app_prefix.size() + tag.size() + size + k_most_item_bytes), "  <");
        at = copy(copy(at, k_app_prefix), tag);
        *at++ = ':';
        at = put_length(at, size);
        *at++ = '>';
        ends_at(put_escaped_app_text(text, at));
    }

    bool is_full() const { return m_used >= m_full_bytes; }
    // Hands on what is written; false when that failed, now or before.
    bool flush() {
        if (m_used > 0 && m_ok) m_ok = m_put(std::string_view(m_block.data(), m_used));
        m_used = 0;
        return m_ok;
    }

  private:
    // The bytes of an item besides its name and value: "  <", ':', the length, '>'.
    static constexpr std::size_t k_most_length_digits = 20;
    static constexpr std::size_t k_most_item_bytes = 5 + k_most_length_digits;

    // Almost every length has one or two digits.
    static char* put_length(char* to, std::size_t length) {
        if (length < 10) {
            *to = static_cast<char>('0' + length);
            return to + 1;
        }
        if (length < 100) {
            put_two_digits(to, static_cast<int>(length));
            return to + 2;
        }
        return std::to_chars(to, to + k_most_length_digits, length).ptr;
    }
    static char* copy(char* to, std::string_view text) {
        std::memcpy(to, text.data(), text.size());
        return to + text.size();
    }
    void make_room(std::size_t bytes) {
        (void)flush();
        if (m_block.size() < bytes) m_block.resize(bytes);
    }

    static constexpr std::size_t k_room_beyond_full = 1024;

    Put m_put;
    std::vector<char> m_block;
    std::size_t m_full_bytes;
    std::size_t m_used = 0;
    bool m_ok = true;
};

// The last few texts looked up and what they gave, for lookups that take a while and texts that
// repeat: a log holds few modes and few powers.
template <class Found> class LastFound {
  public:
    template <class Look> const Found& find(std::string_view text, Look look) {
        const std::uint64_t key = key_of(text);
        // A text of up to seven bytes is its key; a longer one is compared as well.
        const bool key_is_text = text.size() < sizeof key;
        for (std::size_t at = 0; at < m_filled; ++at)
            if (m_kept[at].key == key && (key_is_text || m_kept[at].text == text)) return m_kept[at].found;
        Kept& kept = m_kept[m_next];
        m_next = (m_next + 1) % m_kept.size();
        m_filled = std::max(m_filled, m_next == 0 ? m_kept.size() : m_next);
        kept.key = key;
        kept.text = text;
        kept.found = look(text);
        return kept.found;
    }

  private:
    // The length, and the first seven bytes.
    static std::uint64_t key_of(std::string_view text) {
        std::uint64_t key = text.size();
        const std::size_t bytes = std::min(text.size(), sizeof key - 1);
        for (std::size_t at = 0; at < bytes; ++at)
            key |= std::uint64_t{static_cast<unsigned char>(text[at])} << (8 * (at + 1));
        return key;
    }

    struct Kept {
        std::uint64_t key = 0;
        std::string text;
        Found found;
    };
    std::array<Kept, 8> m_kept;
    std::size_t m_next = 0;
    std::size_t m_filled = 0;
};

} // namespace kestrel::exchange
