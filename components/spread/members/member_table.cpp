// The member table: names, DISPIDs and shapes from member_list.inc, found by name (without case)
// or by DISPID.
#include <array>
#include <cstdint>
#include <unordered_map>

#include "components/spread/members/members.h"
#include "platform/ascii.h"

namespace spread {

namespace {

using platform::VT_BOOL;
using platform::VT_BSTR;
using platform::VT_DISPATCH;
using platform::VT_EMPTY;
using platform::VT_I2;
using platform::VT_I4;
using platform::VT_R8;
using platform::VT_UI4;
constexpr MemberKind Property = MemberKind::Property, Method = MemberKind::Method;

constexpr MemberInfo kMembers[] = {
#define X(name, dispid, kind, type, minArgs, maxArgs, handler) {#name, dispid, kind, type, minArgs, maxArgs},
#include "components/spread/members/member_list.inc"
#undef X
};

// Names hashed without case (FNV-1a over the lower-case letters) into an open-addressed table
// of twice the members' number or more, probed linearly: a lookup hashes once and compares about
// one name, and allocates nothing.
std::uint64_t hashNoCase(std::string_view name) {
  std::uint64_t h = 14695981039346656037ull;
  for (char c : name) h = (h ^ std::uint8_t(platform::ascii::toLower(c))) * 1099511628211ull;
  return h;
}

constexpr size_t kSlots = 1024;
static_assert(kSlots >= 2 * std::size(kMembers) && (kSlots & (kSlots - 1)) == 0);

const std::array<const MemberInfo*, kSlots>& byName() {
  static const std::array<const MemberInfo*, kSlots> slots = [] {
    std::array<const MemberInfo*, kSlots> table{};
    for (const MemberInfo& m : kMembers) {
      size_t i = hashNoCase(m.name) & (kSlots - 1);
      while (table[i]) i = (i + 1) & (kSlots - 1);
      table[i] = &m;
    }
    return table;
  }();
  return slots;
}

const std::unordered_map<DISPID, const MemberInfo*>& byDispid() {
  static const std::unordered_map<DISPID, const MemberInfo*> index = [] {
    std::unordered_map<DISPID, const MemberInfo*> map;
    for (const MemberInfo& m : kMembers) map.emplace(m.dispid, &m);
    return map;
  }();
  return index;
}

}  // namespace

std::span<const MemberInfo> Members() { return kMembers; }

const MemberInfo* FindMember(std::string_view name) {
  const auto& slots = byName();
  for (size_t i = hashNoCase(name) & (kSlots - 1); slots[i]; i = (i + 1) & (kSlots - 1))
    if (platform::ascii::equalsNoCase(slots[i]->name, name)) return slots[i];
  return nullptr;
}

const MemberInfo* FindMember(DISPID id) {
  const auto& index = byDispid();
  const auto it = index.find(id);
  return it == index.end() ? nullptr : it->second;
}

}  // namespace spread
