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
  const QLabel& Ly() const { return ly_; }
  const QLabel& Lm() const { return lm_; }
  QPushButton& BUy() { return buy_; }
  QPushButton& BDy() { return bdy_; }
  QPushButton& BUm() { return bum_; }
  QPushButton& BDm() { return bdm_; }

 private:
  std::array<QLabel, kCalendarCellCount> cells_;
  QLabel ly_;
  QLabel label7_;
  QPushButton buy_;
  QPushButton bdy_;
  QLabel lm_;
  QLabel label8_;
  QPushButton bum_;
  QPushButton bdm_;
};

}  // namespace tsukio
