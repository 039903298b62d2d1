// Catches the addresses QDesktopServices would open in the desktop's
// browser, for as long as the object lives.
#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QUrl>
#include <vector>

namespace zarvik::testing {

class OpenedUrls : public QObject {
  Q_OBJECT

 public:
  OpenedUrls() { QDesktopServices::setUrlHandler("file", this, "open"); }
  ~OpenedUrls() override { QDesktopServices::unsetUrlHandler("file"); }
  std::vector<QUrl> urls;

 public slots:
  void open(const QUrl& url) { urls.push_back(url); }
};

}  // namespace zarvik::testing
