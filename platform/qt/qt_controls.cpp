#include "platform/qt/qt_controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextCursor>
#include <map>
#include <optional>
#include <string>

#include "platform/ascii.h"
#include "platform/input/input.h"
#include "platform/messages.h"
#include "platform/qt/deferred_icon_style.h"
#include "platform/qt/qt_column_list.h"
#include "platform/qt/qt_drawn_controls.h"
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

// The platform offset of Qt's position `qt` in the text (the inverse of qtOffset).
DWORD platformOffset(const std::string& text, int qt) {
  DWORD i = 0;
  for (int seen = 0; i < text.size() && seen < qt; ++i)
    if (text[i] != '\r') ++seen;
  if (i < text.size() && text[i] == '\n' && i > 0 && text[i - 1] == '\r') --i;  // before a line end, not inside it
  return i;
}

QWidget* withoutContextMenu(QWidget* widget) {
  widget->setContextMenuPolicy(Qt::NoContextMenu);
  return widget;
}

QString multilineText(const std::string& text) {
  QString s = toQt(text);
  s.remove(QLatin1Char('\r'));
  return s;
}

// The style's picture for a stock image (IDI_*), or none for an image from a file.
std::optional<QStyle::StandardPixmap> stockPixmap(LONG_PTR image) {
  switch (ImageStockId(image)) {
    case 0: return std::nullopt;
    case IDI_HAND: return QStyle::SP_MessageBoxCritical;
    case IDI_QUESTION: return QStyle::SP_MessageBoxQuestion;
    case IDI_EXCLAMATION: return QStyle::SP_MessageBoxWarning;
    case IDI_ASTERISK: return QStyle::SP_MessageBoxInformation;
    default: return QStyle::SP_DesktopIcon;
  }
}

QPixmap imagePixmap(LONG_PTR image, QSize size) {
  if (!image) return {};
  if (const auto sp = stockPixmap(image)) return QApplication::style()->standardIcon(*sp).pixmap(size.isEmpty() ? QSize(32, 32) : size);
  const std::string path = ImagePath(image);
  return path.empty() ? QPixmap() : QPixmap(QString::fromLocal8Bit(path.c_str()));
}

class PlainAdapter : public WidgetAdapter {
 public:
  QWidget* create(QWidget* parent) const override { return new QWidget(parent); }
};

class TopLevelAdapter final : public PlainAdapter {
 public:
  void applyText(QWidget* widget, const WindowSnapshot& w) const override { widget->window()->setWindowTitle(toQt(w.text)); }
  void applyImage(QWidget* widget, const WindowSnapshot& w) const override {
    // A stock icon is drawn only when something shows the window's icon (a window manager).
    if (const auto sp = w.control.image ? stockPixmap(w.control.image) : std::nullopt) {
      widget->window()->setWindowIcon(DeferredStandardIcon(QApplication::style(), *sp));
      return;
    }
    const QPixmap p = imagePixmap(w.control.image, QSize());
    widget->window()->setWindowIcon(p.isNull() ? QIcon() : QIcon(p));
  }
};

// Push buttons, check boxes and radio buttons: a text and an optional image.
class ButtonAdapter : public WidgetAdapter {
 public:
  void applyText(QWidget* widget, const WindowSnapshot& w) const override { static_cast<QAbstractButton*>(widget)->setText(toQt(w.text)); }
  void applyImage(QWidget* widget, const WindowSnapshot& w) const override {
    auto* b = static_cast<QAbstractButton*>(widget);
    const QPixmap p = imagePixmap(w.control.image, QSize());
    b->setIcon(p.isNull() ? QIcon() : QIcon(p));
    if (!p.isNull()) b->setIconSize(p.size().boundedTo(widget->size()));
  }
};

// BS_LEFTTEXT: the text stands left of the box, the box at the right.
void textOnTheLeft(QWidget* widget, const WindowSnapshot& w) {
  widget->setLayoutDirection((w.style & BS_LEFTTEXT) ? Qt::RightToLeft : Qt::LeftToRight);
}

class PushButtonAdapter final : public ButtonAdapter {
 public:
  QWidget* create(QWidget* parent) const override {
    auto* b = new QPushButton(parent);
    b->setAutoDefault(false);
    return b;
  }
  void applyState(QWidget* widget, const WindowSnapshot& w) const override { static_cast<QPushButton*>(widget)->setDown(w.control.pushed); }
  void applyStyle(QWidget* widget, const WindowSnapshot& w) const override {
    static_cast<QPushButton*>(widget)->setDefault(buttonType(w.style) == BS_DEFPUSHBUTTON);
  }
};

