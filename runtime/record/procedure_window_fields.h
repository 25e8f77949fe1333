// The stored layout of the framework's procedure window and of the entries of its queues: each
// field's name and kind in stored order, and the C++ type the framework's class keeps it in.
// The class (framework/window/procedure_window.h) and its descriptors (framework_descriptors.cpp)
// are both generated from these lists, so a field cannot be named or placed differently in one.
//
// Each list applies F(make, NAME, type[, size]) to its fields: `make` is the descriptor maker of
// the field's kind (descriptor_encoder.h: byteField, longField, ...), `size` that maker's second
// argument where it takes one. `type` is read only where the framework declares its class; the
// descriptors ignore it, so this header needs none of the framework's types.
#pragma once

// clang-format off

// The ProcedureWindow class, behind its table of virtual operations.
#define TAMSIL_PROCEDURE_WINDOW_FIELDS(F)                                                 \
  F(byteField, AUTOREFRESH, std::uint8_t)                                                 \
  F(byteField, AUTOTOOLBAR, std::uint8_t)                                                 \
  F(referenceField, BUTTONS, std::unique_ptr<std::vector<ButtonEntry>>)                   \
  F(referenceField, CL, std::unique_ptr<std::vector<ComponentEntry>>)                     \
  F(byteField, CANCELACTION, std::uint8_t)                                                \
  F(byteField, CHANGEACTION, std::uint8_t)                                                \
  F(byteField, DEAD, std::uint8_t)                                                        \
  F(byteField, DELETEACTION, std::uint8_t)                                                \
  F(byteField, BATCHPROCESSING, std::uint8_t)                                             \
  F(referenceField, ERRORS, ErrorReporting*)                                              \
  F(referenceField, FILES, std::unique_ptr<std::vector<FileEntry>>)                       \
  F(byteField, FILESOPENED, std::uint8_t)                                                 \
  F(longField, FIRSTFIELD, std::int32_t)                                                  \
  F(byteField, FORCEDRESET, std::uint8_t)                                                 \
  F(referenceField, HISTORY, std::unique_ptr<std::vector<HistoryEntry>>)                  \
  F(longField, HISTORYKEY, std::int32_t)                                                  \
  F(byteField, INITED, std::uint8_t) /* InitedBit */                                      \
  F(byteField, INSERTACTION, std::uint8_t)                                                \
  F(stringField, LASTINSERTEDPOSITION, std::string, 1024) /* at most kPositionSize */     \
  F(longField, OKCONTROL, std::int32_t)                                                   \
  F(longField, SAVECONTROL, std::int32_t)                                                 \
  F(byteField, DISABLECANCELBUTTON, std::uint8_t)                                         \
  F(byteField, OPENED, std::uint8_t)                                                      \
  F(byteField, ORIGINALREQUEST, std::uint8_t)                                             \
  F(byteField, RECORDSAVED, std::uint8_t)                                                 \
  F(byteField, BEFORESAVEREQUEST, std::uint8_t)                                           \
  F(referenceField, PRIMARY, PrimaryRelation*)                                            \
  F(byteField, REQUEST, std::uint8_t)                                                     \
  F(byteField, RESETONGAINFOCUS, std::uint8_t)                                            \
  F(referenceField, RESIZE, WindowResizer*)                                               \
  F(byteField, RESPONSE, std::uint8_t)                                                    \
  F(ushortField, SAVED, std::uint16_t)                                                    \
  F(referenceField, FORMVCR, RecordNavigator*)                                            \
  F(referenceField, TOOLBAR, ToolbarRouter*)                                              \
  F(referenceField, TRANSLATOR, Translator*)                                              \
  F(referenceField, VCRREQUEST, std::int32_t*)                                            \
  F(referenceField, MYWINDOW, window::Window*)                                            \
  F(referenceField, OWNERWINDOW, window::Window*)

// An entry of BUTTONS: a button and the action it starts.
#define TAMSIL_BUTTON_ENTRY_FIELDS(F) \
  F(longField, CONTROL, std::int32_t)  \
  F(byteField, ACTION, std::uint8_t)

// An entry of CL: a registered window component and its kind.
#define TAMSIL_COMPONENT_ENTRY_FIELDS(F) \
  F(longField, TYPE, std::int32_t)        \
  F(referenceField, WC, WindowComponent*)

// An entry of FILES: a file and the state saved for it while the window is open.
#define TAMSIL_FILE_ENTRY_FIELDS(F)        \
  F(referenceField, FILE, TrackedFile*)     \
  F(ushortField, SAVED, std::uint16_t)

// clang-format on
