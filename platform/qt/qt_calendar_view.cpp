#include "platform/qt/qt_calendar_view.h"

#include <algorithm>

#include <QFont>
#include <QFontMetrics>
#include <QPalette>

namespace tsukio {

namespace {

const QString kFace = QStringLiteral("ＭＳ Ｐゴシック");

QFont Face(int pixels, bool bold) {
  QFont font(kFace);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QColor ToQColor(Colour colour) {
  return QColor(colour.Red(), colour.Green(), colour.Blue());
}

QString ToQString(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void Place(QWidget& widget, QWidget* parent, int left, int top, int width, int height) {
  widget.setParent(parent);
  widget.setGeometry(left, top, width, height);
}

void SetUpLabel(QLabel& label, QWidget* parent, QRect where, int fontPixels) {
  Place(label, parent, where.x(), where.y(), where.width(), where.height());
  label.setFont(Face(fontPixels, false));
  label.setAlignment(Qt::AlignCenter);
}

void SetUpStepButton(QPushButton& button, QWidget* parent, const QString& arrow, int left,
                     int top) {
  Place(button, parent, left, top, 17, 17);
  button.setText(arrow);
  button.setFont(Face(12, false));
  // The style's own margins would leave no room for the arrow in 17 pixels; the buttons
  // never take the keyboard focus, which stays on とじる.
  button.setStyleSheet(QStringLiteral("QPushButton { padding: 0px; }"));
  button.setFocusPolicy(Qt::NoFocus);
  button.setAutoDefault(false);
}

// The year and month are drawn 24 pixels high in a box that fits four digits of the face the
// window was drawn for; the substituted digits are wider, so they are narrowed to fit.
void SetFittedText(QLabel& label, const std::string& text) {
  const QString caption = ToQString(text);
  QFont font = label.font();
  font.setStretch(QFont::Unstretched);
  const int room = label.width() - 2;
  const int advance = QFontMetrics(font).horizontalAdvance(caption);
  if (advance > room) font.setStretch(std::max(50, room * 100 / advance));
  label.setFont(font);
  label.setText(caption);
}

}  // namespace

QtCalendarView::QtCalendarView(QWidget* parent) : QWidget(parent) {
  resize(250, 289);  // the main window's client area, whose coordinates the layout uses

  // The cells are made in index order, so a later cell lies over the one-pixel overlap of
  // its neighbour, as the layout intends.
  for (int i = 0; i < kCalendarCellCount; ++i) {
    QLabel& cell = cells_[static_cast<std::size_t>(i)];
    const CellLayout layout = CalendarCellLayout(i);
    Place(cell, this, layout.left, layout.top, layout.width, layout.height);
    cell.setFont(Face(16, layout.bold));  // the window's face at 12 points
    cell.setAlignment(Qt::AlignCenter);
    cell.setAutoFillBackground(true);
    cell.setLineWidth(1);
    switch (layout.bevel) {
      case Bevel::kNone:
        cell.setFrameStyle(QFrame::NoFrame);
        break;
      case Bevel::kRaised:
        cell.setFrameStyle(QFrame::Panel | QFrame::Raised);
        break;
      case Bevel::kLowered:
        cell.setFrameStyle(QFrame::Panel | QFrame::Sunken);
        break;
    }
  }

  SetUpLabel(yearLabel_, this, QRect(40, 188, 48, 24), 24);
  SetUpLabel(label7_, this, QRect(88, 192, 25, 25), 19);
  label7_.setText(QStringLiteral("年"));
  SetUpLabel(monthLabel_, this, QRect(144, 188, 24, 24), 24);
  SetUpLabel(label8_, this, QRect(168, 192, 25, 25), 19);
  label8_.setText(QStringLiteral("月"));
  for (QLabel* label : {&yearLabel_, &monthLabel_}) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::white);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
  }
  SetUpStepButton(nextYear_, this, QStringLiteral("▲"), 112, 184);
  SetUpStepButton(previousYear_, this, QStringLiteral("▼"), 112, 200);
  SetUpStepButton(nextMonth_, this, QStringLiteral("▲"), 192, 184);
  SetUpStepButton(previousMonth_, this, QStringLiteral("▼"), 192, 200);

  Render(EmptyMonthGrid());
}

void QtCalendarView::Render(const MonthGrid& grid) {
  const QColor face = palette().color(QPalette::Button);
  for (int i = 0; i < kCalendarCellCount; ++i) {
    const CalendarCell& model = grid.cells[static_cast<std::size_t>(i)];
    QLabel& cell = cells_[static_cast<std::size_t>(i)];
    QPalette palette = cell.palette();
    palette.setColor(QPalette::Window, model.background ? ToQColor(*model.background) : face);
    palette.setColor(QPalette::WindowText, ToQColor(model.text));
    cell.setPalette(palette);
    cell.setText(ToQString(model.caption));
    cell.setToolTip(model.showHint ? ToQString(model.hint) : QString());
    cell.setVisible(model.visible);
  }
  SetFittedText(yearLabel_, grid.yearLabel);
  SetFittedText(monthLabel_, grid.monthLabel);
}

}  // namespace tsukio
