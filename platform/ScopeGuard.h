// Restore-on-exit: state put back on every way out of a scope, returns and
// exceptions alike, instead of a catch block that restores and rethrows.
#pragma once

#include <utility>

namespace zentavo {

// Runs `undo` when the scope ends, unless dismissed.
template <class F>
class ScopeGuard {
 public:
  explicit ScopeGuard(F undo) : undo_(std::move(undo)) {}
  ~ScopeGuard() {
    if (armed_) undo_();
  }
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;
  // The scope completed as it should: nothing to undo.
  void Dismiss() { armed_ = false; }

 private:
  F undo_;
  bool armed_ = true;
};

// Sets a variable for the length of a scope and puts its old value back.
template <class T>
class ScopedValue {
 public:
  ScopedValue(T& variable, T value) : variable_(variable), saved_(std::exchange(variable, std::move(value))) {}
  ~ScopedValue() { variable_ = std::move(saved_); }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

 private:
  T& variable_;
  T saved_;
};

}  // namespace zentavo
