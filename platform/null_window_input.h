#pragma once

#include "platform/main_window_view.h"

namespace tsukio {

// For a window that is only drawn, never used: every report goes nowhere.
class NullWindowInput : public MainWindowInput {
 public:
  void CloseClicked() override {}
  void OptionBoxClicked(OptionBox, bool) override {}
  void WeekRuleChosen(int) override {}
  void TimeMethodChosen(bool) override {}
  void ServerEdited(ServerField, std::string) override {}
  void AutoArrowClicked(bool) override {}
  void TabShown(OptionsTab) override {}
  void OkClicked() override {}
  void CancelClicked() override {}
  void LinkClicked() override {}
};

}  // namespace tsukio
