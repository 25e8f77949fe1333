// Message queues, one per thread: posting, sending (across threads too), peeking, waiting,
// dispatching, keyboard translation, timers and the quit message; plus a trace hook that sees
// every message delivered to a window procedure, and an idle hook that feeds work to a thread
// whose queue is empty.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "platform/types.h"

namespace platform {

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageA(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// Filters: hwnd null for every window of the thread (and thread messages), first/last 0 for all.
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT first, UINT last, UINT remove);
// Waits for a message; returns 0 for WM_QUIT, else non-zero. Whenever the queue is empty it runs
// the idle hook (scripted runs feed user actions through it) before it waits.
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

// Work for a thread whose queue is empty, run by GetMessageA and WaitMessage on any thread: run()
// does one piece and returns true, or returns false when there is nothing to do now; ready()
// (optional) says work arrived without a message, so a waiting thread stops waiting; nextAt()
// (optional) is when run() will next have work, which ends a wait.
struct IdleHook {
  std::function<bool()> ready;
  std::function<bool()> run;
  std::function<std::optional<std::chrono::steady_clock::time_point>()> nextAt;
};
// Installs the one idle hook of the process (program start installs the scripted-input source);
// a hook without run() removes it.
void SetIdleHook(IdleHook hook);

}  // namespace platform
