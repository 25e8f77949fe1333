// The help engine's viewer: an HTML help file in a browser window. A classic help file name
// (.hlp, .chm) is looked up as an .html or .htm file beside it.
#pragma once

#include <QPointer>
#include <QString>

#include "platform/backend.h"

class QTextBrowser;

namespace platform::qt {

// The HTML file that stands for a help file, or an empty string when there is none.
QString helpDocument(const QString& helpFile);

class HelpViewer {
 public:
  HelpViewer() = default;
  HelpViewer(const HelpViewer&) = delete;
  HelpViewer& operator=(const HelpViewer&) = delete;
  ~HelpViewer();

  void show(const HelpRequest& request);

 private:
  QTextBrowser* browser();
  void findKeyword(const QString& keyword);

  QPointer<QTextBrowser> browser_;
};

}  // namespace platform::qt
