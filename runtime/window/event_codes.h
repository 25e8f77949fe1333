// Event codes and the runtime's private window messages, with the names traces show. An event
// travels inside the runtime as window message kEventBase + code; programs see the code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace tamsil::window {

inline constexpr platform::UINT kEventBase = 0xA000;

namespace event {
inline constexpr int Accepted = 0x01, NewSelection = 0x02, ScrollUp = 0x03, ScrollDown = 0x04, PageUp = 0x05, PageDown = 0x06, ScrollTop = 0x07,
                     ScrollBottom = 0x08, Locate = 0x09, MouseUp = 0x0A, MouseIn = 0x0B, MouseOut = 0x0C, MouseMove = 0x0D, VBXevent = 0x0E,
                     AlertKey = 0x0F, PreAlert = 0x10, Dragging = 0x11, Drag = 0x12, Drop = 0x13, ScrollDrag = 0x14, TabChanging = 0x15,
                     Expanding = 0x16, Contracting = 0x17, Expanded = 0x18, Contracted = 0x19, Rejected = 0x1A, DroppingDown = 0x1B,
                     DroppedDown = 0x1C, ScrollTrack = 0x1D, ColumnResize = 0x1E, Selected = 0x101, Selecting = 0x102, CloseWindow = 0x201,
                     CloseDown = 0x202, OpenWindow = 0x203, OpenFailed = 0x204, LoseFocus = 0x205, GainFocus = 0x206, Suspend = 0x208,
                     Resume = 0x209, Notify = 0x20A, Timer = 0x20B, DDErequest = 0x20C, DDEadvise = 0x20D, DDEdata = 0x20E, DDEexecute = 0x20F,
                     DDEpoke = 0x210, DDEclosed = 0x211, Move = 0x220, Size = 0x221, Restore = 0x222, Maximize = 0x223, Iconize = 0x224,
                     Completed = 0x225, Moved = 0x230, Sized = 0x231, Restored = 0x232, Maximized = 0x233, Iconized = 0x234, Docked = 0x235,
                     UnDocked = 0x236, BuildFile = 0x240, BuildKey = 0x241, BuildDone = 0x242;
}  // namespace event

// "EVENT:Accepted" for 1 and so on; empty for a code without a name (0x207 and program codes).
std::string_view eventName(int code);

// The runtime's private messages.
inline constexpr platform::UINT QUERY_SHUTDOWN = 0xB000, QUERY_SETUSE = 0xB001, QUERY_SELECTED = 0xB002, QUERY_COMMAND = 0xB003,
                                QUERY_HOTCHANGE = 0xB004, QUERY_HELP = 0xB005, QUERY_QUIT = 0xB006, QUERY_REPLY = 0xB007,
                                QUERY_LOSEFOCUS = 0xB008, QUERY_DOCKQUERY = 0xB00B, QUERY_COLOR = 0xB00C, QUERY_HSCROLL = 0xB00E,
                                QUERY_NOTIFY = 0xB010, QUERY_LOCATE = 0xB012, QUERY_BRINGTOTOP = 0xB015, QUERY_POSTEVENT = 0xB01B,
                                QUERY_EDITDONE = 0xB01D, QUERY_CONTINUETHREAD = 0xB025, QUERY_SETBARS = 0xB026, QUERY_DIRTYBARS = 0xB027,
                                QUERY_MERGE = 0xB028, QUERY_SAFEMAXIMIZE = 0xB029, QUERY_SAFERESTORE = 0xB02A, QUERY_MDIMAXIMIZE = 0xB02B,
                                QUERY_MDIRESTORE = 0xB02C, QUERY_HOT = 0xB02D, QUERY_SIZEMOVE = 0xB02E;

// The trace name of a private message ("QUERY_SETUSE"), empty for others and for the two unnamed
// ones (0xB015, 0xB01B).
std::string_view privateMessageName(platform::UINT message);

}  // namespace tamsil::window
