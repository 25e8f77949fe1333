// The platform example: a small program on the platform layer alone, the test bed of both
// backends. EXAMPLE_LOG=FILE writes every message its window procedure receives to FILE.
#include <cstdio>
#include <cstdlib>

#include "examples/platform_example/example_window.h"
#include "examples/platform_example/message_log.h"
#include "platform/dialogs/dialogs.h"
#include "platform/queue/queue.h"
#include "platform/startup/startup.h"

int main(int argc, char** argv) {
  using namespace platform;
  if (!startPlatform(argc, argv, "platform-example")) return 2;
  const char* logPath = std::getenv("EXAMPLE_LOG");
  example::MessageLog log(logPath ? logPath : "");
  HWND window = example::createExampleWindow(&log);
  if (!window) {
    std::fputs("platform-example: cannot create the window\n", stderr);
    stopPlatform();
    return 1;
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0)) {
    if (!IsDialogMessageA(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  stopPlatform();
  return int(msg.wParam);
}
