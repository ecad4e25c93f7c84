// The Windows side of OTHER: process priority, the start-up shortcut and the overwrite question.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "FileOps.h"
#include "OtherProfile.h"

#include "core/AppDirectory.h"
#include "core/LongPath.h"
#include "core/Strings.h"
#include "core/resource.h"
#include "core/MessageBoxService.h"
#include "framework/Handles.h"

namespace pelmo {
namespace {

// Program-wide: the priority applied last. 5 matches no entry, so the first call applies.
int32_t g_appliedPriority = 5;

constexpr DWORD kPriorityClasses[] = {IDLE_PRIORITY_CLASS, BELOW_NORMAL_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS,
                                      ABOVE_NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS};

}  // namespace

void COtherProfile::ApplyPriority() {
  if (priority_ == g_appliedPriority) return;
  g_appliedPriority = priority_;
  if (priority_ >= 0 && priority_ <= 4) SetPriorityClass(GetCurrentProcess(), kPriorityClasses[priority_]);
}

bool COtherProfile::GetStartupShortcutPath(std::wstring* shortcut, std::wstring* executable) {
  if (executable) *executable = GetExecutablePath();
  if (!shortcut) return true;
  // Every profile read looks for the shortcut; the shell is slow to name the folder.
  static std::wstring startup;
  if (startup.empty()) {
    wchar_t folder[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder))) {
      shortcut->clear();
      return false;
    }
    startup = folder;
  }
  *shortcut = startup + L"\\PELMO.lnk";
  return true;
}

bool COtherProfile::CreateStartupShortcut() {
  std::wstring shortcut, exe;
  if (!GetStartupShortcutPath(&shortcut, &exe)) return false;
  fw::ComScope com;
  if (!com.ok()) return false;
  if (IsRegularFile(shortcut)) return true;
  fw::ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.put_void()))) {
    return false;
  }
  fw::ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
  link->SetPath(exe.c_str());
  link->SetDescription(L"");
  link->SetArguments(L"/s");
  link->SetWorkingDirectory(L"");
  link->SetIconLocation(L"", 0);
  link->SetShowCmd(SW_SHOWNORMAL);
  return SUCCEEDED(file->Save(shortcut.c_str(), TRUE));
}

bool COtherProfile::RemoveStartupShortcut() {
  std::wstring shortcut;
  if (!GetStartupShortcutPath(&shortcut, nullptr)) return true;
  if (!IsRegularFile(shortcut)) return true;
  return RemoveFile(shortcut);
}

COtherProfile::OverwriteAnswer COtherProfile::CheckOverwrite(WindowHandle, const std::wstring& path) const {
  if (checkRewrite_ == 0) return kOverwriteGoAhead;
  // Any length: a path of 260 characters or more must not skip the question and replace the file.
  if (!LongPathExists(path)) return kOverwriteNoFile;
  int answer = AskUser(LoadResString(IDS_ASK_OVERWRITE), MB_YESNO | MB_ICONEXCLAMATION);
  return answer == IDYES ? kOverwriteGoAhead : kOverwriteDeclined;
}

}  // namespace pelmo
