#include <benchmark/benchmark.h>

#include "platform/qt/qt_image_files.h"

int main(int argc, char** argv) {
  tsukio::EnsureOffscreenGuiApplication();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
