// The window manager as a record form (headless), with the in-memory relation: what pressing OK
// or Save does under each request and action, refused and failed writes, the questions asked when
// a form with unsaved changes is closed, batch forms and field history.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/window/memory_relation.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/properties.h"
#include "tests/framework/procedure_test.h"

namespace tamsil::framework::testing {
namespace {

namespace event = window::event;
using Texts = std::vector<std::string>;

class ProcedureFormTest : public ProcedureTest {
 protected:
  // A form for `request` on the relation, with OK, Save and the first field wired. An insert form
  // starts from a primed record, a change or delete form from record 0; `typed` is what the user
  // has put into the record since.
  void form(std::uint8_t request, std::string typed, std::function<void(TestWindow&)> more = {}) {
    pw.REQUEST = request;
    pw.afterSetup = [this, request, typed, more](TestWindow& w) {
      w.PRIMARY = &relation;
      w.AttachErrors(errors);
      w.OKCONTROL = kOk;
      w.SAVECONTROL = kSave;
      w.FIRSTFIELD = kCode;
      if (request == InsertRecord) relation.Prime();
      else relation.Read(0);
      w.SAVED = relation.SaveState();
      relation.buffer = typed;
      if (more) more(w);
    };
  }
  // Sets the record's text whenever the OK or Save button is pressed, the next text each time.
  void typeBeforeEachPress(Texts texts) {
    pw.onEvent = [this, texts, n = std::size_t(0)](int code, int field) mutable {
      if (code == event::Accepted && (field == kOk || field == kSave) && n < texts.size()) relation.buffer = texts[n++];
    };
  }

