#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QWidget>

#include "platform/image.h"
#include "platform/main_window_view.h"
#include "platform/qt/qt_calendar_view.h"

namespace tsukio {

// The main window: a fixed 250 × 289 dialog, always on top, centred, with no title-bar
// buttons and no taskbar entry. It draws the model it is given and reports what the user
// does; it decides nothing itself.
class QtMainWindow final : public QWidget, public MainWindowView {
 public:
  explicit QtMainWindow(MainWindowInput& input);

  void Render(const MainWindowModel& model) override;
  void Close() override;
  void ShowError(std::string_view message) override;
  void OpenUrl(std::string_view address) override;
  int DisplayDpi() const override;

  // The client area as it looks showing `model`, for pictures of the window.
  Image Picture(const MainWindowModel& model);

  // The widgets, for tests and screenshots.
  QPushButton& CloseButton() { return *close_; }
  QtCalendarView& Calendar() { return *calendar_; }
  QGroupBox& OptionsGroup() { return *optionsGroup_; }
  QGroupBox& AboutGroup() { return *gbox_; }
  QCheckBox& Box(OptionBox box);
  QTabWidget& Tabs() { return *tabs_; }
  QRadioButton& WeekRule(int index) { return index == 0 ? *isoChoice_ : *usaChoice_; }
  QRadioButton& TimeMethod(bool http) { return http ? *httpChoice_ : *ntpChoice_; }
  QLineEdit& Server(ServerField field);
  QLabel& AutoSeconds() { return *autoUpdateField_; }
  QToolButton& AutoArrow(bool up) { return up ? *autoUp_ : *autoDown_; }
  QPushButton& OkButton() { return *ok_; }
  QPushButton& CancelButton() { return *cancel_; }
  QLabel& Link() { return *link_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildOptions();
  void BuildAbout();

  MainWindowInput& input_;
  bool optionsShown_ = false;
  QtCalendarView* calendar_;
  QPushButton* close_;

  QGroupBox* optionsGroup_;
  QTabWidget* tabs_;
  QCheckBox *showMonth_, *showWeekday_, *showClock_, *showWeekNumber_, *twelveHour_, *showAlmanac_,
      *showMoon_, *autoUpdate_, *setClock_, *startAtLogin_;
  QGroupBox* weekRule_;
  QRadioButton *isoChoice_, *usaChoice_, *ntpChoice_, *httpChoice_;
  QLabel *autoUpdateLabel_, *autoUpdateField_, *timeMethodLabel_, *ntpLabel_, *httpLabel_,
      *proxyLabel_;
  QToolButton *autoUp_, *autoDown_;
  QLineEdit *ntpServerField_, *httpServerField_, *proxyServerField_;
  QPushButton *ok_, *cancel_;

  QGroupBox* gbox_;
  QLabel* link_;
};

}  // namespace tsukio
