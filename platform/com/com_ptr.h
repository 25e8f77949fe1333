// An owning pointer to an interface: it holds one reference and gives it back when it goes.
// Copies add a reference, moves hand it over, and `put` is the out-parameter form for the calls
// that return a new reference through `void**` (QueryInterface, CoCreateInstance, ...).
#pragma once

#include <cstddef>
#include <utility>

#include "platform/com/unknown.h"

namespace platform {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Shares the object: takes a reference of its own.
  explicit ComPtr(T* object) : p_(object) {
    if (p_) p_->AddRef();
  }
  // Takes over a reference that the caller already owns (a raw out-parameter, a `new` object).
  static ComPtr adopt(T* object) {
    ComPtr c;
    c.p_ = object;
    return c;
  }
  ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() { reset(); }

  void reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Hands the reference to the caller, who must release it.
  T* release() { return std::exchange(p_, nullptr); }
  // Gives back the reference held (if any) and lends the slot to a call that stores a new one.
  void** put() {
    reset();
    return reinterpret_cast<void**>(&p_);
  }

 private:
  T* p_ = nullptr;
};

}  // namespace platform
