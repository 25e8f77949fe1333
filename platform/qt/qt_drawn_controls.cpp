#include "platform/qt/qt_drawn_controls.h"

#include <QGroupBox>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextEdit>

#include "platform/messages.h"
#include "platform/qt/qt_text.h"
#include "platform/queue/queue.h"

namespace platform::qt {

QColor qtColour(COLORREF c) {
  if (c == kDefaultColour) return {};
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

namespace {

// A rectangle filled in the foreground colour, or a frame in it around the background colour.
class ShapeWidget final : public QWidget {
 public:
  using QWidget::QWidget;
  bool frame = false;
  QColor pen = Qt::black, fill;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (!frame) {
      p.fillRect(rect(), pen);
      return;
    }
    if (fill.isValid()) p.fillRect(rect(), fill);
    p.setPen(pen);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
};

class ShapeAdapter final : public WidgetAdapter {
 public:
  QWidget* create(QWidget* parent) const override { return new ShapeWidget(parent); }
  void applyStyle(QWidget* widget, const WindowSnapshot& w) const override {
    static_cast<ShapeWidget*>(widget)->frame = (w.style & SS_TYPEMASK) == SS_BLACKFRAME;
    widget->update();
  }
  void applyLook(QWidget* widget, const WindowSnapshot& w) const override {
    auto* shape = static_cast<ShapeWidget*>(widget);
    const QColor pen = qtColour(w.colours.foreground);
    shape->pen = pen.isValid() ? pen : QColor(Qt::black);
    shape->fill = qtColour(w.colours.background);
    shape->update();
  }
};

// The caption stands in the frame's top line, as the platform draws a group box; the frame is
// etched (a dark line with a light one inside).
class GroupFrame final : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QFontMetrics fm(font());
    const QRect frame = rect().adjusted(0, fm.height() / 2, -2, -2);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(frame);
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(frame.translated(1, 1));
    if (title().isEmpty()) return;
    const int indent = fm.averageCharWidth();
    const QRect caption(indent, 0, std::min(width() - 2 * indent, fm.horizontalAdvance(QString(title()).remove(QLatin1Char('&'))) + 4),
                        fm.height());
    p.fillRect(caption, palette().brush(backgroundRole()));
    style()->drawItemText(&p, caption.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(), isEnabled(),
                          title(), QPalette::WindowText);
  }
};

class GroupBoxAdapter final : public WidgetAdapter {
 public:
  QWidget* create(QWidget* parent) const override { return new GroupFrame(parent); }
  void applyText(QWidget* widget, const WindowSnapshot& w) const override { static_cast<QGroupBox*>(widget)->setTitle(toQt(w.text)); }
};

// The tabs are the control's items; the current one its selection. A press on a tab asks the
// platform to select it; the tab widget never changes itself.
class TabAdapter final : public WidgetAdapter {
 public:
  QWidget* create(QWidget* parent) const override {
    auto* tabs = new QTabWidget(parent);
    tabs->tabBar()->setFocusPolicy(Qt::NoFocus);
    return tabs;
  }
  void applyItems(QWidget* widget, const WindowSnapshot& w) const override {
    auto* tabs = static_cast<QTabWidget*>(widget);
    const QSignalBlocker quiet(tabs);
    while (tabs->count() > 0) {
      QWidget* page = tabs->widget(0);
      tabs->removeTab(0);
      delete page;
    }
    for (const std::string& text : w.control.items) tabs->addTab(new QWidget, toQt(text));
  }
  void applyState(QWidget* widget, const WindowSnapshot& w) const override {
    auto* tabs = static_cast<QTabWidget*>(widget);
    const QSignalBlocker quiet(tabs);
    if (w.control.curSel >= 0 && w.control.curSel < tabs->count()) tabs->setCurrentIndex(w.control.curSel);
  }
  std::optional<bool> mouse(HWND hwnd, QWidget* widget, QWidget*, QMouseEvent* event) const override {
    QTabBar* bar = static_cast<QTabWidget*>(widget)->tabBar();
    const int tab = bar->tabAt(bar->mapFromGlobal(event->globalPosition().toPoint()));
    if (tab < 0) return std::nullopt;
    if (event->type() == QEvent::MouseButtonPress && event->button() == Qt::LeftButton) PostMessageA(hwnd, TCM_SETCURSEL, WPARAM(tab), 0);
    return true;
  }
};

// Text that is marked up shows formatted through Qt's rich text (its HTML subset); anything else
// as plain text. Rich text in other codings is shown as the characters it is made of.
class RichTextAdapter final : public WidgetAdapter {
 public:
  QWidget* create(QWidget* parent) const override {
    auto* e = new QTextEdit(parent);
    e->setAcceptRichText(true);
    return e;
  }
  void applyText(QWidget* widget, const WindowSnapshot& w) const override {
    auto* e = static_cast<QTextEdit*>(widget);
    QString text = toQt(w.text);
    text.remove(QLatin1Char('\r'));
    if (e->property(kShown).toString() == text) return;
    e->setProperty(kShown, text);
    if (Qt::mightBeRichText(text)) e->setHtml(text);
    else e->setPlainText(text);
  }
  void applyStyle(QWidget* widget, const WindowSnapshot& w) const override {
    static_cast<QTextEdit*>(widget)->setReadOnly(w.style & ES_READONLY);
  }

 private:
  static constexpr const char* kShown = "kestrelText";  // the model text the widget shows
};

const ShapeAdapter kShape;
const GroupBoxAdapter kGroupBox;
const TabAdapter kTab;
const RichTextAdapter kRichText;

}  // namespace

const WidgetAdapter& shapeAdapter() { return kShape; }
const WidgetAdapter& tabAdapter() { return kTab; }
const WidgetAdapter& richTextAdapter() { return kRichText; }
const WidgetAdapter& groupBoxAdapter() { return kGroupBox; }

}  // namespace platform::qt
