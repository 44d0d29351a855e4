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

void QtTextPainter::Draw(Canvas16& canvas, const TextRun& run) {
  constexpr int size = Canvas16::kSize;
  QImage image(size, size, QImage::Format_RGB32);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) image.setPixel(x, y, 0xFF000000u | canvas.at(x, y));
  }

  QFont font(QString::fromStdString(run.face));
  font.setPixelSize(PixelHeight(run.pointSize, run.dpi));
  font.setBold(run.bold);
  font.setStyleStrategy(antialias_ ? QFont::PreferAntialias : QFont::NoAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  const QString text = QString::fromStdString(run.text);
  const QFontMetrics metrics(font, &image);
  {
    QPainter painter(&image);
    painter.setFont(font);
    painter.fillRect(run.x, run.y, metrics.horizontalAdvance(text), metrics.height(), Qt::white);
    painter.setPen(QColor(run.colour.Red(), run.colour.Green(), run.colour.Blue()));
    painter.drawText(run.x, run.y + metrics.ascent(), text);
  }

  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) canvas.at(x, y) = image.pixel(x, y) & 0xFFFFFFu;
  }
}

}  // namespace tsukio
