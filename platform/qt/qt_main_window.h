#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>

#include "platform/image.h"
#include "platform/main_window_view.h"
#include "platform/qt/qt_calendar_view.h"

namespace tsukio {

// The main window: a fixed 250 × 289 dialog, always on top, centred, with no title-bar
// buttons and no taskbar entry. It draws the model it is given and reports the close button.
class QtMainWindow final : public QWidget, public MainWindowView {
 public:
  explicit QtMainWindow(std::function<void()> closeClicked);

  void Render(const MainWindowModel& model) override;
  void Close() override;
  void ShowError(std::string_view message) override;
  int DisplayDpi() const override;

  // The client area as it looks showing `model`, for pictures of the window.
  Image Picture(const MainWindowModel& model);

  QPushButton& CloseButton() { return close_; }
  QtCalendarView& Calendar() { return calendar_; }
  const QLabel& ViewPlaceholder() const { return placeholder_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::function<void()> closeClicked_;
  QtCalendarView calendar_;
  QLabel placeholder_;
  QPushButton close_;
};

}  // namespace tsukio
