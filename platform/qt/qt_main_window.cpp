#include "platform/qt/qt_main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <cmath>

#include "platform/qt/qt_text_painter.h"

namespace tsukio {

namespace {
constexpr int kClientWidth = 250;
constexpr int kClientHeight = 289;
}  // namespace

QtMainWindow::QtMainWindow(std::function<void()> closeClicked)
    : QWidget(nullptr,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      closeClicked_(std::move(closeClicked)),
      calendar_(this),
      placeholder_(this),
      close_(QStringLiteral("とじる"), this) {
  RegisterFontSubstitutions();
  setFixedSize(kClientWidth, kClientHeight);
  QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
  font.setPixelSize(12);
  setFont(font);
  calendar_.setGeometry(0, 0, kClientWidth, kClientHeight);
  placeholder_.setGeometry(8, 8, kClientWidth - 16, 208);
  placeholder_.setAlignment(Qt::AlignCenter);
  close_.setGeometry(40, 224, 169, 33);
  close_.setDefault(true);
  close_.setAutoDefault(true);
  QObject::connect(&close_, &QPushButton::clicked, [this] { closeClicked_(); });
}

void QtMainWindow::Render(const MainWindowModel& model) {
  setWindowTitle(QString::fromStdString(model.caption));
  calendar_.Render(model.calendar);
  calendar_.setVisible(model.view == View::kCalendar);
  placeholder_.setVisible(model.view != View::kCalendar);
  // The other views are still to be built: for now the window says which one it is.
  switch (model.view) {
    case View::kCalendar:
      break;
    case View::kAbout:
      placeholder_.setText(QStringLiteral("Tsukio"));
      break;
    case View::kOptions:
      placeholder_.setText(QStringLiteral("設定"));
      break;
  }
  if (!model.visible) {
    hide();
    return;
  }
  if (isVisible()) return;  // a step of the calendar redraws where the user has put the window
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
  }
  show();
  raise();
  activateWindow();
  close_.setFocus();
}

Image QtMainWindow::Picture(const MainWindowModel& model) {
  // Drawn without being shown: a picture needs no window on a screen.
  MainWindowModel unseen = model;
  unseen.visible = false;
  Render(unseen);
  const QImage shot = grab().toImage().convertToFormat(QImage::Format_ARGB32);
  Image picture(shot.width(), shot.height());
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) picture.at(x, y) = shot.pixel(x, y);
  }
  return picture;
}

void QtMainWindow::Close() {
  QCoreApplication::exit(0);
}

void QtMainWindow::ShowError(std::string_view message) {
  QMessageBox::critical(nullptr, QStringLiteral("Tsukio"),
                        QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
}

int QtMainWindow::DisplayDpi() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
}

// The window manager's close hides the window, as "とじる" does; the program goes on.
void QtMainWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  closeClicked_();
}

void QtMainWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    closeClicked_();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace tsukio
