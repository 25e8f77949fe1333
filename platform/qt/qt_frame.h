// The picture of a whole top-level window: the frame and caption that the model's frame metrics
// reserve (drawn here, since without a window manager nothing else draws them) around the grabbed
// widget, so a snapshot shows the title as a person would see it.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

#include "platform/window/snapshot.h"

namespace platform::qt {

// sizeBoxes: the window has minimize and maximize boxes besides its close box.
QImage framedWindow(const QPixmap& content, const QString& title, const FrameMetrics& frame, bool active, bool sizeBoxes);

}  // namespace platform::qt
