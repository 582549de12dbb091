// Owners of COM resources for one scope: an interface pointer (Release) and the calling
// thread's apartment (CoUninitialize when this scope started it).
#ifndef LUMIVEX_STANDIN_COM_OBJECTS_H
#define LUMIVEX_STANDIN_COM_OBJECTS_H

#include <objbase.h>

namespace lvx::standin {

// A COM interface pointer (Release).
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (pointer_ != nullptr) {
      pointer_->Release();
    }
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ComRef(ComRef&&) = delete;
  ComRef& operator=(ComRef&&) = delete;
  T** Out() { return &pointer_; }
  T* operator->() const { return pointer_; }
  [[nodiscard]] T* Get() const { return pointer_; }

 private:
  T* pointer_ = nullptr;
};

// COM for the calling thread while decoding (the host may have started it already).
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) {
      CoUninitialize();
    }
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ComApartment(ComApartment&&) = delete;
  ComApartment& operator=(ComApartment&&) = delete;

 private:
  HRESULT result_;
};

}  // namespace lvx::standin

#endif
