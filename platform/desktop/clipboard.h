// The clipboard, text only: what the edit controls cut, copy and paste.
#pragma once

#include <optional>
#include <string>

namespace platform {

void SetClipboardText(const std::string& text);
std::optional<std::string> GetClipboardText();

}  // namespace platform
