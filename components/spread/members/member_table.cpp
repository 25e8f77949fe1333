// The member table: names, DISPIDs and shapes from member_list.inc, found by name (without case)
// or by DISPID.
#include <algorithm>
#include <array>
#include <unordered_map>
#include <vector>

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

// The members ordered by name without case, for a binary search.
const std::vector<const MemberInfo*>& byName() {
  static const std::vector<const MemberInfo*> index = [] {
    std::vector<const MemberInfo*> v;
    for (const MemberInfo& m : kMembers) v.push_back(&m);
    std::sort(v.begin(), v.end(), [](const MemberInfo* a, const MemberInfo* b) { return platform::ascii::lessNoCase(a->name, b->name); });
    return v;
  }();
  return index;
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
  const auto& index = byName();
  const auto it = std::lower_bound(index.begin(), index.end(), name,
                                   [](const MemberInfo* m, std::string_view n) { return platform::ascii::lessNoCase(m->name, n); });
  return it != index.end() && platform::ascii::equalsNoCase((*it)->name, name) ? *it : nullptr;
}

const MemberInfo* FindMember(DISPID id) {
  const auto& index = byDispid();
  const auto it = index.find(id);
  return it == index.end() ? nullptr : it->second;
}

}  // namespace spread
