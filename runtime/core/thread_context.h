// The runtime's per-thread data, reached through the platform's one thread-local slot: the
// thread's identity, its stack of open windows, and the last key it saw. Other parts of the
// runtime hang their own per-thread state here (value stack, error state) as they need it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/types.h"
#include "runtime/heap/heap_allocator.h"

namespace tamsil {

namespace window {
class Window;
}

struct ThreadContext {
  platform::DWORD platformThread = 0;  // the platform's number of the thread
  int number = 0;                      // 1 for the program's first thread, then in start order

  // Open windows of the thread, the current one last. `target`, when set, takes precedence as the
  // window that new windows are opened for.
  std::vector<window::Window*> windows;
  window::Window* target = nullptr;
  // The platform window of the current window, kept by the window layer; other threads address
  // this thread through it.
  platform::HWND topHandle = nullptr;

  // The last key the thread's windows saw (code, character, shift state), snapshotted into events.
  std::uint32_t lastKeyCode = 0;
  std::uint8_t lastKeyChar = 0;
  std::uint8_t lastKeyState = 0;
  // Where the thread's windows last saw the mouse, in screen coordinates, snapshotted into events.
  platform::POINT lastCursor{};

  window::Window* currentWindow() const { return windows.empty() ? nullptr : windows.back(); }

  // Per-thread state of the other runtime layers, kept here so that it lives and dies with the
  // thread's context without the core knowing its type: each layer owns one slot.
  enum class Layer { ValueStack, ErrorState, Evaluator, Count };
  std::array<std::shared_ptr<void>, std::size_t(Layer::Count)> layers;

  // The layer's state, made on first use.
  template <class T>
  T& layer(Layer which) {
    auto& slot = layers[std::size_t(which)];
    if (!slot) slot = std::allocate_shared<T>(HeapAllocator<T>());
    return *static_cast<T*>(slot.get());
  }
};

// The calling thread's context, or null when the thread has none.
ThreadContext* currentThreadContext();

// Gives the calling thread a context for as long as the object lives (the thread's runtime
// start and end). The first thread to make one is thread number 1.
class ThreadContextScope {
 public:
  ThreadContextScope();
  ~ThreadContextScope();
  ThreadContextScope(const ThreadContextScope&) = delete;
  ThreadContextScope& operator=(const ThreadContextScope&) = delete;

  ThreadContext& context() { return *context_; }

 private:
  std::unique_ptr<ThreadContext> context_;
};

// The context of the n-th running thread of the program (1 = the first), or null.
ThreadContext* threadContextByNumber(int number);
// Every running thread's context, in thread-number order.
std::vector<ThreadContext*> runningThreadContexts();

}  // namespace tamsil
