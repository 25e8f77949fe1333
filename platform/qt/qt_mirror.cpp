#include "platform/qt/qt_mirror.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "platform/messages.h"
#include "platform/qt/qt_text.h"
#include "platform/window/view.h"
#include "platform/window/window.h"

namespace platform::qt {
namespace {

// Stands for the adapter of a window shown by a component's view: the view's widget keeps its own
// look and state, so nothing of the model is put on it but geometry, visibility and enabling.
class ViewAdapter : public WidgetAdapter {
 public:
  QWidget* create(QWidget*) const override { return nullptr; }
  void applyLook(QWidget*, const WindowSnapshot&) const override {}
};

const ViewAdapter kViewAdapter;

}  // namespace

WindowMirror::~WindowMirror() {
  for (auto& [hwnd, m] : mirrors_)
    if (m.topLevel) {
      releaseViews(m);
      delete m.outer.data();
    }
}

std::shared_ptr<QtWindowView> WindowMirror::viewFor(HWND hwnd, const WindowSnapshot& v) {
  if (&adapterFor(v) == &topLevelAdapter()) return nullptr;
  return std::dynamic_pointer_cast<QtWindowView>(GetWindowView(hwnd));
}

void WindowMirror::releaseViews(const Mirror& m) {
  if (!m.outer) return;
  if (m.view) m.view->released(m.outer);
  // Child widgets go with their parent, before their own windows' destruction is reported.
  for (auto& [hwnd, inner] : mirrors_) {
    if (!inner.view || !inner.outer || inner.outer == m.outer || !m.outer->isAncestorOf(inner.outer)) continue;
    inner.view->released(inner.outer);
    inner.view.reset();
  }
}

void WindowMirror::created(HWND hwnd) {
  const auto v = snapshotWindow(hwnd);
  if (!v || v->thread != guiThread_ || mirrors_.count(hwnd)) return;
  Applying guard(applying_);
  build(hwnd, *v);
}

void WindowMirror::build(HWND hwnd, const WindowSnapshot& v) {
  Mirror m;
  m.view = viewFor(hwnd, v);
  m.adapter = m.view ? &kViewAdapter : &adapterFor(v);
  m.topLevel = m.adapter == &topLevelAdapter();
  if (m.topLevel) {
    Qt::WindowFlags flags = v.owner ? Qt::Dialog : Qt::Window;
    // A pop-up window without a caption has no frame at all.
    if ((v.style & WS_POPUP) && (v.style & WS_CAPTION) != WS_CAPTION) flags |= Qt::FramelessWindowHint;
    m.outer = new QWidget(nullptr, flags);
    m.outer->setAttribute(Qt::WA_QuitOnClose, false);
    m.outer->setAcceptDrops(true);  // files from the desktop; the input filter decides about them
    m.client = new QWidget(m.outer);
    m.client->setObjectName(objectNameFor(hwnd) + QStringLiteral(":client"));
    // Owned windows stay above their owner. A Qt parent would do that too, but it would also
    // disable them with the owner, and the platform disables an owner under its modal dialogs.
    if (QWidget* owner = outerOf(v.owner)) {
      m.outer->winId();
      owner->winId();
      if (m.outer->windowHandle() && owner->windowHandle()) m.outer->windowHandle()->setTransientParent(owner->windowHandle());
    }
  } else {
    QWidget* parent = clientOf(v.parent);
    if (!parent) return;  // the parent is not mirrored (it belongs to another thread)
    if (m.view) {
      // The component's widget keeps its own focus policy: a click on it is its own input.
      m.outer = m.client = m.view->create(parent);
    } else {
      m.outer = m.client = m.adapter->create(parent);
      // Focus follows the model alone: Qt never moves it on a click or Tab, the platform does.
      m.outer->setFocusPolicy(Qt::NoFocus);
    }
  }
  m.outer->setObjectName(objectNameFor(hwnd));
  owners_[m.outer] = hwnd;
  owners_[m.client] = hwnd;
  Mirror& ref = mirrors_[hwnd] = m;
  m.adapter->attach(hwnd, m.outer);
  applyAll(hwnd, ref, v);
}

void WindowMirror::applyAll(HWND hwnd, Mirror& m, const WindowSnapshot& v) {
  QWidget* content = m.topLevel ? m.client.data() : m.outer.data();
  const WidgetAdapter& a = *m.adapter;
  a.applyStyle(content, v);
  a.applyLook(content, v);
  a.applyItems(content, v);
  a.applyState(content, v);
  a.applyText(content, v);
  a.applyState(content, v);
  a.applyImage(content, v);
  m.outer->setEnabled(!(v.style & WS_DISABLED));
  if (m.topLevel) changed(hwnd, Change::Menu);
  applyGeometry(hwnd, m, v);
  applyVisibility(m, v);
  applyFocus();
}

void WindowMirror::applyGeometry(HWND hwnd, Mirror& m, const WindowSnapshot& v) {
  if (!m.topLevel) {
    m.outer->setGeometry(v.rect.left, v.rect.top, std::max<LONG>(0, v.rect.width()), std::max<LONG>(0, v.rect.height()));
    m.adapter->applyGeometry(m.outer, v);
    if (m.view) m.view->placed(m.outer);
    return;
  }
  RECT client;
  POINT origin{0, 0};
  GetClientRect(hwnd, &client);
  ClientToScreen(hwnd, &origin);
  const int bar = m.menuBar ? kMenuBarHeight : 0;
  const int width = std::max<int>(1, client.right);
  const int height = std::max<int>(1, client.bottom);
  if (m.menuBar) m.menuBar->setGeometry(0, 0, width, bar);
  m.client->setGeometry(0, bar, width, height);
  // Minimized and maximized windows are placed by the window manager.
  if (v.showState == ShowState::Normal) m.outer->setGeometry(origin.x, origin.y - bar, width, height + bar);
}

void WindowMirror::applyVisibility(Mirror& m, const WindowSnapshot& v) {
  const bool visible = v.style & WS_VISIBLE;
  if (!m.topLevel) {
    m.outer->setVisible(visible);
    return;
  }
  if (!visible) {
    m.outer->hide();
    return;
  }
  const Qt::WindowStates state = v.showState == ShowState::Minimized   ? Qt::WindowMinimized
                                 : v.showState == ShowState::Maximized ? Qt::WindowMaximized
                                                                       : Qt::WindowNoState;
  if (m.outer->windowState() != state) m.outer->setWindowState(state);
  if (!m.outer->isVisible()) m.outer->show();
}

void WindowMirror::applyFocus() {
  const HWND focus = GetFocus();
  const HWND active = GetActiveWindow();
  if (QWidget* f = outerOf(focus)) {
    QWidget* target = mirrors_[focus].topLevel ? clientOf(focus) : f;
    if (target->focusProxy()) target = target->focusProxy();
    if (!target->hasFocus()) target->setFocus(Qt::OtherFocusReason);
  } else if (QWidget* current = QApplication::focusWidget(); current && windowOf(current)) {
    current->clearFocus();
  }
  if (QWidget* a = outerOf(active); a && a->isVisible() && !a->isActiveWindow()) a->activateWindow();
}

HWND WindowMirror::topLevelOfNative(unsigned long long nativeId) const {
  for (const auto& [hwnd, m] : mirrors_)
    if (m.topLevel && m.outer && m.outer->internalWinId() == WId(nativeId)) return hwnd;
  return nullptr;
}

void WindowMirror::destroyed(HWND hwnd) {
  auto it = mirrors_.find(hwnd);
  if (it == mirrors_.end()) return;
  const Mirror m = it->second;
  mirrors_.erase(it);
  forget(m);
  userChanged_.erase(hwnd);
  releaseViews(m);
  // Child widgets go with their parent; their own calls then find nothing left to delete.
  delete m.outer.data();
}

void WindowMirror::forget(const Mirror& m) {
  owners_.remove(m.outer.data());
  owners_.remove(m.client.data());
}

void WindowMirror::changed(HWND hwnd, Change what) {
  auto it = mirrors_.find(hwnd);
  if (it == mirrors_.end() || !it->second.outer) return;
  const auto v = snapshotWindow(hwnd);
  if (!v) return;
  Applying guard(applying_);
  Mirror& m = it->second;
  QWidget* content = m.topLevel ? m.client.data() : m.outer.data();
  const WidgetAdapter& a = *m.adapter;
  switch (what) {
    case Change::Text:
      a.applyText(content, *v);
      a.applyState(content, *v);
      break;
    case Change::Geometry: applyGeometry(hwnd, m, *v); break;
    case Change::Visibility: applyVisibility(m, *v); break;
    case Change::Enabled: m.outer->setEnabled(!(v->style & WS_DISABLED)); break;
    case Change::Focus: applyFocus(); break;
    case Change::State:
      if (m.topLevel) {
        applyVisibility(m, *v);
        applyGeometry(hwnd, m, *v);
      } else {
        a.applyState(content, *v);
      }
      break;
    case Change::Menu:
      if (!m.topLevel) break;
      if (v->menu && !m.menuBar) {
        m.menuBar = new QMenuBar(m.outer);
        m.menuBar->setNativeMenuBar(false);
        m.menuBar->show();
      }
      if (m.menuBar) menus_.attach(hwnd, m.menuBar, v->menu);
      if (!v->menu) delete m.menuBar.data();
      applyGeometry(hwnd, m, *v);
      break;
    case Change::Items:
      a.applyItems(content, *v);
      a.applyState(content, *v);
      break;
    case Change::Style:
      if (const auto view = viewFor(hwnd, *v); view != m.view || (!view && &adapterFor(*v) != m.adapter)) {
        rebuild(hwnd);
      } else {
        a.applyStyle(content, *v);
        a.applyText(content, *v);
        a.applyState(content, *v);
      }
      break;
    case Change::Image: a.applyImage(content, *v); break;
    case Change::Font: a.applyLook(content, *v); break;
  }
}

void WindowMirror::rebuild(HWND hwnd) {
  const Mirror old = mirrors_[hwnd];
  const auto v = snapshotWindow(hwnd);
  mirrors_.erase(hwnd);
  forget(old);
  if (v) build(hwnd, *v);
  // Children of the old widget move to the new one.
  for (auto& [child, m] : mirrors_) {
    if (!m.outer || m.topLevel || GetParent(child) != hwnd) continue;
    const bool visible = !m.outer->isHidden();
    m.outer->setParent(clientOf(hwnd));
    m.outer->setVisible(visible);
  }
  releaseViews(old);
  delete old.outer.data();
}

void WindowMirror::menuChanged(HMENU menu) {
  Applying guard(applying_);
  menus_.changed(menu);
}

HWND WindowMirror::windowOf(const QWidget* widget) const {
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    if (qobject_cast<const QMenuBar*>(w) || qobject_cast<const QMenu*>(w)) return nullptr;
    if (auto it = owners_.find(w); it != owners_.end()) {
      auto m = mirrors_.find(it.value());
      if (m != mirrors_.end() && (m->second.outer == w || m->second.client == w)) return it.value();
    }
    if (w->isWindow()) return nullptr;
  }
  return nullptr;
}

