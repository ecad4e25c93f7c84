// "イメージ変換中": runs one batch of the conversion tool while showing the position and a
// progress bar. "中止" (also Esc and the close box) only asks for a stop; the request is looked
// at before the next file and confirmed with a question.
#pragma once

#include <vector>

#include "convert/ConvertRun.h"
#include "framework/Dialog.h"

namespace pelmo {

class CdlgTransImage : public fw::Dialog, private ConvertRunUi {
 public:
  CdlgTransImage(ConvertEngine& engine, unsigned workers);
  // Runs the batch modally over `owner` (disabled meanwhile); the marks of the queued files.
  std::vector<ConvertMark> Run(HWND owner);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override { cancelRequested_ = true; }
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // ConvertRunUi
  bool CancelRequested() override { return cancelRequested_ || quit_; }
  bool ConfirmCancel() override;
  void ShowPosition(size_t index, size_t total, const std::wstring& dest) override;
  OverwriteChoice AskOverwrite(const std::wstring& fileName) override;
  void Advance(size_t done, size_t total) override;
  void Idle() override { Pump(); }

  // Lets up to 20 pending messages through; a quit message stops the run.
  void Pump();
  // Puts the latest position and progress on screen: at most every few tens of milliseconds
  // while files fly by, always before a question and at the end.
  void Flush();
  void FlushIfDue();

  ConvertEngine& engine_;
  unsigned workers_;
  bool cancelRequested_ = false;
  bool quit_ = false;
  std::wstring shownText_, pendingText_;
  size_t shownPos_ = 0, pendingPos_ = 0;
  DWORD lastFlush_ = 0;
  std::vector<ConvertMark> marks_;
};

}  // namespace pelmo
