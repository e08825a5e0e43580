#include "logstore/record_index.hpp"

#include "common/fixed_text.hpp"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <stdexcept>

namespace kestrel::logstore {

namespace {

// A contact logged late or an entry edited moves a few records, and the call lookup follows
// them: each costs a little more than adding a record while building the lookup. A change near
// the start of a large log moves most of them; then the lookup is dropped, to be built again
// only if a search needs it. Up to an eighth of the log (and any few thousand) is followed, so
// that following never costs more than a fraction of a build.
constexpr int k_always_followed = 4096;
constexpr int k_followed_share = 8;

} // namespace

RecordIndex::Slot RecordIndex::make_slot(std::string_view index_text, int date) {
    Slot slot{};
    slot.call.fill(' ');
    std::copy_n(index_text.begin(), std::min<std::size_t>(index_text.size(), k_call_width),
                slot.call.begin());
    slot.date = date;
    return slot;
}

std::size_t RecordIndex::position(int n) const {
    if (n < 1 || n > size()) throw std::out_of_range("record index: no record " + std::to_string(n));
    return static_cast<std::size_t>(n - 1);
}

std::string_view RecordIndex::index_call(int n) const {
    const Slot& slot = m_slots[position(n)];
    return {slot.call.data(), slot.call.size()};
}

int RecordIndex::index_date(int n) const {
    return m_slots[position(n)].date;
}

bool RecordIndex::lookup_follows(int records) const {
    if (!m_lookup_ready) return false;
    if (records <= std::max(k_always_followed, size() / k_followed_share)) return true;
    m_lookup.clear();
    m_lookup_ready = false;
    return false;
}

void RecordIndex::change_call(int n, const Text& from, const Text& to) {
    if (!m_lookup_ready || from == to) return;
    m_lookup.remove(from, n);
    m_lookup.add(to, n);
}

void RecordIndex::set_call(int n, std::string_view index_text) {
    Slot& slot = m_slots[position(n)];
    const Slot changed = make_slot(index_text, slot.date);
    change_call(n, slot.call, changed.call);
    slot = changed;
}

void RecordIndex::set(int n, std::string_view index_text, int date) {
    Slot& slot = m_slots[position(n)];
    const Slot changed = make_slot(index_text, date);
    change_call(n, slot.call, changed.call);
    slot = changed;
}

void RecordIndex::insert(int n, std::string_view index_text, int date) {
    if (n < 1 || n > size() + 1)
        throw std::out_of_range("record index: cannot insert at " + std::to_string(n));
    const Slot slot = make_slot(index_text, date);
    if (lookup_follows(size() - n + 1)) {
        // From the top down, so that each list stays ascending while its numbers move up.
        for (int k = size(); k >= n; --k)
            m_lookup.renumber(call_of(k), k, k + 1);
        m_lookup.add(slot.call, n);
    }
    m_slots.insert(m_slots.begin() + (n - 1), slot);
}

void RecordIndex::erase(int n) {
    const std::size_t at = position(n);
    if (lookup_follows(size() - n + 1)) {
        m_lookup.remove(call_of(n), n);
        for (int k = n + 1; k <= size(); ++k)
            m_lookup.renumber(call_of(k), k, k - 1);
    }
    m_slots.erase(m_slots.begin() + static_cast<std::ptrdiff_t>(at));
}

void RecordIndex::erase_sorted(const std::vector<int>& numbers) {
    if (numbers.empty()) return;
    // Every number is checked before anything changes, so that a bad list leaves all as it was.
    std::size_t out = position(numbers.front());
    static_cast<void>(position(numbers.back()));
    if (std::adjacent_find(numbers.begin(), numbers.end(), std::greater_equal<>()) != numbers.end())
        throw std::invalid_argument("record index: numbers to erase are not strictly ascending");

    const int first = numbers.front();
    if (lookup_follows(size() - first + 1)) {
        // Each record after the first one removed moves down by the number removed before it.
        auto gone = numbers.begin();
        int removed = 0;
        for (int k = first; k <= size(); ++k) {
            if (gone != numbers.end() && *gone == k) {
                m_lookup.remove(call_of(k), k);
                ++gone;
                ++removed;
            } else {
                m_lookup.renumber(call_of(k), k, k - removed);
            }
        }
    }

    auto gone = numbers.begin();
    for (std::size_t in = out; in < m_slots.size(); ++in) {
        if (gone != numbers.end() && static_cast<std::size_t>(*gone) == in + 1) {
            ++gone;
            continue;
        }
        m_slots[out++] = m_slots[in];
    }
    m_slots.resize(out);
}

void RecordIndex::shrink_to(int count) {
    if (count < 0 || count > size()) throw std::out_of_range("record index: cannot shrink");
    if (lookup_follows(size() - count)) {
        for (int k = size(); k > count; --k)
            m_lookup.remove(call_of(k), k);
    }
    m_slots.resize(static_cast<std::size_t>(count));
}

void RecordIndex::move(int from, int to, std::string_view index_text, int date) {
    const auto first = m_slots.begin();
    const auto source = static_cast<std::ptrdiff_t>(position(from));
    const auto target = static_cast<std::ptrdiff_t>(position(to));
    const Slot slot = make_slot(index_text, date);
    if (lookup_follows(std::abs(to - from) + 1)) {
        // The records between close the gap left at `from`, taken in the order that keeps each
        // list ascending, and the new contents land at `to`.
        m_lookup.remove(call_of(from), from);
        for (int k = from + 1; k <= to; ++k)
            m_lookup.renumber(call_of(k), k, k - 1);
        for (int k = from - 1; k >= to; --k)
            m_lookup.renumber(call_of(k), k, k + 1);
        m_lookup.add(slot.call, to);
    }
    if (target < source) {
        std::rotate(first + target, first + source, first + source + 1);
    } else if (target > source) {
        std::rotate(first + source, first + source + 1, first + target + 1);
    }
    m_slots[static_cast<std::size_t>(target)] = slot;
}

void RecordIndex::clear() {
    m_slots.clear();
    m_lookup.clear();
    m_lookup_ready = false;
}

void RecordIndex::prepare_call_lookup() const {
    if (m_lookup_ready) return;
    m_lookup.clear();
    for (int n = 1; n <= size(); ++n)
        m_lookup.add(call_of(n), n);
    m_lookup_ready = true;
}

int RecordIndex::last_with_call(std::string_view key, int up_to) const {
    key = trim_trailing_spaces(key);
    // A longer key cannot match: the index keeps 12 characters of a call.
    if (key.empty() || key.size() > k_call_width || up_to < 1) return 0;
    prepare_call_lookup();
    Text text;
    text.fill(' ');
    std::copy(key.begin(), key.end(), text.begin());
    return m_lookup.last(text, up_to);
}

} // namespace kestrel::logstore
