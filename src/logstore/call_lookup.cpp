#include "logstore/call_lookup.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace kestrel::logstore {

namespace {

struct Words {
    std::uint64_t head;
    std::uint32_t tail;
};

Words words_of(const CallLookup::Text& text) {
    Words words{};
    std::memcpy(&words.head, text.data(), sizeof words.head);
    std::memcpy(&words.tail, text.data() + sizeof words.head, sizeof words.tail);
    return words;
}

bool same(const CallLookup::Text& a, const CallLookup::Text& b) {
    const Words x = words_of(a), y = words_of(b);
    return x.head == y.head && x.tail == y.tail;
}

// The 12 bytes as two words, multiplied and folded: calls differ mostly in a few letters near
// the middle, and every byte must reach the low bits that pick the slot.
std::size_t hash_of(const CallLookup::Text& text) {
    const Words words = words_of(text);
    std::uint64_t h = words.head * 0x9E3779B97F4A7C15ULL ^ std::uint64_t{words.tail} * 0xC2B2AE3D27D4EB4FULL;
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ULL;
    h ^= h >> 32;
    return static_cast<std::size_t>(h);
}

constexpr std::size_t k_least_slots = 1024;

} // namespace

std::size_t CallLookup::slot_of(const Text& call) const {
    const std::size_t mask = m_table.size() - 1;
    std::size_t slot = hash_of(call) & mask;
    while (m_table[slot].list != k_free && !same(m_table[slot].call, call))
        slot = (slot + 1) & mask;
    return slot;
}

void CallLookup::rehash(std::size_t slots) {
    std::vector<Entry> old = std::move(m_table);
    m_table.assign(slots, Entry{{}, k_free});
    for (const Entry& entry : old) {
        if (entry.list != k_free) m_table[slot_of(entry.call)] = entry;
    }
}

void CallLookup::clear() {
    m_table = {};
    m_lists = {};
}

std::uint32_t CallLookup::list_of(const Text& call) const {
    return m_table.empty() ? k_free : m_table[slot_of(call)].list;
}

void CallLookup::add(const Text& call, int n) {
    if (2 * (m_lists.size() + 1) > m_table.size()) rehash(std::max(k_least_slots, 2 * m_table.size()));
    Entry& entry = m_table[slot_of(call)];
    if (entry.list == k_free) {
        entry = {call, static_cast<std::uint32_t>(m_lists.size())};
        m_lists.emplace_back();
    }
    std::vector<int>& numbers = m_lists[entry.list];
    if (numbers.empty() || numbers.back() < n) {
        numbers.push_back(n);
        return;
    }
    numbers.insert(std::lower_bound(numbers.begin(), numbers.end(), n), n);
}

std::vector<int>::iterator CallLookup::find(const Text& call, int n) {
    if (const std::uint32_t list = list_of(call); list != k_free) {
        std::vector<int>& numbers = m_lists[list];
        if (const auto at = std::lower_bound(numbers.begin(), numbers.end(), n);
            at != numbers.end() && *at == n)
            return at;
    }
    // A number missing here means the index and its lookup no longer agree: a fault in the
    // caller, never something the log's contents can cause.
    throw std::logic_error("call lookup: record " + std::to_string(n) + " is not under its call");
}

void CallLookup::remove(const Text& call, int n) {
    const auto at = find(call, n);
    m_lists[list_of(call)].erase(at);
}

void CallLookup::renumber(const Text& call, int n, int to) {
    *find(call, n) = to;
}

int CallLookup::last(const Text& call, int up_to) const {
    const std::uint32_t list = list_of(call);
    if (list == k_free) return 0;
    const std::vector<int>& numbers = m_lists[list];
    const auto after = std::upper_bound(numbers.begin(), numbers.end(), up_to);
    return after == numbers.begin() ? 0 : *(after - 1);
}

} // namespace kestrel::logstore