class CheckBoxAdapter final : public ButtonAdapter {
 public:
  QWidget* create(QWidget* parent) const override { return new QCheckBox(parent); }
  void applyState(QWidget* widget, const WindowSnapshot& w) const override {
    auto* b = static_cast<QCheckBox*>(widget);
    const WPARAM check = w.control.check;
    b->setCheckState(check == BST_CHECKED ? Qt::Checked : check == BST_INDETERMINATE ? Qt::PartiallyChecked : Qt::Unchecked);
    b->setDown(w.control.pushed);
  }
  void applyStyle(QWidget* widget, const WindowSnapshot& w) const override {
    static_cast<QCheckBox*>(widget)->setTristate(buttonType(w.style) == BS_3STATE || buttonType(w.style) == BS_AUTO3STATE);
    textOnTheLeft(widget, w);
  }
};

class RadioButtonAdapter final : public ButtonAdapter {
 public:
  QWidget* create(QWidget* parent) const override {
    auto* r = new QRadioButton(parent);
    r->setAutoExclusive(false);  // the platform's radio procedure clears the others of a group
    return r;
  }
  void applyState(QWidget* widget, const WindowSnapshot& w) const override {
    auto* b = static_cast<QRadioButton*>(widget);
    b->setChecked(w.control.check == BST_CHECKED);
    b->setDown(w.control.pushed);
  }
  void applyStyle(QWidget* widget, const WindowSnapshot& w) const override { textOnTheLeft(widget, w); }
};

