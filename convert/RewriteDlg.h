// "上書き確認": asks whether one existing destination file is overwritten, all of this run's are,
// or not this one. Esc and the close box mean "いいえ"; Enter does nothing.
#pragma once

#include <string>

#include "convert/ConvertRun.h"
#include "framework/Dialog.h"

namespace pelmo {

class CdlgRewrite : public fw::Dialog {
 public:
  CdlgRewrite();
  // Shows the file name and waits for the answer.
  OverwriteChoice Ask(HWND owner, const std::wstring& text);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  bool OnCommand(UINT id, UINT code, HWND control) override;

 private:
  std::wstring text_;
  OverwriteChoice choice_ = OverwriteChoice::kNo;
};

}  // namespace pelmo
