// Message queues, one per thread: posting, sending (across threads too), peeking, waiting,
// dispatching, keyboard translation, timers and the quit message; plus a trace hook that sees
// every message delivered to a window procedure.
#pragma once

#include <functional>

#include "platform/types.h"

namespace platform {

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageA(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// Filters: hwnd null for every window of the thread (and thread messages), first/last 0 for all.
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT first, UINT last, UINT remove);
// Waits for a message; returns 0 for WM_QUIT, else non-zero. Scripted runs feed user actions here
// whenever the queue is empty.
BOOL GetMessageA(MSG* msg, HWND hwnd, UINT first, UINT last);
BOOL WaitMessage();
LRESULT DispatchMessageA(const MSG* msg);
// Posts WM_CHAR (or WM_SYSCHAR) for a key-down message that produces a character.
BOOL TranslateMessage(const MSG* msg);
// The character a key gives on a US layout with Shift and Ctrl as given (Ctrl+letter gives the
// control character), or 0 for a key that types nothing; what TranslateMessage posts.
char KeyCharacter(UINT vk, bool shift, bool ctrl);
// The message most recently retrieved by GetMessage or PeekMessage on this thread.
DWORD GetMessageTime();

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// Key state as of the message being processed: bit 0x80 down, bit 0x01 toggled.
short GetKeyState(int vk);
short GetAsyncKeyState(int vk);
// Synthesises a key press or release for the focused window.
void keybd_event(BYTE vk, BYTE scan, DWORD flags, std::uintptr_t extra);

// Called for every message delivered to a window procedure, before the procedure runs.
using MessageTrace = std::function<void(HWND, UINT, WPARAM, LPARAM)>;
void SetMessageTrace(MessageTrace trace);

}  // namespace platform
