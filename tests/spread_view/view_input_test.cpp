// A person working the sample sheet with keys and mouse (Qt's test input on the offscreen
// platform): what the book holds afterwards and the events it raised.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <algorithm>

#include "components/spread/view/spread_view.h"
#include "tests/spread_view/view_test_support.h"

namespace spread::view::test {
namespace {

using spread::test::RecordingSink;

class ViewInput : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    view = std::make_unique<SpreadView>(book);
    FillSampleSheet(book, SamplePicturePath());
    view->refresh();
    view->resize(view->sizeHint());
    view->show();
    QApplication::processEvents();
    book.setEventSink(&sink);
  }
  void TearDown() override { book.setEventSink(nullptr); }

  QPoint centre(std::int32_t row, std::int32_t col) const { return view->visualRect(view->model()->index(row - 1, col - 1)).center(); }
  void click(std::int32_t row, std::int32_t col, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(view->viewport(), button, {}, centre(row, col));
    QApplication::processEvents();
  }
  void key(int k, Qt::KeyboardModifiers mods = {}) {
    QWidget* target = view->activeEditor() ? view->activeEditor() : view.get();
    QTest::keyClick(target, Qt::Key(k), mods);
    QApplication::processEvents();
  }
  void type(const char* text) {
    for (const char* p = text; *p; ++p) {
      QWidget* target = view->activeEditor() ? view->activeEditor() : view.get();
      QTest::keyClick(target, *p);
    }
    QApplication::processEvents();
  }
  std::string value(std::int32_t row, std::int32_t col) {
    spread::test::At(book, row, col);
    return spread::test::GetText(book, "Value");
  }
  bool fired(const std::string& event) const { return std::find(sink.events.begin(), sink.events.end(), event) != sink.events.end(); }
  std::string events() const {
    std::string all;
    for (const auto& e : sink.events) all += e + "; ";
    return all;
  }
  std::pair<int, int> active() const { return {book.activeSheet().activeCol, book.activeSheet().activeRow}; }

  AddressedBook book;
  RecordingSink sink;
  std::unique_ptr<SpreadView> view;
};

TEST_F(ViewInput, TypingIntoTheEditCellChangesItAndFiresChange) {
  click(kEditRow, 2);
  EXPECT_TRUE(fired("Click 2 2")) << events();
  sink.events.clear();
  type("Hello");
  ASSERT_NE(view->activeEditor(), nullptr);
  key(Qt::Key_Return);
  EXPECT_EQ(view->activeEditor(), nullptr);
  EXPECT_EQ(value(kEditRow, 2), "Hello");
  EXPECT_EQ(sink.events, (std::vector<std::string>{"KeyDown 72 0", "KeyPress 72", "EditMode 2 2 1 0", "Change 2 2", "EditMode 2 2 0 -1"}));
}

TEST_F(ViewInput, TheProgramsKeyPressDecidesTheCharacterTyped) {
  click(kEditRow, 2);
  sink.onFire = [](SpreadEvent e, std::span<const platform::VARIANT> args) {
    if (e != SpreadEvent::KeyPress) return;
    auto* ch = static_cast<std::int16_t*>(args[0].byref);
    *ch = *ch == 'x' ? 0 : std::int16_t('B');  // swallows x, turns anything else into B
  };
  type("x");
  EXPECT_EQ(view->activeEditor(), nullptr) << "a swallowed key starts no edit";
  type("a");
  ASSERT_NE(view->activeEditor(), nullptr);
  sink.onFire = nullptr;
  key(Qt::Key_Return);
  EXPECT_EQ(value(kEditRow, 2), "B");
}

