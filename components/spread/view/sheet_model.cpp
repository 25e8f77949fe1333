// The active sheet as a Qt table model.
#include "components/spread/view/sheet_model.h"

#include "components/spread/view/qt_metrics.h"

namespace spread::view {

std::string EditorStartText(const Book& book, std::int32_t col, std::int32_t row) {
  switch (book.activeSheet().styleAt(col, row)->type()) {
    case CellType::Currency:
    case CellType::Number:
    case CellType::Percent:
    case CellType::Scientific: return book.cellValueText(book.activeSheet(), col, row);
    default: return book.cellText(book.activeSheet(), col, row);
  }
}

SheetModel::SheetModel(Book& book, QObject* parent) : QAbstractTableModel(parent), book_(book) {
  rows_ = book_.activeSheet().maxRows();
  cols_ = book_.activeSheet().maxCols();
}

int SheetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int SheetModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

QVariant SheetModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const std::int32_t c = colOf(index), r = rowOf(index);
  switch (role) {
    case Qt::DisplayRole: return ToQString(book_.shownText(book_.activeSheet(), c, r));
    case Qt::EditRole:
    case kEditTextRole: return ToQString(EditorStartText(book_, c, r));
    case kValueTextRole: return ToQString(book_.cellValueText(book_.activeSheet(), c, r));
    default: return {};
  }
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  return orientation == Qt::Horizontal ? ToQString(book_.headerText(book_.activeSheet(), section + 1, 0))
                                       : ToQString(book_.headerText(book_.activeSheet(), 0, section + 1));
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  const Style& style = *book_.activeSheet().styleAt(colOf(index), rowOf(index));
  if (IsTypedIn(style.type()) && !(book_.settings.protect && style.lock)) f |= Qt::ItemIsEditable;
  return f;
}

void SheetModel::reload() {
  const int rows = book_.activeSheet().maxRows(), cols = book_.activeSheet().maxCols();
  if (rows != rows_ || cols != cols_) {
    beginResetModel();
    rows_ = rows;
    cols_ = cols;
    endResetModel();
    return;
  }
  if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
  emit headerDataChanged(Qt::Horizontal, 0, std::max(cols_ - 1, 0));
  emit headerDataChanged(Qt::Vertical, 0, std::max(rows_ - 1, 0));
}

void SheetModel::cellChanged(std::int32_t col, std::int32_t row) {
  const QModelIndex i = index(row - 1, col - 1);
  if (i.isValid()) emit dataChanged(i, i);
}

}  // namespace spread::view
