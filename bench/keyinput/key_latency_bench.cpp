// Key input under Wine: time from a synthesized key press (SendInput) to the WM_APP_KEYDOWN the
// source posts, for the polling source and the hook library, against the reference of the same
// run: the time until the focused window itself takes the WM_KEYDOWN. Then the CPU time the
// polling thread uses per minute while no key is pressed, against a thread that only sleeps 14 ms
// per turn, and the wall time of one scan.
//
//   key_latency_bench.exe [presses per source, default 300] [idle seconds, default 20]
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <set>
#include <vector>

#include "core/AppMessages.h"
#include "keyinput/KeyInput.h"
#include "keyinput/KeyPollScan.h"

namespace {

using namespace pelmo;

LARGE_INTEGER g_freq;
std::atomic<int64_t> g_keyDownAt{0};  // QPC of the last WM_APP_KEYDOWN / WM_APP_KEYUP received
std::atomic<int64_t> g_keyUpAt{0};
int64_t g_focusKeyDownAt = 0;  // QPC of the focus window's last WM_KEYDOWN

int64_t Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

double Ms(int64_t ticks) { return 1000.0 * static_cast<double>(ticks) / static_cast<double>(g_freq.QuadPart); }

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_APP_KEYDOWN) {
    g_keyDownAt = Now();
    return 1;
  }
  if (msg == WM_APP_KEYUP) {
    g_keyUpAt = Now();
    return 1;
  }
  if (msg == WM_USER) {  // switch source: wParam = mode
    SwitchKeyInputSource(static_cast<int32_t>(wParam));
    return KeyInputIsRunning();
  }
  if (msg == WM_CLOSE) {
    KeyInputStopAll();
    DestroyWindow(hwnd);
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK FocusProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KEYDOWN && g_focusKeyDownAt == 0) g_focusKeyDownAt = Now();
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The program's UI thread: owns the registered window and the facade.
HWND g_receiver = nullptr;
DWORD WINAPI ReceiverThread(void* ready) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ReceiverProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PelmoBenchReceiver";
  RegisterClassW(&wc);
  g_receiver = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  SwitchKeyInputSource(kKeyInputPolling);
  KeyInputSetMainHwnd(g_receiver);
  KeyInputSetKeyDownMessage(WM_APP_KEYDOWN);
  KeyInputSetKeyUpMessage(WM_APP_KEYUP);
  SetEvent(static_cast<HANDLE>(ready));
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  return 0;
}

void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

void SendKey(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof(in));
}

// Pumps this thread (the focused window's, where hooks run) until the flag is set or 500 ms pass.
bool WaitFor(const std::atomic<int64_t>& at) {
  const int64_t deadline = Now() + g_freq.QuadPart / 2;
  while (at.load() == 0 && Now() < deadline) {
    Pump();
    Sleep(0);
  }
  return at.load() != 0;
}

struct Stats {
  double median = 0, p95 = 0, worst = 0;
  int lost = 0;
};

Stats Summarize(std::vector<double> v, int lost) {
  Stats s;
  s.lost = lost;
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  s.median = v[v.size() / 2];
  s.p95 = v[std::min(v.size() - 1, v.size() * 95 / 100)];
  s.worst = v.back();
  return s;
}

// Presses F9 `presses` times; returns the source's latency and, as reference, the focus window's.
void MeasureLatency(int mode, int presses, Stats& source, Stats& reference) {
  SendMessageW(g_receiver, WM_USER, static_cast<WPARAM>(mode), 0);
  Sleep(200);
  Pump();
  std::vector<double> src, ref;
  int lost = 0;
  for (int i = 0; i < presses; ++i) {
    g_keyDownAt = 0;
    g_keyUpAt = 0;
    g_focusKeyDownAt = 0;
    const int64_t t0 = Now();
    SendKey(VK_F9, false);
    const bool got = WaitFor(g_keyDownAt);
    if (got) src.push_back(Ms(g_keyDownAt.load() - t0));
    else ++lost;
    if (g_focusKeyDownAt != 0) ref.push_back(Ms(g_focusKeyDownAt - t0));
    Sleep(5);
    Pump();
    SendKey(VK_F9, true);
    WaitFor(g_keyUpAt);
    // Vary the gap so that presses fall on every phase of the 14 ms polling period.
    const DWORD gap = 10 + static_cast<DWORD>((i * 5) % 14);
    const int64_t until = Now() + g_freq.QuadPart * gap / 1000;
    while (Now() < until) {
      Pump();
      Sleep(1);
    }
  }
  source = Summarize(src, lost);
  reference = Summarize(ref, 0);
}

std::atomic<int> g_sleeperRunning{0};
DWORD WINAPI SleepOnlyThread(void*) {
  while (g_sleeperRunning.load()) Sleep(kPollPeriodMs);
  return 0;
}

