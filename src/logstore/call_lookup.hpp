#pragma once

#include "logstore/record.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrel::logstore {

// For each index text, the numbers of the records that hold it in ascending order, so that the
// newest earlier contact with a call is found without reading the whole index. RecordIndex keeps
// it in step with its records; on its own it knows nothing of them.
class CallLookup {
  public:
    // A record's index text exactly as the index holds it: 12 bytes, space padded.
    using Text = std::array<char, k_call_width>;

    // Puts record n under `call`. Adding past the last number held (the log growing at its end)
    // costs one hash look-up; anywhere else the numbers after it move up in their list.
    void add(const Text& call, int n);
    // Takes record n from under `call`.
    void remove(const Text& call, int n);
    // Record n of `call` is numbered `to` from now on. Its place among the call's numbers must
    // not change (the caller renumbers in an order that keeps each list ascending).
    void renumber(const Text& call, int n, int to);
    // The highest number ≤ up_to under `call`, 0 when there is none.
    [[nodiscard]] int last(const Text& call, int up_to) const;

    // Forgets every call and gives back the memory.
    void clear();

  private:
    // The table is open addressed with linear probing and never more than half full. A call
    // stays in it once added, with an empty list when its records have gone, until clear():
    // only calls given a new text leave such entries, and few are.
    struct Entry {
        Text call;
        std::uint32_t list;
    };
    static_assert(sizeof(Entry) == 16);
    static constexpr std::uint32_t k_free = UINT32_MAX;

    // The entry holding `call`, or the free entry where it would go.
    std::size_t slot_of(const Text& call) const;
    // Which list holds the numbers of `call`, k_free when it has none.
    std::uint32_t list_of(const Text& call) const;
    // Where record n stands under `call`.
    std::vector<int>::iterator find(const Text& call, int n);
    void rehash(std::size_t slots);

    std::vector<Entry> m_table;
    std::vector<std::vector<int>> m_lists;
};

} // namespace kestrel::logstore