TEST_F(ViewInput, TypingOnADateCellOpensItsEditorWithTheKey) {
  click(kDateRow, 2);
  type("1");
  auto* editor = qobject_cast<QDateEdit*>(view->activeEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(fired("EditMode 2 1 1 0")) << events();
  EXPECT_NE(editor->text(), QString("12/23/1996")) << "the key went into the editor";
  key(Qt::Key_Escape);
  EXPECT_EQ(value(kDateRow, 2), "19961223");
}

TEST_F(ViewInput, DeleteEmptiesATypedInCellOnly) {
  click(kEditRow, 2);
  key(Qt::Key_Delete);
  EXPECT_EQ(value(kEditRow, 2), "");
  EXPECT_TRUE(fired("Change 2 2")) << events();
  EXPECT_TRUE(fired("EditMode 2 2 0 -1")) << events();
  click(kStaticRow, 2);
  key(Qt::Key_Delete);
  EXPECT_NE(value(kStaticRow, 2), "") << "static text is not the person's to change";
}

TEST_F(ViewInput, EscapeCancelsAnEditAndF2StartsOne) {
  click(kEditRow, 2);
  key(Qt::Key_F2);
  ASSERT_NE(view->activeEditor(), nullptr);
  type("XYZ");
  key(Qt::Key_Escape);
  EXPECT_EQ(view->activeEditor(), nullptr);
  EXPECT_EQ(value(kEditRow, 2), "Type in me");
  EXPECT_FALSE(fired("Change 2 2"));
  EXPECT_TRUE(fired("EditMode 2 2 0 0")) << events();
}

TEST_F(ViewInput, NumberEditorsStartFromTheNumberAndKeepOne) {
  click(kCurrencyRow, 2);
  key(Qt::Key_F2);
  auto* editor = qobject_cast<QLineEdit*>(view->activeEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text().toStdString(), "1000");
  key(Qt::Key_Escape);
  click(kNumberRow, 2);
  type("42.5");
  key(Qt::Key_Return);
  EXPECT_EQ(value(kNumberRow, 2), "42.5");
  EXPECT_EQ(spread::test::GetText(book, "Text"), "42.50");
}

TEST_F(ViewInput, MaskEditorFillsThePhoneNumber) {
  click(kMaskRow, 2);
  type("5551234567");
  key(Qt::Key_Return);
  EXPECT_EQ(value(kMaskRow, 2), "(555) 123-4567");
  EXPECT_TRUE(fired("Change 2 6")) << events();
}

TEST_F(ViewInput, SpinButtonsStepANumberCell) {
  spread::test::At(book, kNumberRow, 2);
  ASSERT_EQ(spread::test::Put(book, "TypeSpin", {spread::test::I2(1)}), platform::S_OK);
  view->follow();
  const QRect cell = view->visualRect(view->model()->index(kNumberRow - 1, 1));
  const QRect spin = CellPainter::spinRect(*book.activeSheet().styleAt(2, kNumberRow), cell);
  ASSERT_FALSE(spin.isNull());
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(spin.center().x(), spin.top() + 2));
  EXPECT_EQ(value(kNumberRow, 2), "1235");
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(spin.center().x(), spin.bottom() - 1));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(spin.center().x(), spin.bottom() - 1));
  EXPECT_EQ(value(kNumberRow, 2), "1233");
  EXPECT_TRUE(fired("Change 2 4")) << events();
  // Away from the buttons a click only makes the cell active.
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center() - QPoint(20, 0));
  EXPECT_EQ(value(kNumberRow, 2), "1233");
  // A text cell has no spin buttons.
  EXPECT_TRUE(CellPainter::spinRect(*book.activeSheet().styleAt(2, kEditRow), cell).isNull());
}

TEST_F(ViewInput, ClickOnTheButtonFiresButtonClicked) {
  click(kButtonRow, 2);
  EXPECT_TRUE(fired("Click 2 9")) << events();
  EXPECT_TRUE(fired("ButtonClicked 2 9 0")) << events();
}

