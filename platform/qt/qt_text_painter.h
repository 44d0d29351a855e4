#pragma once

#include <QFont>
#include <string>
#include <vector>

#include "platform/text_painter.h"

namespace tsukio {

// Maps the faces the program asks for onto fonts a Debian desktop has, in Qt's own table,
// so it holds without any fontconfig alias. Safe to call more than once.
void RegisterFontSubstitutions();

// Paints text with QPainter. Needs a QGuiApplication (the offscreen platform will do).
// Antialiased with full hinting by default: at 12 pixels the plain rasteriser breaks the
// strokes of "ok", "sv" and "pc", while hinted antialiasing keeps stems on whole pixels.
class QtTextPainter final : public TextPainter {
 public:
  explicit QtTextPainter(bool antialias = true);
  void Draw(Canvas& canvas, const TextRun& run) override;

 private:
  struct CachedFont {
    std::string face;
    int pixels;
    bool bold;
    QFont font;
  };
  const QFont& Font(const TextRun& run);

  bool antialias_;
  std::vector<CachedFont> fonts_;  // a handful: two faces at the sizes in use
};

}  // namespace tsukio
