// What a leak test compares before and after a long run: the program's object counts (where the
// platform reports them) and its private bytes.
#pragma once

#include <windows.h>
#include <psapi.h>

namespace pelmo::test {

struct ProcessCounters {
  DWORD gdi = 0, user = 0, handles = 0;
  SIZE_T privateBytes = 0;
};

inline ProcessCounters ReadProcessCounters(HANDLE process) {
  ProcessCounters c;
  c.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  c.user = GetGuiResources(process, GR_USEROBJECTS);
  GetProcessHandleCount(process, &c.handles);
  PROCESS_MEMORY_COUNTERS_EX mem{};
  mem.cb = sizeof(mem);
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof(mem));
  // Wine leaves PrivateUsage at 0; its commit charge (PagefileUsage) is the same figure there.
  c.privateBytes = mem.PrivateUsage ? mem.PrivateUsage : mem.PagefileUsage;
  return c;
}

}  // namespace pelmo::test
