#pragma once

#include <functional>
#include <memory>

#include "platform/main_window_view.h"
#include "platform/qt/qt_main_window.h"

namespace tsukio {

// The main window, built the first time it is shown: a tray calendar that is never opened
// carries none of its widgets. Until then a render of the hidden window has nothing to do,
// since the next render brings the whole model.
class LazyMainWindow final : public MainWindowView {
 public:
  // `built` runs once, right after the window is made, to connect its buttons.
  LazyMainWindow(MainWindowInput& input, std::function<void(QtMainWindow&)> built);

  void Render(const MainWindowModel& model) override;
  void Close() override;
  void ShowError(std::string_view message) override;
  void OpenUrl(std::string_view address) override;
  int DisplayDpi() const override;

  QtMainWindow* Built() { return window_.get(); }

 private:
  MainWindowInput& input_;
  std::function<void(QtMainWindow&)> built_;
  std::unique_ptr<QtMainWindow> window_;
};

}  // namespace tsukio
