// Each platform window of the GUI thread as a real widget. The model is the truth: the mirror
// creates, updates and destroys widgets when the core reports a change, reading the window's
// state from a snapshot (platform/window/snapshot.h), and never the other way round. Each
// window's widget comes from its adapter (widget_adapter.h), or from the component's view the
// child window carries (QtWindowView).
//
// A top-level window is a frameless-by-Qt QWidget (the window manager draws the frame) that
// holds the menu bar, 20 pixels high as in the model's frame metrics, above a client widget the
// size of the model's client rectangle; child windows are children of their parent's client
// widget at their model rectangle.
#pragma once

#include <QHash>
#include <QPointer>
#include <memory>
#include <set>
#include <unordered_map>

#include "platform/backend.h"
#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_menus.h"

class QMenuBar;
class QWidget;

namespace platform::qt {

inline constexpr int kMenuBarHeight = 20;

class WindowMirror {
 public:
  explicit WindowMirror(DWORD guiThread) : guiThread_(guiThread) {}
  WindowMirror(const WindowMirror&) = delete;
  WindowMirror& operator=(const WindowMirror&) = delete;
  ~WindowMirror();

  void created(HWND hwnd);
  void destroyed(HWND hwnd);
  void changed(HWND hwnd, Change what);
  void menuChanged(HMENU menu);

  // The mirrored window a widget belongs to (the nearest mirrored ancestor inside the same Qt
  // window), or null for widgets of menus and of Qt's own windows.
  HWND windowOf(const QWidget* widget) const;
  // The adapter that made the window's widget (null for a window not mirrored).
  const WidgetAdapter* adapterOf(HWND hwnd) const;
  // The window's widget is a component's view: input on it is the widget's own.
  bool hostsView(HWND hwnd) const;
  QWidget* outerOf(HWND hwnd) const;   // what is placed and shown
  QWidget* clientOf(HWND hwnd) const;  // what holds the children; client coordinates
  bool isTopLevel(const QWidget* widget) const;
  // The top-level window whose native (X) window has the id, or null.
  HWND topLevelOfNative(unsigned long long nativeId) const;

  // True while model changes are being put on widgets: their Qt events are not the person's.
  bool applying() const { return applying_ > 0; }

  // The person moved, sized or changed the state of a top-level window and the program was told;
  // settle() later puts back whatever the program did not take over.
  void expectUserChange(HWND hwnd) { userChanged_.insert(hwnd); }
  void settle();

 private:
  struct Mirror {
    const WidgetAdapter* adapter = nullptr;
    std::shared_ptr<QtWindowView> view;  // the widget's maker when the window carries one
    bool topLevel = false;
    QPointer<QWidget> outer;
    QPointer<QWidget> client;
    QPointer<QMenuBar> menuBar;
  };
  struct Applying {
    explicit Applying(int& n) : n_(n) { ++n_; }
    ~Applying() { --n_; }
    int& n_;
  };

  void build(HWND hwnd, const WindowSnapshot& v);
  void applyAll(HWND hwnd, Mirror& m, const WindowSnapshot& v);
  void applyGeometry(HWND hwnd, Mirror& m, const WindowSnapshot& v);
  void applyVisibility(Mirror& m, const WindowSnapshot& v);
  void applyFocus();
  void rebuild(HWND hwnd);  // the style or the view now asks for another widget
  void forget(const Mirror& m);
  // The Qt view a child window carries, or null (top-level windows show none).
  static std::shared_ptr<QtWindowView> viewFor(HWND hwnd, const WindowSnapshot& v);
  // Tells the views of m's widget and of the widgets inside it that they are about to go.
  void releaseViews(const Mirror& m);

  DWORD guiThread_;
  std::unordered_map<HWND, Mirror> mirrors_;
  QHash<const QWidget*, HWND> owners_;
  std::set<HWND> userChanged_;
  MenuMirror menus_;
  int applying_ = 0;
};

}  // namespace platform::qt
