#include "runtime/value/value_stack.h"

#include <cstring>
#include <string>

#include "platform/queue/thread.h"
#include "runtime/core/internal_fault.h"
#include "runtime/core/thread_context.h"
#include "runtime/heap/heap.h"

namespace tamsil {

// --- StackEntry ------------------------------------------------------------------------------

StackEntry::StackEntry(StackEntry&& other) noexcept { *this = std::move(other); }

StackEntry& StackEntry::operator=(StackEntry&& other) noexcept {
  if (this == &other) return *this;
  release();
  form = other.form;
  storage = other.storage;
  capacity = other.capacity;
  length = other.length;
  address = other.address;
  fill = other.fill;
  wide = other.wide;
  borrowedVariant = other.borrowedVariant;
  ownVariant = other.ownVariant;
  std::memcpy(buffer, other.buffer, kInlineSize);
  // The other entry no longer owns anything; clear it without releasing.
  other.storage = EntryStorage::Borrowed;
  other.ownVariant = platform::VARIANT{};
  other.wide = nullptr;
  other.address = nullptr;
  other.release();
  return *this;
}

std::string_view StackEntry::text() const {
  if (storage == EntryStorage::Inline) return {buffer, std::size_t(length)};
  if (!address || length <= 0) return {};
  return {address, std::size_t(length)};
}

const platform::VARIANT& StackEntry::variant() const { return storage == EntryStorage::Borrowed ? *borrowedVariant : ownVariant; }

void StackEntry::release() {
  if (storage == EntryStorage::Owned) {
    switch (form) {
      case EntryForm::Text: Free(const_cast<char*>(address)); break;
      case EntryForm::Wide: platform::SysFreeString(wide); break;
      case EntryForm::Variant: platform::VariantClear(&ownVariant); break;
      case EntryForm::Fill: break;
    }
  }
  form = EntryForm::Text;
  storage = EntryStorage::Borrowed;
  capacity = 0;
  length = 0;
  address = nullptr;
  wide = nullptr;
  borrowedVariant = nullptr;
  ownVariant = platform::VARIANT{};
}

void StackEntry::setText(std::string_view bytes) {
  if (bytes.size() > std::size_t(INT32_MAX)) bytes = bytes.substr(0, INT32_MAX);
  if (bytes.size() <= kInlineSize) {
    char copy[kInlineSize];
    std::memcpy(copy, bytes.data(), bytes.size());  // bytes may live in this entry
    release();
    std::memcpy(buffer, copy, bytes.size());
    storage = bytes.empty() ? EntryStorage::Borrowed : EntryStorage::Inline;
    length = std::int32_t(bytes.size());
    return;
  }
  char* block = static_cast<char*>(Allocate(bytes.size()));
  if (block) std::memcpy(block, bytes.data(), bytes.size());
  release();
  if (!block) return;  // out of memory: the empty text
  storage = EntryStorage::Owned;
  address = block;
  capacity = std::uint32_t(bytes.size());
  length = std::int32_t(bytes.size());
}

char* StackEntry::makeText(std::size_t size) {
  release();
  if (size > std::size_t(INT32_MAX)) return nullptr;
  length = std::int32_t(size);
  if (size <= kInlineSize) {
    storage = size ? EntryStorage::Inline : EntryStorage::Borrowed;
    return buffer;
  }
  char* block = static_cast<char*>(Allocate(size));
  if (!block) {
    length = 0;
    return nullptr;
  }
  storage = EntryStorage::Owned;
  address = block;
  capacity = std::uint32_t(size);
  return block;
}

void StackEntry::narrow(std::size_t offset, std::size_t count) {
  const std::string_view whole = text();
  const std::string_view part = whole.substr(std::min(offset, whole.size()), count);
  if (storage == EntryStorage::Owned && part.size() > kInlineSize) {
    // Keep the heap block; move the part to its start so the block can still be freed.
    std::memmove(const_cast<char*>(address), part.data(), part.size());
    length = std::int32_t(part.size());
  } else if (storage == EntryStorage::Borrowed) {
    address = part.empty() ? nullptr : part.data();
    length = std::int32_t(part.size());
  } else {
    setText(part);
  }
}

// --- ValueStack -------------------------------------------------------------------------------

ValueStack::ValueStack() : owner_(platform::GetCurrentThreadId()) {}

StackEntry& ValueStack::Reserve() {
  if (count_ == kCapacity) internalFault("value stack is full (32 entries)");
  StackEntry& entry = entries_[std::size_t(count_++)];
  entry.release();
  return entry;
}

StackEntry ValueStack::Take() {
  if (count_ == 0) internalFault("take from an empty value stack");
  return std::move(entries_[std::size_t(--count_)]);
}

StackEntry& ValueStack::Peek(int depth) {
  if (depth < 0 || depth >= count_) internalFault("value stack peek below the bottom");
  return entries_[std::size_t(count_ - 1 - depth)];
}

ValueStack& threadValueStack() {
  ThreadContext* context = currentThreadContext();
  if (!context) internalFault("value stack used on a thread without a ThreadContext");
  return context->layer<ValueStack>(ThreadContext::Layer::ValueStack);
}

// --- Entry primitives -------------------------------------------------------------------------

void FreeEntry(StackEntry& entry) { entry.release(); }

namespace {

// The single-byte text of a BSTR (Windows-1252, '?' for characters it lacks).
std::string ansiOf(platform::BSTR wide) { return platform::wideToAnsi(platform::bstrView(wide)); }

}  // namespace

// Text stays; a fill becomes its bytes; a wide string is converted to the ANSI code page; an
// object variant becomes "`" and the interface pointer in decimal (the reference the automation
// bridge reads back); any other variant is changed to a wide string first. A variant that has
// no text (VT_NULL, VT_ERROR) gives the empty text.
void AsText(StackEntry& entry) {
  switch (entry.form) {
    case EntryForm::Text: return;
    case EntryForm::Fill: {
      StackEntry result;
      if (char* out = result.makeText(std::size_t(std::max(entry.length, 0)))) std::memset(out, entry.fill, std::size_t(result.length));
      entry = std::move(result);
      return;
    }
    case EntryForm::Wide: {
      const std::string bytes = ansiOf(entry.wide);
      entry.setText(bytes);
      return;
    }
    case EntryForm::Variant: {
      const platform::VARIANT& v = entry.variant();
      const platform::VARTYPE type = v.vt & ~platform::VT_BYREF;
      std::string bytes;
      if (type == platform::VT_UNKNOWN || type == platform::VT_DISPATCH) {
        platform::IUnknown* object = v.vt & platform::VT_BYREF ? *static_cast<platform::IUnknown* const*>(v.byref) : v.punkVal;
        bytes = "`" + std::to_string(reinterpret_cast<std::uintptr_t>(object));
      } else {
        platform::Variant text;
        if (platform::SUCCEEDED(platform::VariantChangeType(text.get(), &v, 0, platform::VT_BSTR))) bytes = ansiOf(text->bstrVal);
      }
      entry.setText(bytes);
      return;
    }
  }
}

void AsWide(StackEntry& entry) {
  if (entry.form == EntryForm::Wide && entry.storage == EntryStorage::Owned) return;
  platform::Bstr wide;
  if (entry.form == EntryForm::Wide) {
    wide = platform::Bstr(platform::bstrView(entry.wide));
  } else if (entry.form == EntryForm::Variant) {
    platform::Variant text;
    if (platform::SUCCEEDED(platform::VariantChangeType(text.get(), &entry.variant(), 0, platform::VT_BSTR)))
      wide = platform::Bstr::adopt(std::exchange(text->bstrVal, nullptr));
    text->vt = platform::VT_EMPTY;
  } else {
    AsText(entry);
    wide = platform::Bstr(platform::ansiToWide(entry.text()));
  }
  entry.release();
  entry.form = EntryForm::Wide;
  entry.storage = EntryStorage::Owned;
  entry.wide = wide.release();
}

void Own(StackEntry& entry, std::int32_t n) {
  if (entry.storage != EntryStorage::Borrowed) return;
  switch (entry.form) {
    case EntryForm::Text: {
      if (entry.isExtreme()) return;  // nothing to copy
      std::string_view bytes = entry.text();
      if (n >= 0) bytes = bytes.substr(0, std::size_t(n));
      entry.setText(bytes);
      return;
    }
    case EntryForm::Fill: return;  // holds no memory
    case EntryForm::Wide:
      entry.wide = platform::SysAllocStringLen(entry.wide, platform::SysStringLen(entry.wide));
      entry.storage = EntryStorage::Owned;
      return;
    case EntryForm::Variant: {
      platform::VARIANT copy;
      platform::VariantCopy(&copy, entry.borrowedVariant);
      entry.release();
      entry.form = EntryForm::Variant;
      entry.storage = EntryStorage::Owned;
      entry.ownVariant = copy;
      return;
    }
  }
}

}  // namespace tamsil
