// A checked reference from one report object to another (a band's child, a
// memo's FlowTo, a view's data set): it holds the object's life token, never
// only its address, so a destroyed object reads as none even when a new
// object has come to live at the same address.
#pragma once

#include <memory>

namespace zentavo {

template <class T>
class TfrxObjectRef {
 public:
  TfrxObjectRef() = default;
  explicit TfrxObjectRef(T* object) { Reset(object); }

  // The object, or none once it has been destroyed.
  T* Get() const { return token_.expired() ? nullptr : object_; }
  void Reset(T* object = nullptr) {
    object_ = object;
    token_ = object != nullptr ? object->LifeToken() : std::weak_ptr<const void>();
  }

 private:
  T* object_ = nullptr;
  std::weak_ptr<const void> token_;
};

}  // namespace zentavo
