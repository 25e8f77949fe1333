// The class object of a component class: one per class, registered with RegisterComponentClass,
// it makes a new T for each CreateInstance and hands out the interface asked for. It lives as
// long as its registration (a static or a test's local), so its reference count is only kept.
//
//   static ClassFactory<SpreadControl> factory;
//
// T is a ComObject; whether its constructor gives the creator the first reference or leaves the
// count at 0 (BasicComObject's two starts) is read from the new object, so both kinds work.
#pragma once

#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"

namespace platform {

template <class T>
class ClassFactory final : public UnownedComObject<Implements<IClassFactory, IID_IClassFactory>> {
 public:
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    T* made = new T;
    const ComPtr<T> held = made->references() ? ComPtr<T>::adopt(made) : ComPtr<T>(made);
    return held->QueryInterface(iid, object);
  }
  HRESULT LockServer(BOOL) override { return S_OK; }
};

}  // namespace platform
