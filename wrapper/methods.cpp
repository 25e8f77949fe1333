#include "wrapper/methods.h"

#include "wrapper/text_utility.h"

namespace kestrel::wrapper {

namespace {

constexpr Method kMethods[] = {
#define M(operation, name, arguments, mode, result, guard, fallback, then) \
  {#operation, name, arguments, Mode::mode, Result::result, Guard::guard, fallback, Then::then},
#include "wrapper/method_list.inc"
#undef M
};

}  // namespace

std::span<const Method> Methods() { return kMethods; }

std::optional<std::string> CallText(const Method& method, std::span<const MethodArgument> arguments) {
  if (arguments.size() != method.arguments.size()) return std::nullopt;
  std::string text(method.name);
  text += '(';
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i) text += ',';
    const char kind = method.arguments[i];
    if (kind == 'T') {
      const auto* t = std::get_if<std::string_view>(&arguments[i]);
      if (!t) return std::nullopt;
      TextUtility::AppendQuoted(text, *t);
    } else {
      const auto* n = std::get_if<std::int32_t>(&arguments[i]);
      if (!n) return std::nullopt;
      text += std::to_string(kind == 'n' ? std::int16_t(*n) : *n);
    }
  }
  text += ')';
  return text;
}

}  // namespace kestrel::wrapper
