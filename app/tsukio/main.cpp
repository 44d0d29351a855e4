// tsukio: the tray calendar. Reads no command line.
#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <exception>

#include "app/core/form_input.h"
#include "app/core/main_form.h"
#include "platform/curl/curl_http_client.h"
#include "platform/posix/autostart_file.h"
#include "platform/posix/clock_setting.h"
#include "platform/posix/settings_file.h"
#include "platform/posix/single_instance.h"
#include "platform/posix/system_clock.h"
#include "platform/posix/udp_network.h"
#include "platform/qt/app_icon.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_resume.h"
#include "platform/qt/qt_text_painter.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_tray_host.h"
#include "resources/resources.h"

namespace {

void BuildMenu(QMenu& menu, tsukio::TForm1& form) {
  for (const tsukio::MenuItem& item : tsukio::TForm1::PopupMenu1()) {
    if (item.command == nullptr) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(
        QString::fromUtf8(item.caption.data(), static_cast<qsizetype>(item.caption.size())));
    action->setObjectName(
        QString::fromUtf8(item.name.data(), static_cast<qsizetype>(item.name.size())));
    const auto command = item.command;
    QObject::connect(action, &QAction::triggered,
                     [&form, command] { form.Guarded([&form, command] { (form.*command)(); }); });
  }
}

void ConnectCalendar(tsukio::QtCalendarView& view, tsukio::TForm1& form) {
  const auto connect = [&form](QPushButton& button, void (tsukio::TForm1::*handler)()) {
    QObject::connect(&button, &QPushButton::clicked,
                     [&form, handler] { form.Guarded([&form, handler] { (form.*handler)(); }); });
  };
  connect(view.BUy(), &tsukio::TForm1::BUyClick);
  connect(view.BDy(), &tsukio::TForm1::BDyClick);
  connect(view.BUm(), &tsukio::TForm1::BUmClick);
  connect(view.BDm(), &tsukio::TForm1::BDmClick);
}

}  // namespace

int main(int argc, char** argv) {
  const tsukio::SingleInstance instance("Tsukio-150");
  if (!instance.IsFirst()) return 1;

  int qtArgc = argc > 0 ? 1 : 0;  // Qt sees the program's name and nothing else
  QApplication app(qtArgc, argv);
  QApplication::setApplicationName(QStringLiteral("Tsukio"));
  QApplication::setQuitOnLastWindowClosed(false);
  tsukio::RegisterFontSubstitutions();

  try {
    const tsukio::SystemClock clock;
    tsukio::QtTimer times;
    tsukio::QtTextPainter painter;
    tsukio::TForm1* formRef = nullptr;
    tsukio::FormInput input;
    tsukio::QtMainWindow window(input);
    QMenu menu;
    tsukio::QtTrayHost tray(menu, [&formRef](tsukio::TrayEvent event) {
      formRef->Guarded([&formRef, event] { formRef->TrayNotify(event); });
    });
    tsukio::PosixDatagramNetwork udp;
    tsukio::CurlHttpClient http;
    tsukio::PosixTickCounter ticks;
    tsukio::PosixUtcClock utc;
    tsukio::PosixClockSetter setter;
    tsukio::SyncServices services{udp, http, ticks, utc, setter};
    tsukio::QtTimer ntpTimer;
    tsukio::ClockSync sync{services, ntpTimer};
    tsukio::SettingsFile settings(tsukio::SettingsFilePath(tsukio::ProgramName()));
    tsukio::AutostartFile autostart(
        tsukio::AutostartFilePath(),
        tsukio::AutostartEntry(tsukio::resources::DesktopEntry(), tsukio::ExecutablePath()));
    tsukio::Desktop desktop{clock, tray, times, painter, window, settings, autostart, &sync};
    tsukio::TForm1 form(desktop);
    formRef = &form;
    input.Attach(form);
    BuildMenu(menu, form);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(tsukio::AppIcon(64))));
    ConnectCalendar(window.Calendar(), form);
    const tsukio::ResumeWatcher resume(
        [&form] { form.Guarded([&form] { form.ResumeFromStandby(); }); });

    form.FormCreate();
    return QApplication::exec();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, QStringLiteral("Tsukio"), QString::fromUtf8(e.what()));
    return 0;
  }
}
