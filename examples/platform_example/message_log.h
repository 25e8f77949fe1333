// Writes the messages delivered to the example's window procedure as text lines, one per message,
// with pointer parameters replaced by what they point at, so two runs can be compared line by
// line whatever the backend.
#pragma once

#include <cstdio>
#include <string>

#include "platform/types.h"

namespace example {

class MessageLog {
 public:
  explicit MessageLog(const std::string& path);  // empty path: no log
  ~MessageLog();
  MessageLog(const MessageLog&) = delete;
  MessageLog& operator=(const MessageLog&) = delete;

  void write(platform::HWND hwnd, platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam);

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace example
