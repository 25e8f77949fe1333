// The application module of Kestrel24: its entry in the module table, its process-wide objects
// (text matcher, error reporter, settings store) and its per-thread globals, through which
// procedure windows pass requests and responses.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/core/startup.h"

namespace tamsil::framework {
class IniStore;
}

namespace kestrel {

// The file layer's per-thread bookkeeping of the application. The program declares no data files,
// so both stay empty; they exist because the framework's file code reaches for them.
struct FileAccessState {
  std::vector<std::uint8_t> fileId;  // FILEID
  std::vector<std::uint8_t> opener;  // OPENER
};
struct FileRelationState {
  std::int32_t ahead = 0, behind = 0;  // AHEAD, BEHIND
  std::string buffer;                  // BUFFER
  std::int32_t field = 0;              // FIELD
  std::string fieldList;               // FIELDLIST
  std::int32_t fields = 0;             // FIELDS
  std::string file;                    // FILE
  std::int32_t index = 0;              // INDEX
  std::string key1, key2;              // KEY1, KEY2
  std::int32_t len = 0;                // LEN
  std::int32_t openMode = 0;           // OPENMODE
  std::int32_t pointer = 0;            // POINTER
};

struct ThreadGlobals {
  std::uint8_t GlobalRequest = 0;     // the request the next procedure window takes over
  std::uint8_t GlobalResponse = 0;    // the result of each procedure window's Execute
  std::int32_t GlobalVcrRequest = 0;  // shared navigation request, handed out by reference
  FileAccessState fileAccess;
  FileRelationState fileRelation;
};

// The calling thread's globals; they exist between the module's per-thread constructor and
// destructor (the runtime runs those for every runtime thread).
ThreadGlobals& threadGlobals();
bool hasThreadGlobals();
// Makes the calling thread's globals when the runtime has not (a thread it did not start).
void ensureThreadGlobals();

class ProgramErrors;
class TextMatcher;

// The process-wide objects, made by the module's process constructor (matcher, error reporter,
// settings store, in that order) and destroyed by its destructor (the store first, then the
// reporter). Using one outside that span is a programming error and ends the program.
TextMatcher& moduleTextMatcher();
ProgramErrors& programErrors();
tamsil::framework::IniStore& programIniStore();
bool hasProcessObjects();

// The module's record for the program's module table.
tamsil::ModuleRecord applicationModuleRecord();

// The program's version record: a main program, not a beta, version 6300, build 0.
inline constexpr tamsil::VersionRecord kProgramVersion{true, false, 6300, 0};

}  // namespace kestrel
