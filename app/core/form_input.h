#pragma once

#include "app/core/main_form.h"

namespace tsukio {

// Hands what the user does in the main window to the form's handlers, each guarded so that
// an error shows a message and the program goes on.
class FormInput final : public MainWindowInput {
 public:
  void Attach(TForm1& form) { form_ = &form; }

  void CloseClicked() override {
    Run([](TForm1& f) { f.cmdCLOSEClick(); });
  }
  void OptionBoxClicked(OptionBox box, bool checked) override {
    Run([=](TForm1& f) { f.SetOptionBox(box, checked); });
  }
  void WeekRuleChosen(int index) override {
    Run([=](TForm1& f) { f.SelectWeekRule(index); });
  }
  void TimeMethodChosen(bool http) override {
    Run([=](TForm1& f) { f.SelectTimeMethod(http); });
  }
  void ServerEdited(ServerField field, std::string text) override {
    Run([&](TForm1& f) { f.EditServer(field, std::move(text)); });
  }
  void AutoArrowClicked(bool up) override {
    Run([=](TForm1& f) { f.cmdAutoClick(up); });
  }
  void TabShown(OptionsTab tab) override {
    Run([=](TForm1& f) { f.ShowTab(tab); });
  }
  void OkClicked() override {
    Run([](TForm1& f) { f.cmdOKClick(); });
  }
  void CancelClicked() override {
    Run([](TForm1& f) { f.cmdFalseClick(); });
  }
  void LinkClicked() override {
    Run([](TForm1& f) { f.pnlLINKClick(); });
  }

 private:
  template <typename F>
  void Run(F&& handler) {
    if (form_ != nullptr) form_->Guarded([&] { handler(*form_); });
  }
  TForm1* form_ = nullptr;
};

}  // namespace tsukio
