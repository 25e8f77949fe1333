// The reporter on the headless backend: table lookup and overrides, what Raise does for each
// severity, the runtime's error state in the texts, the history with its threshold and view
// level, silence, Prompt, procedure names and error contexts per thread, categories.
#include <gtest/gtest.h>

#include <thread>

#include "runtime/core/error_state.h"
#include "tests/framework/error/error_test.h"

namespace tamsil::framework::testing {
namespace {

using ErrorReporterTest = ErrorTest;

TEST_F(ErrorReporterTest, AnEntryWithAnExistingIdWins) {
  TestReporter r;
  r.DefineError(30, SevInform, "Mine", "My own text for %File.");
  r.Status().SetFile("Orders");
  EXPECT_EQ(r.Raise(30), SevInform);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Mine");
  EXPECT_EQ(boxes[0].text, "My own text for Orders.");
  // Taking the entry back uncovers the default one.
  r.UndefineError(30);
  r.Raise(30);
  EXPECT_EQ(boxes.back().caption, "Invalid Key");
  EXPECT_EQ(boxes.back().text, "Orders key file is invalid. Key must be rebuilt.");
}

TEST_F(ErrorReporterTest, AStoredTableAddedLaterWins) {
  TestReporter r;
  const ErrorDefinition mine[] = {{10, SevInform, "Cancelled", "Nothing was saved."}, {60, SevNone, "Quiet", "Never shown."}};
  const auto stored = encodeErrorTable(mine);
  ASSERT_TRUE(stored);
  ASSERT_TRUE(r.AddErrors(*stored));
  EXPECT_EQ(r.Raise(10), SevInform);  // a question in the default table, a notification now
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Nothing was saved.");
  EXPECT_EQ(r.Raise(60), SevNone);
  EXPECT_EQ(boxes.size(), 1u);
  // A damaged table adds nothing.
  const std::size_t before = r.Errors().size();
  EXPECT_FALSE(r.LoadErrorTable(std::vector<std::uint8_t>{1, 0, 10, 0}));
  EXPECT_EQ(r.Errors().size(), before);
}

TEST_F(ErrorReporterTest, AnUnknownIdIsABenignEmptyEntry) {
  TestReporter r;
  EXPECT_EQ(r.Raise(999), SevNone);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(r.Status().ERRORBUFFER.ID, 0);
  EXPECT_EQ(r.Status().ERRORBUFFER.FATALITY, SevNone);
  EXPECT_TRUE(r.Status().ERRORBUFFER.MESSAGE.empty());
}

// What each severity shows and answers.
struct SeverityCase {
  const char* name;
  std::uint8_t fatality;
  unsigned answer;  // the button the user presses (0: the default)
  std::uint8_t result;
  unsigned buttons, defaultButton;
  window::MessageIcon icon;
  bool ends;
};

class Severities : public ErrorTest, public ::testing::WithParamInterface<SeverityCase> {};

TEST_P(Severities, ShowAndAnswer) {
  const SeverityCase& c = GetParam();
  TestReporter r;
  r.DefineError(70, c.fatality, "Caption", "Text");
  if (c.answer) answers.push_back(c.answer);
  EXPECT_EQ(r.Raise(70), c.result);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Caption");
  EXPECT_EQ(boxes[0].buttons, c.buttons);
  EXPECT_EQ(boxes[0].defaultButton, c.defaultButton);
  EXPECT_EQ(boxes[0].icon, c.icon);
  EXPECT_EQ(boxes[0].text, c.ends ? "Text  Press OK to end this application" : "Text");
  EXPECT_EQ(r.endedWith, c.ends ? std::vector<int>{kFatalErrorExitCode} : std::vector<int>{});
}

using enum window::MessageIcon;
INSTANTIATE_TEST_SUITE_P(ErrorReporter, Severities,
                         ::testing::Values(SeverityCase{"QuestionYes", SevQuestion, BtnYes, SevNone, 6, BtnYes, Exclamation, false},
                                           SeverityCase{"QuestionNo", SevQuestion, BtnNo, SevDeclined, 6, BtnYes, Exclamation, false},
                                           SeverityCase{"QuestionDefault", SevQuestion, 0, SevNone, 6, BtnYes, Exclamation, false},
                                           SeverityCase{"Declined", SevDeclined, BtnNo, SevDeclined, 6, BtnYes, Exclamation, false},
                                           SeverityCase{"Inform", SevInform, 0, SevInform, BtnOk, BtnOk, Information, false},
                                           SeverityCase{"Fatal", SevHalt, 0, SevHalt, BtnOk, BtnOk, Information, true},
                                           SeverityCase{"Internal", SevInternal, 0, SevHalt, BtnOk, BtnOk, Information, true},
                                           SeverityCase{"Unknown", 9, 0, SevHalt, BtnOk, BtnOk, Information, true}),
                         [](const auto& p) { return p.param.name; });

TEST_F(ErrorReporterTest, RaiseKeepsTheRuntimesErrorAndShowsTheDriversForCode90) {
  TestReporter r;
  r.Status().SetFile("Orders.txt");
  storeError(90, "File System Error");
  storeDriverError("D042", "Disk full");
  r.Raise(26);  // File %File could not be opened.  Error: %ErrorText.
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "File Orders.txt could not be opened.  Error: Disk full (D042).  Press OK to end this application");
  EXPECT_EQ(r.Status().SAVEERRORCODE, 90);
  EXPECT_EQ(r.Status().SAVEERROR, "File System Error");
  EXPECT_EQ(r.Status().SAVEFILEERRORCODE, "D042");

