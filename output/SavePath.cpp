#include "output/SavePath.h"

#include <algorithm>
#include <vector>

#include "core/LongPath.h"
#include "core/Strings.h"
#include "core/resource.h"
#include "settings/GenProfile.h"
#include "settings/NameProfile.h"

namespace pelmo {
namespace {

constexpr UINT kTitleTimeoutMs = 500;

std::wstring DesktopWindowName() { return LoadResString(IDS_DESKTOP_WINDOW_NAME); }

std::wstring WindowTitle(HWND window, size_t room) {
  std::vector<wchar_t> buffer(room + 1, L'\0');
  DWORD_PTR copied = 0;
  // A hung foreground window must not stop the capture: ask with a timeout, and fall back to the
  // title the system keeps, which needs no answer from the window.
  if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_ABORTIFHUNG | SMTO_BLOCK, kTitleTimeoutMs, &copied)) {
    copied = static_cast<DWORD_PTR>(
        std::max(0, InternalGetWindowText(window, buffer.data(), static_cast<int>(buffer.size()))));
  }
  copied = std::min<DWORD_PTR>(copied, room);
  return std::wstring(buffer.data(), wcsnlen(buffer.data(), static_cast<size_t>(copied)));
}

}  // namespace

std::wstring GetWindowNameText(HWND window, int32_t windowNameLength) {
  if (window && window == GetDesktopWindow()) return WindowNameText(DesktopWindowName(), windowNameLength);
  if (windowNameLength <= 0 || !window || !IsWindow(window)) return WindowNameText(L"", windowNameLength);
  // One unit more than asked for, so that a cut never leaves half of a surrogate pair.
  const size_t room = std::min<size_t>(static_cast<size_t>(windowNameLength), kMaxExpandedLength) + 1;
  return WindowNameText(WindowTitle(window, room), windowNameLength);
}

PlaceholderValues ReadPlaceholderValues(const SavePathRequest& request) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  PlaceholderValues values;
  values.time = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  values.currentNumber = request.currentNumber;
  values.digitCount = request.digitCount;
  if (request.fileNameTemplate.find(L"%w") != std::wstring::npos)
    values.windowName = GetWindowNameText(request.window, request.windowNameLength);
  if (const wchar_t* name = EventKeyNameW(request.event)) values.eventKeyName = name;
  values.profileName = request.profileName;
  return values;
}

int BuildSaveDirectory(std::wstring& directory, const SavePathRequest& request,
                       const PlaceholderValues& values, int& messageId) {
  if (!LongPathIsDirectory(request.saveFolder)) {
    messageId = IDS_NO_SAVE_FOLDER;
    return -1;
  }
  return ComposeSaveDirectory(directory, request.saveFolder, request.fileNameTemplate, values);
}

int BuildFileNamePart(std::wstring& path, const SavePathRequest& request,
                      const PlaceholderValues& values, int& messageId) {
  const int used = ComposeFileNamePart(path, request.fileNameTemplate, request.imageType, values);
  if (used < 0) messageId = IDS_BAD_FILE_NAME;
  return used;
}

SavePathResult BuildSavePath(const SavePathRequest& request) {
  SavePathResult result;
  const PlaceholderValues values = ReadPlaceholderValues(request);
  std::wstring directory;
  const int d = BuildSaveDirectory(directory, request, values, result.messageId);
  if (d < 0) return result;
  std::wstring path = directory;
  const int f = BuildFileNamePart(path, request, values, result.messageId);
  if (f < 0) return result;
  if (!CreateDirectoryTree(directory)) {
    result.messageId = IDS_MKDIR_FAILED;
    return result;
  }
  result.status = (d + f > 0) ? 1 : 0;
  result.path = std::move(path);
  return result;
}

SavePathRequest MakeSavePathRequest(const CGenProfile& options, const CNameProfile& names,
                                    const std::wstring& profileName, CaptureEventId event, HWND window) {
  SavePathRequest request;
  request.saveFolder = options.GetSaveFolder();
  request.imageType = options.GetImageType();
  request.fileNameTemplate = names.GetFileName();
  request.currentNumber = names.GetCurrentNumber();
  request.digitCount = names.GetDigitCount();
  request.windowNameLength = names.GetWindowNameLength();
  request.profileName = profileName;
  request.event = event;
  request.window = window;
  return request;
}

}  // namespace pelmo
