#include "runtime/core/trace_source.h"

#include <mutex>

namespace tamsil {

namespace {

struct State {
  std::mutex mutex;
  TraceSource source;
};

State& state() {
  static State s;
  return s;
}

}  // namespace

void setTraceSource(TraceSource source) {
  std::lock_guard lock(state().mutex);
  state().source = std::move(source);
}

TraceSource traceSource() {
  std::lock_guard lock(state().mutex);
  return state().source;
}

}  // namespace tamsil
