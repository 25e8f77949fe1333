// Message names for traces, and the message trace: every window message delivered to a window
// procedure written as a line of the diagnostic log.
#pragma once

#include <string>

#include "platform/types.h"

namespace tamsil::window {

// The runtime's private messages by their names ("QUERY_SETUSE"), events by theirs
// ("EVENT:Accepted"), the platform's "WM_" and "WM_DDE_" messages by theirs; any other number as
// printf's "%#.4x" writes it ("0xb015").
std::string traceMessageName(platform::UINT message);

// One trace line: "TRACE hwnd NAME wParam lParam" with the numbers in hexadecimal.
std::string traceLine(platform::HWND hwnd, platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam);

// Turns the trace on (every delivered message goes to the diagnostic log) or off.
void SetMessageTraceOn(bool on);

}  // namespace tamsil::window
