#include "components/spread/clipboard/qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "components/spread/clipboard/clipboard_text.h"
#include "platform/qt/qt_text.h"

namespace spread::print {

void CopySelection(Book& book) {
  auto* data = new QMimeData;
  data->setText(platform::qt::toQt(files::SelectionText(book)));
  data->setHtml(QString::fromUtf8(files::SelectionHtml(book)));
  QGuiApplication::clipboard()->setMimeData(data);
}

void CutSelection(Book& book) {
  CopySelection(book);
  files::ClearSelection(book);
}

int PasteClipboard(Book& book) {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return -1;
  return files::PasteText(book, platform::qt::fromQt(data->text()));
}

}  // namespace spread::print