  storeError(2, "File Not Found");
  r.Raise(6);
  EXPECT_EQ(boxes.back().text, "File Orders.txt could not be closed.  Error: File Not Found (2).");
}

TEST_F(ErrorReporterTest, PreviousShowsTheFirstErrorsMessage) {
  TestReporter r;
  r.DefineError(80, SevInform, "Again", "After: %Previous");
  r.Raise(25);
  r.Raise(80);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "After: There are no records available to process.");
  EXPECT_EQ(r.Status().PREVERRORID, 25);
}

TEST_F(ErrorReporterTest, ThresholdTwoKeepsTheLastTwo) {
  TestReporter r;
  r.SetHistoryThreshold(2);
  r.SetHistoryViewLevel(SevHalt);
  for (const int id : {25, 5, 7}) EXPECT_EQ(r.Raise(id), SevInform);
  const auto history = r.History();
  ASSERT_EQ(history.size(), 2u);
  EXPECT_EQ(history[0].ID, 5);
  EXPECT_EQ(history[0].TXT, "Record match not found, do you wish to add a new one?");
  EXPECT_EQ(history[1].ID, 7);
  EXPECT_EQ(history[1].CATEGORY, "FWK");
}

TEST_F(ErrorReporterTest, ViewLevelThreeRecordsANotificationWithoutShowingIt) {
  TestReporter r;
  r.SetHistoryThreshold(5);
  ASSERT_EQ(r.HistoryViewLevel(), SevHalt);
  EXPECT_EQ(r.Raise(25), SevInform);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(r.windowsShown, 0);
  ASSERT_EQ(r.History().size(), 1u);
  EXPECT_EQ(r.History()[0].TXT, "There are no records available to process.");
  // A question that is not shown takes its default, Yes.
  EXPECT_EQ(r.Raise(10), SevNone);
  EXPECT_EQ(r.windowsShown, 0);
}

TEST_F(ErrorReporterTest, AtTheViewLevelTheWindowShowsAndMayResetTheHistory) {
  TestReporter r;
  r.SetHistoryThreshold(5);
  r.SetHistoryViewLevel(SevInform);
  r.SetHistoryResetOnView(true);
  script("");  // nobody answers: the window closes as a user would, keeping the default
  EXPECT_EQ(r.Raise(25), SevInform);
  EXPECT_EQ(r.windowsShown, 1);
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(r.History().empty());
}

