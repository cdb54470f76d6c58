// An owning reference to a COM interface: Release on destruction, AddRef on copy.
#pragma once

#include <objbase.h>

#include <utility>

namespace dav::com {

template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already holds.
  static ComPtr Adopt(Interface* raw) {
    ComPtr result;
    result.raw_ = raw;
    return result;
  }
  // Adds a reference of its own.
  static ComPtr Share(Interface* raw) {
    if (raw) raw->AddRef();
    return Adopt(raw);
  }
  ComPtr(const ComPtr& other) : raw_(other.raw_) {
    if (raw_) raw_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : raw_(std::exchange(other.raw_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(raw_, other.raw_);
    return *this;
  }
  ~ComPtr() {
    if (raw_) raw_->Release();
  }

  Interface* get() const { return raw_; }
  Interface* operator->() const { return raw_; }
  explicit operator bool() const { return raw_ != nullptr; }

  // For out-parameters: drops the current reference and hands out the slot.
  Interface** Receive() {
    *this = ComPtr();
    return &raw_;
  }

  // QueryInterface for another interface; empty when the object does not offer it.
  template <typename Other>
  ComPtr<Other> Query(const IID& iid) const {
    ComPtr<Other> result;
    if (raw_) raw_->QueryInterface(iid, reinterpret_cast<void**>(result.Receive()));
    return result;
  }

 private:
  Interface* raw_ = nullptr;
};

}  // namespace dav::com
