#include "TrayIcon.h"

#include <algorithm>
#include <cstddef>

#include "core/AppMessages.h"
#include "core/Trace.h"
#include "framework/App.h"
#include "core/Strings.h"
#include "core/resource.h"

namespace pelmo {
namespace {

// The record up to and including its item GUID (952 bytes in the 32-bit build).
constexpr DWORD kRecordSize = NOTIFYICONDATAW_V3_SIZE;
// The shell takes the record's layout from its size; a 32-bit build must send exactly 952.
static_assert(kRecordSize == offsetof(NOTIFYICONDATAW, guidItem) + sizeof(GUID));
static_assert(kRecordSize == (sizeof(void*) == 4 ? 952 : 968));
static_assert(sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t) == 128);

template <size_t N>
void CopyCut(wchar_t (&dest)[N], const std::wstring& text, size_t maxChars) {
  const size_t n = std::min({text.size(), maxChars, N - 1});
  std::copy_n(text.data(), n, dest);
  dest[n] = L'\0';
}

}  // namespace

std::wstring BuildTrayTip(const TrayStatus& status) {
  std::wstring tip = status.caption + L" - " + status.profileName;
  if (tip.size() > 127) tip.resize(127);
  return tip;
}

UINT ChooseTrayIcon(const TrayStatus& status) {
  if (!status.profileLoaded) return IDI_TRAY_DISABLED;
  if (status.autoCaptureRunning) return IDI_TRAY_AUTO;
  if (status.inputDisabled) return IDI_TRAY_DISABLED;
  return IDI_TRAY_NORMAL;
}

TrayIcon::TrayIcon() { data_.cbSize = kRecordSize; }

void TrayIcon::SetTip(const TrayStatus& status) { CopyCut(data_.szTip, BuildTrayTip(status), 127); }

void TrayIcon::SetIcon(const TrayStatus& status) {
  iconId_ = ChooseTrayIcon(status);
  // Shared icons from the executable: LoadImage with LR_SHARED needs no release.
  data_.hIcon = static_cast<HICON>(LoadImageW(fw::App::ResourceInstance(), MAKEINTRESOURCEW(iconId_),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

void TrayIcon::TraceState(const wchar_t* what) const {
  Trace(std::wstring(L"tray ") + what + L" icon=" + std::to_wstring(iconId_) + L" tip=" + data_.szTip);
}

bool TrayIcon::NotifyWithRetry(DWORD message) {
  for (;;) {
    if (Shell_NotifyIconW(message, &data_)) {
      TraceState(message == NIM_ADD ? L"add" : L"modify");
      return true;
    }
    if (GetLastError() != ERROR_TIMEOUT) return false;
    Sleep(100);
  }
}

void TrayIcon::ReportFailure() {
  failed_ = true;
  const std::wstring text = LoadResString(IDS_TRAY_FAILED);
  const fw::App* app = fw::App::Current();
  MessageBoxW(data_.hWnd, text.c_str(), app ? app->appName().c_str() : L"", MB_ICONERROR);
  PostMessageW(data_.hWnd, WM_CLOSE, 0, 0);
}

bool TrayIcon::Add(HWND owner, const TrayStatus& status) {
  data_.cbSize = kRecordSize;
  SetTip(status);
  data_.uID = 1;
  data_.hWnd = owner;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  SetIcon(status);
  data_.uCallbackMessage = WM_APP_TRAYNOTIFY;
  if (NotifyWithRetry(NIM_ADD)) {
    added_ = true;
    return true;
  }
  ReportFailure();
  return false;
}

bool TrayIcon::Readd(const TrayStatus& status) {
  if (!data_.hWnd) return false;
  SetTip(status);
  SetIcon(status);
  // A shell that kept the icon (the message can come without a real restart) refuses the add.
  return NotifyWithRetry(NIM_ADD) || NotifyWithRetry(NIM_MODIFY);
}

void TrayIcon::Update(const TrayStatus& status, bool retry) {
  SetIcon(status);
  if (retry && !NotifyWithRetry(NIM_MODIFY)) ReportFailure();
}

BOOL TrayIcon::Refresh(const TrayStatus& status) {
  SetTip(status);
  Update(status, false);
  const BOOL result = Shell_NotifyIconW(NIM_MODIFY, &data_);
  if (result) TraceState(L"refresh");
  return result;
}

bool TrayIcon::Remove() {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (Shell_NotifyIconW(NIM_DELETE, &data_)) {
      added_ = false;
      return true;
    }
    Sleep(500);
  }
  return false;
}

BOOL TrayIcon::ShowBalloon(const TrayStatus& status, const std::wstring& text, const std::wstring& title,
                           UINT timeout, DWORD iconFlag) {
  data_.uFlags |= NIF_INFO;
  SetTip(status);
  data_.uTimeout = timeout;
  data_.dwInfoFlags = iconFlag;
  CopyCut(data_.szInfo, text.empty() ? std::wstring(L" ") : text, 255);
  CopyCut(data_.szInfoTitle, title.empty() ? std::wstring(L" ") : title, 63);
  const BOOL result = Shell_NotifyIconW(NIM_MODIFY, &data_);
  Trace(std::wstring(L"balloon flag=") + std::to_wstring(iconFlag) + L" title=" + data_.szInfoTitle +
        L" text=" + data_.szInfo);
  // A second modify without NIF_INFO does not take the balloon away.
  data_.uFlags &= ~NIF_INFO;
  Shell_NotifyIconW(NIM_MODIFY, &data_);
  return result;
}

}  // namespace pelmo
