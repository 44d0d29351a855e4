#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/text_painter.h"

namespace tsukio {

// Paints the tray's text with FreeType in the fonts fontconfig finds for the faces the
// program asks for, substituted as font_substitutes.h says; a character none of them has
// comes from whatever font fontconfig finds for it, and a regular face asked for bold is
// emboldened. Antialiased in grey whatever the desktop's sub-pixel setting, with full
// hinting: at 12 pixels the plain rasteriser breaks the strokes of "ok", "sv" and "pc",
// while hinted antialiasing keeps stems on whole pixels. Line metrics are the font's
// Windows ones, as GDI draws the same pictures on Windows.
//
// It needs no display, so the fonts can be found and opened on another thread while the
// program connects to the desktop: Prepare there, and join that thread before drawing.
// Fontconfig takes longer to start than all the rest of drawing the first row, so a program
// may keep the fonts chosen between runs: Remember what ChoicesText said last time, draw
// with it, and Confirm with fontconfig once the pictures are out.
class FreeTypeTextPainter final : public TextPainter {
 public:
  FreeTypeTextPainter();
  ~FreeTypeTextPainter() override;
  FreeTypeTextPainter(const FreeTypeTextPainter&) = delete;
  FreeTypeTextPainter& operator=(const FreeTypeTextPainter&) = delete;

  // Finds and opens the fonts `face` is drawn in, which Draw would do when first asked.
  void Prepare(std::string_view face, bool bold);
  void Draw(Canvas& canvas, const TextRun& run) override;

  // The fonts chosen so far, one line each: face, 1 for bold, file, index in the file.
  std::string ChoicesText() const;
  // Takes the fonts of a ChoicesText for the faces it names, so that they are drawn without
  // asking fontconfig. A face with a file that no longer opens is left to fontconfig;
  // lines that do not read as choices are passed over.
  void Remember(std::string_view choices);
  // Asks fontconfig about each face taken from memory, and draws from then on in what it
  // answers. True when an answer differs: what was drawn from memory is out of date.
  bool Confirm();

 private:
  struct Fonts;
  std::unique_ptr<Fonts> fonts_;
};

}  // namespace tsukio
