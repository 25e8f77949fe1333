#include "platform/qt/qt_controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextCursor>

#include "platform/messages.h"
#include "platform/qt/qt_text.h"
#include "platform/window/window.h"

namespace platform::qt {

namespace {

DWORD buttonType(DWORD style) { return style & BS_TYPEMASK; }

// Edit offsets count the "\r" of "\r\n" line ends; the plain-text widget has "\n" alone.
int qtOffset(const std::string& text, DWORD offset) {
  int out = 0;
  for (DWORD i = 0; i < offset && i < text.size(); ++i)
    if (text[i] != '\r') ++out;
  return out;
}

QString multilineText(const std::string& text) {
  QString s = toQt(text);
  s.remove(QLatin1Char('\r'));
  return s;
}

QPixmap imagePixmap(LONG_PTR image, QSize size) {
  if (!image) return {};
  if (const LONG_PTR stock = ImageStockId(image)) {
    QStyle::StandardPixmap sp;
    switch (stock) {
      case IDI_HAND: sp = QStyle::SP_MessageBoxCritical; break;
      case IDI_QUESTION: sp = QStyle::SP_MessageBoxQuestion; break;
      case IDI_EXCLAMATION: sp = QStyle::SP_MessageBoxWarning; break;
      case IDI_ASTERISK: sp = QStyle::SP_MessageBoxInformation; break;
      default: sp = QStyle::SP_DesktopIcon; break;
    }
    return QApplication::style()->standardIcon(sp).pixmap(size.isEmpty() ? QSize(32, 32) : size);
  }
  const std::string path = ImagePath(image);
  return path.empty() ? QPixmap() : QPixmap(QString::fromLocal8Bit(path.c_str()));
}

}  // namespace

std::optional<WindowView> viewOf(HWND hwnd) {
  auto w = detail::findWindow(hwnd);
  if (!w) return std::nullopt;
  std::lock_guard lock(detail::modelMutex());
  WindowView v;
  v.kind = widgetKindFor(*w);
  v.style = w->style;
  v.text = w->text;
  v.control = w->control;
  v.font = w->font;
  v.showState = w->showState;
  v.menu = w->menu;
  v.parent = w->parent;
  v.owner = w->owner;
  v.thread = w->thread;
  v.rect = w->rect;
  return v;
}

WidgetKind widgetKindFor(const detail::Window& w) {
  if (!(w.style & WS_CHILD)) return WidgetKind::TopLevel;
  switch (w.kind) {
    case detail::ControlKind::Button:
      switch (buttonType(w.style)) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: return WidgetKind::CheckBox;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return WidgetKind::RadioButton;
        case BS_GROUPBOX: return WidgetKind::GroupBox;
        default: return WidgetKind::PushButton;
      }
    case detail::ControlKind::Edit: return (w.style & ES_MULTILINE) ? WidgetKind::TextEdit : WidgetKind::LineEdit;
    case detail::ControlKind::Static: return WidgetKind::Label;
    case detail::ControlKind::ListBox: return WidgetKind::List;
    case detail::ControlKind::ComboBox: return WidgetKind::Combo;
    default: return WidgetKind::Plain;
  }
}

QWidget* createControl(WidgetKind kind, QWidget* parent) {
  QWidget* widget;
  switch (kind) {
    case WidgetKind::PushButton: {
      auto* b = new QPushButton(parent);
      b->setAutoDefault(false);
      widget = b;
      break;
    }
    case WidgetKind::CheckBox: widget = new QCheckBox(parent); break;
    case WidgetKind::RadioButton: {
      auto* r = new QRadioButton(parent);
      r->setAutoExclusive(false);  // the platform's radio procedure clears the others of a group
      widget = r;
      break;
    }
    case WidgetKind::GroupBox: widget = new QGroupBox(parent); break;
    case WidgetKind::LineEdit: widget = new QLineEdit(parent); break;
    case WidgetKind::TextEdit: widget = new QPlainTextEdit(parent); break;
    case WidgetKind::Label: {
      auto* l = new QLabel(parent);
      l->setTextFormat(Qt::PlainText);
      widget = l;
      break;
    }
    case WidgetKind::List: {
      auto* l = new QListWidget(parent);
      l->setUniformItemSizes(true);
      l->setSelectionMode(QAbstractItemView::SingleSelection);
      widget = l;
      break;
    }
    case WidgetKind::Combo: widget = new QComboBox(parent); break;
    default: widget = new QWidget(parent); break;
  }
  // Focus follows the model alone: Qt never moves it on a click or Tab, the platform does.
  widget->setFocusPolicy(Qt::NoFocus);
  return widget;
}

