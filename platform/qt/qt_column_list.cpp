#include "platform/qt/qt_column_list.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <vector>

#include "platform/qt/qt_text.h"

namespace platform::qt {

namespace {

constexpr int kCellPadding = 2;  // pixels between a column's edge and its text

class ColumnList final : public QListWidget {
 public:
  explicit ColumnList(QWidget* parent) : QListWidget(parent), header_(new QHeaderView(Qt::Horizontal, this)) {
    header_->setModel(&headings_);
    header_->setSectionsClickable(false);
    header_->setStretchLastSection(true);
    header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);  // over the column's text
    header_->hide();
    connect(header_, &QHeaderView::sectionResized, viewport(), qOverload<>(&QWidget::update));
  }

  void setColumns(const ControlState& c) {
    stops_ = c.tabStops;
    headings_.clear();
    QStringList labels;
    for (const std::string& h : c.headings) labels << toQt(h);
    headings_.setHorizontalHeaderLabels(labels);
    for (int k = 0; k + 1 < int(labels.size()) && k < int(stops_.size()); ++k)
      header_->resizeSection(k, stops_[size_t(k)] - (k == 0 ? 0 : stops_[size_t(k) - 1]));
    header_->setVisible(!labels.isEmpty());
    setViewportMargins(0, labels.isEmpty() ? 0 : header_->sizeHint().height(), 0, 0);
    placeHeader();
    viewport()->update();
  }

  // Where each column starts, in pixels from an item's left edge; one column without stops.
  std::vector<int> columnStarts() const {
    std::vector<int> starts{0};
    if (header_->isVisible()) {
      for (int k = 1; k < header_->count(); ++k) starts.push_back(header_->sectionPosition(k));
    } else {
      starts.insert(starts.end(), stops_.begin(), stops_.end());
    }
    return starts;
  }

 protected:
  void updateGeometries() override {
    QListWidget::updateGeometries();
    placeHeader();
  }

 private:
  void placeHeader() {
    if (!header_->isVisible()) return;
    const QRect inside = contentsRect();
    header_->setGeometry(inside.left(), inside.top(), viewport()->width(), header_->sizeHint().height());
  }

  QStandardItemModel headings_;
  QHeaderView* header_;
  std::vector<int> stops_;
};

// Draws an item's background and selection as the style does, then each of its tab-separated
// texts in its column, cut short with an ellipsis where the column is too narrow. Texts beyond the
// last column share it.
class ColumnDelegate final : public QStyledItemDelegate {
 public:
  explicit ColumnDelegate(ColumnList* list) : QStyledItemDelegate(list), list_(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const std::vector<int> starts = list_->columnStarts();
    QStyleOptionViewItem o = option;
    initStyleOption(&o, index);
    if (starts.size() < 2 || !o.text.contains(QLatin1Char('\t'))) return QStyledItemDelegate::paint(painter, option, index);
    QStringList cells = o.text.split(QLatin1Char('\t'));
    while (cells.size() > qsizetype(starts.size())) cells[cells.size() - 2] += QLatin1Char(' ') + cells.takeLast();
    o.text.clear();
    QStyle* style = o.widget ? o.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &o, painter, o.widget);
    const QPalette::ColorRole role = (o.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
    for (qsizetype k = 0; k < cells.size(); ++k) {
      const int left = o.rect.left() + starts[size_t(k)] + kCellPadding;
      const int right = size_t(k) + 1 < starts.size() ? o.rect.left() + starts[size_t(k) + 1] - kCellPadding : o.rect.right();
      const QRect cell(left, o.rect.top(), std::max(0, right - left), o.rect.height());
      const QString text = o.fontMetrics.elidedText(cells[k], Qt::ElideRight, cell.width());
      style->drawItemText(painter, cell, Qt::AlignLeft | Qt::AlignVCenter, o.palette, o.state & QStyle::State_Enabled, text, role);
    }
  }

 private:
  ColumnList* list_;
};

}  // namespace

QListWidget* createColumnList(QWidget* parent) {
  auto* list = new ColumnList(parent);
  list->setItemDelegate(new ColumnDelegate(list));
  return list;
}

void applyColumns(QListWidget* list, const ControlState& control) { static_cast<ColumnList*>(list)->setColumns(control); }

}  // namespace platform::qt
