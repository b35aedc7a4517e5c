#include "platform/qt/qt_window_toolkit.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include <utility>

#include "platform/qt/qt_text.h"
#include "platform/qt/qt_window.h"

namespace signmaker::platform::qt {
namespace {

constexpr int DefaultFontPixels = 12;

void StartApplication() {
  if (QApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "signmaker";
  static char* argv[] = {name, nullptr};
  // Lives as long as the process: windows may outlive main's locals.
  new QApplication(argc, argv);
}

}  // namespace

QtWindowToolkit::QtWindowToolkit() {
  StartApplication();
  QFont font(QStringLiteral("WenQuanYi Micro Hei"));
  font.setPixelSize(DefaultFontPixels);
  QApplication::setFont(font);
}

std::unique_ptr<Window> QtWindowToolkit::CreateWindow(const WindowDef& definition) {
  return std::make_unique<QtWindow>(definition);
}

void QtWindowToolkit::MessageBox(const Text& text, const Text& caption) {
  QMessageBox box;
  box.setWindowTitle(ToQString(caption));
  box.setText(ToQString(text));
  box.setTextFormat(Qt::PlainText);
  box.setIcon(QMessageBox::NoIcon);
  box.setStandardButtons(QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

int QtWindowToolkit::RunMessageLoop() {
  bool anyShown = false;
  for (const QWidget* window : QApplication::topLevelWidgets()) anyShown |= window->isVisible();
  if (anyShown) QApplication::exec();
  return 0;
}

void QtWindowToolkit::PostToWindowThread(std::function<void()> task) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

void QtWindowToolkit::OpenUrl(const Text& url) {
  QDesktopServices::openUrl(QUrl(ToQString(url)));
}

}  // namespace signmaker::platform::qt

namespace signmaker::platform {

WindowToolkit& WindowToolkit::Default() {
  static qt::QtWindowToolkit toolkit;
  return toolkit;
}

}  // namespace signmaker::platform
