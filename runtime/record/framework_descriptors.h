// The descriptors of the framework's classes and of the records and queue entries they keep,
// with the field names the framework uses for them. A class's descriptor describes its
// instance from offset 4 (behind its table of virtual operations); a derived class's describes
// the fields it adds behind its base's instance. Queues of the framework are created from the
// entry descriptors here.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/record/class_record.h"

namespace tamsil::record {

using Descriptor = std::span<const std::uint8_t>;

// The window manager: the procedure window, its button map, its components and its files.
extern const ClassRecord kProcedureWindowClass;
extern const Descriptor kButtonEntry;     // CONTROL, ACTION
extern const Descriptor kComponentEntry;  // TYPE, WC
extern const Descriptor kFileEntry;       // FILE, SAVED
extern const ClassRecord kToolbarRouterClass;
extern const Descriptor kToolbarTargetEntry;  // ID, ITEM

// The error manager: the reporter, its table, history and procedure names, the per-thread
// status, the log file and its record, the message window and its history list.
extern const ClassRecord kErrorReporterClass;
extern const Descriptor kErrorEntry;          // ID, MESSAGE, TITLE, FATALITY, CATEGORY
extern const Descriptor kHistoryEntry;        // CATEGORY, TXT, ID
extern const Descriptor kProcedureNameEntry;  // THREAD, NAME
extern const Descriptor kErrorContextRecord;
extern const ClassRecord kErrorLogFileClass;
extern const Descriptor kErrorLogRecord;  // TXT
extern const ClassRecord kMessageWindowClass;
extern const ClassRecord kErrorHistoryViewClass;

// The INI manager: the store, its sector list and the window position record.
extern const ClassRecord kIniStoreClass;
extern const Descriptor kSectorEntry;  // FAMILY, ITEM, TYPE
extern const Descriptor kWindowPositionRecord;

// The window resizer, its managed controls and the moves of one resize.
extern const ClassRecord kWindowResizerClass;
extern const Descriptor kControlEntry;
extern const Descriptor kMoveEntry;

// The demo window's key navigator and its two queues.
extern const ClassRecord kKeyNavigatorClass;
extern const Descriptor kExcludedControlEntry;  // CONTROL
extern const Descriptor kTabStopPairEntry;      // FROM, TO

}  // namespace tamsil::record
