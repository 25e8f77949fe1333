// The widget that shows each kind of platform window, and how a window's model state is put on
// it. Nothing here reacts to the person; see qt_input.h for that.
#pragma once

#include <optional>
#include <string>

#include "platform/window/detail/model.h"

class QWidget;

namespace platform::qt {

enum class WidgetKind { TopLevel, Plain, PushButton, CheckBox, RadioButton, GroupBox, LineEdit, TextEdit, Label, List, Combo };

// A copy of what a widget shows, taken under the model lock so Qt work runs without it.
struct WindowView {
  WidgetKind kind = WidgetKind::Plain;
  DWORD style = 0;
  std::string text;
  detail::ControlState control;
  HFONT font = nullptr;
  int showState = 0;
  HMENU menu = nullptr;
  HWND parent = nullptr;
  HWND owner = nullptr;
  DWORD thread = 0;
  RECT rect;  // parent client coordinates (screen for top-level windows)
};
std::optional<WindowView> viewOf(HWND hwnd);

// Top-level windows, then by class kind (the built-in class an application class is built on)
// and style; anything else is a plain widget.
WidgetKind widgetKindFor(const detail::Window& w);

QWidget* createControl(WidgetKind kind, QWidget* parent);

void applyText(QWidget* widget, const WindowView& v);
void applyState(QWidget* widget, const WindowView& v);  // checks, pushed look, selections
void applyItems(QWidget* widget, const WindowView& v);  // list and combo box items
void applyStyle(QWidget* widget, const WindowView& v);  // style bits that do not change the kind
void applyImage(QWidget* widget, const WindowView& v);
void applyFont(QWidget* widget, const WindowView& v);

}  // namespace platform::qt
