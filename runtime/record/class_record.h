// The class record: the static data every class carries. A zero word, the class's type
// information, its instance size, its field descriptor and its table of virtual operations.
// An instance begins with its table of virtual operations, so a class's first field lies at
// offset 4; a derived class describes the fields it adds, the first behind its base's instance.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tamsil::record {

struct ClassRecord;

// What a run-time type test needs: the class's name and the class it derives from.
struct ClassTypeInfo {
  std::string_view name;
  const ClassRecord* base = nullptr;
};

struct ClassRecord {
  std::uint32_t reserved = 0;  // the zero word that opens every class record
  const ClassTypeInfo* typeInfo = nullptr;
  std::uint32_t instanceSize = 0;
  std::span<const std::uint8_t> fields;          // the field descriptor
  std::span<const std::string_view> operations;  // the virtual operations' names in slot order
};

// Whether cls is base or derives from it, through any number of steps.
constexpr bool derivesFrom(const ClassRecord& cls, const ClassRecord& base) {
  for (const ClassRecord* c = &cls; c != nullptr; c = c->typeInfo ? c->typeInfo->base : nullptr)
    if (c == &base) return true;
  return false;
}

// The slot of a virtual operation, or -1 when the class has none of that name.
constexpr int operationSlot(const ClassRecord& cls, std::string_view name) {
  for (std::size_t i = 0; i < cls.operations.size(); ++i)
    if (cls.operations[i] == name) return int(i);
  return -1;
}

}  // namespace tamsil::record
