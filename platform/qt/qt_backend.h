// The Qt 6 Widgets backend: every platform window of the GUI thread is a real widget, dialogs
// are Qt's, and GetMessage waits by running Qt's event processing. This header is free of Qt so
// program start-up can include it.
#pragma once

#include <memory>
#include <string>

#include "platform/backend.h"

namespace platform::qt {

// Creates the QApplication on the calling thread, which becomes the GUI thread. Without
// QT_QPA_PLATFORM and without a display it fails with a reason; when the display named in the
// environment cannot be opened it falls back to the offscreen platform and says so on stderr.
// argc and argv must outlive the backend.
std::unique_ptr<Backend> createBackend(int& argc, char** argv, std::string* error);

}  // namespace platform::qt
