#include "runtime/ole/argument_block.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "platform/ascii.h"
#include "platform/com/wide_text.h"
#include "runtime/eval/evaluator.h"
#include "runtime/eval/evaluator_state.h"
#include "runtime/ole/object_references.h"

namespace tamsil::ole {

using namespace platform;

namespace {

// Hints by the characters that count: a hint matches when it starts with them.
struct HintName {
  std::string_view prefix;
  Hint hint;
};
constexpr HintName kHints[] = {{"bool", Hint::Bool}, {"variant", Hint::Variant}, {"string", Hint::String}, {"int", Hint::Int}};

// The variable types and the VARIANT types they travel as; every other type travels as text.
struct VariableType {
  StorageType type;
  VARTYPE vt;
  bool boolWithHint;  // VT_BOOL instead when the hint is "bool"
};
constexpr VariableType kVariableTypes[] = {
    {StorageType::Byte, VT_UI1, false},  {StorageType::Short, VT_I2, true},
    {StorageType::UShort, VT_UI2, true}, {StorageType::Long, VT_I4, false},
    {StorageType::ULong, VT_UI4, false}, {StorageType::SReal, VT_R4, false},
    {StorageType::Real, VT_R8, false},   {StorageType(kVoidStorageType), VT_VOID, false},
};

bool isTextStorage(StorageType t) { return t == StorageType::String || t == StorageType::CString || t == StorageType::PString; }

void setText(VARIANT& out, std::string_view text) {
  out.vt = VT_BSTR;
  out.bstrVal = Bstr(ansiToWide(text)).release();
}

// The variable bound under that name, or null.
const BoundVariable* boundVariable(std::string_view name) {
  const std::string_view cut = nameCut(name);
  if (cut.empty() || cut.size() != name.size()) return nullptr;
  const EvaluatorState* state = threadEvaluator();
  const Symbol* s = state ? state->lookup(symbolKey(cut)) : nullptr;
  return s && s->kind == SymbolKind::Variable ? &s->variable : nullptr;
}

// A computed value as a VARIANT: whole numbers as VT_I4 when they fit, else VT_R8; reals VT_R8;
// texts VT_BSTR.
void setValue(VARIANT& out, const Value& v) {
  if (v.cls == ValueClass::Whole && v.whole >= INT32_MIN && v.whole <= INT32_MAX) {
    out.vt = VT_I4;
    out.lVal = LONG(v.whole);
  } else if (v.cls == ValueClass::Whole || v.cls == ValueClass::Real) {
    out.vt = VT_R8;
    out.dblVal = v.asReal();
  } else {
    setText(out, v.asText());
  }
}

Value evaluated(std::string_view expression) {
  const auto tree = compileExpression(expression);
  return tree ? evaluateTree(*tree) : Value::ofText({});
}

void setBool(VARIANT& out, bool truth) {
  out.vt = VT_BOOL;
  out.boolVal = truth ? VARIANT_TRUE : VARIANT_FALSE;
}

// A bound variable by value: its own type from the table, then text for "string" and VT_I4
// for "int" when it has another type.
void setVariable(VARIANT& out, const BoundVariable& var, Hint hint) {
  const VARTYPE vt = variantTypeOf(var.type, hint);
  const Value v = readVariable(var);
  VARIANT typed{};
  if (vt == VT_BSTR || vt == VT_VOID) {
    setText(typed, v.asText());
  } else {
    typed.vt = VT_R8;
    typed.dblVal = v.asReal();
    if (vt == VT_BOOL) setBool(typed, v.truth());
    else VariantChangeType(&typed, &typed, 0, vt);
  }
  const VARTYPE wanted = hint == Hint::String ? VARTYPE(VT_BSTR) : hint == Hint::Int ? VARTYPE(VT_I4) : typed.vt;
  if (typed.vt != wanted && SUCCEEDED(VariantChangeType(&out, &typed, 0, wanted))) {
    VariantClear(&typed);
    return;
  }
  out = typed;
}

// Plain text: double quotes taken off (pairs inside become one); then, unless the hint is
// "string", a text without "." that was not quoted becomes VT_I4 when it reads as one.
void setPlainText(VARIANT& out, std::string_view value, Hint hint) {
  const bool quoted = !value.empty() && value.front() == '"';
  // Decimal digits that fit are what the platform's conversion accepts most often: taken
  // directly, without making the text first.
  std::int32_t whole = 0;
  if (!quoted && hint != Hint::String) {
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), whole);
    if (error == std::errc() && end == value.data() + value.size()) {
      out.vt = VT_I4;
      out.lVal = whole;
      return;
    }
  }
  std::string text;
  if (quoted) {
    const std::string_view inner = value.substr(1, value.size() >= 2 ? value.size() - 2 : 0);
    for (size_t i = 0; i < inner.size(); ++i) {
      text += inner[i];
      if (inner[i] == '"' && i + 1 < inner.size() && inner[i + 1] == '"') ++i;
    }
  } else {
    text = value;
  }
  setText(out, text);
  if (hint == Hint::String || quoted || text.find('.') != std::string::npos) return;
  VARIANT number{};
  if (SUCCEEDED(VariantChangeType(&number, &out, 0, VT_I4))) {
    VariantClear(&out);
    out = number;
  }
}

