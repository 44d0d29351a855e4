#pragma once

#include "platform/text_painter.h"

namespace tsukio {

// Draws glyph text with GDI into a bitmap of the canvas's size: the face as asked, or where
// it is missing or stood in for, the faces that draw its kana, kanji and digits (FacesFor);
// the pixel height from the point size and resolution, and no antialiasing, so every pixel
// is the text colour or what lay beneath.
class GdiTextPainter final : public TextPainter {
 public:
  void Draw(Canvas& canvas, const TextRun& run) override;
};

}  // namespace tsukio
