// The standard dialogs shown to a person: the open/save file dialog and printer set-up.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dialogs/dialogs.h"

class QWidget;

namespace platform::qt {

// "Name|*.ext|Name2|*.a;*.b" as Qt's "Name (*.ext);;Name2 (*.a *.b)". A name without a pattern
// stands for all files; empty pairs (the customary closing "||") are skipped.
QString qtFileFilter(std::string_view filter);

std::optional<std::string> runFileDialog(QWidget* parent, const FileDialogRequest& request);
// Printer set-up: the program's own when it installed one (a component's dialog on the printer
// its printing uses), else the page set-up dialog on a printer of its own. False when cancelled.
bool runPrintSetup(QWidget* parent);
using PrintSetupHandler = bool (*)(QWidget* parent);
// Installs the program's printer set-up; null gives back the platform's.
void SetPrintSetupHandler(PrintSetupHandler handler);

}  // namespace platform::qt
