#pragma once

#include <optional>
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

// The outcome of an operation that gives back no value: true on success, like Result, else the
// reason. A default Status is a success, so a function ends with `return {};`.
//     if (const Status<E> done = do_it(); !done) tell(done.error());
template <class E> class [[nodiscard]] Status {
  public:
    Status() = default;
    Status(E error) : m_error(error) {}

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }

    // Only valid when !ok().
    E error() const { return *m_error; }

    friend bool operator==(const Status&, const Status&) = default;

  private:
    std::optional<E> m_error;
};

} // namespace kestrel
