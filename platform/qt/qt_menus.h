// Menu bars of top-level windows as QMenuBar and QMenu, rebuilt from the model's menus when they
// change. Choosing an item goes through input::chooseMenu, so the window sees the same messages
// as for a scripted choice.
#pragma once

#include <QPointer>
#include <unordered_map>
#include <vector>

#include "platform/types.h"

class QMenuBar;
class QWidget;

namespace platform::qt {

class MenuMirror {
 public:
  // (Re)builds a window's bar from its menu; a null menu empties it.
  void attach(HWND window, QMenuBar* bar, HMENU menu);
  // Rebuilds the mirror of one model menu when it is shown.
  void changed(HMENU menu);

 private:
  struct Built {
    HWND window = nullptr;
    std::vector<int> path;  // positions from the bar down to this menu
    QPointer<QWidget> widget;
  };
  void fill(QWidget* target, HMENU menu, HWND window, const std::vector<int>& path);

  std::unordered_map<HMENU, Built> built_;
};

}  // namespace platform::qt
