#include "runtime/record/framework_descriptors.h"

#include <array>
#include <string_view>

#include "runtime/record/descriptor_encoder.h"
#include "runtime/record/procedure_window_fields.h"

namespace tamsil::record {
namespace {

constexpr std::uint32_t kFirst = kFirstClassFieldOffset;

// A position and size, as the resizer keeps them for the window and for each control.
#define KESTREL_RECT_FIELDS longField("XPOS"), longField("YPOS"), longField("WIDTH"), longField("HEIGHT")

// ---- Window manager ----

// A field of the lists in procedure_window_fields.h.
#define TAMSIL_FIELD_SPEC(make, name, type, ...) make(#name __VA_OPT__(, ) __VA_ARGS__),

// The class's fields start behind its table of virtual operations.
template <std::size_t n>
constexpr std::array<FieldSpec, n> placedFirst(std::array<FieldSpec, n> fields) {
  fields[0] = fields[0].at(kFirst);
  return fields;
}

constexpr auto kProcedureWindowFields = placedFirst(std::to_array<FieldSpec>({TAMSIL_PROCEDURE_WINDOW_FIELDS(TAMSIL_FIELD_SPEC)}));
constexpr auto kProcedureWindowBytes = descriptorBytes<kProcedureWindowFields>();
constexpr std::string_view kProcedureWindowOperations[] = {
    "EventLoop",       "Setup",          "Teardown",       "FirstOpen",      "OpenWindow",         "PrimeRecord",
    "PrepareRequest",  "Refresh",        "RecallField",    "Execute",        "ExecuteChild",       "ArmAlertKeys",
    "Finish",          "OnAccepted",     "OnCompleted",    "OnCloseRequest", "HandleEvent",        "OnFieldEvent",
    "OnNewSelection",  "OnNotify",       "OnRejected",     "OnSelected",     "OnWindowEvent",      "UpdateComponents",
    "SetControlState", "CompleteInsert", "CompleteChange", "CompleteDelete", "CompleteSaveChange", "CompleteSaveInsert",
};
constexpr ClassTypeInfo kProcedureWindowType{"ProcedureWindow"};

constexpr auto kButtonFields = std::to_array<FieldSpec>({TAMSIL_BUTTON_ENTRY_FIELDS(TAMSIL_FIELD_SPEC)});
constexpr auto kButtonBytes = descriptorBytes<kButtonFields>();
constexpr auto kComponentFields = std::to_array<FieldSpec>({TAMSIL_COMPONENT_ENTRY_FIELDS(TAMSIL_FIELD_SPEC)});
constexpr auto kComponentBytes = descriptorBytes<kComponentFields>();
constexpr auto kFileFields = std::to_array<FieldSpec>({TAMSIL_FILE_ENTRY_FIELDS(TAMSIL_FIELD_SPEC)});

#undef TAMSIL_FIELD_SPEC
constexpr auto kFileBytes = descriptorBytes<kFileFields>();

constexpr auto kToolbarRouterFields = std::to_array<FieldSpec>({referenceField("LIST").at(kFirst)});
constexpr auto kToolbarRouterBytes = descriptorBytes<kToolbarRouterFields>();
constexpr std::string_view kToolbarRouterOperations[] = {"Forward", "Release", "TakeAccepted"};
constexpr ClassTypeInfo kToolbarRouterType{"ToolbarRouter"};
constexpr auto kToolbarTargetFields = std::to_array<FieldSpec>({longField("ID"), referenceField("ITEM")});
constexpr auto kToolbarTargetBytes = descriptorBytes<kToolbarTargetFields>();

// ---- Error manager ----

constexpr auto kErrorReporterFields = std::to_array<FieldSpec>({
    internedField("DEFAULTCATEGORY").at(kFirst),
    referenceField("ERRORS"),
    referenceField("ERRORLOG"),
    referenceField("HISTORY"),
    referenceField("PROCNAMES"),
    referenceField("STDERRORLOG"),
    byteField("SILENT"),
    byteField("LOGERRORS"),
    longField("HISTORYTHRESHOLD"),
    longField("HISTORYVIEWLEVEL"),
    byteField("HISTORYRESETONVIEW"),
    referenceField("CRITSECT"),
    referenceField("STATUS"),
    shortField("MSGSTYLE"),
});
constexpr auto kErrorReporterBytes = descriptorBytes<kErrorReporterFields>();
constexpr std::string_view kErrorReporterOperations[] = {
    "Release", "DefineError",  "LoadErrorTable", "RecordHistoryEntry", "PresentInWindow", "Deliver",        "PresentInBox",   "UndefineError",
    "Prepare", "HandleSilent", "HandleFatal",    "HandleInform",       "HandleUnknown",   "HandleInternal", "HandleQuestion", "OpenHistory",
};
constexpr ClassTypeInfo kErrorReporterType{"ErrorReporter"};

constexpr auto kErrorFields = std::to_array<FieldSpec>({
    longField("ID"),
    textReferenceField("MESSAGE"),
    textReferenceField("TITLE"),
    byteField("FATALITY"),
    internedField("CATEGORY"),
});
constexpr auto kErrorBytes = descriptorBytes<kErrorFields>();
constexpr auto kHistoryFields = std::to_array<FieldSpec>({internedField("CATEGORY"), cstringField("TXT", 1024), shortField("ID")});
constexpr auto kHistoryBytes = descriptorBytes<kHistoryFields>();
constexpr auto kProcedureNameFields = std::to_array<FieldSpec>({longField("THREAD"), internedField("NAME")});
constexpr auto kProcedureNameBytes = descriptorBytes<kProcedureNameFields>();

constexpr auto kErrorContextFields = std::to_array<FieldSpec>({
    cstringField("FIELDNAME", 255),
    cstringField("FILENAME", 255),
    cstringField("KEYNAME", 255),
    cstringField("MESSAGETEXT", 255),
    cstringField("SAVEERROR", 255),
    longField("SAVEERRORCODE"),
    cstringField("SAVEFILEERROR", 255),
    cstringField("SAVEFILEERRORCODE", 255),
    groupField("ERRORBUFFER", 5),
    longField("ID"),
    textReferenceField("MESSAGE"),
    textReferenceField("TITLE"),
    byteField("FATALITY"),
    internedField("CATEGORY"),
    longField("PREVERRORID"),
});
constexpr auto kErrorContextBytes = descriptorBytes<kErrorContextFields>();

constexpr auto kErrorLogFileFields = std::to_array<FieldSpec>({
    referenceField("ERRORLOGINTERFACE").at(kFirst),
    referenceField("CRITSECT"),
    longField("USAGE"),
});
constexpr auto kErrorLogFileBytes = descriptorBytes<kErrorLogFileFields>();
constexpr std::string_view kErrorLogFileOperations[] = {"CloseLog", "OpenLog", "WriteLine"};
constexpr ClassTypeInfo kErrorLogFileType{"ErrorLogFile"};
constexpr auto kErrorLogRecordFields = std::to_array<FieldSpec>({stringField("TXT", 1024)});
constexpr auto kErrorLogRecordBytes = descriptorBytes<kErrorLogRecordFields>();

constexpr auto kMessageWindowFields = std::to_array<FieldSpec>({
    longField("BUTTONTYPES").at(describedSize(kProcedureWindowFields)),
    textReferenceField("CAPTION"),
    referenceField("ERR"),
    longField("ICON"),
    referenceField("HISTORYHANDLER"),
    longField("MSGBUTTONS"),
    longField("MSGBUTTONID").dimensioned(8),
    longField("MSGRVAL"),
    longField("STYLE"),
    referenceField("WIN"),
});
constexpr auto kMessageWindowBytes = descriptorBytes<kMessageWindowFields>();
constexpr auto kMessageWindowOperations = [] {
  std::array<std::string_view, std::size(kProcedureWindowOperations) + 1> ops{};
  for (std::size_t i = 0; i < std::size(kProcedureWindowOperations); ++i) ops[i] = kProcedureWindowOperations[i];
  ops.back() = "ShowIcon";
  return ops;
}();

constexpr auto kErrorHistoryViewFields = std::to_array<FieldSpec>({
    referenceField("WINDOWCOMPONENT").at(kFirst),
    referenceField("ERR"),
    referenceField("HISTORY"),
    shortField("LBCOLUMNS"),
    referenceField("WIN"),
});
constexpr auto kErrorHistoryViewBytes = descriptorBytes<kErrorHistoryViewFields>();
// The window component's operations, which the history view implements.
constexpr std::string_view kWindowComponentOperations[] = {"Release",   "Reset",  "NeedsRefresh",  "ArmAlertKeys",
                                                           "TakeEvent", "Update", "RefreshDisplay"};
constexpr ClassTypeInfo kErrorHistoryViewType{"ErrorHistoryView"};

// ---- INI manager ----

constexpr auto kIniStoreFields = std::to_array<FieldSpec>({
    cstringField("FILENAME", 260).at(kFirst),
    referenceField("SECTORS"),
    longField("NVTYPE"),
    longField("EXTRADATA"),
    referenceField("CRITSECT"),
});
constexpr auto kIniStoreBytes = descriptorBytes<kIniStoreFields>();
constexpr std::string_view kIniStoreOperations[] = {"Dispose", "ReadValue", "WriteValue", "AfterOpen", "Flush"};
constexpr ClassTypeInfo kIniStoreType{"IniStore"};
constexpr auto kSectorFields = std::to_array<FieldSpec>({cstringField("FAMILY", 100), cstringField("ITEM", 100), cstringField("TYPE", 100)});
constexpr auto kSectorBytes = descriptorBytes<kSectorFields>();
constexpr auto kWindowPositionFields = std::to_array<FieldSpec>({
    longField("X"),
    longField("Y"),
    longField("W"),
    longField("H"),
    byteField("MAXIMIZED"),
    byteField("MINIMIZED"),
    byteField("GOT"),
});
constexpr auto kWindowPositionBytes = descriptorBytes<kWindowPositionFields>();

// ---- Window resizer ----

constexpr auto kWindowResizerFields = std::to_array<FieldSpec>({
    byteField("APPSTRATEGY").at(kFirst),
    byteField("AUTOTRANSPARENT"),
    groupField("ORIGWIN", 6),
    KESTREL_RECT_FIELDS,
    byteField("MAXIMIZED"),
    byteField("ICONIZED"),
    referenceField("CONTROLQUEUE"),
    byteField("DEFERMOVES"),
    groupField("PREVIOUSWIN", 4),
    KESTREL_RECT_FIELDS,
    byteField("RESIZECALLED"),
    referenceField("RESIZELIST"),
});
constexpr auto kWindowResizerBytes = descriptorBytes<kWindowResizerFields>();
constexpr std::string_view kWindowResizerOperations[] = {
    "ParentOf", "CaptureLayout", "OnResizeEvent", "Resize", "RestoreLayout", "AssignParents", "AssignParent", "ComputeRect",
};
constexpr ClassTypeInfo kWindowResizerType{"WindowResizer"};
constexpr auto kControlFields = std::to_array<FieldSpec>({
    longField("ID"),
    longField("TYPE"),
    byteField("HASCHILDREN"),
    ushortField("POSITIONALSTRATEGY"),
    ushortField("RESIZESTRATEGY"),
    groupField("POS", 4),
    KESTREL_RECT_FIELDS,
    longField("PARENTID"),
});
constexpr auto kControlBytes = descriptorBytes<kControlFields>();
constexpr auto kMoveFields = std::to_array<FieldSpec>({
    longField("PRIORITY"),
    longField("CONTROLID"),
    longField("TYPE"),
    groupField("BEFORE", 4),
    KESTREL_RECT_FIELDS,
    groupField("AFTER", 4),
    KESTREL_RECT_FIELDS,
});
constexpr auto kMoveBytes = descriptorBytes<kMoveFields>();

// ---- Key navigator ----

constexpr auto kKeyNavigatorFields = std::to_array<FieldSpec>({
    referenceField("EXCLUDEDCONTROL").at(kFirst),
    referenceField("NEXTTABSTOPCONTROLQ"),
    byteField("INITED"),
});
constexpr auto kKeyNavigatorBytes = descriptorBytes<kKeyNavigatorFields>();
constexpr std::string_view kKeyNavigatorOperations[] = {"Init", "Arm", "TakeEvent", "Kill"};
constexpr ClassTypeInfo kKeyNavigatorType{"KeyNavigator"};
constexpr auto kExcludedControlFields = std::to_array<FieldSpec>({longField("CONTROL")});
constexpr auto kExcludedControlBytes = descriptorBytes<kExcludedControlFields>();
constexpr auto kTabStopPairFields = std::to_array<FieldSpec>({longField("FROM"), longField("TO")});
constexpr auto kTabStopPairBytes = descriptorBytes<kTabStopPairFields>();

#undef KESTREL_RECT_FIELDS

}  // namespace

constexpr ClassRecord kProcedureWindowClass{0, &kProcedureWindowType, describedSize(kProcedureWindowFields), kProcedureWindowBytes,
                                            kProcedureWindowOperations};
constexpr Descriptor kButtonEntry = kButtonBytes;
constexpr Descriptor kComponentEntry = kComponentBytes;
constexpr Descriptor kFileEntry = kFileBytes;
constexpr ClassRecord kToolbarRouterClass{0, &kToolbarRouterType, describedSize(kToolbarRouterFields), kToolbarRouterBytes,
                                          kToolbarRouterOperations};
constexpr Descriptor kToolbarTargetEntry = kToolbarTargetBytes;

constexpr ClassRecord kErrorReporterClass{0, &kErrorReporterType, describedSize(kErrorReporterFields), kErrorReporterBytes,
                                          kErrorReporterOperations};
constexpr Descriptor kErrorEntry = kErrorBytes;
constexpr Descriptor kHistoryEntry = kHistoryBytes;
constexpr Descriptor kProcedureNameEntry = kProcedureNameBytes;
constexpr Descriptor kErrorContextRecord = kErrorContextBytes;
constexpr ClassRecord kErrorLogFileClass{0, &kErrorLogFileType, describedSize(kErrorLogFileFields), kErrorLogFileBytes,
                                         kErrorLogFileOperations};
constexpr Descriptor kErrorLogRecord = kErrorLogRecordBytes;
namespace {
constexpr ClassTypeInfo kMessageWindowType{"MessageWindow", &kProcedureWindowClass};
}  // namespace
constexpr ClassRecord kMessageWindowClass{0, &kMessageWindowType, describedSize(kMessageWindowFields), kMessageWindowBytes,
                                          kMessageWindowOperations};
constexpr ClassRecord kErrorHistoryViewClass{0, &kErrorHistoryViewType, describedSize(kErrorHistoryViewFields), kErrorHistoryViewBytes,
                                             kWindowComponentOperations};

constexpr ClassRecord kIniStoreClass{0, &kIniStoreType, describedSize(kIniStoreFields), kIniStoreBytes, kIniStoreOperations};
constexpr Descriptor kSectorEntry = kSectorBytes;
constexpr Descriptor kWindowPositionRecord = kWindowPositionBytes;

constexpr ClassRecord kWindowResizerClass{0, &kWindowResizerType, describedSize(kWindowResizerFields), kWindowResizerBytes,
                                          kWindowResizerOperations};
constexpr Descriptor kControlEntry = kControlBytes;
constexpr Descriptor kMoveEntry = kMoveBytes;

constexpr ClassRecord kKeyNavigatorClass{0, &kKeyNavigatorType, describedSize(kKeyNavigatorFields), kKeyNavigatorBytes,
                                         kKeyNavigatorOperations};
constexpr Descriptor kExcludedControlEntry = kExcludedControlBytes;
constexpr Descriptor kTabStopPairEntry = kTabStopPairBytes;

}  // namespace tamsil::record
