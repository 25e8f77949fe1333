#include "platform/desktop/clipboard.h"

#include "platform/backend.h"

namespace platform {

void SetClipboardText(const std::string& text) { backend().setClipboardText(text); }
std::optional<std::string> GetClipboardText() { return backend().clipboardText(); }

}  // namespace platform
