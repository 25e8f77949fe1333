#include "framework/error/expand_tokens.h"

namespace tamsil::framework {

void replaceAll(std::string& text, std::string_view token, std::string_view value) {
  for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size()))
    text.replace(at, token.size(), value);
}

std::string expandTokens(const ErrorContext& c, const TokenSources& sources) {
  std::string text = c.ERRORBUFFER.MESSAGE;
  const bool driverText = c.SAVEERRORCODE == kFileSystemError || c.SAVEERRORCODE == kDriverErrorCode;
  const std::string errorText =
      driverText ? c.SAVEFILEERROR + " (" + c.SAVEFILEERRORCODE + ")" : c.SAVEERROR + " (" + std::to_string(c.SAVEERRORCODE) + ")";
  const std::pair<std::string_view, std::string> replacements[] = {
      {"%FileErrorCode", c.SAVEFILEERRORCODE},
      {"%FileError", c.SAVEFILEERROR},
      {"%File", c.FILENAME},
      {"%Key", c.KEYNAME},
      {"%ErrorCode", std::to_string(c.SAVEERRORCODE)},
      {"%ErrorText", errorText},
      {"%Error", c.SAVEERROR},
      {"%Message", c.MESSAGETEXT},
      {"%Field", c.FIELDNAME},
      {"%Procedure", sources.procedure},
      {"%Category", c.ERRORBUFFER.CATEGORY},
  };
  for (const auto& [token, value] : replacements) replaceAll(text, token, value);
  if (text.find("%Previous") != std::string::npos)
    replaceAll(text, "%Previous", sources.messageOf ? sources.messageOf(c.PREVERRORID) : std::string());
  if (text.size() > kExpandedTextSize) text.resize(kExpandedTextSize);
  return text;
}

}  // namespace tamsil::framework