TEST_F(ViewInput, SpaceAndClicksToggleTheCheckBox) {
  click(kCheckRow, 2);
  EXPECT_EQ(value(kCheckRow, 2), "1");
  EXPECT_TRUE(fired("ButtonClicked 2 12 1")) << events();
  key(Qt::Key_Space);
  EXPECT_EQ(value(kCheckRow, 2), "0");
  key(Qt::Key_Space);
  EXPECT_EQ(value(kCheckRow, 2), "1");
  EXPECT_TRUE(fired("Change 2 12"));
}

TEST_F(ViewInput, ChoosingItem2InTheComboBoxSetsItsValue) {
  click(kComboRow, 2);
  auto* combo = qobject_cast<QComboBox*>(view->activeEditor());
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->count(), 3);
  ASSERT_TRUE(combo->view()->isVisible()) << "a click opens the list";
  combo->view()->setCurrentIndex(combo->model()->index(1, 0));
  QTest::keyClick(combo->view(), Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(value(kComboRow, 2), "Item2");
  EXPECT_TRUE(fired("ComboSelChange 2 10")) << events();
  EXPECT_TRUE(fired("Change 2 10"));
  EXPECT_EQ(view->activeEditor(), nullptr);
}

TEST_F(ViewInput, DateOutsideMinAndMaxIsRefused) {
  click(kDateRow, 2);
  key(Qt::Key_F2);
  auto* editor = qobject_cast<QDateEdit*>(view->activeEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->date(), QDate(1996, 12, 23));
  sink.events.clear();
  editor->setDate(QDate(2250, 1, 1));
  key(Qt::Key_Return);
  EXPECT_EQ(value(kDateRow, 2), "19961223");
  EXPECT_FALSE(view->lastRefusal().empty());
  EXPECT_FALSE(fired("Change 2 1")) << events();
  ASSERT_EQ(view->activeEditor(), editor) << "a refused edit goes on";
  editor->setDate(QDate(2001, 2, 3));
  key(Qt::Key_Return);
  EXPECT_EQ(value(kDateRow, 2), "20010203");
  EXPECT_TRUE(fired("Change 2 1")) << events();
  EXPECT_EQ(spread::test::GetText(book, "Text"), "02/03/01");
}

TEST_F(ViewInput, ATypedYearOutsideTheRangeIsRefusedToo) {
  click(kDateRow, 2);
  key(Qt::Key_F2);
  ASSERT_NE(qobject_cast<QDateEdit*>(view->activeEditor()), nullptr);
  key(Qt::Key_End);
  for (int i = 0; i < 4; ++i) key(Qt::Key_Backspace);
  type("2250");
  key(Qt::Key_Return);
  EXPECT_EQ(value(kDateRow, 2), "19961223");
  EXPECT_FALSE(view->lastRefusal().empty());
  key(Qt::Key_Escape);
  EXPECT_EQ(view->activeEditor(), nullptr);
  EXPECT_FALSE(fired("Change 2 1")) << events();
}

struct MoveCase {
  int key;
  Qt::KeyboardModifiers mods;
  std::pair<int, int> to;  // col, row
};

TEST_F(ViewInput, KeysMoveTheActiveCell) {
  click(kNumberRow, 1);
  const MoveCase moves[] = {
      {Qt::Key_Down, {}, {1, 5}},      {Qt::Key_Right, {}, {2, 5}},  {Qt::Key_Right, {}, {2, 5}}, {Qt::Key_Up, {}, {2, 4}},
      {Qt::Key_Tab, {}, {2, 4}},       {Qt::Key_Home, {}, {1, 4}},   {Qt::Key_End, {}, {2, 4}},   {Qt::Key_Backtab, Qt::ShiftModifier, {1, 4}},
      {Qt::Key_PageDown, {}, {1, 13}}, {Qt::Key_PageUp, {}, {1, 1}},
  };
  for (const auto& m : moves) {
    key(m.key, m.mods);
    EXPECT_EQ(active(), m.to) << QKeySequence(m.key).toString().toStdString();
    EXPECT_EQ(view->currentIndex(), view->model()->index(m.to.second - 1, m.to.first - 1));
  }
  EXPECT_TRUE(fired("KeyDown 40 0")) << events();
  EXPECT_TRUE(fired("LeaveCell 1 4 1 5 0")) << events();
}

