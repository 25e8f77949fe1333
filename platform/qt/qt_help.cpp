#include "platform/qt/qt_help.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

#include "platform/messages.h"
#include "platform/qt/qt_text.h"

namespace platform::qt {

namespace {

constexpr const char* kHelpOnHelp =
    "<h1>Using Help</h1>"
    "<p>This window shows the program's help file. Links lead to other topics; "
    "<b>Alt+Left</b> goes back to the topic you came from and <b>Alt+Right</b> forward again.</p>"
    "<p>When the program opens help for a keyword, the first place the word appears is selected. "
    "Use <b>Ctrl+F</b> in your own browser copy of the file to search further.</p>"
    "<p>Close the window when you are done; the program opens it again when you ask for help.</p>";

QString escaped(const QString& s) { return s.toHtmlEscaped(); }

}  // namespace

QString helpDocument(const QString& helpFile) {
  if (helpFile.isEmpty()) return {};
  const QFileInfo info(helpFile);
  const QString suffix = info.suffix().toLower();
  if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) return info.isFile() ? info.absoluteFilePath() : QString();
  const QString stem = info.path() + QLatin1Char('/') + info.completeBaseName();
  for (const char* ext : {".html", ".htm", ".HTML", ".HTM"}) {
    const QFileInfo candidate(stem + QLatin1String(ext));
    if (candidate.isFile()) return candidate.absoluteFilePath();
  }
  return {};
}

HelpViewer::~HelpViewer() { delete browser_.data(); }

QTextBrowser* HelpViewer::browser() {
  if (!browser_) {
    browser_ = new QTextBrowser;
    browser_->setObjectName(QStringLiteral("help-viewer"));
    browser_->setOpenExternalLinks(true);
    browser_->resize(640, 480);
  }
  return browser_;
}

void HelpViewer::findKeyword(const QString& keyword) {
  if (keyword.isEmpty()) return;
  QTextBrowser* b = browser();
  b->moveCursor(QTextCursor::Start);
  if (!b->find(keyword)) b->setWindowTitle(b->windowTitle() + QStringLiteral(" - \"%1\" not found").arg(keyword));
}

void HelpViewer::show(const HelpRequest& request) {
  if (request.command == HELP_QUIT) {
    delete browser_.data();
    return;
  }
  QTextBrowser* b = browser();
  if (request.command == HELP_HELPONHELP) {
    b->setHtml(QString::fromLatin1(kHelpOnHelp));
    b->setWindowTitle(QStringLiteral("Using Help"));
  } else {
    const QString file = QFile::decodeName(request.file.c_str());
    const QString document = helpDocument(file);
    if (document.isEmpty()) {
      b->setHtml(QStringLiteral("<h1>Help is not available</h1><p>The help file <b>%1</b> cannot be found "
                                "(looked for an .html or .htm file of the same name).</p>")
                     .arg(escaped(file.isEmpty() ? QStringLiteral("(none)") : file)));
      b->setWindowTitle(QStringLiteral("Help"));
    } else {
      b->setSource(QUrl::fromLocalFile(document));
      b->setWindowTitle(b->documentTitle().isEmpty() ? QFileInfo(document).fileName() : b->documentTitle());
      if (request.command == HELP_KEY || request.command == HELP_PARTIALKEY) findKeyword(toQt(request.keyword));
    }
  }
  b->show();
  b->raise();
}

}  // namespace platform::qt
