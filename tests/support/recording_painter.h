#pragma once

#include <vector>

#include "platform/text_painter.h"

namespace tsukio::testing {

// Records what it is asked to draw, and draws nothing.
class RecordingPainter final : public TextPainter {
 public:
  void Draw(Canvas16&, const TextRun& run) override { runs.push_back(run); }
  std::vector<TextRun> runs;
};

}  // namespace tsukio::testing
