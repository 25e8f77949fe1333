// The book's change notice: every property written and method called through the member table
// tells the listeners once (and a user operation it carries out tells its own part), a user
// operation tells what it changed, a read or a refused call tells nobody; listeners go with their
// subscription and stay with the book object when another book is assigned to it.
#include "components/spread/model/change_notice.h"
#include "components/spread/model/user_ops.h"

#include "tests/spread/spread_test_support.h"

namespace spread::test {
namespace {

struct Action {
  const char* name;
  std::function<platform::HRESULT(AddressedBook&)> run;
  int notices;
};

class ChangeNoticeTest : public ::testing::TestWithParam<Action> {};

TEST_P(ChangeNoticeTest, AutomationThatMayChangeTheBookTellsItsListeners) {
  AddressedBook book;
  int told = 0;
  const auto subscription = book.changes.subscribe([&](const Change&) { ++told; });
  const std::uint64_t before = book.changes.count();
  GetParam().run(book);
  EXPECT_EQ(told, GetParam().notices);
  EXPECT_EQ(book.changes.count() - before, std::uint64_t(GetParam().notices));
}

INSTANTIATE_TEST_SUITE_P(
    Members, ChangeNoticeTest,
    ::testing::Values(Action{"PropertyWritten", [](AddressedBook& b) { return Put(b, "MaxRows", {I4(40)}); }, 1},
                      Action{"MethodCalled",
                             [](AddressedBook& b) {
                               return CallMethod(b, "SetActiveCell", {I4(2), I4(3)});
                             },
                             2},  // the move (the active cell) and the member (anything)
                      Action{"PropertyRead", [](AddressedBook& b) { return Get(b, "MaxRows")->vt ? platform::S_OK : platform::E_FAIL; }, 0},
                      Action{"WriteRefused", [](AddressedBook& b) { return Put(b, "MaxRows", {Str("many")}); }, 0},
                      Action{"UserOperation",
                             [](AddressedBook& b) { return UserOps(b).setActiveCell(2, 2) ? platform::S_OK : platform::E_FAIL; }, 1}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ChangeNotice, ListenersGoWithTheirSubscriptionAndStayWithTheBook) {
  AddressedBook book;
  std::vector<int> told;
  auto first = book.changes.subscribe([&](const Change&) { told.push_back(1); });
  {
    const auto second = book.changes.subscribe([&](const Change&) { told.push_back(2); });
    book.changes.notify();
  }
  EXPECT_EQ(told, (std::vector<int>{1, 2}));
  AddressedBook other;
  ASSERT_EQ(Put(other, "MaxCols", {I4(7)}), platform::S_OK);
  book = std::move(other);  // a load into a scratch book put back
  EXPECT_EQ(book.sheet().maxCols(), 7);
  book.changes.notify();
  EXPECT_EQ(told, (std::vector<int>{1, 2, 1}));
  first = {};
  book.changes.notify();
  EXPECT_EQ(told.size(), 3u);
}

}  // namespace
}  // namespace spread::test
