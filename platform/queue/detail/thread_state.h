// Per-thread state of the platform: the message queue, focus and key state.
#pragma once

#include <array>
#include <memory>

#include "platform/queue/detail/message_queue.h"
#include "platform/types.h"

namespace platform::detail {

struct ThreadState {
  // Set when the thread first touches the platform, then constant.
  DWORD id = 0;
  // Shared: other threads post and send to it, and senders keep it while they wait for a reply.
  std::shared_ptr<MessageQueue> queue;

  // Only touched by the owning thread.
  void* slot = nullptr;
  HWND focus = nullptr;
  HWND active = nullptr;
  std::array<BYTE, 256> keys{};
  MSG lastMessage;
};

// The calling thread's state, created on first use.
ThreadState& currentThread();
// The state of thread id, or null when that thread has ended or never existed.
std::shared_ptr<ThreadState> threadById(DWORD id);

}  // namespace platform::detail
