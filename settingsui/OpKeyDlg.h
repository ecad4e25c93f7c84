// The key page: the 17 events with their bindings, and the key field that records a combination.
#pragma once

#include "keyinput/KeyEdit.h"
#include "settings/KeyProfile.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class COpKeyDlg : public SettingsPage {
 public:
  explicit COpKeyDlg(CKeyProfile& keys);
  // The window goes first, while the field is still taken over and can unbind itself.
  ~COpKeyDlg() override { Destroy(); }
  void Refresh() override;

  int currentRow() const { return current_; }

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void LoadBinding(int row);
  void ShowRowBinding(int row);

  CKeyProfile& keys_;
  CKeyEdit field_{3};
  int current_ = 0;
};

}  // namespace pelmo
