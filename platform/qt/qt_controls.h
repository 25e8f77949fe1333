// The adapters of top-level windows and of the built-in controls, and the choice of a window's
// adapter: its class's registered one (widget_adapter.h), else the one of the built-in control
// its class is built on, else a plain widget. Nothing here reacts to the person; see qt_input.h.
#pragma once

#include "platform/qt/widget_adapter.h"

class QWidget;

namespace platform::qt {

// Top-level windows: the widget is the client area; title and icon go on the Qt window.
const WidgetAdapter& topLevelAdapter();
const WidgetAdapter& adapterFor(const WindowSnapshot& w);

}  // namespace platform::qt