  MemoryRelation relation;
  QueuedErrors errors;
  TestWindow pw;
};

TEST_F(ProcedureFormTest, OkInsertsTheRecordAndFinishes) {
  form(InsertRecord, "typed");
  script("press OK\n");
  EXPECT_EQ(pw.Execute(), RequestCompleted);
  EXPECT_EQ(relation.records, Texts{"typed"});
  EXPECT_TRUE(errors.asked.empty());
}

TEST_F(ProcedureFormTest, ARefusedInsertKeepsTheFormOpenAtItsFirstField) {
  relation.insertResults = {5};
  form(InsertRecord, "typed");
  script("press OK\n");
  EXPECT_EQ(pw.Execute(), RequestCancelled);
  EXPECT_TRUE(relation.records.empty());
  const auto ok = std::ranges::find(pw.seen, "EVENT:Accepted 3");
  ASSERT_NE(ok, pw.seen.end());
  EXPECT_NE(std::find(ok, pw.seen.end(), "EVENT:Selected 1"), pw.seen.end());
  // The script's end closes the form: its unsaved record raises the save question (answered No).
  EXPECT_EQ(errors.asked, Texts{"prompt 38 70 64"});
}

TEST_F(ProcedureFormTest, StayingForAnotherInsertPrimesAFreshRecordAndEndsCompleted) {
  relation.primeValue = "";
  form(InsertRecord, "", [](TestWindow& w) { w.INSERTACTION = ActionStay; });
  typeBeforeEachPress({"first", "second"});
  script("press OK\npress OK\n");
  EXPECT_EQ(pw.Execute(), RequestCompleted);  // the last inserted record is the result
  EXPECT_EQ(relation.records, (Texts{"first", "second"}));
  EXPECT_EQ(pw.LASTINSERTEDPOSITION, "1");
  EXPECT_EQ(relation.undoCalls, 1);  // the fresh record nobody filled was taken back
  EXPECT_TRUE(errors.asked.empty());
}

TEST_F(ProcedureFormTest, AskingFirstFinishesWhenTheUserAddsNoMore) {
  errors.throwAnswers = {SevNone, SevDeclined};  // yes, add another; then no
  form(InsertRecord, "", [](TestWindow& w) { w.INSERTACTION = ActionAskFirst; });
  typeBeforeEachPress({"first", "second"});
  script("press OK\npress OK\n");
  EXPECT_EQ(pw.Execute(), RequestCompleted);
  EXPECT_EQ(relation.records, (Texts{"first", "second"}));
  EXPECT_EQ(errors.asked, (Texts{"throw 3", "throw 3"}));
}

TEST_F(ProcedureFormTest, OkChangesTheRecordAndCloses) {
  relation.records = {"old"};
  form(ChangeRecord, "new");
  script("press OK\n");
  EXPECT_EQ(pw.Execute(), RequestCompleted);
  EXPECT_EQ(relation.records, Texts{"new"});
}

struct RetryCase {
  const char* name;
  int answer;
  std::uint8_t response;
  const char* record;
  Texts asked;
};

class ChangeRetryTest : public ProcedureFormTest, public ::testing::WithParamInterface<RetryCase> {};

// The update meets a record changed elsewhere (result 1): the user is asked whether to try again.
TEST_P(ChangeRetryTest, AFailedUpdateAsksToTryAgain) {
  relation.records = {"old"};
  relation.updateResults = {1};
  errors.promptAnswers = {GetParam().answer};
  form(ChangeRecord, "new");
  script("press OK\n");
  EXPECT_EQ(pw.Execute(), GetParam().response);
  EXPECT_EQ(relation.records, Texts{GetParam().record});
  EXPECT_EQ(errors.asked, GetParam().asked);
}

INSTANTIATE_TEST_SUITE_P(Answers, ChangeRetryTest,
                         ::testing::Values(RetryCase{"Yes", BtnYes, RequestCompleted, "new", {"prompt 37 70 64"}},
                                           // No closes: the close finds the record unsaved and asks to save (No).
                                           RetryCase{"No", BtnNo, RequestCancelled, "old", {"prompt 37 70 64", "prompt 38 70 64"}},
                                           // Cancel stays; the close then asks to save (answered No).
                                           RetryCase{"Cancel", BtnCancel, RequestCancelled, "old", {"prompt 37 70 64", "prompt 38 70 64"}}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(ProcedureFormTest, OkDeletesTheRecord) {
  relation.records = {"gone", "kept"};
  form(DeleteRecord, "gone");
  script("press OK\n");
  EXPECT_EQ(pw.Execute(), RequestCompleted);
  EXPECT_EQ(relation.records, Texts{"kept"});
}

TEST_F(ProcedureFormTest, AFailedDeleteAsksAndNoCloses) {
  relation.records = {"kept"};
  relation.deleteResults = {2};
  errors.promptAnswers = {BtnNo};
  form(DeleteRecord, "kept");
  script("press OK\n");
  EXPECT_EQ(pw.Execute(), RequestCancelled);
  EXPECT_EQ(relation.records, Texts{"kept"});
  EXPECT_EQ(errors.asked, Texts{"prompt 36 70 64"});
}

struct CloseCase {
  const char* name;
  std::uint8_t cancelAction;
  std::deque<int> prompts;
  std::deque<std::uint8_t> throws;
  std::uint8_t response;
  std::size_t records;
  Texts asked;
};

class CloseWithChangesTest : public ProcedureFormTest, public ::testing::WithParamInterface<CloseCase> {};

// Closing an insert form whose record has unsaved changes, under each CANCELACTION.
TEST_P(CloseWithChangesTest, HandlesTheUnsavedRecord) {
  const CloseCase& c = GetParam();
  errors.promptAnswers = c.prompts;
  errors.throwAnswers = c.throws;
  form(InsertRecord, "typed", [&](TestWindow& w) { w.CANCELACTION = c.cancelAction; });
  script("close\n");
  EXPECT_EQ(pw.Execute(), c.response);
  EXPECT_EQ(relation.records.size(), c.records);
  EXPECT_EQ(errors.asked, c.asked);
}

INSTANTIATE_TEST_SUITE_P(CancelActions, CloseWithChangesTest,
                         ::testing::Values(
                             // Bit 0 alone: closing presses OK, which saves.
                             CloseCase{"PressesOk", 1, {}, {}, RequestCompleted, 1, {}},
                             // Bits 0 and 1: the save question.
                             CloseCase{"SaveYes", 3, {BtnYes}, {}, RequestCompleted, 1, {"prompt 38 70 64"}},
                             CloseCase{"SaveNo", 3, {BtnNo}, {}, RequestCancelled, 0, {"prompt 38 70 64"}},
                             CloseCase{"SaveCancelStays", 3, {BtnCancel}, {}, RequestCancelled, 0, {"prompt 38 70 64", "prompt 38 70 64"}},
                             // Bit 0 clear: only a confirmation; declining it stays.
                             CloseCase{"ConfirmDeclinedStays", 2, {}, {SevDeclined}, RequestCancelled, 0, {"throw 10", "throw 10"}},
                             CloseCase{"Confirmed", 2, {}, {SevNone}, RequestCancelled, 0, {"throw 10"}},
                             // No CANCELACTION at all: the form closes without a word.
                             CloseCase{"NotHandled", 0, {}, {}, RequestCancelled, 0, {}}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(ProcedureFormTest, SaveIsRefusedWhenTheRequestWritesNothing) {
  relation.records = {"shown"};
  form(ViewRecord, "shown");
  script("press Save\n");
  EXPECT_EQ(pw.Execute(), RequestCancelled);
  EXPECT_EQ(pw.REQUEST, ViewRecord);
  EXPECT_EQ(relation.records, Texts{"shown"});
}

// Save and go on: the first save inserts, a later one changes that record instead of adding it
// again, and the form ends completed.
TEST_F(ProcedureFormTest, SavingTwiceInsertsOnceThenChanges) {
  form(InsertRecord, "");
  typeBeforeEachPress({"v1", "v2"});
  script("press Save\npress Save\n");
  EXPECT_EQ(pw.Execute(), RequestCompleted);
  EXPECT_EQ(relation.records, Texts{"v2"});
  EXPECT_EQ(pw.BEFORESAVEREQUEST, ChangeRecord);
  EXPECT_TRUE(errors.asked.empty());
}

TEST_F(ProcedureFormTest, ABatchFormMovesOnToTheNextRecord) {
  relation.records = {"one", "two", "three"};
  MemoryNavigator navigator(relation);
  form(ViewRecord, "one", [&](TestWindow& w) {
    w.BATCHPROCESSING = 1;
    w.FORMVCR = &navigator;
  });
  script("press OK\npress OK\n");
  pw.Execute();
  EXPECT_EQ(navigator.moves, 2);
  EXPECT_EQ(relation.current, 2u);
}

TEST_F(ProcedureFormTest, PrepareRequestAsksTheRelation) {
  relation.refusedRequests = {DeleteRecord};
  TestWindow w;
  w.PRIMARY = &relation;
  w.REQUEST = ChangeRecord;
  EXPECT_EQ(w.PrepareRequest(), SevNone);
  w.REQUEST = DeleteRecord;
  EXPECT_EQ(w.PrepareRequest(), SevHalt);
}

// The history key recalls the focused field's value from the last saved record.
TEST_F(ProcedureFormTest, TheHistoryKeyRecallsTheFieldsPreviousValue) {
  constexpr int kF2 = 0x71;
  form(InsertRecord, "", [&](TestWindow& w) {
    w.INSERTACTION = ActionStay;
    w.HISTORYKEY = kF2;
    w.AddHistoryField(kName);
    w.ArmAlertKeys();
  });
  std::string recalled = "none";
  pw.onEvent = [&](int code, int field) {
    const auto name = [&](std::string_view text) { window::SetProperty(*pw.win, kName, window::prop::Text, text); };
    if (code == event::Accepted && field == kOk) {
      relation.buffer = "rec";
      name("Smith");
    }
    if (code == event::AlertKey) {
      name("");  // what the user typed since; the key brings the saved value back
      window::PostEvent(EventResizeNeeded);
    }
    if (code == EventResizeNeeded) recalled = window::GetProperty(*pw.win, kName, window::prop::Text).text;
  };
  script("press OK\nfocus #16386\nkey F2\n");
  pw.Execute();
  EXPECT_EQ(recalled, "Smith");
}

}  // namespace
}  // namespace tamsil::framework::testing
