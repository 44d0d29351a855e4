#include "platform/qt/qt_text_painter.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace tsukio {

void RegisterFontSubstitutions() {
  // The date glyphs place two digits 5 pixels apart on a 15-pixel font: that wants narrow
  // digits, which Liberation Sans has and IPAPGothic has not; kana and kanji then come
  // from IPAPGothic, the next face in the list.
  QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("IPAPGothic")});
  QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
}

QtTextPainter::QtTextPainter(bool antialias) : antialias_(antialias) {
  RegisterFontSubstitutions();
}

const QFont& QtTextPainter::Font(const TextRun& run) {
  const int pixels = PixelHeight(run.pointSize, run.dpi);
  for (const CachedFont& cached : fonts_) {
    if (cached.face == run.face && cached.pixels == pixels && cached.bold == run.bold) {
      return cached.font;
    }
  }
  QFont font(QString::fromStdString(run.face));
  font.setPixelSize(pixels);
  font.setBold(run.bold);
  font.setStyleStrategy(antialias_ ? QFont::PreferAntialias : QFont::NoAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  fonts_.push_back({run.face, pixels, run.bold, font});
  return fonts_.back().font;
}

// Paints straight into the canvas's own pixels: copying them in and out of a QImage pixel by
// pixel cost more than the drawing itself.
void QtTextPainter::Draw(Canvas& canvas, const TextRun& run) {
  for (std::uint32_t& pixel : canvas.rgb) pixel |= 0xFF000000u;
  QImage image(reinterpret_cast<uchar*>(canvas.rgb.data()), canvas.size, canvas.size,
               canvas.size * 4, QImage::Format_RGB32);
  const QFont& font = Font(run);
  const QString text = QString::fromStdString(run.text);
  const QFontMetrics metrics(font, &image);
  {
    QPainter painter(&image);
    painter.setFont(font);
    painter.fillRect(run.x, run.y, metrics.horizontalAdvance(text), metrics.height(), Qt::white);
    painter.setPen(QColor(run.colour.Red(), run.colour.Green(), run.colour.Blue()));
    painter.drawText(run.x, run.y + metrics.ascent(), text);
  }
  for (std::uint32_t& pixel : canvas.rgb) pixel &= 0xFFFFFFu;
}

}  // namespace tsukio