TEST_F(ErrorReporterTest, ASilentReporterShowsNothingAndPromptAnswersItsDefault) {
  TestReporter r;
  r.SetSilent(true);
  EXPECT_EQ(r.Prompt(11, BtnYes | BtnNo | BtnCancel, BtnCancel), BtnCancel);
  EXPECT_EQ(r.Raise(25), SevInform);
  EXPECT_EQ(r.Raise(10), SevNone);  // a question takes Yes
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ErrorReporterTest, PromptAsksWithItsButtonsAndKeepsNoHistory) {
  TestReporter r;
  r.SetHistoryThreshold(3);
  r.Status().SetFile("Stock");
  answers.push_back(BtnRetry);
  EXPECT_EQ(r.Prompt(40, BtnRetry | BtnCancel, BtnCancel), BtnRetry);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "End of File Error");
  EXPECT_EQ(boxes[0].text, "The end of the file Stock was encountered. Do you want to start again from the beginning?");
  EXPECT_EQ(boxes[0].icon, window::MessageIcon::Exclamation);
  EXPECT_EQ(boxes[0].buttons, unsigned(BtnRetry | BtnCancel));
  EXPECT_EQ(boxes[0].defaultButton, unsigned(BtnCancel));
  EXPECT_TRUE(r.History().empty());
}

TEST_F(ErrorReporterTest, TheStyleReachesEveryBox) {
  TestReporter r;
  r.SetMessageStyle(window::kMessageCanCopy);
  r.Raise(25);
  r.Prompt(11, BtnYes | BtnNo, BtnNo);
  ASSERT_EQ(boxes.size(), 2u);
  for (const auto& b : boxes) EXPECT_EQ(b.style, window::kMessageCanCopy);
}

TEST_F(ErrorReporterTest, CategoriesOfEntriesAndTheDefault) {
  TestReporter r;
  EXPECT_EQ(r.DefaultCategory(), "FWK");
  r.SetHistoryThreshold(10);
  r.DefineError(81, SevInform, "A", "first %Category");
  r.DefineError(81, SevInform, "B", "second %Category");
  r.AssignCategory(81, "Stock");  // only the last entry with the id
  r.Raise(81);
  r.UndefineError(81);
  r.AssignCategory(-1, "App");
  r.Raise(81);
  const auto history = r.History();
  ASSERT_EQ(history.size(), 2u);
  EXPECT_EQ(history[0].TXT, "second Stock");
  EXPECT_EQ(history[0].CATEGORY, "Stock");
  EXPECT_EQ(history[1].TXT, "first ");
  EXPECT_EQ(history[1].CATEGORY, "App");
}

TEST_F(ErrorReporterTest, HistoryTextsAreCut) {
  TestReporter r;
  r.SetHistoryThreshold(1);
  r.DefineError(82, SevInform, "Long", "%Message%Message%Message%Message%Message");
  r.Status().SetMessage(std::string(300, 'y'));
  EXPECT_EQ(r.Status().MESSAGETEXT.size(), ErrorContext::kTextSize - 1);
  r.Raise(82);
  ASSERT_EQ(r.History().size(), 1u);
  EXPECT_EQ(r.History()[0].TXT, std::string(ErrorHistoryEntry::kTextSize - 1, 'y'));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ErrorReporterTest, ProceduresAreTrackedPerThread) {
  TestReporter r;
  EXPECT_EQ(r.CurrentProcedure(), "%Procedure");
  r.TrackProcedure("Main");
  r.TrackProcedure("Browse");
  EXPECT_EQ(r.CurrentProcedure(), "Browse");
  std::string other, otherAfter;
  std::thread([&] {
    other = r.CurrentProcedure();
    r.TrackProcedure("Worker");
    otherAfter = r.CurrentProcedure();
    r.TrackProcedure("");
  }).join();
  EXPECT_EQ(other, "%Procedure");
  EXPECT_EQ(otherAfter, "Worker");
  EXPECT_EQ(r.CurrentProcedure(), "Browse");
  r.TrackProcedure("");
  EXPECT_EQ(r.CurrentProcedure(), "Main");
  r.TrackProcedure("");
  r.TrackProcedure("");  // one pop too many changes nothing
  EXPECT_EQ(r.CurrentProcedure(), "%Procedure");
}

TEST_F(ErrorReporterTest, EachThreadHasItsOwnContext) {
  TestReporter r;
  r.Status().SetFile("Mine");
  std::string seen;
  std::thread([&] {
    seen = r.Status().FILENAME;
    r.Status().SetFile("Theirs");
  }).join();
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(r.Status().FILENAME, "Mine");
}

}  // namespace
}  // namespace tamsil::framework::testing
