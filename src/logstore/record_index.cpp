#include "logstore/record_index.hpp"

#include <algorithm>
#include <stdexcept>

namespace kestrel::logstore {

RecordIndex::Slot RecordIndex::make_slot(std::string_view index_text, std::int16_t date) {
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

std::int16_t RecordIndex::index_date(int n) const {
    return m_slots[position(n)].date;
}

void RecordIndex::set_call(int n, std::string_view index_text) {
    Slot& slot = m_slots[position(n)];
    slot = make_slot(index_text, slot.date);
}

void RecordIndex::set(int n, std::string_view index_text, std::int16_t date) {
    m_slots[position(n)] = make_slot(index_text, date);
}

void RecordIndex::insert(int n, std::string_view index_text, std::int16_t date) {
    if (n < 1 || n > size() + 1)
        throw std::out_of_range("record index: cannot insert at " + std::to_string(n));
    m_slots.insert(m_slots.begin() + (n - 1), make_slot(index_text, date));
}

void RecordIndex::erase(int n) {
    m_slots.erase(m_slots.begin() + static_cast<std::ptrdiff_t>(position(n)));
}

void RecordIndex::erase_sorted(const std::vector<int>& numbers) {
    if (numbers.empty()) return;
    std::size_t out = position(numbers.front());
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
    m_slots.resize(static_cast<std::size_t>(count));
}

void RecordIndex::move(int from, int to, std::string_view index_text, std::int16_t date) {
    const auto first = m_slots.begin();
    const auto source = static_cast<std::ptrdiff_t>(position(from));
    const auto target = static_cast<std::ptrdiff_t>(position(to));
    if (target < source) {
        std::rotate(first + target, first + source, first + source + 1);
    } else if (target > source) {
        std::rotate(first + source, first + source + 1, first + target + 1);
    }
    m_slots[static_cast<std::size_t>(target)] = make_slot(index_text, date);
}

} // namespace kestrel::logstore
