// The active sheet of a book as a Qt table model: one row and column per sheet row and column,
// the texts a cell shows, its font, colours and alignment, and the header texts. The book stays
// the truth: nothing is copied, every read goes to the book, and `reload` tells attached views
// that the book changed underneath.
// Every read names the active sheet; what automation addresses is not the view's concern.
#pragma once

#include <QAbstractTableModel>

#include "components/spread/model/book.h"
#include "components/spread/model/user_ops.h"

namespace spread::view {

// Item data roles beyond Qt's.
enum SheetRole : int {
  kValueTextRole = Qt::UserRole + 1,  // the cell's Value as text
  kEditTextRole,                      // the text an editor starts from
};

class SheetModel final : public QAbstractTableModel {
 public:
  explicit SheetModel(Book& book, QObject* parent = nullptr);
  Book& book() const { return book_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The sheet's size changed (or the active sheet): views start over. Otherwise every cell and
  // header may show something new.
  void reload();
  void cellChanged(std::int32_t col, std::int32_t row);

  // The sheet cell of an index (1-based) and back.
  static std::int32_t colOf(const QModelIndex& i) { return i.column() + 1; }
  static std::int32_t rowOf(const QModelIndex& i) { return i.row() + 1; }

 private:
  Book& book_;
  int rows_ = 0, cols_ = 0;
};

// Text the editor of a number cell starts from: the value itself, not its formatted text.
std::string EditorStartText(const Book& book, std::int32_t col, std::int32_t row);

}  // namespace spread::view
