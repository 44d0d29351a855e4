#pragma once

#include <vector>

#include "platform/text_painter.h"

namespace tsukio::testing {

// Records what it is asked to draw on the 16-pixel pictures (the larger ones repeat them),
// and draws nothing.
class RecordingPainter final : public TextPainter {
 public:
  void Draw(Canvas& canvas, const TextRun& run) override {
    if (canvas.size == 16) runs.push_back(run);
  }
  std::vector<TextRun> runs;
};

}  // namespace tsukio::testing
