// Helper process for the key input tests: starts the source given on the command line (0 polling,
// 1 hook library), binds its window with WM_APP_KEYDOWN / WM_APP_KEYUP and logs every key message
// into shared memory. Ends when its window is closed, after KeyInputStopAll.
#include <windows.h>

#include <cstdlib>
#include <iterator>

#include "core/AppMessages.h"
#include "key_receiver_protocol.h"
#include "keyinput/KeyInput.h"

namespace {

using namespace pelmo;
using namespace pelmo::test;

ReceiverLog* g_log = nullptr;

void Record(UINT msg, WPARAM code) {
  if (!g_log || g_log->count >= static_cast<LONG>(std::size(g_log->keys))) return;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  ReceivedKey& k = g_log->keys[g_log->count];
  k.msg = msg;
  k.code = static_cast<uint32_t>(code);
  k.qpc = now.QuadPart;
  InterlockedIncrement(&g_log->count);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_APP_KEYDOWN:
    case WM_APP_KEYUP:
      Record(msg, wParam);
      return 1;
    case kCmdSwitchSource:
      SwitchKeyInputSource(static_cast<int32_t>(wParam));
      return KeyInputGetMode() * 10 + KeyInputIsRunning();
    case kCmdEnableKeyDown:
      return KeyInputEnableKeyDown(static_cast<int32_t>(wParam));
    case kCmdSetKeyDownMessage:
      return KeyInputSetKeyDownMessage(static_cast<uint32_t>(wParam));
    case kCmdSetKeyUpMessage:
      return KeyInputSetKeyUpMessage(static_cast<uint32_t>(wParam));
    case kCmdBind:
      return reinterpret_cast<LRESULT>(KeyInputSetMainHwnd(wParam ? hwnd : nullptr));
    case kCmdIsKeyHeld:
      return KeyInputIsKeyHeld(static_cast<int>(wParam)) ? 1 : 0;
    case kCmdIsBound:
      return KeyInputIsMainHwnd(hwnd);
    case kCmdGetMessages:
      return static_cast<LRESULT>((KeyInputGetKeyDownMessage() << 16) | (KeyInputGetKeyUpMessage() & 0xFFFF));
    case kCmdStopAll:
      KeyInputStopAll();
      return KeyInputIsRunning();
    case kCmdStart:
      return KeyInputStart(static_cast<int32_t>(wParam));
    case WM_DESTROY:
      KeyInputStopAll();
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int mode = argc > 1 ? _wtoi(argv[1]) : 0;
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(ReceiverLog), kReceiverLogName);
  if (!mapping) return 2;
  g_log = static_cast<ReceiverLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ReceiverLog)));
  if (!g_log) return 3;

  WNDCLASSW wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PelmoKeyReceiver";
  RegisterClassW(&wc);
  // A hidden top-level window, as the program's main window is.
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, kReceiverCaption, WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, wc.hInstance, nullptr);
  if (!hwnd) return 4;

  // As at program start: the source is chosen before the window binds.
  SwitchKeyInputSource(mode);
  KeyInputSetMainHwnd(hwnd);
  KeyInputSetKeyDownMessage(WM_APP_KEYDOWN);
  KeyInputSetKeyUpMessage(WM_APP_KEYUP);

  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, kReceiverReadyEvent);
  if (ready) {
    SetEvent(ready);
    CloseHandle(ready);
  }
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  UnmapViewOfFile(g_log);
  CloseHandle(mapping);
  return 0;
}