struct EnterCase {
  std::int32_t action;
  std::pair<int, int> to;  // from cell (1, 4), after an edit committed with Enter
};

TEST_F(ViewInput, EnterAfterAnEditMovesAsEditEnterActionSays) {
  const EnterCase cases[] = {{0, {1, 4}}, {1, {1, 3}}, {2, {1, 5}}, {4, {2, 4}}, {5, {2, 4}}, {8, {1, 5}}};
  for (const auto& c : cases) {
    ASSERT_EQ(spread::test::Put(book, "EditEnterAction", {spread::test::I4(c.action)}), platform::S_OK);
    click(kNumberRow, 1);
    key(Qt::Key_F2);
    EXPECT_EQ(view->activeEditor(), nullptr) << "labels are static text";
    click(kNumberRow, 1);
    key(Qt::Key_Return);
    EXPECT_EQ(active(), c.to) << "action " << c.action;
  }
  ASSERT_EQ(spread::test::Put(book, "EditEnterAction", {spread::test::I4(2)}), platform::S_OK);
  click(kEditRow, 2);
  type("Z");
  key(Qt::Key_Return);
  EXPECT_EQ(value(kEditRow, 2), "Z");
  EXPECT_EQ(active(), std::make_pair(2, int(kCurrencyRow)));
}

TEST_F(ViewInput, ACancelledLeaveCellKeepsTheActiveCell) {
  click(kEditRow, 2);
  sink.onFire = [](SpreadEvent e, std::span<const platform::VARIANT> args) {
    if (e == SpreadEvent::LeaveCell) *static_cast<platform::VARIANT_BOOL*>(args[4].byref) = platform::VARIANT_TRUE;
  };
  key(Qt::Key_Down);
  click(kDateRow, 1);
  EXPECT_EQ(active(), std::make_pair(2, int(kEditRow)));
  EXPECT_EQ(view->currentIndex(), view->model()->index(kEditRow - 1, 1));
  EXPECT_FALSE(fired("Click 1 1"));
}

TEST_F(ViewInput, ShiftArrowsAndDragsSelectBlocks) {
  click(kEditRow, 1);
  key(Qt::Key_Down, Qt::ShiftModifier);
  key(Qt::Key_Right, Qt::ShiftModifier);
  ASSERT_EQ(book.activeSheet().selection.size(), 1u);
  EXPECT_EQ(book.activeSheet().selection[0], (Block{1, 2, 2, 3}));
  EXPECT_TRUE(view->selectionModel()->isSelected(view->model()->index(1, 0)));
  key(Qt::Key_Up);
  EXPECT_TRUE(book.activeSheet().selection.empty());

  QTest::mousePress(view->viewport(), Qt::LeftButton, {}, centre(kCurrencyRow, 1));
  QTest::mouseMove(view->viewport(), centre(kMaskRow, 2));
  QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, centre(kMaskRow, 2));
  ASSERT_EQ(book.activeSheet().selection.size(), 1u);
  EXPECT_EQ(book.activeSheet().selection[0], (Block{1, 3, 2, 6}));
}

TEST_F(ViewInput, AHeaderClickSelectsItsColumn) {
  QHeaderView* header = view->horizontalHeader();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
  QApplication::processEvents();
  ASSERT_EQ(book.activeSheet().selection.size(), 1u);
  EXPECT_EQ(book.activeSheet().selection[0], (Block{2, kAll, 2, kAll}));
  EXPECT_EQ(active().first, 2);
}

