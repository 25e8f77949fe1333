// IUnknown written once: a base for objects that implement one or more interfaces. Each
// interface is listed with the identifiers QueryInterface answers for it; IID_IUnknown is
// answered by the first one listed. References are counted atomically; a heap object deletes
// itself when the last one goes, an unowned one (a test's stack or static object) only counts.
//
//   class Storage final : public ComObject<Implements<IStorage, IID_IStorage>> { ... };
//
// An interface listed without identifiers is inherited and implemented but not handed out. A
// class whose creator keeps the first reference constructs its base as `BasicComObject(1)`.
#pragma once

#include <atomic>

#include "platform/com/hresult.h"
#include "platform/com/unknown.h"

namespace platform {

template <class I, const IID&... ids>
struct Implements {
  using Interface = I;
  static bool answers(const IID& iid) { return ((iid == ids) || ...); }
};

// Who ends an object's life when its count reaches zero.
enum class Lifetime {
  Heap,     // the object deletes itself
  Unowned,  // its owner does; the count is only kept
};

template <Lifetime lifetime, class First, class... Rest>
class BasicComObject : public First::Interface, public Rest::Interface... {
 public:
  HRESULT QueryInterface(const IID& iid, void** object) override {
    void* found = nullptr;
    if (iid == IID_IUnknown) found = static_cast<typename First::Interface*>(this);
    else (void)(answer<First>(iid, found) || ... || answer<Rest>(iid, found));
    *object = found;
    if (!found) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    const ULONG left = --refs_;
    if constexpr (lifetime == Lifetime::Heap)
      if (left == 0) delete this;
    return left;
  }
  // The references held now (tests check the counts).
  ULONG references() const { return refs_; }

 protected:
  // The count starts at 0 when the first reference comes from QueryInterface, at 1 when the
  // creator holds one.
  explicit BasicComObject(ULONG initialReferences = 0) : refs_(initialReferences) {}
  virtual ~BasicComObject() = default;

 private:
  template <class Entry>
  bool answer(const IID& iid, void*& found) {
    if (!Entry::answers(iid)) return false;
    found = static_cast<typename Entry::Interface*>(this);
    return true;
  }

  std::atomic<ULONG> refs_;
};

template <class... Interfaces>
using ComObject = BasicComObject<Lifetime::Heap, Interfaces...>;
template <class... Interfaces>
using UnownedComObject = BasicComObject<Lifetime::Unowned, Interfaces...>;

}  // namespace platform
