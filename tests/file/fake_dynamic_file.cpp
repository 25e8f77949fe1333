// A stand-in for the dynamic-file support library: both entry points, answering 42 and 43.
#include <cstdint>

extern "C" std::intptr_t fakeChangeFile(void*, void*) __asm__("_Tsl$CHANGE_FILE");
extern "C" std::intptr_t fakeChangeDriver(void*, void*, void*) __asm__("_Tsl$CHANGE_DRIVER");

extern "C" std::intptr_t fakeChangeFile(void*, void*) { return 42; }
extern "C" std::intptr_t fakeChangeDriver(void*, void*, void*) { return 43; }
