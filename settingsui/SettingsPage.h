// A page of the settings window: a child dialog bound to the part of the profile it edits. It
// stores every edit into that part at once (so the next capture uses it) and fills its controls
// from it on Refresh, which the frame calls after every profile load. Enter and Esc inside a page
// do nothing: the frame alone decides when the window closes.
#pragma once

#include "framework/Dialog.h"

namespace pelmo {

class SettingsPage : public fw::Dialog {
 public:
  using fw::Dialog::Dialog;

  // Fills the controls from the profile; pages that edit nothing keep the default.
  virtual void Refresh() {}

 protected:
  void OnOK() override {}
  void OnCancel() override {}
};

}  // namespace pelmo
