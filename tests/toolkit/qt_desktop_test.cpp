// The Qt desktop: tray icons, the menu's wiring, timers and the main window, offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QThread>
#include <filesystem>

#include "app/core/tray_calendar.h"
#include "app/core/window_input.h"
#include "calwindow/month_grid.h"
#include "platform/freetype/freetype_text_painter.h"
#include "platform/null_window_input.h"
#include "platform/posix/autostart_file.h"
#include "platform/posix/settings_file.h"
#include "platform/qt/qt_lazy_main_window.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_tray_host.h"
#include "tests/support/fake_clock.h"

namespace tsukio {
namespace {

void Wait(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
}

// Counts the closes the window reports; ignores everything else.
class CloseCounter final : public NullWindowInput {
 public:
  void CloseClicked() override { ++closes; }
  int closes = 0;
};

TEST(QtTimer, TicksOnceAndAStartReplacesThePendingTick) {
  QtTimer timer;
  int ticks = 0;
  timer.OnTick([&] { ++ticks; });
  timer.Start(5000);
  timer.Start(100);  // aimed again: only the new moment counts
  EXPECT_TRUE(timer.Pending());
  for (int i = 0; i < 100 && ticks == 0; ++i) Wait(50);
  Wait(200);
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(timer.Pending());  // one tick, then quiet
  timer.Start(100);
  timer.Stop();
  Wait(300);
  EXPECT_EQ(ticks, 1);
}

TEST(LazyMainWindow, BuiltTheFirstTimeItIsShown) {
  CloseCounter input;
  int builds = 0;
  LazyMainWindow window(input, [&](QtMainWindow&) { ++builds; });
  EXPECT_GT(window.DisplayDpi(), 0);
  MainWindowModel model;
  window.Render(model);  // hidden: nothing to build
  EXPECT_EQ(window.Built(), nullptr);
  model.visible = true;
  model.view = View::kCalendar;
  window.Render(model);
  ASSERT_NE(window.Built(), nullptr);
  EXPECT_TRUE(window.Built()->isVisible());
  model.visible = false;
  window.Render(model);
  EXPECT_FALSE(window.Built()->isVisible());
  EXPECT_EQ(builds, 1);
}

TEST(QtMainWindow, FixedAlwaysOnTopDialogShowingTheModel) {
  CloseCounter input;
  QtMainWindow window(input);
  window.Render({true, "設定", View::kOptions, {}, EmptyMonthGrid()});
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle().toStdString(), "設定");
  EXPECT_EQ(window.size(), QSize(250, 289));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(window.windowFlags() & Qt::Tool);  // no taskbar entry
  EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(window.CloseButton().text().toStdString(), "とじる");
  EXPECT_EQ(window.CloseButton().geometry(), QRect(40, 224, 169, 33));

  window.CloseButton().click();
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&window, &escape);
  QCloseEvent close;
  QApplication::sendEvent(&window, &close);
  EXPECT_FALSE(close.isAccepted());  // the window manager's close only hides, as とじる does
  EXPECT_EQ(input.closes, 3);

  window.Render({false, "設定", View::kOptions, {}, EmptyMonthGrid()});
  EXPECT_FALSE(window.isVisible());

  // Shown, it opens centred; drawn again while shown, as paging does, it stays where it was put.
  window.Render({true, "2011年5月10日(火)  第19週", View::kCalendar, {}, EmptyMonthGrid()});
  const QPoint centred = window.pos();
  window.move(centred + QPoint(30, 20));
  window.Render({true, "2011年5月10日(火)  第19週", View::kCalendar, {}, EmptyMonthGrid()});
  EXPECT_EQ(window.pos(), centred + QPoint(30, 20));
  window.Render({false, "", View::kCalendar, {}, EmptyMonthGrid()});
  window.Render({true, "2011年5月10日(火)  第19週", View::kCalendar, {}, EmptyMonthGrid()});
  EXPECT_EQ(window.pos(), centred);
}

