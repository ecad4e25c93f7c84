// A small driver for a running PELMO: reports whether it runs (its hidden main window and its
// single-instance mutex), and can ask it to exit. Used by scripts/run and the program tests.
//   pelmo_probe status [mutexName]   exit code 0 when both are present
//   pelmo_probe exit                 sends the tray menu's exit command
//   pelmo_probe show-settings        asks the main window to open the settings window
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "wine_test_support.h"

int wmain(int argc, wchar_t** argv) {
  const wchar_t* verb = argc > 1 ? argv[1] : L"status";
  const wchar_t* mutexName = argc > 2 ? argv[2] : L"pelmo";
  HWND main = pelmo::test::FindPelmoMainWindow();
  if (wcscmp(verb, L"exit") == 0) {
    if (!main) {
      std::printf("no PELMO main window\n");
      return 1;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageW(main, WM_COMMAND, 32791, 0);
    const DWORD waited = process ? WaitForSingleObject(process, 15000) : WAIT_FAILED;
    if (process) CloseHandle(process);
    std::printf("exit command sent; process %s\n", waited == WAIT_OBJECT_0 ? "ended" : "still running");
    return waited == WAIT_OBJECT_0 ? 0 : 2;
  }
  if (wcscmp(verb, L"show-settings") == 0) {
    if (!main) return 1;
    SendMessageW(main, WM_COMMAND, 32794, 0);
    return 0;
  }
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, mutexName);
  std::printf("main window: %s\n", main ? "present (hidden)" : "missing");
  std::printf("single-instance mutex \"%ls\": %s\n", mutexName, mutex ? "held" : "missing");
  if (mutex) CloseHandle(mutex);
  return main && mutex ? 0 : 1;
}