const WidgetAdapter* WindowMirror::adapterOf(HWND hwnd) const {
  auto it = mirrors_.find(hwnd);
  return it == mirrors_.end() ? nullptr : it->second.adapter;
}

bool WindowMirror::hostsView(HWND hwnd) const {
  auto it = hwnd ? mirrors_.find(hwnd) : mirrors_.end();
  return it != mirrors_.end() && it->second.view;
}

QWidget* WindowMirror::outerOf(HWND hwnd) const {
  auto it = hwnd ? mirrors_.find(hwnd) : mirrors_.end();
  return it == mirrors_.end() ? nullptr : it->second.outer.data();
}

QWidget* WindowMirror::clientOf(HWND hwnd) const {
  auto it = hwnd ? mirrors_.find(hwnd) : mirrors_.end();
  return it == mirrors_.end() ? nullptr : it->second.client.data();
}

bool WindowMirror::isTopLevel(const QWidget* widget) const {
  const HWND h = owners_.value(widget, nullptr);
  if (!h) return false;
  auto it = mirrors_.find(h);
  return it != mirrors_.end() && it->second.topLevel && it->second.outer == widget;
}

void WindowMirror::settle() {
  const std::set<HWND> pending = std::move(userChanged_);
  userChanged_.clear();
  for (HWND hwnd : pending) {
    auto it = mirrors_.find(hwnd);
    const auto v = snapshotWindow(hwnd);
    if (it == mirrors_.end() || !it->second.outer || !v) continue;
    Applying guard(applying_);
    applyVisibility(it->second, *v);
    applyGeometry(hwnd, it->second, *v);
  }
}

}  // namespace platform::qt
