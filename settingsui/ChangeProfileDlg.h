// "名前変更": asks for the new name of the current profile and renames its file. Refused names
// and a refused rename are reported here and the dialog stays open.
#pragma once

#include "framework/Dialog.h"

namespace pelmo {

class CProfile;

class CChangeProfileDlg : public fw::Dialog {
 public:
  CChangeProfileDlg(CProfile& profiles, int* renamed, HWND parent);

  INT_PTR Run() { return DoModal(parent_); }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  CProfile& profiles_;
  int* renamed_;
  HWND parent_;
};

}  // namespace pelmo