std::set<DWORD> ThreadIds() {
  std::set<DWORD> ids;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snap == INVALID_HANDLE_VALUE) return ids;
  THREADENTRY32 te{};
  te.dwSize = sizeof(te);
  for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te)) {
    if (te.th32OwnerProcessID == GetCurrentProcessId()) ids.insert(te.th32ThreadID);
  }
  CloseHandle(snap);
  return ids;
}

int64_t ThreadCpu100ns(HANDLE thread) {
  FILETIME c, e, k, u;
  if (!GetThreadTimes(thread, &c, &e, &k, &u)) return -1;
  auto v = [](FILETIME f) { return (static_cast<int64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
  return v(k) + v(u);
}

// CPU milliseconds per minute one thread uses over `seconds`.
double ThreadCpuPerMinute(HANDLE thread, int seconds) {
  const int64_t c0 = ThreadCpu100ns(thread);
  const int64_t t0 = Now();
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const int64_t c1 = ThreadCpu100ns(thread);
  if (c0 < 0 || c1 < 0) return -1;
  return static_cast<double>(c1 - c0) / 10000.0 * 60000.0 / Ms(Now() - t0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int presses = argc > 1 ? _wtoi(argv[1]) : 300;
  const int idleSeconds = argc > 2 ? _wtoi(argv[2]) : 20;
  QueryPerformanceFrequency(&g_freq);

  WNDCLASSW wc{};
  wc.lpfnWndProc = FocusProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PelmoBenchFocus";
  RegisterClassW(&wc);
  HWND focus = CreateWindowExW(0, wc.lpszClassName, L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                               200, nullptr, nullptr, wc.hInstance, nullptr);
  SetForegroundWindow(focus);
  SetFocus(focus);

  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE receiver = CreateThread(nullptr, 0, ReceiverThread, ready, 0, nullptr);
  WaitForSingleObject(ready, INFINITE);
  CloseHandle(ready);
  Sleep(300);
  Pump();

  std::printf("key press -> WM_APP_KEYDOWN under Wine, %d presses per source (ms)\n", presses);
  std::printf("%-14s %8s %8s %8s %6s | reference (focus window WM_KEYDOWN) median, worst | ratio of medians\n",
              "source", "median", "p95", "worst", "lost");
  for (int mode : {kKeyInputPolling, kKeyInputHook}) {
    Stats s, r;
    MeasureLatency(mode, presses, s, r);
    std::printf("%-14s %8.2f %8.2f %8.2f %6d | %8.2f %8.2f | %6.1fx\n", mode == 0 ? "polling" : "hook library",
                s.median, s.p95, s.worst, s.lost, r.median, r.worst, r.median > 0 ? s.median / r.median : 0.0);
  }

  // Idle CPU: the polling source running, against a thread that only sleeps 14 ms per turn.
  // The polling thread is the one thread a switch to the polling source adds.
  SendMessageW(g_receiver, WM_USER, kKeyInputHook, 0);
  const std::set<DWORD> before = ThreadIds();
  SendMessageW(g_receiver, WM_USER, kKeyInputPolling, 0);
  DWORD pollerId = 0;
  for (DWORD id : ThreadIds()) {
    if (!before.count(id)) pollerId = id;
  }
  HANDLE poller = pollerId ? OpenThread(THREAD_QUERY_INFORMATION, FALSE, pollerId) : nullptr;
  const double pollCpu = poller ? ThreadCpuPerMinute(poller, idleSeconds) : -1;
  if (poller) CloseHandle(poller);
  g_sleeperRunning = 1;
  HANDLE sleeper = CreateThread(nullptr, 0, SleepOnlyThread, nullptr, 0, nullptr);
  const double sleepCpu = ThreadCpuPerMinute(sleeper, idleSeconds);
  g_sleeperRunning = 0;
  WaitForSingleObject(sleeper, INFINITE);
  CloseHandle(sleeper);
  std::printf("idle CPU per minute over %d s: polling thread %.0f ms, reference sleep-only 14 ms loop %.0f ms",
              idleSeconds, pollCpu, sleepCpu);
  if (sleepCpu > 0) std::printf(", ratio %.1fx", pollCpu / sleepCpu);
  std::printf("\n");

  // One scan alone: 251 GetAsyncKeyState calls.
  KeyPollState state;
  const int scans = 500;
  const int64_t s0 = Now();
  for (int i = 0; i < scans; ++i) {
    ScanKeys(state, false, [](int code) { return GetAsyncKeyState(code); }, [](uintptr_t, uint32_t, int) {});
  }
  const double scanMs = Ms(Now() - s0) / scans;
  std::printf("one scan: %.3f ms wall; wall time spent scanning per minute (one scan per %u ms): %.0f ms\n", scanMs, kPollPeriodMs,
              scanMs * 60000.0 / (kPollPeriodMs + scanMs));

  PostMessageW(g_receiver, WM_CLOSE, 0, 0);
  WaitForSingleObject(receiver, 5000);
  CloseHandle(receiver);
  DestroyWindow(focus);
  return 0;
}
