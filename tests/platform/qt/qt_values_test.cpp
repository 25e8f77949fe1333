// Pure conversions of the Qt backend: file dialog filters, keys, code-page texts.
#include <gtest/gtest.h>

#include <Qt>

#include "platform/messages.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_keys.h"
#include "platform/qt/qt_text.h"

namespace platform::qt {
namespace {

struct FilterCase {
  const char* platform;
  const char* qt;
};

class FileFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FileFilter, BecomesQtNameFilter) { EXPECT_EQ(qtFileFilter(GetParam().platform).toStdString(), GetParam().qt); }

INSTANTIATE_TEST_SUITE_P(Pairs, FileFilter,
                         ::testing::Values(FilterCase{"Text files|*.txt", "Text files (*.txt)"},
                                           FilterCase{"Books|*.xls;*.xlsx|All files|*.*||", "Books (*.xls *.xlsx);;All files (*.*)"},
                                           FilterCase{"Only a name", "Only a name (*)"},  // a missing pattern means all files
                                           FilterCase{"|*.csv", "*.csv (*.csv)"}, FilterCase{"", ""}));

struct KeyCase {
  const char* what;
  int qtKey;
  char text;
  bool shift, ctrl;
  UINT vk;
  char packet;  // the character sent as VK_PACKET input, 0 when the key code is sent
};

class KeyMapping : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyMapping, GivesVirtualKeyOrTypedCharacter) {
  const KeyCase& c = GetParam();
  const KeyStroke s = keyStroke(c.qtKey, c.text, c.shift, c.ctrl);
  EXPECT_EQ(s.vk, c.vk);
  EXPECT_EQ(s.extra, LPARAM(static_cast<unsigned char>(c.packet)) << 16);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyMapping,
                         ::testing::Values(KeyCase{"lower letter", Qt::Key_A, 'a', false, false, 'A', 0},
                                           KeyCase{"shifted capital", Qt::Key_A, 'A', true, false, 'A', 0},
                                           // A capital without Shift held (Caps Lock, or a test tool) is typed as itself.
                                           KeyCase{"capital without shift", Qt::Key_H, 'H', false, false, VK_PACKET, 'H'},
                                           KeyCase{"shifted digit names its key", Qt::Key_Exclam, '!', true, false, '1', 0},
                                           KeyCase{"oem key", Qt::Key_Semicolon, ';', false, false, 0xBA, 0},
                                           KeyCase{"ctrl letter", Qt::Key_C, '\x03', false, true, 'C', 0},
                                           KeyCase{"caret key", Qt::Key_Left, 0, false, false, VK_LEFT, 0},
                                           KeyCase{"function key", Qt::Key_F5, 0, false, false, VK_F1 + 4, 0},
                                           KeyCase{"alt", Qt::Key_Alt, 0, false, false, VK_MENU, 0},
                                           KeyCase{"letter of another layout", Qt::Key_Eacute, '\xE9', false, false, VK_PACKET, '\xE9'},
                                           KeyCase{"key the platform lacks", Qt::Key_VolumeUp, 0, false, false, 0, 0}),
                         [](const auto& p) {
                           std::string n = p.param.what;
                           for (char& ch : n)
                             if (ch == ' ') ch = '_';
                           return n;
                         });

TEST(CodePage, Windows1252MapsBothWays) {
  const std::string ansi = "caf\xE9 \x80 \x93quoted\x94";
  const QString text = toQt(ansi);
  EXPECT_EQ(text, QString::fromUtf8("café € “quoted”"));
  EXPECT_EQ(text.size(), qsizetype(ansi.size())) << "offsets into edit texts must stay the same";
  EXPECT_EQ(fromQt(text), ansi);
  EXPECT_EQ(fromQt(QString::fromUtf8("a→b")), "a?b");
}

TEST(CodePage, LabelsDropMnemonicMarks) {
  EXPECT_EQ(withoutMnemonics("&Save && Exit"), QStringLiteral("Save & Exit"));
  EXPECT_EQ(withoutMnemonics("Trailing&"), QStringLiteral("Trailing&"));
}

}  // namespace
}  // namespace platform::qt
