#pragma once

#include "platform/text_painter.h"

namespace tsukio {

// Draws glyph text with GDI into a 16 × 16 bitmap: the face as asked (Windows maps a face it
// lacks itself), the pixel height from the point size and resolution, and no antialiasing,
// so every pixel is the text colour or what lay beneath.
class GdiTextPainter final : public TextPainter {
 public:
  void Draw(Canvas16& canvas, const TextRun& run) override;
};

}  // namespace tsukio
