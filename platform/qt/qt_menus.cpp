#include "platform/qt/qt_menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "platform/input/input.h"
#include "platform/messages.h"
#include "platform/qt/qt_text.h"
#include "platform/window/snapshot.h"

namespace platform::qt {

namespace {

// Removes a menu widget's actions and the sub-menus it owns.
void clear(QWidget* target) {
  for (QAction* a : target->actions()) {
    target->removeAction(a);
    if (a->parent() == target) delete a;
  }
  qDeleteAll(target->findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
}

bool checkedInModel(HMENU menu, int position) {
  const auto items = snapshotMenu(menu);
  return items && size_t(position) < items->size() && ((*items)[size_t(position)].flags & MF_CHECKED);
}

}  // namespace

void MenuMirror::attach(HWND window, QMenuBar* bar, HMENU menu) {
  std::erase_if(built_, [&](const auto& entry) { return entry.second.window == window || !entry.second.widget; });
  clear(bar);
  if (menu) fill(bar, menu, window, {});
}

void MenuMirror::changed(HMENU menu) {
  auto it = built_.find(menu);
  if (it == built_.end() || !it->second.widget) return;
  const Built b = it->second;
  clear(b.widget);
  fill(b.widget, menu, b.window, b.path);
}

void MenuMirror::fill(QWidget* target, HMENU menu, HWND window, const std::vector<int>& path) {
  built_[menu] = Built{window, path, target};
  const auto items = snapshotMenu(menu);
  if (!items) return;
  for (size_t i = 0; i < items->size(); ++i) {
    const MenuItemSnapshot& item = (*items)[i];
    std::vector<int> itemPath = path;
    itemPath.push_back(int(i));
    QAction* action;
    if (item.flags & MF_SEPARATOR) {
      action = new QAction(target);
      action->setSeparator(true);
    } else if (item.popup) {
      auto* sub = new QMenu(toQt(item.text), target);
      fill(sub, item.popup, window, itemPath);
      action = sub->menuAction();
    } else {
      // A tab in the text separates the shortcut shown on the right, as in a QMenu.
      action = new QAction(toQt(item.text), target);
      if (item.flags & MF_CHECKED) {
        action->setCheckable(true);
        action->setChecked(true);
      }
      QObject::connect(action, &QAction::triggered, action, [window, itemPath, menu, action, pos = int(i)] {
        // Qt toggled its own check mark; the model's stays the truth until the program changes it.
        if (action->isCheckable()) action->setChecked(checkedInModel(menu, pos));
        input::chooseMenu(window, itemPath);
      });
    }
    action->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
    target->addAction(action);
  }
}

}  // namespace platform::qt