class LineEditAdapter final : public WidgetAdapter {
 public:
  // No toolkit context menu: it would edit the widget behind the platform's back.
  QWidget* create(QWidget* parent) const override { return withoutContextMenu(new QLineEdit(parent)); }
  void applyText(QWidget* widget, const WindowSnapshot& w) const override {
    auto* e = static_cast<QLineEdit*>(widget);
    if (const QString text = toQt(w.text); e->text() != text) e->setText(text);
  }
  void applyState(QWidget* widget, const WindowSnapshot& w) const override {
    auto* e = static_cast<QLineEdit*>(widget);
    const ControlState& c = w.control;
    if (c.selStart == c.selEnd) e->setCursorPosition(int(c.selEnd));
    else e->setSelection(int(c.selStart), int(c.selEnd) - int(c.selStart));
  }
  void applyStyle(QWidget* widget, const WindowSnapshot& w) const override {
    auto* e = static_cast<QLineEdit*>(widget);
    e->setEchoMode((w.style & ES_PASSWORD) ? QLineEdit::Password : QLineEdit::Normal);
    e->setReadOnly(w.style & ES_READONLY);
    e->setAlignment((w.style & ES_RIGHT) ? Qt::AlignRight : (w.style & ES_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft);
  }
  std::optional<DWORD> textOffsetAt(QWidget* widget, const WindowSnapshot&, int x, int y) const override {
    return DWORD(std::max(0, static_cast<QLineEdit*>(widget)->cursorPositionAt(QPoint(x, y))));
  }
};

class TextEditAdapter final : public WidgetAdapter {
 public:
  QWidget* create(QWidget* parent) const override { return withoutContextMenu(new QPlainTextEdit(parent)); }
  void applyText(QWidget* widget, const WindowSnapshot& w) const override {
    auto* e = static_cast<QPlainTextEdit*>(widget);
    if (const QString t = multilineText(w.text); e->toPlainText() != t) e->setPlainText(t);
  }
  void applyState(QWidget* widget, const WindowSnapshot& w) const override {
    auto* e = static_cast<QPlainTextEdit*>(widget);
    QTextCursor cursor = e->textCursor();
    cursor.setPosition(qtOffset(w.text, w.control.selStart));
    cursor.setPosition(qtOffset(w.text, w.control.selEnd), QTextCursor::KeepAnchor);
    e->setTextCursor(cursor);
  }
  void applyStyle(QWidget* widget, const WindowSnapshot& w) const override {
    static_cast<QPlainTextEdit*>(widget)->setReadOnly(w.style & ES_READONLY);
  }
  std::optional<DWORD> textOffsetAt(QWidget* widget, const WindowSnapshot& w, int x, int y) const override {
    auto* e = static_cast<QPlainTextEdit*>(widget);
    return platformOffset(w.text, e->cursorForPosition(e->viewport()->mapFrom(e, QPoint(x, y))).position());
  }
};

class LabelAdapter final : public WidgetAdapter {
 public:
  QWidget* create(QWidget* parent) const override {
    auto* l = new QLabel(parent);
    l->setTextFormat(Qt::PlainText);
    return l;
  }
  void applyText(QWidget* widget, const WindowSnapshot& w) const override {
    if (!w.control.image) static_cast<QLabel*>(widget)->setText(withoutMnemonics(w.text));
  }
  void applyStyle(QWidget* widget, const WindowSnapshot& w) const override {
    auto* l = static_cast<QLabel*>(widget);
    const DWORD type = w.style & SS_TYPEMASK;
    l->setAlignment(Qt::AlignTop | (type == SS_CENTER ? Qt::AlignHCenter : type == SS_RIGHT ? Qt::AlignRight : Qt::AlignLeft));
    l->setWordWrap(type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
  }
  void applyImage(QWidget* widget, const WindowSnapshot& w) const override {
    auto* l = static_cast<QLabel*>(widget);
    const bool icon = (w.style & SS_TYPEMASK) == SS_ICON;
    QPixmap p = imagePixmap(w.control.image, icon ? widget->size() : QSize());
    if (p.isNull()) {
      l->setPixmap({});
      l->setText(icon ? QString() : withoutMnemonics(w.text));
      return;
    }
    if (icon && !widget->size().isEmpty()) p = p.scaled(widget->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    l->setPixmap(p);
  }
  // An icon is scaled to the label's size.
  void applyGeometry(QWidget* widget, const WindowSnapshot& w) const override {
    if (w.control.image) applyImage(widget, w);
  }
};

QStringList itemsOf(const WindowSnapshot& w) {
  QStringList items;
  for (const std::string& item : w.control.items) items << toQt(item);
  return items;
}

class ListAdapter final : public WidgetAdapter {
 public:
  QWidget* create(QWidget* parent) const override {
    QListWidget* l = createColumnList(parent);
    l->setUniformItemSizes(true);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    return l;
  }
  void applyState(QWidget* widget, const WindowSnapshot& w) const override {
    auto* l = static_cast<QListWidget*>(widget);
    const QSignalBlocker quiet(l);
    const int sel = w.control.curSel;
    if (sel < 0 || sel >= l->count()) {
      l->clearSelection();
      l->setCurrentRow(-1);
    } else {
      l->setCurrentRow(sel);
      l->scrollToItem(l->item(sel));
    }
  }
  void applyItems(QWidget* widget, const WindowSnapshot& w) const override {
    auto* l = static_cast<QListWidget*>(widget);
    const QSignalBlocker quiet(l);
    l->clear();
    l->addItems(itemsOf(w));
    applyColumns(l, w.control);
  }
  // A press on an item selects it as the platform's list would; nothing else reaches the list.
  std::optional<bool> mouse(HWND hwnd, QWidget* widget, QWidget*, QMouseEvent* event) const override {
    if (event->button() == Qt::LeftButton && event->type() != QEvent::MouseButtonRelease) {
      auto* list = static_cast<QListWidget*>(widget);
      const QPoint at = list->viewport()->mapFromGlobal(event->globalPosition().toPoint());
      if (const int row = list->indexAt(at).row(); row >= 0) input::selectItem(hwnd, row);
    }
    return true;
  }
};

class ComboAdapter final : public WidgetAdapter {
 public:
  QWidget* create(QWidget* parent) const override { return new QComboBox(parent); }
  // The choice made in the combo box's own drop-down list is the platform's selection.
  void attach(HWND hwnd, QWidget* widget) const override {
    auto* combo = static_cast<QComboBox*>(widget);
    QObject::connect(combo, &QComboBox::activated, combo, [hwnd](int index) {
      if (IsWindow(hwnd)) input::selectItem(hwnd, index);
    });
  }
  void applyText(QWidget* widget, const WindowSnapshot& w) const override {
    auto* c = static_cast<QComboBox*>(widget);
    if (c->isEditable()) c->setEditText(toQt(w.text));
  }
  void applyState(QWidget* widget, const WindowSnapshot& w) const override {
    auto* cb = static_cast<QComboBox*>(widget);
    const QSignalBlocker quiet(cb);
    cb->setCurrentIndex(w.control.curSel < cb->count() ? w.control.curSel : -1);
    if (cb->isEditable()) cb->setEditText(toQt(w.text));
  }
  void applyItems(QWidget* widget, const WindowSnapshot& w) const override {
    auto* c = static_cast<QComboBox*>(widget);
    const QSignalBlocker quiet(c);
    c->clear();
    c->addItems(itemsOf(w));
  }
  void applyStyle(QWidget* widget, const WindowSnapshot& w) const override {
    auto* c = static_cast<QComboBox*>(widget);
    const bool editable = (w.style & 0x3) != CBS_DROPDOWNLIST;
    if (c->isEditable() != editable) {
      c->setEditable(editable);
      if (c->lineEdit()) c->lineEdit()->setFocusPolicy(Qt::NoFocus);
    }
  }
  // The drop-down list is Qt's own; its choice comes back through attach().
  std::optional<bool> mouse(HWND, QWidget*, QWidget*, QMouseEvent*) const override { return false; }
};

const PlainAdapter kPlain;
const TopLevelAdapter kTopLevel;
const PushButtonAdapter kPushButton;
const CheckBoxAdapter kCheckBox;
const RadioButtonAdapter kRadioButton;
const LineEditAdapter kLineEdit;
const TextEditAdapter kTextEdit;
const LabelAdapter kLabel;
const ListAdapter kList;
const ComboAdapter kCombo;

const WidgetAdapter& buttonAdapter(const WindowSnapshot& w) {
  switch (buttonType(w.style)) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: return kCheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return kRadioButton;
    case BS_GROUPBOX: return groupBoxAdapter();
    default: return kPushButton;
  }
}

// Statics show text or a picture, or are shapes.
const WidgetAdapter& staticAdapter(const WindowSnapshot& w) {
  const DWORD type = w.style & SS_TYPEMASK;
  return type == SS_BLACKRECT || type == SS_BLACKFRAME ? shapeAdapter() : kLabel;
}

const WidgetAdapter& editAdapter(const WindowSnapshot& w) {
  if (w.style & ES_MULTILINE) return kTextEdit;
  return kLineEdit;
}

// The built-in control classes, by the control kind a class is built on.
struct BuiltinClass {
  ControlKind kind;
  const char* name;
  const WidgetAdapter& (*choose)(const WindowSnapshot&);
};
constexpr BuiltinClass kBuiltins[] = {
    {ControlKind::Button, "button", buttonAdapter},
    {ControlKind::Edit, "edit", editAdapter},
    {ControlKind::RichEdit, "richedit20a", [](const WindowSnapshot&) -> const WidgetAdapter& { return richTextAdapter(); }},
    {ControlKind::Static, "static", staticAdapter},
    {ControlKind::ListBox, "listbox", [](const WindowSnapshot&) -> const WidgetAdapter& { return kList; }},
    {ControlKind::ComboBox, "combobox", [](const WindowSnapshot&) -> const WidgetAdapter& { return kCombo; }},
    {ControlKind::Tab, "systabcontrol32", [](const WindowSnapshot&) -> const WidgetAdapter& { return tabAdapter(); }},
};

// Factories by lower-case class name; the built-in classes first. Used on the GUI thread only.
std::map<std::string, WidgetAdapterFactory>& factories() {
  static std::map<std::string, WidgetAdapterFactory> f = [] {
    std::map<std::string, WidgetAdapterFactory> builtins;
    for (const BuiltinClass& b : kBuiltins) builtins[b.name] = b.choose;
    return builtins;
  }();
  return f;
}

}  // namespace

void registerWidgetAdapter(std::string_view className, WidgetAdapterFactory factory) {
  factories()[ascii::lowered(className)] = std::move(factory);
}

const WidgetAdapter& topLevelAdapter() { return kTopLevel; }

const WidgetAdapter& adapterFor(const WindowSnapshot& w) {
  if (!(w.style & WS_CHILD)) return kTopLevel;
  auto& f = factories();
  auto it = f.find(ascii::lowered(w.className));
  // A class of the program's own built on a built-in control is shown as that control.
  if (it == f.end())
    for (const BuiltinClass& b : kBuiltins)
      if (b.kind == w.kind) it = f.find(b.name);
  return it == f.end() ? kPlain : it->second(w);
}

// The font, then the colours as palette roles: the foreground writes text, the background fills
// (a top-level window's client area only its own; a control's also its input area), the selected
// pair shows selections. Roles without a colour are inherited from the parent.
void WidgetAdapter::applyLook(QWidget* widget, const WindowSnapshot& w) const {
  if (w.font) {
    QFont f(toQt(FontFace(w.font)));
    f.setPointSize(std::max(1, FontPoints(w.font)));
    f.setBold(FontWeight(w.font) >= 700);
    widget->setFont(f);
  }
  // A widget whose window never had colours keeps whatever palette its adapter gave it.
  constexpr const char* kColoured = "kestrelColoured";
  const bool coloured = w.colours != WindowColours{};
  if (!coloured && !widget->property(kColoured).toBool()) return;
  widget->setProperty(kColoured, coloured);
  const bool control = w.style & WS_CHILD;
  QPalette palette;
  auto set = [&](COLORREF colour, std::initializer_list<QPalette::ColorRole> roles) {
    if (const QColor c = qtColour(colour); c.isValid())
      for (QPalette::ColorRole role : roles) palette.setColor(role, c);
  };
  set(w.colours.foreground, {QPalette::WindowText});
  set(w.colours.background, {QPalette::Window});
  if (control) {
    set(w.colours.foreground, {QPalette::Text});
    set(w.colours.background, {QPalette::Base});
  }
  set(w.colours.selectedText, {QPalette::HighlightedText});
  set(w.colours.selectedBackground, {QPalette::Highlight});
  widget->setPalette(palette);
  widget->setAutoFillBackground(w.colours.background != kDefaultColour);
}

}  // namespace platform::qt
