// Sets a global for the lifetime of the object and puts the old value back when it ends, so that
// a failed assertion or an early return cannot leave the setting behind for the next test.
#pragma once

#include <utility>

namespace t4::test {

template <class T>
class ScopedValue {
 public:
  ScopedValue(T& target, T value) : m_target(target), m_saved(target) { m_target = std::move(value); }
  ~ScopedValue() { m_target = std::move(m_saved); }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

 private:
  T& m_target;
  T m_saved;
};

// Keeps the current value and restores it at the end, for a test that changes it along the way.
template <class T>
class ScopedRestore : public ScopedValue<T> {
 public:
  explicit ScopedRestore(T& target) : ScopedValue<T>(target, target) {}
};

}  // namespace t4::test
