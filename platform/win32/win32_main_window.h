#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <vector>

#include "platform/image.h"
#include "platform/main_window_view.h"

namespace tsukio {

// The calendar view's four step buttons; the program's handlers, not the window's.
struct CalendarSteps {
  std::function<void()> nextYear, previousYear, nextMonth, previousMonth;
};

// The main window: a fixed 250 × 289 client area (at 96 dpi, scaled with the monitor), always
// on top, centred, with no title-bar buttons and no taskbar entry. Standard controls for the
// options and about views; the calendar's cells are drawn here. It draws the model it is
// given and reports what the user does; it decides nothing itself.
class Win32MainWindow final : public MainWindowView {
 public:
  Win32MainWindow(MainWindowInput& input, CalendarSteps steps = {});
  ~Win32MainWindow() override;
  Win32MainWindow(const Win32MainWindow&) = delete;
  Win32MainWindow& operator=(const Win32MainWindow&) = delete;

  void Render(const MainWindowModel& model) override;
  void Close() override;
  void ShowError(std::string_view message) override;
  void OpenUrl(std::string_view address) override;
  int DisplayDpi() const override;

  // The client area as it looks showing `model`, for pictures of the window.
  Image Picture(const MainWindowModel& model);

  HWND Handle() const { return window_; }
  // Hands a message to the window's keyboard handling (Tab, Enter, Esc); true when taken.
  bool TakeDialogMessage(MSG& message);

 private:
  struct Control {
    HWND handle;
    RECT at;  // at 96 dpi, in the client area
    int font;
  };
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  HWND Add(const wchar_t* type, const std::string& text, DWORD style, int id, RECT at, int font);
  void Build();
  void Layout();
  void MakeFonts();
  void Command(int id, int code);
  void PaintCalendar(HDC dc);
  int Scale(int value) const { return MulDiv(value, dpi_, 96); }
  RECT Scale(RECT r) const { return RECT{Scale(r.left), Scale(r.top), Scale(r.right), Scale(r.bottom)}; }

  MainWindowInput& input_;
  CalendarSteps steps_;
  HWND window_ = nullptr;
  HWND tooltip_ = nullptr;
  int dpi_ = 96;
  bool rendering_ = false;
  MainWindowModel model_;
  std::vector<Control> controls_;
  std::map<int, HWND> byId_;
  std::vector<HFONT> fonts_;
  HBRUSH white_ = nullptr;
  HICON icon_ = nullptr;
  std::vector<int> calendarIds_, aboutIds_, optionIds_, pageIds_[3];
};

}  // namespace tsukio
