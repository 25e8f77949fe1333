// The objects a record-editing form works with, as interfaces: the primary relation (the record
// the form inserts, changes or deletes), the record navigator that moves a batch form on, files
// whose state is kept around the window, the error reporter's questions and the translator.
#pragma once

#include <cstdint>
#include <string>

namespace tamsil::window {
class Window;
}

namespace tamsil::framework {

// A file whose position and buffer state can be saved and put back.
class TrackedFile {
 public:
  virtual ~TrackedFile() = default;
  virtual std::uint16_t SaveState() = 0;
  virtual void RestoreState(std::uint16_t state) = 0;
};

// The record a form edits. Results of Insert, Update and Delete: 0 done; Update 1 asks whether to
// try again; Delete 4 counts as done (the record was gone already); anything else failed.
class PrimaryRelation : public TrackedFile {
 public:
  // Whether the record differs from what it was when `state` was saved.
  virtual bool ChangedSince(std::uint16_t state) = 0;
  virtual int Insert() = 0;
  virtual int Update(bool keepHistory) = 0;
  virtual int Delete(bool askedAlready) = 0;
  // Takes back the record a cancelled insert form added; non-zero when that failed.
  virtual int UndoInsert() = 0;
  // Fills a fresh record with its initial values.
  virtual void Prime() = 0;
  // Readies the relation for a request (insert, change, delete); false when it cannot serve it.
  virtual bool PrepareRequest(std::uint8_t request) = 0;
  // Where the current record is, as a text the relation reads back with Fetch.
  virtual std::string Position() = 0;
  virtual bool Fetch(const std::string& position) = 0;
  // Whether a form that stays for another insert should close instead (no more records fit).
  virtual bool CloseAfterInsert() { return false; }
};

// Moves a batch form to the next record.
class RecordNavigator {
 public:
  virtual ~RecordNavigator() = default;
  virtual void MoveOn() = 0;
};

// The error reporter's questions. Throw shows message `id` by its severity and answers a severity
// (a question: 0 for yes, SevDeclined for no); Prompt asks with the given buttons and answers the
// flag of the button pressed.
class ErrorReporting {
 public:
  virtual ~ErrorReporting() = default;
  virtual std::uint8_t Throw(int id) = 0;
  virtual int Prompt(int id, int buttons, int defaultButton) = 0;
};

// Puts a window's texts into the user's language when it is first opened.
class Translator {
 public:
  virtual ~Translator() = default;
  virtual void TranslateWindow(window::Window& window) = 0;
};

}  // namespace tamsil::framework
