// The list box's widget: a list whose items may stand in columns. Each item's tab-separated texts
// are drawn at the columns' positions, and a header above the items carries the headings, so a
// person sees a table with titled columns where the model keeps plain tab-separated items.
#pragma once

#include <QListWidget>

#include "platform/window/snapshot.h"

namespace platform::qt {

// A list widget ready to take columns; an ordinary list until applyColumns gives it some.
QListWidget* createColumnList(QWidget* parent);

// Puts the control's tab stops and headings on a list made by createColumnList: the header is
// shown while there are headings, its sections as wide as the columns the tab stops give.
void applyColumns(QListWidget* list, const ControlState& control);

}  // namespace platform::qt
