#include "wrapper/spread_wrapper.h"

#include <algorithm>
#include <array>

#include "platform/com/ole.h"
#include "runtime/ole/object_references.h"
#include "runtime/window/message_box.h"
#include "runtime/window/program_stop.h"
#include "runtime/window/property_names.h"

namespace kestrel::wrapper {

namespace win = tamsil::window;

namespace {

win::Selector runtimeProperty(std::uint16_t number) { return win::Selector{std::uint32_t(number)}; }

}  // namespace

void SpreadWrapper::Init(win::Window& window, std::int16_t field) {
  if (!comOpen_) platform::CoInitialize(nullptr);
  comOpen_ = true;
  W = &window;
  COLE = field;
  bridge_->PropertyPut(W, COLE, runtimeProperty(win::prop::Create), kSpreadProgId);
  // Reading the object hands out a reference to it; only whether there is one matters here, so
  // it is given back at once rather than left in the bridge's table for the program's life.
  const std::string object = bridge_->PropertyCall(W, COLE, runtimeProperty(win::prop::Object)).text;
  if (TextUtility::Clip(object).empty()) {
    win::RuntimeMessageBox({std::string(kControlNotFound), std::string(kControlNotFoundCaption)});
    return;
  }
  tamsil::ole::releaseReference(object);
  STRCL = std::make_unique<TextUtility>();
  STDCOMCL = std::make_unique<ComResultChecker>(true);
}

void SpreadWrapper::Kill() {
  if (!W || !comOpen_) return;
  // The object text goes back as a typed zero-terminated text of 64 characters.
  std::array<char, kObjectTextSize> object{};
  const std::string text = bridge_->PropertyCall(W, COLE, runtimeProperty(win::prop::Object)).text;
  std::copy_n(text.begin(), std::min(text.size(), object.size() - 1), object.begin());
  bridge_->PropertyPutTyped(W, COLE, runtimeProperty(win::prop::Release), kZeroTextCode, object.data(), object.size());
  bridge_->MethodCall(W, COLE, runtimeProperty(win::prop::Deactivate));
  STRCL.reset();
  platform::CoUninitialize();
  comOpen_ = false;
}

std::string SpreadWrapper::propertyText(const Accessor& a, bool reading, std::optional<std::int32_t> index) {
  std::string text(reading ? a.readProperty : a.property);
  if (index) text += '(' + std::to_string(*index) + ')';
  return text;
}

std::optional<std::string> SpreadWrapper::readText(const Accessor& a, std::optional<std::int32_t> index) {
  if (skips(a)) return std::nullopt;
  return bridge_->PropertyCall(W, COLE, win::Selector{propertyText(a, true, index)}).text;
}

void SpreadWrapper::writeTyped(const Accessor& a, std::optional<std::int32_t> index, std::uint8_t code, const void* address, std::size_t size) {
  if (skips(a)) return;
  bridge_->PropertyPutTyped(W, COLE, win::Selector{propertyText(a, false, index)}, code, address, size);
}

void SpreadWrapper::writeText(const Accessor& a, std::optional<std::int32_t> index, std::string_view value) {
  if (skips(a)) return;
  bridge_->PropertyPut(W, COLE, win::Selector{propertyText(a, false, index)}, TextUtility::Clip(value));
}

void SpreadWrapper::writeShownText(const Accessor& a, std::optional<std::int32_t> index, std::string_view value) {
  if (skips(a)) return;
  tamsil::StopProgram(value, false);
  std::array<char, kCharValueSize> buffer{};
  std::copy_n(value.begin(), std::min(value.size(), buffer.size() - 1), buffer.begin());
  bridge_->PropertyPutTyped(W, COLE, win::Selector{propertyText(a, false, index)}, kZeroTextCode, buffer.data(), buffer.size());
}

SpreadWrapper::CallAnswer SpreadWrapper::call(MethodId id, std::initializer_list<MethodArgument> arguments) {
  const Method& m = MethodOf(id);
  if (m.guard == Guard::Guarded && COLE == 0) return {m.fallback, {}};
  const std::optional<std::string> text = CallText(m, std::span(arguments.begin(), arguments.size()));
  if (!text) return {m.fallback, {}};
  CallAnswer answer;
  if (m.mode == Mode::Perform) {
    bridge_->MethodCall(W, COLE, win::Selector{*text});
  } else {
    answer.text = bridge_->PropertyCall(W, COLE, win::Selector{*text}).text;
    answer.number = LongOf(answer.text);
  }
  if (m.then == Then::MaxSize500) MaxCols(500), MaxRows(500);
  return answer;
}

}  // namespace kestrel::wrapper
