// A primary relation and a record navigator kept in memory: records are texts in a vector, the
// form edits a buffer. Programs without files (and tests) give a form these; the results of the
// next operations can be set in advance to play refusals and failures.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "framework/window/form_parts.h"

namespace tamsil::framework {

class MemoryRelation : public PrimaryRelation {
 public:
  static constexpr std::size_t kNoRecord = std::size_t(-1);

  std::vector<std::string> records;  // the file
  std::string buffer;                // the record being edited
  std::size_t current = kNoRecord;   // the record the buffer was read from or written to
  std::string primeValue;            // what Prime puts into the buffer

  // What the next Insert, Update and Delete answer instead of succeeding (front first); a
  // non-zero answer writes nothing.
  std::deque<int> insertResults, updateResults, deleteResults;
  int undoResult = 0;  // what UndoInsert answers
  int undoCalls = 0;
  bool closeAfterInsert = false;
  std::vector<std::uint8_t> refusedRequests;  // requests PrepareRequest refuses

  std::uint16_t SaveState() override;
  void RestoreState(std::uint16_t state) override;
  bool ChangedSince(std::uint16_t state) override;
  int Insert() override;
  int Update(bool keepHistory) override;
  int Delete(bool askedAlready) override;
  int UndoInsert() override;
  void Prime() override;
  bool PrepareRequest(std::uint8_t request) override;
  std::string Position() override;
  bool Fetch(const std::string& position) override;
  bool CloseAfterInsert() override { return closeAfterInsert; }

  // Reads record `index` into the buffer.
  bool Read(std::size_t index);

 private:
  struct State {
    std::string buffer;
    std::size_t current;
  };
  std::vector<State> states_;  // state n is states_[n - 1]; 0 is no state
};

// Moves a form on to the relation's next record.
class MemoryNavigator : public RecordNavigator {
 public:
  explicit MemoryNavigator(MemoryRelation& relation) : relation_(relation) {}
  void MoveOn() override;
  int moves = 0;

 private:
  MemoryRelation& relation_;
};

}  // namespace tamsil::framework
