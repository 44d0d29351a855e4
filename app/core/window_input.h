#pragma once

#include "app/core/tray_calendar.h"

namespace tsukio {

// Hands what the user does in the main window to the calendar's handlers, each guarded so that
// an error shows a message and the program goes on.
class WindowInput final : public MainWindowInput {
 public:
  void Attach(TrayCalendar& calendar) { calendar_ = &calendar; }

  void CloseClicked() override {
    Run([](TrayCalendar& f) { f.CloseWindow(); });
  }
  void OptionBoxClicked(OptionBox box, bool checked) override {
    Run([=](TrayCalendar& f) { f.SetOptionBox(box, checked); });
  }
  void WeekRuleChosen(int index) override {
    Run([=](TrayCalendar& f) { f.SelectWeekRule(index); });
  }
  void TimeMethodChosen(bool http) override {
    Run([=](TrayCalendar& f) { f.SelectTimeMethod(http); });
  }
  void ServerEdited(ServerField field, std::string text) override {
    Run([&](TrayCalendar& f) { f.EditServer(field, std::move(text)); });
  }
  void AutoArrowClicked(bool up) override {
    Run([=](TrayCalendar& f) { f.StepAutoUpdateDelay(up); });
  }
  void TabShown(OptionsTab tab) override {
    Run([=](TrayCalendar& f) { f.ShowTab(tab); });
  }
  void OkClicked() override {
    Run([](TrayCalendar& f) { f.AcceptOptions(); });
  }
  void CancelClicked() override {
    Run([](TrayCalendar& f) { f.CancelOptions(); });
  }
  void LinkClicked() override {
    Run([](TrayCalendar& f) { f.OpenHomepage(); });
  }

 private:
  template <typename F>
  void Run(F&& handler) {
    if (calendar_ != nullptr) calendar_->Guarded([&] { handler(*calendar_); });
  }
  TrayCalendar* calendar_ = nullptr;
};

}  // namespace tsukio
