// Helper process for the input test: reports, through its exit code, how many separate presses of
// the key given on the command line it saw through GetAsyncKeyState within the given milliseconds.
#include <windows.h>
#include <cstdlib>

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 255;
  const int vk = _wtoi(argv[1]);
  const DWORD waitMs = static_cast<DWORD>(_wtoi(argv[2]));
  // Signal readiness to the driver by creating a named event it waits on.
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, L"pelmo_key_probe_ready");
  if (ready) SetEvent(ready);
  int presses = 0;
  bool down = false;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < waitMs) {
    const bool now = (GetAsyncKeyState(vk) & 0x8000) != 0;
    if (now && !down) ++presses;
    down = now;
    Sleep(5);
  }
  if (ready) CloseHandle(ready);
  return presses;
}
