#pragma once

#include <utility>
#include <variant>

namespace kestrel {

// A value or the reason there is none. Expected failures travel as values; the caller decides
// what the operator is told.
template <class T, class E> class [[nodiscard]] Result {
  public:
    Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Result(E error) : m_state(std::in_place_index<1>, error) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only valid when ok(); asking for the value of a failure is a programming error.
    const T& value() const& { return std::get<0>(m_state); }
    T& value() & { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    // Only valid when !ok().
    E error() const { return std::get<1>(m_state); }

  private:
    std::variant<T, E> m_state;
};

} // namespace kestrel