// 10 May 2011 is cell 16 (row 2, Tuesday); 3 May, 憲法記念日, cell 9.
TEST(QtCalendarView, CellsShowTheGrid) {
  NullWindowInput input;
  QtMainWindow window(input);
  MainWindowModel model;
  model.calendar = BuildMonthGrid(std::chrono::year{2011} / 5, std::chrono::year{2011} / 5 / 10,
                                  WeekScheme::kIso, {true, true});
  const Image picture = window.Picture(model);
  ASSERT_EQ(picture.width, 250);
  ASSERT_EQ(picture.height, 289);
  const QtCalendarView& view = window.Calendar();
  EXPECT_EQ(view.Cell(0).geometry(), QRect(40, 8, 25, 25));
  EXPECT_EQ(view.Cell(48).geometry(), QRect(184, 152, 25, 25));
  EXPECT_EQ(view.Cell(54).geometry(), QRect(212, 152, 25, 25));

  EXPECT_EQ(view.Cell(9).text().toStdString(), "3");
  EXPECT_EQ(view.Cell(9).toolTip().toStdString(), "憲法記念日  第18週　仏滅　旧4月1日　戊午");
  EXPECT_EQ(view.Cell(38).text().toStdString(), "1");  // June's, without a hint
  EXPECT_TRUE(view.Cell(38).toolTip().isEmpty());
  EXPECT_EQ(view.YearLabel().text().toStdString(), "2011");
  EXPECT_LE(QFontMetrics(view.YearLabel().font()).horizontalAdvance(view.YearLabel().text()),
            view.YearLabel().width());  // the substituted digits are wider: they must still fit

  // Backgrounds drawn: today aqua, another day white, the week column lavender, the header
  // in the window's face; and 3 May's number in magenta.
  const auto at = [&](int x, int y) { return picture.at(x, y) & 0xFFFFFFu; };
  EXPECT_EQ(at(89, 57), 0x00FFFFu);
  EXPECT_EQ(at(113, 57), 0xFFFFFFu);
  EXPECT_EQ(at(224, 60), 0xAFAFBFu);
  EXPECT_EQ(at(52, 10), window.palette().color(QPalette::Button).rgb() & 0xFFFFFFu);
  bool magenta = false;
  for (int y = 32; y < 57; ++y) {
    for (int x = 88; x < 113; ++x) magenta = magenta || at(x, y) == 0xFF00FFu;
  }
  EXPECT_TRUE(magenta);

  model.calendar = BuildMonthGrid(std::chrono::year{2011} / 5, std::chrono::year{2011} / 5 / 10,
                                  WeekScheme::kIso, {false, false});
  const Image without = window.Picture(model);
  EXPECT_TRUE(view.Cell(49).isHidden());
  EXPECT_EQ(without.at(224, 60) & 0xFFFFFFu, at(52, 0));  // the window's face shows through
  model.view = View::kAbout;
  window.Render(model);
  EXPECT_TRUE(view.isHidden());
}

TEST(QtDesktop, TheTrayCalendarOnTheQtTray) {
  const testing::FakeClock clock({std::chrono::year{2012} / 1 / 2, 9, 0, 0});
  QMenu menu;
  TrayCalendar* calendarRef = nullptr;
  QtTrayHost tray(menu, [&](TrayEvent e) { calendarRef->OnTrayEvent(e); });
  QtTimer minuteTimer;
  QtTimer autoUpdateTimer;
  FreeTypeTextPainter painter;
  WindowInput input;
  QtMainWindow window(input);
  const std::string folder = ::testing::TempDir() + "tsukio-qt-desktop";
  std::filesystem::remove_all(folder);
  SettingsFile settings(folder + "/Quorv/Tsukio/tsukio.ini");
  settings.MakeFolders();
  ASSERT_TRUE(settings.Write("[Pageleaf]\nMonth=1\n").ok);
  AutostartFile autostart(folder + "/autostart/tsukio.desktop", "");
  Desktop desktop{clock, tray, minuteTimer, autoUpdateTimer, painter, window, settings, autostart};
  TrayCalendar calendar(desktop);
  calendarRef = &calendar;
  input.Attach(calendar);
  calendar.Start();
  EXPECT_EQ(tray.Ids(), (std::vector<int>{100, 110}));
  EXPECT_EQ(tray.Tooltip(110), "2012年1月2日(月) -振替休日-  第1週");
  EXPECT_TRUE(minuteTimer.Pending());

  calendar.OnTrayEvent(TrayEvent::kLeftButtonDown);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle().toStdString(), tray.Tooltip(110));
  EXPECT_TRUE(window.Calendar().isVisible());
  EXPECT_EQ(window.Calendar().Cell(8).palette().color(QPalette::Window), QColor(0, 255, 255));
  window.CloseButton().click();
  EXPECT_FALSE(window.isVisible());

  calendar.PrepareToQuit();
  EXPECT_TRUE(tray.Ids().empty());
}

}  // namespace
}  // namespace tsukio
