#include "settings_driver.h"

#include <commctrl.h>

namespace pelmo::test {
namespace {

struct FindState {
  DWORD pid;
  std::wstring caption;
  HWND found;
};

BOOL CALLBACK FindVisibleDialog(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<FindState*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != s->pid || !IsWindowVisible(w) || ClassOf(w) != L"#32770") return TRUE;
  wchar_t caption[256] = {};
  GetWindowTextW(w, caption, 256);
  if (s->caption != caption) return TRUE;
  s->found = w;
  return FALSE;
}

BOOL CALLBACK CollectStatics(HWND w, LPARAM lp) {
  if (_wcsicmp(ClassOf(w).c_str(), L"Static") == 0) {
    auto* text = reinterpret_cast<std::wstring*>(lp);
    const std::wstring t = WindowText(w);
    if (!t.empty()) *text += (text->empty() ? L"" : L"\n") + t;
  }
  return TRUE;
}

struct PageSearch {
  int controlId;
  HWND found;
};

BOOL CALLBACK FindPage(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<PageSearch*>(lp);
  if (ClassOf(w) == L"#32770" && GetDlgItem(w, s->controlId)) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= ms) return false;
    PumpFor(25);
  }
}

std::wstring WindowText(HWND window) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &len)) return {};
  std::wstring text(len + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                      &got);
  text.resize(got);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

MessageBoxSeen FindMessageBox(DWORD pid) {
  FindState s{pid, L"pelmo", nullptr};
  EnumWindows(FindVisibleDialog, reinterpret_cast<LPARAM>(&s));
  MessageBoxSeen box;
  box.window = s.found;
  if (box.window) EnumChildWindows(box.window, CollectStatics, reinterpret_cast<LPARAM>(&box.text));
  return box;
}

MessageBoxSeen WaitForMessageBox(DWORD pid, DWORD ms) {
  MessageBoxSeen box;
  WaitUntil([&] { return (box = FindMessageBox(pid)).window != nullptr && !box.text.empty(); }, ms);
  return box;
}

bool Answer(const MessageBoxSeen& box, int buttonId) {
  HWND button = GetDlgItem(box.window, buttonId);
  if (!button) return false;
  PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); });
}

HWND FindDialog(DWORD pid, const std::wstring& caption) {
  FindState s{pid, caption, nullptr};
  EnumWindows(FindVisibleDialog, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND WaitForDialog(DWORD pid, const std::wstring& caption, DWORD ms) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindDialog(pid, caption)) != nullptr; }, ms);
  return found;
}

bool SettingsDriver::Start(bool visible) {
  if (!pelmo_.Start()) return false;
  main_ = pelmo_.WaitForMainWindow();
  if (!main_) return false;
  WaitUntil([&] { return (frame_ = FindPelmoSettingsWindow(pid())) != nullptr; });
  if (!frame_) return false;
  if (visible && !WaitUntil([&] { return IsWindowVisible(frame_) != FALSE; })) return false;
  Settle();
  return true;
}

HWND SettingsDriver::Page(int controlId) const {
  PageSearch s{controlId, nullptr};
  EnumChildWindows(frame_, FindPage, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

bool SettingsDriver::PageVisible(int controlId) const {
  HWND page = Page(controlId);
  return page && IsWindowVisible(page);
}

LRESULT SettingsDriver::Send(HWND window, UINT msg, WPARAM wp, LPARAM lp) const {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, msg, wp, lp, SMTO_ABORTIFHUNG, 10000, &result);
  return static_cast<LRESULT>(result);
}

std::vector<std::wstring> SettingsDriver::Entries() const {
  std::vector<std::wstring> names;
  HWND combo = Item(1005);
  const LRESULT n = Send(combo, CB_GETCOUNT);
  for (LRESULT i = 0; i < n; ++i) {
    const LRESULT len = Send(combo, CB_GETLBTEXTLEN, i);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    Send(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(len));
    names.push_back(text);
  }
  return names;
}

int SettingsDriver::Selected() const { return static_cast<int>(Send(Item(1005), CB_GETCURSEL)); }

std::wstring SettingsDriver::SelectedName() const {
  const int sel = Selected();
  const auto names = Entries();
  return sel >= 0 && sel < static_cast<int>(names.size()) ? names[static_cast<size_t>(sel)] : L"";
}

void SettingsDriver::Click(HWND button) const { PostMessageW(button, BM_CLICK, 0, 0); }

void SettingsDriver::ChooseProfile(int index) const { ChooseInCombo(Item(1005), index); }

void SettingsDriver::ChooseInCombo(HWND combo, int index) const {
  PostMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

void SettingsDriver::SetChecked(HWND box, bool checked) const {
  const bool now = Send(box, BM_GETCHECK) == BST_CHECKED;
  if (now != checked) Click(box);
}

void SettingsDriver::Type(HWND edit, const std::wstring& text) const {
  Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SettingsDriver::Focus(HWND control) const {
  // The dialog that holds the control moves the focus (its own thread may set it).
  HWND top = GetAncestor(control, GA_ROOT);
  Send(top, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void SettingsDriver::Key(HWND control, WPARAM vk) const {
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
  PostMessageW(control, WM_KEYDOWN, vk, 1 | (scan << 16));
  PostMessageW(control, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

void SettingsDriver::Settle(DWORD extraMs) {
  WaitForInputIdle(pelmo_.process().handle(), 5000);
  PumpFor(extraMs);
  WaitForInputIdle(pelmo_.process().handle(), 5000);
}

std::wstring SettingsDriver::IniValue(const std::wstring& file, const std::wstring& section,
                                      const std::wstring& key) const {
  wchar_t value[2048] = {};
  GetPrivateProfileStringW(section.c_str(), key.c_str(), L"<none>", value, 2048, file.c_str());
  return value;
}

bool WriteCommonIni(const std::wstring& folder, int show, int checkProfileRewrite, int disableInput) {
  return WriteUnicodeFile(folder + L"\\common.ini", L"[COMMON_OTHER]\r\nShow=" + std::to_wstring(show) +
                                                        L"\r\nCheckProfileRewrite=" + std::to_wstring(checkProfileRewrite) +
                                                        L"\r\nDisableInputMode=" + std::to_wstring(disableInput) + L"\r\n");
}

}  // namespace pelmo::test
