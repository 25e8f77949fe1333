// The substitution of an error message's tokens ("%File", "%ErrorText" ...) by the values of the
// thread's ErrorContext. Tokens are replaced one kind after the other in a fixed order, longer
// tokens before their prefixes, so "%FileErrorCode" is never taken for "%File" followed by text.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "framework/error/error_context.h"

namespace tamsil::framework {

// The longest text an expansion gives.
inline constexpr std::size_t kExpandedTextSize = 2000;

// Driver-level error codes whose own driver message says more than the runtime's text.
inline constexpr int kFileSystemError = 90, kDriverErrorCode = 100;

// What an expansion needs besides the context: the current procedure's name and the message of a
// table entry by id (for "%Previous"; empty when there is none).
struct TokenSources {
  std::string procedure;
  std::function<std::string(std::int32_t id)> messageOf;
};

// Replaces every occurrence of `token` in `text`, scanning left to right and resuming after each
// inserted value (so a value holding the token is not replaced again).
void replaceAll(std::string& text, std::string_view token, std::string_view value);

// The message of the context's ERRORBUFFER with its tokens replaced, at most kExpandedTextSize
// characters.
std::string expandTokens(const ErrorContext& context, const TokenSources& sources);

}  // namespace tamsil::framework
