// The cell delegate: painting and the editors of the typed-in types.
#include "components/spread/view/cell_editors.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QTimeEdit>

#include "components/spread/model/calendar.h"
#include "components/spread/view/qt_metrics.h"
#include "components/spread/view/sheet_model.h"

namespace spread::view {

namespace {

// The dynamic property an editor keeps its empty text in (a mask's literals alone).
constexpr const char* kEmptyText = "spreadEmptyText";
const QDate kDayZero(1899, 12, 30);

// An edit cell's case and characters, applied as the person types.
class EditValidator final : public QValidator {
 public:
  EditValidator(CharCase letterCase, CharSet chars, QObject* parent) : QValidator(parent), case_(letterCase), chars_(chars) {}
  State validate(QString& input, int&) const override {
    if (case_ == CharCase::Upper) input = input.toUpper();
    if (case_ == CharCase::Lower) input = input.toLower();
    for (const QChar ch : input) {
      const bool ok = chars_ == CharSet::Alpha          ? ch.isLetter() || ch == ' '
                      : chars_ == CharSet::AlphaNumeric ? ch.isLetterOrNumber() || ch == ' '
                      : chars_ == CharSet::Numeric      ? ch.isDigit() || ch == '-' || ch == '+' || ch == '.'
                                                        : true;
      if (!ok) return Invalid;
    }
    return Acceptable;
  }

 private:
  CharCase case_;
  CharSet chars_;
};

// Characters a number cell's editor takes: digits, signs, parentheses, blanks and the type's
// symbol, decimal character and separator.
QValidator* numberValidator(const Style& s, QObject* parent) {
  QString extra;
  switch (s.type()) {
    case CellType::Currency: extra = ToQString(s.currencySymbol + s.currencyDecimal + s.currencySeparator); break;
    case CellType::Number: extra = ToQString(s.numberDecimal + s.numberSeparator); break;
    case CellType::Percent: extra = ToQString(s.percentDecimal) + "%"; break;
    default: extra = ToQString(s.scientificDecimal) + "eE"; break;
  }
  const QRegularExpression pattern("[-+()0-9 " + QRegularExpression::escape(extra) + "]*");
  return new QRegularExpressionValidator(pattern, parent);
}

QDate toQDate(DateValue d) { return kDayZero.addDays(d.day); }

}  // namespace

QString QtInputMask(std::string_view mask) {
  QString out;
  for (const char ch : mask) {
    switch (ch) {
      case '9': out += '9'; break;
      case 'A': out += "A"; break;
      case 'N': out += 'N'; break;
      case 'U': out += ">A!"; break;
      case 'L': out += "<A!"; break;
      case 'H': out += 'H'; break;
      case 'X': out += 'X'; break;
      default:
        // Characters Qt reads as mask characters stand as literals only when escaped.
        if (QStringLiteral("AaNnXx90Dd#HhBb><!{}[];\\").contains(QChar(ch))) out += '\\';
        out += ToQString(std::string_view(&ch, 1));
        break;
    }
  }
  return out;
}

QString EditorDateFormat(const Style& s) {
  const QString sep = ToQString(std::string(1, char(s.dateSeparator)));
  switch (DateFormat(s.dateFormat)) {
    case DateFormat::DayMonthNameYear: return "dd" + sep + "MMM" + sep + "yyyy";
    case DateFormat::DayMonthYear: return "dd" + sep + "MM" + sep + "yyyy";
    case DateFormat::YearMonthDay: return "yyyy" + sep + "MM" + sep + "dd";
    default: return "MM" + sep + "dd" + sep + "yyyy";
  }
}

QString EditorTimeFormat(const Style& s) {
  const QString sep = ToQString(std::string(1, char(s.timeSeparator)));
  QString f = (s.time24Hour ? "HH" : "hh") + sep + "mm";
  if (s.timeSeconds) f += sep + "ss";
  if (!s.time24Hour) f += " AP";
  return f;
}

CellDelegate::CellDelegate(Book& book, CellPainter& painter, QObject* parent) : QStyledItemDelegate(parent), book_(book), painter_(painter) {}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const CellState state = stateOf ? stateOf(index) : CellState{};
  painter_.paint(*painter, option.rect, book_, SheetModel::colOf(index), SheetModel::rowOf(index), state, option.widget);
}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
  const std::int32_t c = SheetModel::colOf(index), r = SheetModel::rowOf(index);
  const Style& s = *book_.activeSheet().styleAt(c, r);
  QWidget* editor = nullptr;
  switch (s.type()) {
    case CellType::Date: {
      auto* e = new QDateEdit(parent);
      e->setDisplayFormat(EditorDateFormat(s));
      e->setCalendarPopup(true);
      editor = e;
      break;
    }
    case CellType::Time: {
      auto* e = new QTimeEdit(parent);
      e->setDisplayFormat(EditorTimeFormat(s));
      editor = e;
      break;
    }
    case CellType::ComboBox: {
      auto* e = new QComboBox(parent);
      e->setEditable(s.comboEditable);
      e->setMaxVisibleItems(std::max<int>(1, s.comboMaxDrop));
      for (const std::string& item : ComboItems(s)) e->addItem(ToQString(item));
      QObject::connect(e, &QComboBox::activated, e, [this, e](int i) {
        if (comboChosen) comboChosen(e, i);
      });
      editor = e;
      break;
    }
    case CellType::Edit:
      if (s.editMultiLine) {
        editor = new QPlainTextEdit(parent);
        break;
      }
      [[fallthrough]];
    default: {
      auto* e = new QLineEdit(parent);
      e->setFrame(false);
      if (s.type() == CellType::Edit) {
        if (s.editLen > 0) e->setMaxLength(s.editLen);
        if (s.editPassword) e->setEchoMode(QLineEdit::Password);
        e->setValidator(new EditValidator(CharCase(s.editCharCase), CharSet(s.editCharSet), e));
      } else if (s.type() == CellType::PicMask) {
        e->setInputMask(QtInputMask(s.picMask));
        e->setProperty(kEmptyText, e->text());
      } else if (s.type() != CellType::StaticText) {
        e->setValidator(numberValidator(s, e));
      }
      editor = e;
      break;
    }
  }
  editor->setFont(FontOf(s, painter_.dpi()));
  editor->setAutoFillBackground(true);
  return editor;
}

void CellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  const std::int32_t c = SheetModel::colOf(index), r = SheetModel::rowOf(index);
  const Cell* cell = book_.activeSheet().cell(c, r);
  const QString text = ToQString(EditorStartText(book_, c, r));
  if (auto* e = qobject_cast<QDateEdit*>(editor)) {
    e->setDate(cell && std::holds_alternative<DateValue>(cell->value) ? toQDate(std::get<DateValue>(cell->value)) : QDate::currentDate());
  } else if (auto* t = qobject_cast<QTimeEdit*>(editor)) {
    const std::int32_t seconds = cell && std::holds_alternative<TimeValue>(cell->value) ? std::get<TimeValue>(cell->value).seconds : 0;
    t->setTime(QTime(0, 0).addSecs(seconds));
  } else if (auto* b = qobject_cast<QComboBox*>(editor)) {
    const int i = b->findText(text, Qt::MatchFixedString);
    if (i >= 0) b->setCurrentIndex(i);
    else if (b->isEditable()) b->setEditText(text);
    else b->setCurrentIndex(-1);
  } else if (auto* m = qobject_cast<QPlainTextEdit*>(editor)) {
    m->setPlainText(text);
  } else if (auto* l = qobject_cast<QLineEdit*>(editor)) {
    l->setText(text);
    l->selectAll();
  }
}

void CellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const {
  editor->setGeometry(option.rect.adjusted(0, 0, -1, -1));
}

bool CellDelegate::eventFilter(QObject* object, QEvent* event) {
  auto* editor = qobject_cast<QWidget*>(object);
  if (editor && event->type() == QEvent::KeyPress && !qobject_cast<QPlainTextEdit*>(editor)) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* combo = qobject_cast<QComboBox*>(editor);
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !(combo && combo->view()->isVisible()) && enterPressed) {
      enterPressed(editor);
      return true;
    }
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

std::string EditorText(QWidget* editor) {
  if (auto* e = qobject_cast<QDateEdit*>(editor)) return e->date().toString("yyyyMMdd").toStdString();
  if (auto* t = qobject_cast<QTimeEdit*>(editor)) return t->time().toString("HH:mm:ss").toStdString();
  if (auto* b = qobject_cast<QComboBox*>(editor)) return FromQString(b->currentText());
  if (auto* m = qobject_cast<QPlainTextEdit*>(editor)) return FromQString(m->toPlainText());
  if (auto* l = qobject_cast<QLineEdit*>(editor)) {
    const QVariant empty = l->property(kEmptyText);
    if (empty.isValid() && l->text() == empty.toString()) return {};
    return FromQString(l->text());
  }
  return {};
}

bool TypeIntoEditor(QWidget* editor, const QString& text) {
  if (auto* l = qobject_cast<QLineEdit*>(editor)) {
    // Typing on a cell replaces what it held, as in any spreadsheet.
    l->setText(QString());
    l->home(false);
    l->insert(text);
    return true;
  }
  if (auto* m = qobject_cast<QPlainTextEdit*>(editor)) {
    m->setPlainText(text);
    m->moveCursor(QTextCursor::End);
    return true;
  }
  if (auto* b = qobject_cast<QComboBox*>(editor); b && b->isEditable()) {
    b->setEditText(text);
    return true;
  }
  return false;
}

}  // namespace spread::view
