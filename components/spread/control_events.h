// The book's events in their dispatch form: each event's fields become the VARIANT arguments
// EventArgumentTypes names (members.h), in call order; a VT_BYREF argument points at a value the
// receiver may change, which goes back into the event's field when the delivery returns. The
// control object hears the book through this; so may any receiver that wants dispatch arguments.
#pragma once

#include <span>

#include "components/spread/members/members.h"
#include "components/spread/model/events.h"

namespace spread {

class VariantEventSink : public EventSink {
 public:
  void fire(BookEvent& e) final;
  // One event as dispatch arguments, in call order.
  virtual void deliver(SpreadEvent e, std::span<const platform::VARIANT> args) = 0;
};

}  // namespace spread
