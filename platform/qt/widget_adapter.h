// How the Qt backend shows a window of one class: an adapter per kind of widget makes the widget
// and puts the window's model state on it. The built-in controls have theirs; a component with a
// window class of its own registers an adapter for that class, so its windows get their own
// widget without the backend knowing the component. A window of a class shared by many components
// (every OLE control's) instead carries the component's own view (QtWindowView). This header is
// free of Qt headers.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "platform/window/snapshot.h"
#include "platform/window/view.h"

class QMouseEvent;
class QWidget;

namespace platform::qt {

class WidgetAdapter {
 public:
  virtual ~WidgetAdapter() = default;

  // The widget of a child window, a child of its parent's client widget. Focus follows the model
  // alone, so the mirror takes Qt's own focus away from whatever this returns.
  virtual QWidget* create(QWidget* parent) const = 0;
  // Called once the widget stands for hwnd: connect signals that are the person's input.
  virtual void attach(HWND, QWidget*) const {}

  // Each puts one part of the window's state on the widget (see the mirror's Change).
  virtual void applyText(QWidget*, const WindowSnapshot&) const {}
  virtual void applyState(QWidget*, const WindowSnapshot&) const {}  // checks, pushed look, selections
  virtual void applyItems(QWidget*, const WindowSnapshot&) const {}  // list items
  virtual void applyStyle(QWidget*, const WindowSnapshot&) const {}  // style bits that keep the adapter
  virtual void applyImage(QWidget*, const WindowSnapshot&) const {}
  // The font and the colours (qt_controls.cpp: the font, and the colours as the palette's roles).
  virtual void applyLook(QWidget*, const WindowSnapshot&) const;
  virtual void applyGeometry(QWidget*, const WindowSnapshot&) const {}  // after the widget was placed

  // A mouse button on the widget or on a widget inside it (receiver): nothing for the platform's
  // mouse messages, true when the adapter took the event, false to leave it to Qt's widget.
  virtual std::optional<bool> mouse(HWND, QWidget* /*widget*/, QWidget* /*receiver*/, QMouseEvent*) const { return std::nullopt; }
  // For a text widget: the offset in the window's text nearest to (x, y) in the widget's own
  // coordinates, as the widget draws the text.
  virtual std::optional<DWORD> textOffsetAt(QWidget*, const WindowSnapshot&, int /*x*/, int /*y*/) const { return std::nullopt; }
};

// Chooses the adapter of a window of the class; the adapter must outlive the backend (adapters
// are stateless, one object per kind of widget). Style bits may choose among several.
using WidgetAdapterFactory = std::function<const WidgetAdapter&(const WindowSnapshot&)>;

// Child windows of the class (name compared without case) get their widget from factory; a later
// registration for the same class replaces the earlier one. Call on the GUI thread before windows
// of the class are created.
void registerWidgetAdapter(std::string_view className, WidgetAdapterFactory factory);

// A component's view as the Qt backend shows it (put on a window with platform::SetWindowView).
// The widget it creates stands for the child window in place of the class's adapter: placed at
// the window's rectangle, shown, hidden and enabled with it, and destroyed with it or when the
// view is replaced or removed. Mouse and key input on it is the widget's own (no platform input
// messages); its font, colours and focus policy are left as the component made them.
class QtWindowView : public WindowView {
 public:
  // The window's widget, a child of its parent's client widget; called again when the window's
  // widget is rebuilt, after released() for the earlier one.
  virtual QWidget* create(QWidget* parent) = 0;
  // After the widget was placed at the window's rectangle.
  virtual void placed(QWidget*) {}
  // The window no longer shows the widget; the backend deletes it right after.
  virtual void released(QWidget*) {}
};

}  // namespace platform::qt
