#include "components/spread/type_info.h"

#include "components/spread/members/members.h"
#include "platform/com/bstr.h"
#include "platform/com/com_object.h"
#include "platform/com/hresult.h"
#include "platform/com/wide_text.h"

namespace spread {

using namespace platform;

namespace {

constexpr SpreadEvent kEvents[] = {
#define X(name, ...) SpreadEvent::name,
#include "components/spread/members/event_list.inc"
#undef X
};

class TypeInfo final : public UnownedComObject<Implements<ITypeInfo>> {
 public:
  HRESULT GetNames(DISPID member, OLECHAR** names, UINT maxNames, UINT* count) override {
    if (!names || !count) return E_INVALIDARG;
    *count = 0;
    std::string_view name;
    for (const SpreadEvent e : kEvents)
      if (EventDispid(e) == member) name = EventName(e);
    if (name.empty())
      if (const MemberInfo* m = FindMember(member)) name = m->name;
    if (name.empty()) return DISP_E_MEMBERNOTFOUND;
    if (maxNames == 0) return S_OK;
    names[0] = SysAllocString(ansiToWide(name).c_str());
    if (!names[0]) return E_OUTOFMEMORY;
    *count = 1;
    return S_OK;
  }
};

}  // namespace

ITypeInfo* SpreadTypeInfo() {
  static TypeInfo info;
  info.AddRef();
  return &info;
}

}  // namespace spread
