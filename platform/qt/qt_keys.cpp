#include "platform/qt/qt_keys.h"

#include <Qt>

#include "platform/messages.h"
#include "platform/queue/queue.h"

namespace platform::qt {

namespace {

struct KeyRow {
  int qt;
  UINT vk;
};

// Keys whose Qt code differs from the virtual-key code. Shifted symbols of a US layout name the
// key they are typed on, as the platform's keyboard reports them.
constexpr KeyRow kKeys[] = {
    {Qt::Key_Backspace, VK_BACK},
    {Qt::Key_Tab, VK_TAB},
    {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},
    {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},
    {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Semicolon, 0xBA},
    {Qt::Key_Colon, 0xBA},
    {Qt::Key_Equal, 0xBB},
    {Qt::Key_Plus, 0xBB},
    {Qt::Key_Comma, 0xBC},
    {Qt::Key_Less, 0xBC},
    {Qt::Key_Minus, 0xBD},
    {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Period, 0xBE},
    {Qt::Key_Greater, 0xBE},
    {Qt::Key_Slash, 0xBF},
    {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0},
    {Qt::Key_AsciiTilde, 0xC0},
    {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC},
    {Qt::Key_Bar, 0xDC},
    {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_BraceRight, 0xDD},
    {Qt::Key_Apostrophe, 0xDE},
    {Qt::Key_QuoteDbl, 0xDE},
};

}  // namespace

UINT virtualKey(int qtKey) {
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return UINT(qtKey);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return VK_F1 + UINT(qtKey - Qt::Key_F1);
  for (const KeyRow& r : kKeys)
    if (r.qt == qtKey) return r.vk;
  return 0;
}

int qtKeyOf(UINT vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return int(vk);
  if (vk >= VK_F1 && vk < VK_F1 + 24) return Qt::Key_F1 + int(vk - VK_F1);
  // The table names each key's unshifted Qt key first.
  for (const KeyRow& r : kKeys)
    if (r.vk == vk) return r.qt;
  return 0;
}

KeyStroke keyStroke(int qtKey, char text, bool shift, bool ctrl) {
  const UINT vk = virtualKey(qtKey);
  const auto printable = static_cast<unsigned char>(text) >= 0x20 && text != 0x7F;
  // The key's own code when the platform would type the same character with it (or when the
  // key types nothing); else the character itself.
  if (vk && (!printable || KeyCharacter(vk, shift, ctrl) == text)) return {vk, 0};
  if (printable && !ctrl) return {VK_PACKET, LPARAM(static_cast<unsigned char>(text)) << 16};
  return {vk, 0};
}

}  // namespace platform::qt
