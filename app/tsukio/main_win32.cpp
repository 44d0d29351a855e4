// tsukio for Windows: the tray calendar. Reads no command line.
#include <windows.h>

#include <exception>

#include "app/core/tray_calendar.h"
#include "app/core/window_input.h"
#include "platform/win32/gdi_text_painter.h"
#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_settings.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_tray.h"

int main() {
  const tsukio::Win32SingleInstance instance("Local\\Tsukio-150");
  if (!instance.IsFirst()) return 1;

  try {
    tsukio::TrayCalendar* calendarRef = nullptr;
    const auto guarded = [&calendarRef](void (tsukio::TrayCalendar::*handler)()) {
      return [&calendarRef, handler] {
        if (calendarRef != nullptr) calendarRef->Guarded([&] { (calendarRef->*handler)(); });
      };
    };

    tsukio::Win32MessageWindow messages;
    const tsukio::Win32Clock clock;
    tsukio::Win32Timer minuteTimer(messages);
    tsukio::Win32Timer autoUpdateTimer(messages);
    tsukio::GdiTextPainter painter;
    tsukio::WindowInput input;
    tsukio::Win32MainWindow window(
        input, {guarded(&tsukio::TrayCalendar::ShowNextYear),
                guarded(&tsukio::TrayCalendar::ShowPreviousYear),
                guarded(&tsukio::TrayCalendar::ShowNextMonth),
                guarded(&tsukio::TrayCalendar::ShowPreviousMonth)});
    std::vector<tsukio::Win32MenuEntry> menu;
    for (const tsukio::MenuItem& item : tsukio::TrayCalendar::Menu()) {
      menu.push_back({item.command == nullptr ? std::string() : std::string(item.caption),
                      item.command == nullptr ? std::function<void()>() : guarded(item.command)});
    }
    tsukio::Win32TrayHost tray(messages, std::move(menu), [&calendarRef](tsukio::TrayEvent event) {
      if (calendarRef != nullptr) calendarRef->Guarded([&] { calendarRef->OnTrayEvent(event); });
    });
    tsukio::Win32DatagramNetwork udp;
    tsukio::WinInetHttpClient http;
    tsukio::Win32TickCounter ticks;
    tsukio::Win32UtcClock utc;
    tsukio::Win32ClockSetter setter;
    tsukio::SyncServices services{udp, http, ticks, utc, setter};
    tsukio::Win32Timer syncStatusTimer(messages);
    tsukio::Win32Worker worker(messages);
    tsukio::ClockSync sync{services, syncStatusTimer, worker};
    tsukio::Win32SettingsFile settings(tsukio::SettingsFilePath(tsukio::ProgramName()));
    tsukio::Win32Autostart autostart(tsukio::ExecutablePath());
    tsukio::Desktop desktop{clock,  tray,     minuteTimer, autoUpdateTimer, painter,
                            window, settings, autostart,   &sync};
    tsukio::TrayCalendar calendar(desktop);
    calendarRef = &calendar;
    input.Attach(calendar);
    messages.onResume = guarded(&tsukio::TrayCalendar::ResumeFromStandby);
    messages.onCloseRequest = guarded(&tsukio::TrayCalendar::Exit);
    messages.onTimeChange = guarded(&tsukio::TrayCalendar::OnWallClockChanged);

    calendar.Start();
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (window.TakeDialogMessage(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    calendarRef = nullptr;
    // A server or a permission prompt may still hold the clock setting: the icons are gone
    // and the settings saved, so the program ends without waiting for it.
    if (worker.Busy()) {
      tray.Flush();
      ExitProcess(static_cast<UINT>(message.wParam));
    }
    return static_cast<int>(message.wParam);
  } catch (const std::exception& e) {
    MessageBoxW(nullptr, tsukio::Widen(e.what()).c_str(), L"Tsukio", MB_OK | MB_ICONERROR);
    return 0;
  }
}
