#pragma once

#include "logstore/call_lookup.hpp"
#include "logstore/record.hpp"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrel::logstore {

// The base call and day number of every record of the open log, by record number (1-based), for
// worked-before searches and for finding a record's place in date order. It grows with the log;
// there is no fixed number of slots.
class RecordIndex {
  public:
    int size() const { return static_cast<int>(m_slots.size()); }

    // Record n, 1 ≤ n ≤ size(); anything else is a programming error (std::out_of_range).
    // The call is the 12-character padded index text.
    std::string_view index_call(int n) const;
    int index_date(int n) const; // the day number

    void set_call(int n, std::string_view index_text);
    void set(int n, std::string_view index_text, int date);
    // Makes room at n (1 ≤ n ≤ size() + 1); records from n on move up by one.
    void insert(int n, std::string_view index_text, int date);
    void append(std::string_view index_text, int date) { insert(size() + 1, index_text, date); }
    // The same for an index text already 12 characters long, padding and all: the quick way to
    // fill the index from the log.
    void append_text(const CallLookup::Text& index_text, int date) {
        if (m_lookup_ready) m_lookup.add(index_text, size() + 1);
        m_slots.push_back({index_text, date});
    }
    void erase(int n);
    // Removes the records of the given numbers (strictly ascending, each 1 ≤ n ≤ size()) in one
    // pass.
    void erase_sorted(const std::vector<int>& numbers);
    // Keeps the first `count` records.
    void shrink_to(int count);
    // Takes record `from` out and puts it back as record `to` with new contents, moving the
    // records between by one: the index side of replacing an entry.
    void move(int from, int to, std::string_view index_text, int date);
    void clear();
    void reserve(int count) { m_slots.reserve(static_cast<std::size_t>(count)); }
    // Filling the index from the log in stretches, each perhaps by a thread of its own: an
    // empty index is given room for `count` records, then each record n is put once. Records
    // put by different threads never share a slot.
    void make_room_to_fill(int count) {
        m_slots.assign(static_cast<std::size_t>(count), Slot{});
        m_lookup.clear();
        m_lookup_ready = false;
    }
    void put_filled(int n, const CallLookup::Text& index_text, int date) {
        m_slots[static_cast<std::size_t>(n - 1)] = {index_text, date};
    }

    // The newest record n ≤ up_to whose index text, padding aside, is `key` (trailing spaces of
    // the key do not count either); 0 when no such record, for an empty key and for up_to < 1.
    // The first search after the index was filled, or after a change that renumbered a large
    // share of it, builds the call lookup; so the searches, though const, are for the one thread
    // that owns the index.
    [[nodiscard]] int last_with_call(std::string_view key, int up_to) const;
    // Builds the call lookup now, for a window that searches often and would rather not make the
    // operator's first search wait for it.
    void prepare_call_lookup() const;

  private:
    using Text = CallLookup::Text;
    struct Slot {
        Text call;
        int date; // the day number, decoded
    };
    static Slot make_slot(std::string_view index_text, int date);
    std::size_t position(int n) const;
    const Text& call_of(int n) const { return m_slots[static_cast<std::size_t>(n - 1)].call; }

    // Whether a change that renumbers `records` records keeps the lookup up to date rather than
    // dropping it to be built again at the next search.
    bool lookup_follows(int records) const;
    void change_call(int n, const Text& from, const Text& to);

    std::vector<Slot> m_slots;
    // Built on first use and kept in step by every change after that.
    mutable CallLookup m_lookup;
    mutable bool m_lookup_ready = false;
};

} // namespace kestrel::logstore
