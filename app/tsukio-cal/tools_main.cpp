// tsukio-cal's commands that draw or ask a time server: Qt and libcurl are loaded only by
// this program, which tsukio-cal runs for them, so the text commands start like any
// terminal tool.
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "app/tsukio-cal/cal_cli.h"
#include "platform/curl/curl_http_client.h"
#include "platform/null_window_input.h"
#include "platform/posix/clock_setting.h"
#include "platform/posix/system_clock.h"
#include "platform/posix/udp_network.h"
#include "platform/qt/qt_image_files.h"
#include "platform/qt/qt_main_window.h"
#include "platform/freetype/freetype_text_painter.h"
#include "platform/qt/font_substitutions.h"

namespace {

// Qt starts only for a command that draws, so the text commands stay quick. It always draws
// offscreen: the pictures must not depend on, or need, a display. Widgets need the full
// application object, so that is the one made.
void StartQt() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "tsukio-cal";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static const std::unique_ptr<QApplication> app = std::make_unique<QApplication>(argc, argv);
  tsukio::RegisterFontSubstitutions();
}

class QtIconTools final : public tsukio::IconTools {
 public:
  tsukio::TextPainter& Painter() override {
    Start();
    return *painter_;
  }
  tsukio::ImageFiles& Files() override {
    Start();
    return files_;
  }

 private:
  void Start() {
    if (painter_) return;
    StartQt();
    painter_ = std::make_unique<tsukio::FreeTypeTextPainter>();
  }
  std::unique_ptr<tsukio::FreeTypeTextPainter> painter_;
  tsukio::QtImageFiles files_;
};

class QtWindowPictures final : public tsukio::WindowPictures {
 public:
  tsukio::Image ClientArea(const tsukio::MainWindowModel& model) override {
    if (!window_) {
      StartQt();
      window_ = std::make_unique<tsukio::QtMainWindow>(input_);
    }
    return window_->Picture(model);
  }
  tsukio::ImageFiles& Files() override { return files_; }

 private:
  tsukio::NullWindowInput input_;
  std::unique_ptr<tsukio::QtMainWindow> window_;
  tsukio::QtImageFiles files_;
};

// The network and the clocks, made for the one command that asks a time server.
class PosixSyncTools final : public tsukio::SyncTools {
 public:
  tsukio::SyncServices& Services() override {
    if (!parts_) parts_ = std::make_unique<Parts>();
    return parts_->services;
  }

 private:
  struct Parts {
    tsukio::PosixDatagramNetwork udp;
    tsukio::CurlHttpClient http;
    tsukio::PosixTickCounter ticks;
    tsukio::PosixUtcClock clock;
    tsukio::PosixClockSetter setter;
    tsukio::SyncServices services{udp, http, ticks, clock, setter};
  };
  std::unique_ptr<Parts> parts_;
};

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const tsukio::SystemClock clock;
  QtIconTools icons;
  QtWindowPictures window;
  PosixSyncTools sync;
  const char* noColour = std::getenv("NO_COLOR");
  const tsukio::CalEnvironment env{
      clock, isatty(STDOUT_FILENO) == 1 && (noColour == nullptr || *noColour == '\0'), &icons,
      &window, &sync};
  const int code = tsukio::RunCal(args, std::cout, std::cerr, env);
  std::cout.flush();
  return code;
}