// TRUE or FALSE exactly, in any case.
bool isTrueOrFalse(std::string_view v, bool& truth) {
  truth = ascii::equalsNoCase(v, "TRUE");
  return truth || ascii::equalsNoCase(v, "FALSE");
}

}  // namespace

Hint hintOf(std::string_view hint) {
  for (const HintName& h : kHints)
    if (hint.size() >= h.prefix.size() && ascii::equalsNoCase(hint.substr(0, h.prefix.size()), h.prefix)) return h.hint;
  return Hint::None;
}

VARTYPE variantTypeOf(StorageType type, Hint hint) {
  for (const VariableType& t : kVariableTypes)
    if (t.type == type) return t.boolWithHint && hint == Hint::Bool ? VARTYPE(VT_BOOL) : t.vt;
  return VT_BSTR;
}

ArgumentFault convertArgument(const PathArgument& argument, VARIANT& out) {
  VariantInit(&out);
  const std::string_view value = argument.value;
  const Hint hint = hintOf(argument.hint);
  const char first = value.empty() ? '\0' : value.front();
  bool truth = false;
  if (first == '(') {
    const Value v = evaluated(value);
    if (hint == Hint::Bool) setBool(out, v.truth());
    else if (hint == Hint::Variant) setValue(out, v);
    else setText(out, v.asText());
  } else if (first == '`') {
    ComPtr<IDispatch> object = findReference(value);
    if (!object) return ArgumentFault::BadReference;
    out.vt = VT_DISPATCH;
    out.pdispVal = object.release();
  } else if (isTrueOrFalse(value, truth)) {
    setBool(out, truth);
  } else if (hint == Hint::Bool) {
    setBool(out, evaluated(value).truth());
  } else if (hint == Hint::Variant) {
    setValue(out, evaluated(value));
  } else if (const BoundVariable* var = first != '"' ? boundVariable(value) : nullptr) {
    setVariable(out, *var, hint);
  } else {
    setPlainText(out, value, hint);
  }
  return ArgumentFault::None;
}

bool typedVariant(std::uint8_t type, const void* address, size_t size, VARIANT& out) {
  VariantInit(&out);
  if (!address) return false;
  setVariable(out, BoundVariable{StorageType(type), address, size}, Hint::None);
  return true;
}

ArgumentBlock::~ArgumentBlock() {
  for (VARIANT& v : args_) VariantClear(&v);
  for (BSTR b : texts_) SysFreeString(b);
}

ArgumentFault ArgumentBlock::add(const PathArgument& argument, DISPID named) {
  if (args_.full()) return ArgumentFault::TooMany;
  VARIANT& v = args_.push_back(VARIANT{});
  named_.push_back(named);
  if (!argument.value.empty() && argument.value.front() == '&') {
    const BoundVariable* var = boundVariable(argument.value.substr(1));
    if (!var) return ArgumentFault::UnboundName;
    const VARTYPE vt = variantTypeOf(var->type, hintOf(argument.hint));
    if (vt != VT_BSTR && vt != VT_VOID) {
      // The variable's own storage: the object writes straight into it.
      v.vt = VT_BYREF | vt;
      v.byref = const_cast<void*>(var->address);
      return ArgumentFault::None;
    }
    // Text travels as a copy in a BSTR of at least 64 characters, copied back after the call.
    std::u16string text = ansiToWide(readVariable(*var).asText());
    const UINT length = UINT(text.size());
    text.resize(std::max<size_t>(text.size(), 64), u'\0');
    BSTR b = SysAllocStringLen(text.data(), UINT(text.size()));
    if (b && length < text.size()) b[length] = 0;  // the text ends where it ends; the room stays
    BSTR& slot = texts_.push_back(b);
    v.vt = VT_BYREF | VT_BSTR;
    v.byref = &slot;
    if (isTextStorage(var->type)) references_.push_back({*var, args_.size() - 1});
    return ArgumentFault::None;
  }
  return convertArgument(argument, v);
}

