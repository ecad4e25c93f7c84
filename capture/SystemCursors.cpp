#include "capture/SystemCursors.h"

#include <exception>

#include "core/Trace.h"

namespace pelmo {
namespace {

// The cursors a cut replaces, in the order they are replaced (32512 twice, as the original order
// had it: harmless, and the restore covers all of them at once).
constexpr DWORD kReplaced[] = {32512, 32515, 32649, 32513, 32648, 32646, 32643, 32645, 32642, 32644, 32512, 32514};

// Word-sized state read by the crash handlers; the UI thread is the only writer.
volatile LONG g_replaced = 0;
LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;
std::terminate_handler g_previousTerminate = nullptr;

void RestoreNow() {
  SystemParametersInfoW(SPI_SETCURSORS, 0, nullptr, 0);
}

bool StillAlive(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return true;
}

void ForgetMarker() { DeleteFileW(InterruptedCutMarkerPath().c_str()); }

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
  if (InterlockedExchange(&g_replaced, 0)) {
    RestoreNow();
    ForgetMarker();
  }
  return g_previousFilter ? g_previousFilter(info) : EXCEPTION_CONTINUE_SEARCH;
}

void OnTerminate() {
  if (InterlockedExchange(&g_replaced, 0)) {
    RestoreNow();
    ForgetMarker();
  }
  if (g_previousTerminate) g_previousTerminate();
  std::abort();
}

}  // namespace

std::wstring InterruptedCutMarkerPath() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  std::wstring path = (n > 0 && n <= MAX_PATH) ? std::wstring(temp, n) : std::wstring(L".\\");
  if (path.back() != L'\\') path += L'\\';
  return path + L"pelmo-screencut.marker";
}

void CrossHairCursors::Engage(HCURSOR cross) {
  if (engaged_ || !cross) return;
  // The marker first: a kill between here and Restore leaves it for the next start.
  HANDLE marker = CreateFileW(InterruptedCutMarkerPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  g_previousFilter = SetUnhandledExceptionFilter(OnUnhandledException);
  g_previousTerminate = std::set_terminate(OnTerminate);
  InterlockedExchange(&g_replaced, 1);
  engaged_ = true;
  // SetSystemCursor takes over (and destroys) the cursor it is given: one copy per call. Where
  // the copy is still alive afterwards (a platform whose SetSystemCursor does nothing, as Wine's),
  // nobody took it, and it is ours to free.
  for (DWORD id : kReplaced) {
    if (HICON copy = CopyIcon(cross)) {
      if (!SetSystemCursor(copy, id) || StillAlive(copy)) DestroyIcon(copy);
    }
  }
  Trace(L"cursors cross-hair");
}

void CrossHairCursors::Restore() {
  if (!engaged_) return;
  engaged_ = false;
  InterlockedExchange(&g_replaced, 0);
  RestoreNow();
  SetUnhandledExceptionFilter(g_previousFilter);
  std::set_terminate(g_previousTerminate);
  g_previousFilter = nullptr;
  g_previousTerminate = nullptr;
  ForgetMarker();
  Trace(L"cursors restored");
}

void RestoreSystemCursorsIfReplaced() {
  if (InterlockedExchange(&g_replaced, 0)) {
    RestoreNow();
    ForgetMarker();
    Trace(L"cursors restored (session end)");
  }
}

bool RestoreCursorsAfterInterruptedCut() {
  const std::wstring marker = InterruptedCutMarkerPath();
  if (GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  RestoreNow();
  DeleteFileW(marker.c_str());
  Trace(L"cursors restored after an interrupted cut");
  return true;
}

}  // namespace pelmo
