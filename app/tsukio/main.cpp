// tsukio: the tray calendar. Reads no command line.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <thread>

#include "app/core/tray_calendar.h"
#include "app/core/window_input.h"
#include "platform/freetype/freetype_text_painter.h"
#include "platform/posix/autostart_file.h"
#include "platform/posix/clock_setting.h"
#include "platform/posix/loaded_http_client.h"
#include "platform/posix/settings_file.h"
#include "platform/posix/single_instance.h"
#include "platform/posix/system_clock.h"
#include "platform/posix/udp_network.h"
#include "platform/qt/font_substitutions.h"
#include "platform/qt/qt_clock_change.h"
#include "platform/qt/qt_lazy_main_window.h"
#include "platform/qt/qt_resume.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_tray_host.h"
#include "platform/qt/qt_worker.h"
#include "resources/resources.h"
#include "tray/glyphs.h"

namespace {

constexpr std::chrono::seconds kFontCheckDelay{2};
// The remembered fonts are a few lines; a larger file is not ours and is not read.
constexpr std::size_t kLargestFontMemory = std::size_t{64} << 10;

void BuildMenu(QMenu& menu, tsukio::TrayCalendar& calendar) {
  for (const tsukio::MenuItem& item : tsukio::TrayCalendar::Menu()) {
    if (item.command == nullptr) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(
        QString::fromUtf8(item.caption.data(), static_cast<qsizetype>(item.caption.size())));
    action->setObjectName(
        QString::fromUtf8(item.name.data(), static_cast<qsizetype>(item.name.size())));
    const auto command = item.command;
    QObject::connect(action, &QAction::triggered, [&calendar, command] {
      calendar.Guarded([&calendar, command] { (calendar.*command)(); });
    });
  }
}

void ConnectCalendar(tsukio::QtCalendarView& view, tsukio::TrayCalendar& calendar) {
  const auto connect = [&calendar](QPushButton& button, void (tsukio::TrayCalendar::*handler)()) {
    QObject::connect(&button, &QPushButton::clicked, [&calendar, handler] {
      calendar.Guarded([&calendar, handler] { (calendar.*handler)(); });
    });
  };
  connect(view.NextYearButton(), &tsukio::TrayCalendar::ShowNextYear);
  connect(view.PreviousYearButton(), &tsukio::TrayCalendar::ShowPreviousYear);
  connect(view.NextMonthButton(), &tsukio::TrayCalendar::ShowNextMonth);
  connect(view.PreviousMonthButton(), &tsukio::TrayCalendar::ShowPreviousMonth);
}

}  // namespace

int main(int argc, char** argv) {
  const tsukio::SingleInstance instance(tsukio::InstanceName("Tsukio-150"));
  if (!instance.IsFirst()) return 1;
  // Finding and opening the fonts is the largest part of drawing the first row; it goes on
  // beside the connection to the display, which needs no fonts, and in the fonts of the last
  // run, which fontconfig would take longer to find again than all the rest.
  const std::string fontMemory = tsukio::CacheHome() + "/Quorv/Tsukio/fonts";
  const std::string rememberedFonts = tsukio::ReadWholeFile(fontMemory, kLargestFontMemory).text;
  tsukio::FreeTypeTextPainter painter;
  std::jthread fontPreparation([&painter, &rememberedFonts] {
    painter.Remember(rememberedFonts);
    painter.Prepare(tsukio::kDateFace, true);
    painter.Prepare(tsukio::kTextFace, true);
  });

  int qtArgc = argc > 0 ? 1 : 0;  // Qt sees the program's name and nothing else
  QApplication app(qtArgc, argv);
  QApplication::setApplicationName(QStringLiteral("Tsukio"));
  QApplication::setQuitOnLastWindowClosed(false);
  tsukio::RegisterFontSubstitutions();

  try {
    const tsukio::SystemClock clock;
    tsukio::QtTimer minuteTimer;
    tsukio::QtTimer autoUpdateTimer;
    tsukio::TrayCalendar* calendarRef = nullptr;
    tsukio::WindowInput input;
    tsukio::LazyMainWindow window(input, [&calendarRef](tsukio::QtMainWindow& built) {
      ConnectCalendar(built.Calendar(), *calendarRef);
    });
    QMenu menu;
    tsukio::QtTrayHost tray(menu, [&calendarRef](tsukio::TrayEvent event) {
      calendarRef->Guarded([&calendarRef, event] { calendarRef->OnTrayEvent(event); });
    });
    tsukio::PosixDatagramNetwork udp;
    tsukio::LoadedHttpClient http(tsukio::HttpModuleCandidates());
    tsukio::PosixTickCounter ticks;
    tsukio::PosixUtcClock utc;
    tsukio::PosixClockSetter setter;
    tsukio::SyncServices services{udp, http, ticks, utc, setter};
    tsukio::QtTimer syncStatusTimer;
    tsukio::QtWorker worker;
    tsukio::ClockSync sync{services, syncStatusTimer, worker};
    tsukio::SettingsFile settings(tsukio::SettingsFilePath(tsukio::ProgramName()));
    tsukio::AutostartFile autostart(
        tsukio::AutostartFilePath(),
        tsukio::AutostartEntry(tsukio::resources::DesktopEntry(), tsukio::ExecutablePath()));
    tsukio::Desktop desktop{clock,    tray,      minuteTimer, autoUpdateTimer, painter, window,
                            settings, autostart, &sync};
    tsukio::TrayCalendar calendar(desktop);
    calendarRef = &calendar;
    input.Attach(calendar);
    BuildMenu(menu, calendar);
    fontPreparation.join();
    calendar.Start();

    // Fontconfig has the last word on the fonts, once the row is out.
    QTimer::singleShot(kFontCheckDelay, [&] {
      if (painter.Confirm()) calendar.Guarded([&calendar] { calendar.RefreshTrayIcons(); });
      if (const std::string fonts = painter.ChoicesText(); fonts != rememberedFonts) {
        tsukio::MakeParentFolders(fontMemory);
        tsukio::ReplaceFileAtomically(fontMemory, fonts);
      }
    });
    const tsukio::ResumeWatcher resume(
        [&calendar] { calendar.Guarded([&calendar] { calendar.ResumeFromStandby(); }); });
    const tsukio::ClockChangeWatcher clockChanges(
        [&calendar] { calendar.Guarded([&calendar] { calendar.OnWallClockChanged(); }); });
    const int code = QApplication::exec();
    // A server or a permission prompt may still hold the clock setting: the icons are gone
    // and the settings saved, so the program ends without waiting for it.
    if (worker.Busy()) {
      std::fflush(nullptr);
      std::_Exit(code);
    }
    return code;
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, QStringLiteral("Tsukio"), QString::fromUtf8(e.what()));
    return 0;
  }
}
