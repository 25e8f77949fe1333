// Standard icons made when first drawn. Every menu bar asks its style for its overflow button's
// icon while it is built, and every top-level window gets its stock icon; finding one (the icon
// theme's folders searched, the pictures read) is a good part of a program's start, while the
// button shows only when the menus do not fit and the window's icon only under a window manager.
// DeferredIconStyle is the application's style with the overflow icons deferred; everything else
// is the style's own.
#pragma once

#include <QProxyStyle>

namespace platform::qt {

// The style's standard icon, asked of the style the first time it is drawn or measured.
QIcon DeferredStandardIcon(QStyle* style, QStyle::StandardPixmap which);

class DeferredIconStyle final : public QProxyStyle {
 public:
  QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr, const QWidget* widget = nullptr) const override;
};

}  // namespace platform::qt