void applyText(QWidget* widget, const WindowView& v) {
  const QString text = toQt(v.text);
  switch (v.kind) {
    case WidgetKind::TopLevel: widget->window()->setWindowTitle(text); break;
    case WidgetKind::PushButton:
    case WidgetKind::CheckBox:
    case WidgetKind::RadioButton: static_cast<QAbstractButton*>(widget)->setText(text); break;
    case WidgetKind::GroupBox: static_cast<QGroupBox*>(widget)->setTitle(text); break;
    case WidgetKind::LineEdit: {
      auto* e = static_cast<QLineEdit*>(widget);
      if (e->text() != text) e->setText(text);
      break;
    }
    case WidgetKind::TextEdit: {
      auto* e = static_cast<QPlainTextEdit*>(widget);
      if (const QString t = multilineText(v.text); e->toPlainText() != t) e->setPlainText(t);
      break;
    }
    case WidgetKind::Label:
      if (!v.control.image) static_cast<QLabel*>(widget)->setText(withoutMnemonics(v.text));
      break;
    case WidgetKind::Combo: {
      auto* c = static_cast<QComboBox*>(widget);
      if (c->isEditable()) c->setEditText(text);
      break;
    }
    default: break;
  }
  applyState(widget, v);
}

void applyState(QWidget* widget, const WindowView& v) {
  const detail::ControlState& c = v.control;
  switch (v.kind) {
    case WidgetKind::PushButton: static_cast<QPushButton*>(widget)->setDown(c.pushed); break;
    case WidgetKind::CheckBox: {
      auto* b = static_cast<QCheckBox*>(widget);
      b->setCheckState(c.check == BST_CHECKED ? Qt::Checked : c.check == BST_INDETERMINATE ? Qt::PartiallyChecked : Qt::Unchecked);
      b->setDown(c.pushed);
      break;
    }
    case WidgetKind::RadioButton: {
      auto* b = static_cast<QRadioButton*>(widget);
      b->setChecked(c.check == BST_CHECKED);
      b->setDown(c.pushed);
      break;
    }
    case WidgetKind::LineEdit: {
      auto* e = static_cast<QLineEdit*>(widget);
      if (c.selStart == c.selEnd) e->setCursorPosition(int(c.selEnd));
      else e->setSelection(int(c.selStart), int(c.selEnd) - int(c.selStart));
      break;
    }
    case WidgetKind::TextEdit: {
      auto* e = static_cast<QPlainTextEdit*>(widget);
      QTextCursor cursor = e->textCursor();
      cursor.setPosition(qtOffset(v.text, c.selStart));
      cursor.setPosition(qtOffset(v.text, c.selEnd), QTextCursor::KeepAnchor);
      e->setTextCursor(cursor);
      break;
    }
    case WidgetKind::List: {
      auto* l = static_cast<QListWidget*>(widget);
      const QSignalBlocker quiet(l);
      if (c.curSel < 0 || c.curSel >= l->count()) {
        l->clearSelection();
        l->setCurrentRow(-1);
      } else {
        l->setCurrentRow(c.curSel);
        l->scrollToItem(l->item(c.curSel));
      }
      break;
    }
    case WidgetKind::Combo: {
      auto* cb = static_cast<QComboBox*>(widget);
      const QSignalBlocker quiet(cb);
      cb->setCurrentIndex(c.curSel < cb->count() ? c.curSel : -1);
      if (cb->isEditable()) cb->setEditText(toQt(v.text));
      break;
    }
    default: break;
  }
}

