// Page 12 of the settings window ("ツール"): files dropped on the window are listed with a mark
// each and re-encoded by "変換" in the edited profile's format into the chosen folder or
// "_FixedImage" beside the program. Failures are written to "log.txt".
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "convert/ConvertEngine.h"
#include "convert/ConvertHostWin.h"
#include "framework/Dialog.h"

namespace pelmo {

class CScreenShot;

class CdlgOpTrans : public fw::Dialog {
 public:
  explicit CdlgOpTrans(CScreenShot& screenShot);

  // commit 0: the controls from TRANSLATE; commit 1: nothing (edits are stored at once).
  void Refresh(int commit);
  // The settings window's refresh after a profile load.
  void Refresh() { Refresh(0); }

  ConvertEngine& engine() { return engine_; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  bool OnCommand(UINT id, UINT code, HWND control) override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnDropFiles(HDROP drop);
  void OnUseFolderClicked();
  void OnBrowse();
  void OnConvert();
  void OnClear();
  void EnableFolderControls(bool on);
  void SetRowImage(int row, int image);

  CScreenShot& screenShot_;
  CodecConvertHost host_;
  ConvertEngine engine_;
  int pendingImage_ = -1, doneImage_ = -1, failedImage_ = -1;
  bool converted_ = false;
  bool running_ = false;
};

}  // namespace pelmo