void ArgumentBlock::addPropertyValue(VARIANT value) {
  if (args_.full()) return (void)VariantClear(&value);
  args_.push_back(value);
  named_.push_back(DISPID_PROPERTYPUT);
}

DISPPARAMS* ArgumentBlock::params() {
  ordered_.clear();
  orderedNames_.clear();
  order_.clear();
  for (size_t i = args_.size(); i-- > 0;)
    if (named_[i] != DISPID_UNKNOWN) order_.push_back(i), orderedNames_.push_back(named_[i]);
  for (size_t i = args_.size(); i-- > 0;)
    if (named_[i] == DISPID_UNKNOWN) order_.push_back(i);
  for (size_t i : order_) ordered_.push_back(args_[i]);
  params_.rgvarg = ordered_.data();
  params_.cArgs = UINT(ordered_.size());
  params_.rgdispidNamedArgs = orderedNames_.data();
  params_.cNamedArgs = UINT(orderedNames_.size());
  return &params_;
}

unsigned ArgumentBlock::positionOf(unsigned invokeIndex) const {
  return invokeIndex < order_.size() ? unsigned(order_[invokeIndex] + 1) : invokeIndex + 1;
}

void ArgumentBlock::copyBack() {
  for (const TextReference& r : references_) {
    const BSTR b = *static_cast<BSTR*>(args_[r.argument].byref);
    storeText(r.variable, wideToAnsi(b ? std::u16string_view(b) : std::u16string_view()));  // up to its NUL
  }
}

void storeText(const BoundVariable& variable, std::string_view text) {
  void* address = const_cast<void*>(variable.address);  // bound variables are the program's to write
  char* p = static_cast<char*>(address);
  const size_t size = variable.size;
  const auto store = [address](auto value) { std::memcpy(address, &value, sizeof value); };
  const double number = realFromText(text);
  switch (variable.type) {
    case StorageType::Byte: return store(std::uint8_t(wholeFromReal(number)));
    case StorageType::Short: return store(std::int16_t(wholeFromReal(number)));
    case StorageType::UShort: return store(std::uint16_t(wholeFromReal(number)));
    case StorageType::Long: return store(std::int32_t(wholeFromReal(number)));
    case StorageType::ULong: return store(std::uint32_t(wholeFromReal(number)));
    case StorageType::SReal: return store(float(number));
    case StorageType::Real: return store(number);
    case StorageType::String:
      std::memset(p, ' ', size);
      std::memcpy(p, text.data(), std::min(size, text.size()));
      return;
    case StorageType::CString: {
      if (size == 0) return;
      const size_t n = std::min(size - 1, text.size());
      std::memcpy(p, text.data(), n);
      p[n] = 0;
      return;
    }
    case StorageType::PString: {
      if (size == 0) return;
      const size_t n = std::min({size - 1, text.size(), size_t(255)});
      p[0] = char(n);
      std::memcpy(p + 1, text.data(), n);
      return;
    }
    case StorageType::Decimal:
    case StorageType::PDecimal: return storeDecimal(variable, text);
    default: return;  // dates and times are not kept in step by text
  }
}

bool resultText(const VARIANT& result, std::string& out) {
  const VARTYPE base = result.vt & ~VT_BYREF;
  if (base == VT_ERROR) return false;
  if (base == VT_DISPATCH) {
    IDispatch* object = result.vt & VT_BYREF ? *static_cast<IDispatch**>(result.byref) : result.pdispVal;
    out = handOutReference(object);
    return true;
  }
  Variant text;
  if (FAILED(VariantChangeType(text.get(), &result, 0, VT_BSTR))) return false;
  out = wideToAnsi(bstrView(text->bstrVal));
  return true;
}

}  // namespace tamsil::ole