TEST_F(ViewInput, ResizingAColumnOrRowWritesItsSizeBack) {
  view->horizontalHeader()->resizeSection(1, 300);
  EXPECT_NEAR(book.activeSheet().colWidth(2) * book.charWidthPixels(book.sheet()), 300.0, 0.01);
  view->verticalHeader()->resizeSection(2, 40);
  EXPECT_NEAR(book.activeSheet().rowHeight(3) * book.metrics().pixelsPerPoint(), 40.0, 0.01);
}

TEST_F(ViewInput, RightClickAndDoubleClickRaiseTheirEvents) {
  click(kEditRow, 2, Qt::RightButton);
  ASSERT_FALSE(sink.events.empty());
  EXPECT_EQ(sink.events.back().rfind("RightClick 1 2 2 ", 0), 0u) << events();
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre(kTimeRow, 2));
  QApplication::processEvents();
  EXPECT_TRUE(fired("DblClick 2 8")) << events();
  EXPECT_NE(view->activeEditor(), nullptr) << "a double click edits";
}

TEST_F(ViewInput, ScrollingRaisesTopLeftChangeAndFollowsTheBook) {
  ASSERT_EQ(spread::test::Put(book, "MaxRows", {spread::test::I4(1000)}), platform::S_OK);
  ASSERT_EQ(spread::test::Put(book, "ScrollBars", {spread::test::I4(3)}), platform::S_OK);
  view->follow();
  ASSERT_EQ(view->model()->rowCount(), 1000);
  view->verticalScrollBar()->setValue(10);
  QApplication::processEvents();
  EXPECT_TRUE(fired("TopLeftChange 1 1 1 11")) << events();
  EXPECT_EQ(book.activeSheet().topRow, 11);
  // Automation moves the top row; the view follows.
  ASSERT_EQ(spread::test::Put(book, "TopRow", {spread::test::I4(500)}), platform::S_OK);
  view->follow();
  EXPECT_EQ(view->rowAt(0), 499);
}

TEST_F(ViewInput, TheBooksChangeNoticeMakesTheViewLookOnceWithoutBeingAsked) {
  ASSERT_EQ(spread::test::Put(book, "MaxRows", {spread::test::I4(1000)}), platform::S_OK);
  ASSERT_EQ(spread::test::Put(book, "ScrollBars", {spread::test::I4(3)}), platform::S_OK);
  ASSERT_EQ(spread::test::CallMethod(book, "SetActiveCell", {spread::test::I4(2), spread::test::I4(600)}), platform::S_OK);
  ASSERT_EQ(spread::test::Put(book, "TopRow", {spread::test::I4(590)}), platform::S_OK);
  EXPECT_NE(view->rowAt(0), 589) << "the view looks once the changes are done, not during them";
  QApplication::processEvents();
  EXPECT_EQ(view->model()->rowCount(), 1000);
  EXPECT_EQ(view->rowAt(0), 589);
  EXPECT_EQ(view->currentIndex().row(), 599);
  EXPECT_EQ(view->currentIndex().column(), 1);
}

TEST_F(ViewInput, AutomationWritesShowAfterTheViewLooksAgain) {
  spread::test::At(book, kEditRow, 2);
  ASSERT_EQ(spread::test::Put(book, "Text", {spread::test::Str("Written")}), platform::S_OK);
  ASSERT_EQ(spread::test::Put(book, "RowHeight", {spread::test::I4(1), spread::test::R8(30.0)}), platform::S_OK);
  view->follow();
  EXPECT_EQ(view->model()->index(kEditRow - 1, 1).data().toString().toStdString(), "Written");
  EXPECT_EQ(view->rowHeight(0), std::lround(30.0 * book.metrics().pixelsPerPoint()));
  spread::test::At(book, 2, -1);
  ASSERT_EQ(spread::test::Put(book, "RowHidden", {spread::test::Bool(true)}), platform::S_OK);
  view->refresh();
  EXPECT_TRUE(view->isRowHidden(1));
}

}  // namespace
}  // namespace spread::view::test
