// "新規作成": asks for the name of a new profile, created from defaults or as a copy of the
// profile being edited. Refused names are reported here and the dialog stays open.
#pragma once

#include <string>

#include "framework/Dialog.h"

namespace pelmo {

class CProfile;

class CCreateProfileDlg : public fw::Dialog {
 public:
  CCreateProfileDlg(CProfile& profiles, int* created, std::wstring* name, HWND parent);

  // copyAllowed: the copy check box is enabled (a profile is loaded). Returns the dialog result.
  INT_PTR Run(int copyAllowed);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  CProfile& profiles_;
  int* created_;
  std::wstring* name_;
  HWND parent_;
  int copyAllowed_ = 0;
};

}  // namespace pelmo
