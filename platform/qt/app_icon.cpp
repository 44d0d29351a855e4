#include "platform/qt/app_icon.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace tsukio {

QImage AppIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  const QRectF page(s * 0.08, s * 0.10, s * 0.84, s * 0.82);
  const qreal radius = s * 0.08;

  // A soft shadow, the white page, then the orange binding strip across its top.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 60));
  painter.drawRoundedRect(page.translated(s * 0.02, s * 0.03), radius, radius);
  QPainterPath sheet;
  sheet.addRoundedRect(page, radius, radius);
  painter.fillPath(sheet, Qt::white);
  painter.save();
  painter.setClipPath(sheet);
  painter.fillRect(QRectF(page.left(), page.top(), page.width(), page.height() * 0.24),
                   QColor(0xFF, 0xAC, 0x36));
  painter.fillRect(QRectF(page.left(), page.top() + page.height() * 0.24, page.width(), s * 0.02),
                   QColor(0xFF, 0x75, 0x00));
  painter.restore();
  painter.setPen(QPen(QColor(0x66, 0x66, 0x33), qMax(1.0, s / 32)));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(page, radius, radius);

  // The two rings that hold the page, and the day.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x33, 0xCC, 0x33));
  for (qreal x : {0.32, 0.68}) {
    painter.drawEllipse(QPointF(s * x, page.top() + page.height() * 0.12), s * 0.05, s * 0.05);
  }
  QFont font(QStringLiteral("Liberation Sans"));
  font.setBold(true);
  font.setPixelSize(qMax(6, static_cast<int>(s * 0.56)));
  painter.setFont(font);
  painter.setPen(QColor(0xE0, 0x10, 0x10));
  painter.drawText(
      QRectF(page.left(), page.top() + page.height() * 0.26, page.width(), page.height() * 0.74),
      Qt::AlignCenter, QStringLiteral("1"));
  return image;
}

}  // namespace tsukio
