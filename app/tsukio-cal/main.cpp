#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <memory>

#include "app/tsukio-cal/cal_cli.h"
#include "platform/posix/system_clock.h"
#include "platform/qt/qt_image_files.h"
#include "platform/qt/qt_text_painter.h"

namespace {

// Qt starts only for a command that draws, so the text commands stay quick.
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
    tsukio::EnsureOffscreenGuiApplication();
    painter_ = std::make_unique<tsukio::QtTextPainter>();
  }
  std::unique_ptr<tsukio::QtTextPainter> painter_;
  tsukio::QtImageFiles files_;
};

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const tsukio::SystemClock clock;
  QtIconTools icons;
  const char* noColour = std::getenv("NO_COLOR");
  const tsukio::CalEnvironment env{
      clock, isatty(STDOUT_FILENO) == 1 && (noColour == nullptr || *noColour == '\0'), &icons};
  const int code = tsukio::RunCal(args, std::cout, std::cerr, env);
  std::cout.flush();
  return code;
}
