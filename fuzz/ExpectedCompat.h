// std::expected for the fuzz builds: clang 14 cannot compile libstdc++ 12's <expected>.
#pragma once
// Forced into every fuzz translation unit (-include). Where the library provides
// std::expected (GCC builds, newer clang) this header adds nothing.
#include <version>

#if !defined(__cpp_lib_expected)
#include <type_traits>
#include <utility>
#include <optional>
#include <variant>

namespace std {

template <class E>
class unexpected {
public:
  constexpr explicit unexpected(E error) : m_error(std::move(error)) {}
  constexpr const E& error() const& noexcept { return m_error; }
  constexpr E& error() & noexcept { return m_error; }
  constexpr E&& error() && noexcept { return std::move(m_error); }

private:
  E m_error;
};

template <class E>
unexpected(E) -> unexpected<E>;

template <class T>
inline constexpr bool kIsUnexpected = false;
template <class E>
inline constexpr bool kIsUnexpected<unexpected<E>> = true;

template <class T, class E>
class expected {
public:
  using value_type = T;
  using error_type = E;

  constexpr expected() : m_state(std::in_place_index<0>) {}
  template <class U = T>
    requires(!std::is_same_v<std::remove_cvref_t<U>, expected> &&
             !kIsUnexpected<std::remove_cvref_t<U>> && std::is_constructible_v<T, U &&>)
  constexpr expected(U&& value) : m_state(std::in_place_index<0>, std::forward<U>(value)) {}
  template <class G>
  constexpr expected(const unexpected<G>& error) : m_state(std::in_place_index<1>, error.error()) {}
  template <class G>
  constexpr expected(unexpected<G>&& error)
      : m_state(std::in_place_index<1>, std::move(error).error()) {}

  constexpr bool has_value() const noexcept { return m_state.index() == 0; }
  constexpr explicit operator bool() const noexcept { return has_value(); }
  constexpr const T& operator*() const& { return *std::get_if<0>(&m_state); }
  constexpr T& operator*() & { return *std::get_if<0>(&m_state); }
  constexpr const T* operator->() const { return std::get_if<0>(&m_state); }
  constexpr T* operator->() { return std::get_if<0>(&m_state); }
  constexpr const T& value() const& { return std::get<0>(m_state); }
  constexpr const E& error() const& { return *std::get_if<1>(&m_state); }

  template <class U>
  friend constexpr bool operator==(const expected& x, const U& value) {
    return x.has_value() && *x == value;
  }

private:
  std::variant<T, E> m_state;
};

template <class E>
class expected<void, E> {
public:
  using value_type = void;
  using error_type = E;

  constexpr expected() = default;
  template <class G>
  constexpr expected(const unexpected<G>& error) : m_error(std::in_place, error.error()) {}
  template <class G>
  constexpr expected(unexpected<G>&& error) : m_error(std::in_place, std::move(error).error()) {}

  constexpr bool has_value() const noexcept { return !m_error.has_value(); }
  constexpr explicit operator bool() const noexcept { return has_value(); }
  constexpr const E& error() const& { return *m_error; }

private:
  std::optional<E> m_error;
};

}  // namespace std
#endif