void applyItems(QWidget* widget, const WindowView& v) {
  QStringList items;
  for (const std::string& item : v.control.items) items << toQt(item);
  if (v.kind == WidgetKind::List) {
    auto* l = static_cast<QListWidget*>(widget);
    const QSignalBlocker quiet(l);
    l->clear();
    l->addItems(items);
  } else if (v.kind == WidgetKind::Combo) {
    auto* c = static_cast<QComboBox*>(widget);
    const QSignalBlocker quiet(c);
    c->clear();
    c->addItems(items);
  }
  applyState(widget, v);
}

void applyStyle(QWidget* widget, const WindowView& v) {
  switch (v.kind) {
    case WidgetKind::PushButton: static_cast<QPushButton*>(widget)->setDefault(buttonType(v.style) == BS_DEFPUSHBUTTON); break;
    case WidgetKind::CheckBox:
      static_cast<QCheckBox*>(widget)->setTristate(buttonType(v.style) == BS_3STATE || buttonType(v.style) == BS_AUTO3STATE);
      break;
    case WidgetKind::LineEdit: {
      auto* e = static_cast<QLineEdit*>(widget);
      e->setEchoMode((v.style & ES_PASSWORD) ? QLineEdit::Password : QLineEdit::Normal);
      e->setReadOnly(v.style & ES_READONLY);
      e->setAlignment((v.style & ES_RIGHT) ? Qt::AlignRight : (v.style & ES_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft);
      break;
    }
    case WidgetKind::TextEdit: static_cast<QPlainTextEdit*>(widget)->setReadOnly(v.style & ES_READONLY); break;
    case WidgetKind::Label: {
      auto* l = static_cast<QLabel*>(widget);
      const DWORD type = v.style & SS_TYPEMASK;
      l->setAlignment(Qt::AlignTop | (type == SS_CENTER ? Qt::AlignHCenter : type == SS_RIGHT ? Qt::AlignRight : Qt::AlignLeft));
      l->setWordWrap(type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
      break;
    }
    case WidgetKind::Combo: {
      auto* c = static_cast<QComboBox*>(widget);
      const bool editable = (v.style & 0x3) != CBS_DROPDOWNLIST;
      if (c->isEditable() != editable) {
        c->setEditable(editable);
        if (c->lineEdit()) c->lineEdit()->setFocusPolicy(Qt::NoFocus);
      }
      break;
    }
    default: break;
  }
}

void applyImage(QWidget* widget, const WindowView& v) {
  if (v.kind == WidgetKind::TopLevel) {
    const QPixmap p = imagePixmap(v.control.image, QSize());
    widget->window()->setWindowIcon(p.isNull() ? QIcon() : QIcon(p));
  } else if (v.kind == WidgetKind::Label) {
    auto* l = static_cast<QLabel*>(widget);
    const bool icon = (v.style & SS_TYPEMASK) == SS_ICON;
    QPixmap p = imagePixmap(v.control.image, icon ? widget->size() : QSize());
    if (p.isNull()) {
      l->setPixmap({});
      l->setText(icon ? QString() : withoutMnemonics(v.text));
      return;
    }
    if (icon && !widget->size().isEmpty()) p = p.scaled(widget->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    l->setPixmap(p);
  } else if (v.kind == WidgetKind::PushButton || v.kind == WidgetKind::CheckBox || v.kind == WidgetKind::RadioButton) {
    auto* b = static_cast<QAbstractButton*>(widget);
    const QPixmap p = imagePixmap(v.control.image, QSize());
    b->setIcon(p.isNull() ? QIcon() : QIcon(p));
    if (!p.isNull()) b->setIconSize(p.size().boundedTo(widget->size()));
  }
}

void applyFont(QWidget* widget, const WindowView& v) {
  if (!v.font) return;  // the widget keeps the font it inherits
  QFont f(toQt(FontFace(v.font)));
  f.setPointSize(std::max(1, FontPoints(v.font)));
  widget->setFont(f);
}

}  // namespace platform::qt
