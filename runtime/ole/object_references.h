// Object references: an automation object handed to the program as text, a backquote and a
// number ("`93824992236160"). The bridge keeps a table of the references it handed out, each
// holding one reference to its object and counting how often it was handed out; a text names an
// object only while it is in that table. A forged or stale number is never followed as a
// pointer: it finds nothing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/com/com_ptr.h"
#include "platform/com/unknown.h"

namespace tamsil::ole {

// Hands the object out: adds it to the table (or counts it once more) and gives its text. A null
// object gives the empty text.
std::string handOutReference(platform::IDispatch* object);

// The object that a reference text names, with a reference of its own for the caller; null when
// the text is not a reference the bridge handed out and still holds.
platform::ComPtr<platform::IDispatch> findReference(std::string_view text);

// Whether the text has the form of a reference: a backquote followed by decimal digits.
bool isReferenceText(std::string_view text);

// Gives back one hand-out of the reference; the table lets the object go at the last one. False
// when the text names nothing in the table.
bool releaseReference(std::string_view text);

// How many references the table holds (for tests and leak checks).
size_t liveReferenceCount();

// Lets every object in the table go (the program's end, tests).
void releaseAllReferences();

}  // namespace tamsil::ole
