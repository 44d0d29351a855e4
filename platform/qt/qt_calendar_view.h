#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>

#include "calwindow/month_grid.h"

namespace tsukio {

// The calendar view of the main window: the 55 cells, the year and month labels and their
// step buttons, at the window's own coordinates. It draws the grid it is given; the buttons
// are for the owner to connect.
class QtCalendarView final : public QWidget {
 public:
  explicit QtCalendarView(QWidget* parent);

  void Render(const MonthGrid& grid);

  const QLabel& Cell(int index) const { return cells_[static_cast<std::size_t>(index)]; }
  const QLabel& YearLabel() const { return yearLabel_; }
  const QLabel& MonthLabel() const { return monthLabel_; }
  QPushButton& NextYearButton() { return nextYear_; }
  QPushButton& PreviousYearButton() { return previousYear_; }
  QPushButton& NextMonthButton() { return nextMonth_; }
  QPushButton& PreviousMonthButton() { return previousMonth_; }

 private:
  std::array<QLabel, kCalendarCellCount> cells_;
  QLabel yearLabel_;
  QLabel label7_;
  QPushButton nextYear_;
  QPushButton previousYear_;
  QLabel monthLabel_;
  QLabel label8_;
  QPushButton nextMonth_;
  QPushButton previousMonth_;
};

}  // namespace tsukio
