#include "TessikDlg.h"

#include <windowsx.h>

#include "capture/SystemCursors.h"
#include "core/AppMessages.h"
#include "core/MessageBoxService.h"
#include "core/Trace.h"
#include "framework/App.h"
#include "keyinput/KeyInput.h"
#include "keyinput/KeySource.h"
#include "core/Strings.h"
#include "core/resource.h"
#include "settingsui/ProfileStep.h"

namespace pelmo {
namespace {

const std::wstring* StringAt(WPARAM address) { return reinterpret_cast<const std::wstring*>(address); }
const std::wstring* StringAt(LPARAM address) { return reinterpret_cast<const std::wstring*>(address); }

// A key message's wParam as a key code. A value beyond any key code is no key, not the key its low
// 32 bits name, which a plain cast to int would make of it in the 64-bit build.
int KeyCodeOf(WPARAM code) { return code <= 0xFF ? static_cast<int>(code) : -1; }

HWND g_filteredWindow = nullptr;

bool CarriesPointers(UINT msg) { return msg == WM_APP_MESSAGEBOX || msg == WM_APP_SHOWERROR; }

// WM_APP_MESSAGEBOX and WM_APP_SHOWERROR carry addresses in this process, so they are honoured
// only for the addresses this thread is sending (IsAddressBeingSent); a posted one is turned into
// WM_NULL here, before any message loop of this thread (nested ones included) dispatches it.
LRESULT CALLBACK FilterPostedPointers(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (msg->hwnd == g_filteredWindow && CarriesPointers(msg->message)) {
      msg->message = WM_NULL;
      msg->wParam = 0;
      msg->lParam = 0;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

CTessikDlg::CTessikDlg() : fw::Dialog(IDD_MAIN), settings_(*this) {}

BOOL CTessikDlg::OnInitDialog() {
  engine_ = &settings_.engine();
  SetMessageBoxWindow(hwnd_);
  g_filteredWindow = hwnd_;
  messageFilter_.reset(SetWindowsHookExW(WH_GETMESSAGE, FilterPostedPointers, nullptr, GetCurrentThreadId()));
  // Creating the settings window starts the profile's key source, which may fall back.
  KeyInputSetFallbackHandler(&CTessikDlg::OnHookFallback, this);
  // Explorer broadcasts this after it restarts; every tray icon must then be added again.
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  settings_.Create(hwnd_);

  trayMenu_.Load();
  trayMenu_.BuildImageTypeMenu();
  trayMenu_.BuildProfileMenu(settings_.ProfileNames());

  tray_.Add(hwnd_, CurrentTrayStatus());
  if (hookFallbackPending_) ShowHookFallbackBalloon();

  if (settings_.ShowAtStart()) {
    SendMessageW(settings_.hwnd(), WM_APP_SHOWSETTINGS, 0, 0);
  } else {
    BindKeyInput();
  }
  return FALSE;
}

void CTessikDlg::BindKeyInput() {
  engine_->matcher().Reset();
  KeyInputSetMainHwnd(hwnd_);
  KeyInputSetKeyDownMessage(WM_APP_KEYDOWN);
  KeyInputSetKeyUpMessage(WM_APP_KEYUP);
}

void CTessikDlg::OpenSettingsWindow() {
  KeyInputSetMainHwnd(nullptr);
  PostMessageW(settings_.hwnd(), WM_APP_SHOWSETTINGS, 0, 0);
}

void CTessikDlg::ShutdownController(int atLogoff) {
  tray_.Remove();
  settings_.SaveOnExit(atLogoff);
  trayMenu_.Destroy();
  KeyInputSetFallbackHandler(nullptr, nullptr);
  KeyInputStopAll();
}

void CTessikDlg::OnHookFallback(void* self) {
  auto* dlg = static_cast<CTessikDlg*>(self);
  dlg->hookFallbackPending_ = true;
  if (dlg->tray_.added()) dlg->ShowHookFallbackBalloon();
}

void CTessikDlg::ShowHookFallbackBalloon() {
  hookFallbackPending_ = false;
  tray_.ShowBalloon(CurrentTrayStatus(), LoadResString(IDS_HOOK_FALLBACK_TEXT), LoadResString(IDS_HOOK_FALLBACK_TITLE),
                    100, NIIF_WARNING);
}

LRESULT CTessikDlg::OnClose() {
  // Only the tray icon's failure closes the program this way; Alt+F4 or a close from outside
  // would skip the save question and leave hooks and the icon behind.
  if (tray_.failed()) {
    ShutdownController(0);
    EndDialog(IDCANCEL);
  }
  return 0;
}

TrayStatus CTessikDlg::CurrentTrayStatus() const {
  TrayStatus s;
  wchar_t caption[64] = {};
  GetWindowTextW(hwnd_, caption, static_cast<int>(std::size(caption)));
  s.caption = caption;
  const int sel = settings_.SelectedProfile();
  if (sel >= 0) s.profileName = settings_.ProfileText(sel);
  s.profileLoaded = settings_.IsProfileLoaded();
  s.autoCaptureRunning = engine_ && engine_->IsAutoCaptureRunning();
  s.inputDisabled = engine_ && engine_->IsInputDisabled();
  return s;
}

void CTessikDlg::RefreshTrayMenu() {
  TrayMenuState state;
  if (engine_) {
    state.allSoundOff = engine_->IsAllSoundOff();
    state.imageType = engine_->ImageType();
    state.inputDisabled = engine_->IsInputDisabled();
    state.hasLastSaveFile = !engine_->LastSaveFile().empty();
  }
  state.profiles = settings_.ProfileNames();
  state.selectedProfile = settings_.SelectedProfile();
  trayMenu_.Refresh(state);
  Trace(L"menu sounds-off=" + std::to_wstring(state.allSoundOff) + L" type=" + std::to_wstring(state.imageType) +
        L" profile=" + std::to_wstring(state.selectedProfile) + L"/" + std::to_wstring(state.profiles.size()) +
        L" input-disabled=" + std::to_wstring(state.inputDisabled) +
        L" file-commands=" + (state.hasLastSaveFile ? L"enabled" : L"grey"));
  tray_.Update(CurrentTrayStatus(), true);
}

void CTessikDlg::ShowTrayMenu() {
  POINT pt{};
  GetCursorPos(&pt);
  RefreshTrayMenu();
  SetForegroundWindow(hwnd_);
  trayMenu_.Popup().Track(TPM_RIGHTBUTTON, pt.x, pt.y, hwnd_);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
}

LRESULT CTessikDlg::OnKeyDown(WPARAM code) {
  if (SettingsVisible() || !keyGate_ || inKeyDown_) return 1;
  inKeyDown_ = 1;
  engine_->matcher().SyncSource(KeyInputSourceGeneration());
  const auto events = engine_->OnKeyDown(KeyCodeOf(code));
  for (CaptureEventId id : events) {
    EventRequest request;
    if (!engine_->RunEvent(&request, id)) break;
  }
  keyGate_ = 1;
  inKeyDown_ = 0;
  return 1;
}

LRESULT CTessikDlg::OnKeyUp(WPARAM code) {
  if (!SettingsVisible()) {
    engine_->matcher().SyncSource(KeyInputSourceGeneration());
    engine_->OnKeyUp(KeyCodeOf(code));
  }
  return 1;
}

LRESULT CTessikDlg::OnStepProfile(WPARAM next) {
  const int target = ProfileStepTarget(settings_.SelectedProfile(), settings_.ProfileCount(), next != 0);
  if (target < 0) return 0;
  // Straight to the settings window: the tray's command ids end after 100 profiles.
  SendMessageW(settings_.hwnd(), WM_APP_SELECTPROFILE, static_cast<WPARAM>(target), 0);
  const std::wstring name = settings_.ProfileText(target);
  // A switch cancelled at the save question (or a profile that could not be loaded) is no switch.
  if (settings_.SelectedProfile() != target || !settings_.IsProfileLoaded() || engine_->GetCurrentName() != name) {
    return 0;
  }
  tray_.ShowBalloon(CurrentTrayStatus(), L"プロファイルを切り替えました。", name, 100, NIIF_INFO);
  return 1;
}

LRESULT CTessikDlg::OnMessageBox(WPARAM textAddress, LPARAM type) {
  if (!type || !IsAddressBeingSent(StringAt(textAddress))) return 0;
  idleGate_ = keyGate_ = 0;
  const fw::App* app = fw::App::Current();
  const int button = MessageBoxW(settings_.hwnd(), StringAt(textAddress)->c_str(),
                                 app ? app->appName().c_str() : nullptr, static_cast<UINT>(type));
  idleGate_ = keyGate_ = 1;
  return button;
}

LRESULT CTessikDlg::OnShowError(WPARAM titleAddress, LPARAM textAddress) {
  if (!IsAddressBeingSent(StringAt(titleAddress)) || !IsAddressBeingSent(StringAt(textAddress))) return 0;
  tray_.ShowBalloon(CurrentTrayStatus(), *StringAt(textAddress), *StringAt(titleAddress), 100, NIIF_ERROR);
  return 1;
}

LRESULT CTessikDlg::OnTrayNotify(LPARAM mouseMessage) {
  switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONDBLCLK:
      OpenSettingsWindow();
      break;
    case WM_RBUTTONUP:
      if (idleGate_ && !SettingsVisible()) {
        ShowTrayMenu();
      } else {
        tray_.ShowBalloon(CurrentTrayStatus(), LoadResString(IDS_RCLICK_DISABLED_TEXT),
                          LoadResString(IDS_RCLICK_DISABLED_TITLE), 10, NIIF_INFO);
        SetForegroundWindow(settings_.hwnd());
      }
      break;
    default:
      break;
  }
  return 1;
}

void CTessikDlg::OnTimer(UINT_PTR id) {
  if (id != 0 || !idleGate_ || !keyGate_) return;
  if (!SettingsVisible()) {
    engine_->AutoCaptureTick();
  } else if (engine_->IsAutoCaptureRunning()) {
    EventRequest request;
    engine_->ToggleAutoCapture(request);
  }
}

void CTessikDlg::ToggleInputDisabledMode() {
  settings_.ToggleInputDisabledMode();
  trayMenu_.Popup().Check(IDM_INPUT_DISABLED, engine_->IsInputDisabled());
  tray_.Update(CurrentTrayStatus(), true);
}

bool CTessikDlg::OnCommand(UINT id, UINT, HWND) {
  // Ranges first, then the fixed ids.
  if (id >= IDM_SOUNDS_FIRST && id <= IDM_SOUNDS_LAST) {
    settings_.ToggleAllSoundOff();
    trayMenu_.CheckSoundsOff(engine_->IsAllSoundOff());
    return true;
  }
  if (id >= IDM_IMAGETYPE_FIRST && id <= IDM_IMAGETYPE_LAST) {
    settings_.SelectFormat(static_cast<int>(id - IDM_IMAGETYPE_FIRST));
    trayMenu_.CheckImageType(engine_->ImageType());
    return true;
  }
  if (id >= IDM_PROFILE_FIRST && id <= IDM_PROFILE_LAST) {
    SendMessageW(settings_.hwnd(), WM_APP_SELECTPROFILE, id - IDM_PROFILE_FIRST, 0);
    trayMenu_.CheckProfile(settings_.SelectedProfile());
    return true;
  }
  switch (id) {
    case IDM_SETTINGS:
      OpenSettingsWindow();
      return true;
    case IDM_INPUT_DISABLED:
      ToggleInputDisabledMode();
      return true;
    case IDM_COPY_TO_CLIPBOARD:
      engine_->RunHandlerOnly(kEventCopyToClipboard);
      return true;
    case IDM_OPEN_LAST_FILE:
      engine_->RunHandlerOnly(kEventOpenLastFile);
      return true;
    case IDM_OPEN_LAST_FOLDER:
      engine_->RunHandlerOnly(kEventOpenLastFolder);
      return true;
    case IDM_OPEN_SAVE_FOLDER:
      engine_->RunHandlerOnly(kEventOpenSaveFolder);
      return true;
    case IDM_APP_EXIT:
      ShutdownController(0);
      EndDialog(0);
      return true;
    default:
      return false;
  }
}

std::optional<LRESULT> CTessikDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_APP_TRAYNOTIFY:
      return OnTrayNotify(lParam);
    case WM_APP_SETTINGSCLOSED:
      tray_.Update(CurrentTrayStatus(), true);
      BindKeyInput();
      return 1;
    case WM_APP_KEYDOWN:
      return OnKeyDown(wParam);
    case WM_APP_KEYUP:
      return OnKeyUp(wParam);
    case WM_APP_SETINPUTSTATE:
      if (wParam) idleGate_ = keyGate_ = lParam ? 1 : 0;
      return idleGate_;
    case WM_APP_STEPPROFILE:
      return OnStepProfile(wParam);
    case WM_APP_MESSAGEBOX:
      return OnMessageBox(wParam, lParam);
    case WM_APP_SHOWERROR:
      return OnShowError(wParam, lParam);
    case WM_APP_REFRESHICON:
      tray_.Update(CurrentTrayStatus(), true);
      return 1;
    case WM_APP_REFRESHTRAY:
      return tray_.Refresh(CurrentTrayStatus());
    case WM_TIMER:
      OnTimer(wParam);
      return std::nullopt;  // every id goes on to the default handling
    case WM_ENDSESSION:
      if (wParam) RestoreSystemCursorsIfReplaced();
      return std::nullopt;
    case WM_CLOSE:
      return OnClose();
    case WM_QUERYENDSESSION:
      RestoreSystemCursorsIfReplaced();
      ShutdownController(1);
      EndDialog(0);
      return TRUE;  // Windows may go on
    default:
      if (taskbarCreated_ && msg == taskbarCreated_) {
        if (tray_.added()) tray_.Readd(CurrentTrayStatus());
        return 0;
      }
      return std::nullopt;
  }
}

}  // namespace pelmo
