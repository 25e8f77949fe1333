#include "platform/qt/deferred_icon_style.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>

namespace platform::qt {

namespace {

// Asks the style for the icon the first time it is drawn or measured.
class DeferredIconEngine final : public QIconEngine {
 public:
  DeferredIconEngine(QStyle* style, QStyle::StandardPixmap which) : style_(style), which_(which) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    icon().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override { return icon().pixmap(size, mode, state); }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override { return icon().actualSize(size, mode, state); }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override { return icon().availableSizes(mode, state); }
  QIconEngine* clone() const override { return new DeferredIconEngine(*this); }
  QString key() const override { return QStringLiteral("deferred"); }

 private:
  const QIcon& icon() {
    if (!made_ && style_) icon_ = style_->standardIcon(which_);
    made_ = true;
    return icon_;
  }

  QPointer<QStyle> style_;
  QStyle::StandardPixmap which_;
  bool made_ = false;
  QIcon icon_;
};

}  // namespace

QIcon DeferredStandardIcon(QStyle* style, QStyle::StandardPixmap which) { return QIcon(new DeferredIconEngine(style, which)); }

QIcon DeferredIconStyle::standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const {
  if (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton)
    return DeferredStandardIcon(baseStyle(), which);
  return QProxyStyle::standardIcon(which, option, widget);
}

}  // namespace platform::qt
