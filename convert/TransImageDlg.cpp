#include "convert/TransImageDlg.h"

#include <commctrl.h>

#include <cwchar>

#include "convert/RewriteDlg.h"
#include "core/Strings.h"
#include "core/resource.h"
#include "framework/App.h"

namespace pelmo {
namespace {

// Posted to itself at start so the batch runs inside the modal loop, with the owner disabled.
constexpr UINT kStartRun = WM_APP + 100;

}  // namespace

CdlgTransImage::CdlgTransImage(ConvertEngine& engine, unsigned workers)
    : fw::Dialog(IDD_CONVERT_PROGRESS), engine_(engine), workers_(workers) {}

std::vector<ConvertMark> CdlgTransImage::Run(HWND owner) {
  marks_.clear();
  cancelRequested_ = quit_ = false;
  DoModal(owner);
  return std::move(marks_);
}

BOOL CdlgTransImage::OnInitDialog() {
  // The range is 32 bits: a batch of more than 65535 files still shows its true progress.
  SendDlgItemMessageW(hwnd_, IDC_CONVERT_PROGRESS, PBM_SETRANGE32, 0, static_cast<LPARAM>(engine_.Count()));
  SendDlgItemMessageW(hwnd_, IDC_CONVERT_PROGRESS, PBM_SETPOS, 0, 0);
  PostMessageW(hwnd_, kStartRun, 0, 0);
  return TRUE;
}

std::optional<LRESULT> CdlgTransImage::OnMessage(UINT msg, WPARAM, LPARAM) {
  if (msg != kStartRun) return std::nullopt;
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
  lastFlush_ = GetTickCount();
  marks_ = RunConversion(engine_, *this, workers_);
  Flush();
  EndDialog(IDCANCEL);
  return 0;
}

void CdlgTransImage::Flush() {
  if (pendingText_ != shownText_) {
    SetDlgItemTextW(hwnd_, IDC_CONVERT_POSITION, pendingText_.c_str());
    shownText_ = pendingText_;
  }
  if (pendingPos_ != shownPos_) {
    SendDlgItemMessageW(hwnd_, IDC_CONVERT_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(pendingPos_), 0);
    shownPos_ = pendingPos_;
  }
  lastFlush_ = GetTickCount();
}

void CdlgTransImage::FlushIfDue() {
  if (GetTickCount() - lastFlush_ >= 40) Flush();
}

bool CdlgTransImage::ConfirmCancel() {
  if (quit_) return true;  // the program is ending: stop without asking
  Flush();
  const std::wstring text = LoadResString(IDS_CONVERT_ASK_CANCEL);
  const std::wstring caption = fw::App::Current() ? fw::App::Current()->appName() : std::wstring(L"PELMO");
  if (MessageBoxW(hwnd_, text.c_str(), caption.c_str(), MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK) return true;
  cancelRequested_ = false;
  return false;
}

void CdlgTransImage::ShowPosition(size_t index, size_t total, const std::wstring& dest) {
  pendingText_ = std::to_wstring(index) + L" / " + std::to_wstring(total) + L"  " + dest;
  FlushIfDue();
}

OverwriteChoice CdlgTransImage::AskOverwrite(const std::wstring& fileName) {
  Flush();
  CdlgRewrite ask;
  return ask.Ask(hwnd_, fileName);
}

void CdlgTransImage::Advance(size_t done, size_t) {
  pendingPos_ = done;
  FlushIfDue();
  Pump();
}

void CdlgTransImage::Pump() {
  MSG msg;
  for (int i = 0; i < 20 && !quit_ && PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); ++i) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      quit_ = true;
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loops outside this one
      break;
    }
    if (fw::PreTranslateChain(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace pelmo
