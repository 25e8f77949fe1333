// The grid's automation members: one table from member name to DISPID, kind, value type and
// argument counts (member_list.inc), the call that carries a member out on a Book, the dispatch
// argument types of the events a Book raises (event_list.inc), and the picture object members
// hand out and take. The COM face (IDispatch, connection points, persistence) is built on this
// header and on the model.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "components/spread/model/events.h"
#include "platform/com/com_ptr.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"

namespace spread {

using platform::DISPID;
using platform::HRESULT;
using platform::VARTYPE;
using platform::WORD;

class AddressedBook;  // a book and what its members address (addressed_book.h)
struct Picture;       // a loaded picture: bytes, kind, size (model/picture.h)

enum class MemberKind : std::uint8_t { Property, Method };

struct MemberInfo {
  std::string_view name;  // as the component spells it ("TypeHAlign")
  DISPID dispid;          // stable; 178 is the cell picture property
  MemberKind kind;
  VARTYPE type;                   // value / result type (VT_I4, VT_R8, VT_BSTR, VT_BOOL, VT_DISPATCH, VT_EMPTY for none)
  std::uint8_t minArgs, maxArgs;  // index arguments of a property, arguments of a method
};

// DISPID of the cell picture property (written with a picture object as a property put).
inline constexpr DISPID kCellPictureDispid = 178;

// Every member, in the order of member_list.inc.
std::span<const MemberInfo> Members();
// By name, ASCII letters compared without case ("TypehAlign" finds "TypeHAlign"); null if none.
const MemberInfo* FindMember(std::string_view name);
const MemberInfo* FindMember(DISPID id);

// Carries out one member (an entry of Members()) on the book. flags: DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT or
// DISPATCH_METHOD (a method may also be read like a property, and a property read with
// DISPATCH_METHOD|DISPATCH_PROPERTYGET). args in call order: first argument first; for a put the
// value is last. Arguments are converted as a dispatch interface does (VariantChangeType).
// Returns S_OK, DISP_E_BADPARAMCOUNT, DISP_E_TYPEMISMATCH, DISP_E_MEMBERNOTFOUND (a read-only
// property written, a method put), E_INVALIDARG (a value the member refuses), ...; on failure
// *error (when not null) holds the exception text for EXCEPINFO. result may be null.
[[nodiscard]] HRESULT InvokeMember(AddressedBook& book, const MemberInfo& m, WORD flags, std::span<const platform::VARIANT> args,
                                   platform::Variant* result, std::string* error);

// The dispatch face of the model's events (model/events.h): the DISPID of each and its argument
// types in order (VT_BYREF marks an argument the sink may change), from event_list.inc.
DISPID EventDispid(SpreadEvent e);
std::span<const VARTYPE> EventArgumentTypes(SpreadEvent e);

// The picture object's dispatch face (members/picture_object.h):
// LoadPicture returns MakePictureObject's object as VT_DISPATCH; the cell picture property takes
// any dispatch object and keeps PictureOf it (null when the object is not one of ours).
platform::ComPtr<platform::IDispatch> MakePictureObject(std::shared_ptr<const Picture> picture);
std::shared_ptr<const Picture> PictureOf(platform::IDispatch* object);

}  // namespace spread
