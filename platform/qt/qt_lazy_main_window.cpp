#include "platform/qt/qt_lazy_main_window.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>
#include <cmath>

#include "platform/qt/app_icon.h"

namespace tsukio {

namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

LazyMainWindow::LazyMainWindow(MainWindowInput& input, std::function<void(QtMainWindow&)> built)
    : input_(input), built_(std::move(built)) {}

void LazyMainWindow::Render(const MainWindowModel& model) {
  if (!window_) {
    if (!model.visible) return;
    window_ = std::make_unique<QtMainWindow>(input_);
    if (built_) built_(*window_);
  }
  window_->Render(model);
}

void LazyMainWindow::Close() {
  QCoreApplication::exit(0);
}

void LazyMainWindow::ShowError(std::string_view message) {
  if (window_) {
    window_->ShowError(message);
    return;
  }
  // The program's icon is drawn only here and in the window: it takes Qt's fonts, which
  // nothing at start-up needs.
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Tsukio"), Text(message));
  box.setWindowIcon(QIcon(QPixmap::fromImage(AppIcon(64))));
  box.exec();
}

void LazyMainWindow::OpenUrl(std::string_view address) {
  QDesktopServices::openUrl(QUrl(Text(address)));
}

// The screen's, as the window reports it, without building the window to ask.
int LazyMainWindow::DisplayDpi() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
}

}  // namespace tsukio
