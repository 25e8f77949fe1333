#include "platform/qt/qt_dialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrinter>
#include <QStringList>
#include <atomic>

#include "platform/qt/qt_text.h"

namespace platform::qt {

QString qtFileFilter(std::string_view filter) {
  const QStringList parts = toQt(filter).split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    const QString name = parts[i].trimmed();
    QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
    if (name.isEmpty() && patterns.isEmpty()) continue;
    if (patterns.isEmpty()) patterns = QStringLiteral("*");
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    out << QStringLiteral("%1 (%2)").arg(name.isEmpty() ? patterns : name, patterns.simplified());
  }
  return out.join(QStringLiteral(";;"));
}

// Gives the keyboard back to the window that owned a modal dialog once the dialog is gone: the
// X server leaves the focus nowhere when a focused window goes, and not every desktop has a
// window manager to pick the next one.
class ReturnFocus {
 public:
  explicit ReturnFocus(QWidget* owner) : owner_(owner) {}
  ~ReturnFocus() {
    if (owner_ && owner_->isVisible()) owner_->window()->activateWindow();
  }
  ReturnFocus(const ReturnFocus&) = delete;
  ReturnFocus& operator=(const ReturnFocus&) = delete;

 private:
  QPointer<QWidget> owner_;
};

std::optional<std::string> runFileDialog(QWidget* parent, const FileDialogRequest& request) {
  const ReturnFocus focus(parent);
  QFileDialog dialog(parent, toQt(request.title));
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save || !(request.flags & OFN_FILEMUSTEXIST) ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (request.save && !(request.flags & OFN_OVERWRITEPROMPT)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (const QString filter = qtFileFilter(request.filter); !filter.isEmpty()) dialog.setNameFilter(filter);
  // File names are bytes of the file system, not code-page text.
  if (!request.initialDir.empty()) dialog.setDirectory(QFile::decodeName(request.initialDir.c_str()));
  if (!request.initialFile.empty()) {
    const QFileInfo initial(QFile::decodeName(request.initialFile.c_str()));
    if (!initial.path().isEmpty() && initial.path() != QStringLiteral(".")) dialog.setDirectory(initial.path());
    dialog.selectFile(initial.fileName());
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return std::string(QFile::encodeName(dialog.selectedFiles().front()).constData());
}

namespace {
std::atomic<PrintSetupHandler> installedPrintSetup{nullptr};
}  // namespace

void SetPrintSetupHandler(PrintSetupHandler handler) { installedPrintSetup = handler; }

bool runPrintSetup(QWidget* parent) {
  const ReturnFocus focus(parent);
  if (const PrintSetupHandler handler = installedPrintSetup) return handler(parent);
  QPrinter printer;
  QPageSetupDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace platform::qt
