// Adapters of the controls that Qt has no one widget for, drawn here as a person expects them:
// shapes (filled rectangles and frames in the model's colours), the tab control, rich text, and
// group boxes with their caption set into the top of the frame.
#pragma once

#include <QColor>

#include "platform/qt/widget_adapter.h"

namespace platform::qt {

// A colour value (0x00BBGGRR) as Qt's colour; invalid for kDefaultColour.
QColor qtColour(COLORREF colour);

const WidgetAdapter& shapeAdapter();     // statics SS_BLACKRECT and SS_BLACKFRAME
const WidgetAdapter& tabAdapter();       // "SysTabControl32"
const WidgetAdapter& richTextAdapter();  // "RichEdit20A"
const WidgetAdapter& groupBoxAdapter();  // buttons BS_GROUPBOX

}  // namespace platform::qt
