// How quickly a screen cut's overlay is up and following the cursor after the key event, against
// a bare window show in this process; and whether 100 cuts and 1,000 automatic captures in a row
// leave the program's memory (and GDI/USER/handle counts, where reported) where they were.
//   screencut_bench [runs] [auto-captures] [x | sendinput]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "wine_test_support.h"
#include "cut_overlay.h"
#include "process_counters.h"

namespace {

double Now() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

HWND VisibleOverlay(DWORD pid) { return pelmo::test::FindCutOverlay(pid); }

bool CentredOn(HWND overlay, POINT p) {
  RECT r{};
  return GetWindowRect(overlay, &r) && r.left == p.x - 2 && r.top == p.y - 2;
}

// Input reaches the system only while this thread handles its messages (Wine).
void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// One move of the X pointer itself (xdotool, a Unix program Wine starts), as a real mouse makes it;
// false when xdotool cannot be started.
bool XMove(POINT p) {
  wchar_t cmd[128];
  swprintf(cmd, 128, L"Z:\\usr\\bin\\xdotool mousemove %ld %ld", p.x, p.y);
  STARTUPINFOW si{sizeof(si)};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForSingleObject(pi.hProcess, 5000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

// One absolute move through the input system.
void SendMove(POINT p) {
  const int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((static_cast<int64_t>(p.x - GetSystemMetrics(SM_XVIRTUALSCREEN)) * 65535 + vw - 1) / vw);
  in.mi.dy = static_cast<LONG>((static_cast<int64_t>(p.y - GetSystemMetrics(SM_YVIRTUALSCREEN)) * 65535 + vh - 1) / vh);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  SendInput(1, &in, sizeof(in));
}

// An absolute move through the input system; returns once GetCursorPos reports the point.
void MoveMouse(POINT p) {
  const int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  LONG nx = static_cast<LONG>((static_cast<int64_t>(p.x - GetSystemMetrics(SM_XVIRTUALSCREEN)) * 65535 + vw - 1) / vw);
  LONG ny = static_cast<LONG>((static_cast<int64_t>(p.y - GetSystemMetrics(SM_YVIRTUALSCREEN)) * 65535 + vh - 1) / vh);
  for (int attempt = 0; attempt < 6; ++attempt) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = nx;
    in.mi.dy = ny;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    SendInput(1, &in, sizeof(in));
    POINT c{};
    const double start = Now();
    do {
      GetCursorPos(&c);
      if (c.x == p.x && c.y == p.y) return;
      Pump();
    } while (Now() - start < 200);
    nx += (p.x - c.x) * 65535 / vw + (p.x > c.x ? 1 : (p.x < c.x ? -1 : 0));
    ny += (p.y - c.y) * 65535 / vh + (p.y > c.y ? 1 : (p.y < c.y ? -1 : 0));
  }
}

using Counters = pelmo::test::ProcessCounters;

void PrintCounters(const char* what, const Counters& a, const Counters& b) {
  std::printf("%-28s private %8.2f -> %8.2f MB (%+.2f MB)", what, a.privateBytes / 1048576.0,
              b.privateBytes / 1048576.0, (static_cast<double>(b.privateBytes) - a.privateBytes) / 1048576.0);
  if (a.gdi || b.gdi) {
    std::printf("  GDI %lu -> %lu  USER %lu -> %lu  handles %lu -> %lu", a.gdi, b.gdi, a.user, b.user, a.handles,
                b.handles);
  } else {
    std::printf("  (GDI/USER/handle counts not reported here)");
  }
  std::printf("\n");
}

// The reference: a 4 x 4 top-most layered popup created and shown in this process, until it is
// visible at its place, as the overlay is.
double BareWindowShow(POINT p) {
  const double start = Now();
  HWND w = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED, L"STATIC", L"", WS_POPUP, 0, 0, 4, 4,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetLayeredWindowAttributes(w, 0, 8, LWA_ALPHA);
  SetWindowPos(w, HWND_TOPMOST, p.x - 2, p.y - 2, 4, 4, SWP_SHOWWINDOW);
  while (!(IsWindowVisible(w) && CentredOn(w, p))) pelmo::test::PumpFor(1);
  const double ms = Now() - start;
  DestroyWindow(w);
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 21;
  const size_t autoCaptures = argc > 2 ? static_cast<size_t>(std::max(20, atoi(argv[2]))) : 1000;
  // The X pointer moved by xdotool by default, as a real mouse moves it; "sendinput" injects the
  // moves through SendInput instead (Wine then tells other processes about them ~100 ms late).
  const bool useX = !(argc > 3 && std::string(argv[3]) == "sendinput");
  pelmo::test::DebugMonitor trace;
  pelmo::test::PelmoProcess pelmo;
  const std::wstring out = pelmo.path(L"out");
  CreateDirectoryW(out.c_str(), nullptr);
  pelmo::test::TestProfile profile;
  profile.name = L"bench";
  profile.saveFolder = out;
  profile.imageType = 3;
  profile.fileName = L"shot";  // one file, overwritten: the disk stays small
  profile.digitCount = 0;
  profile.keys = {{L"ScreenCut", VK_F5}, {L"ScreenCutRect", VK_F6}, {L"SetClipboard", VK_F8}};
  profile.extraSections = L"[SCREEN_CUT]\r\nFixSizeX=200\r\nFixSizeY=150\r\n"
                          L"[TIME]\r\nActionType=2\r\nInterval=1\r\nCaptureStart=1\r\n";
  if (!trace.ok() || !pelmo::test::InstallProfile(pelmo.folder().path(), profile) || !pelmo.Start() ||
      !pelmo.WaitForMainWindow()) {
    std::printf("could not start the program\n");
    return 1;
  }
  HWND main = pelmo.mainWindow();
  const DWORD pid = pelmo.process().pid();
  HANDLE process = pelmo.process().handle();

  // 1. Key event to overlay visible, then a cursor move to the overlay following it.
  std::vector<double> visible, follow, bare, viaKeyboard, cursorSeen, afterSeen;
  size_t cancelled = 0;
  for (int i = 0; i < runs + 1; ++i) {
    POINT p{600 + (i % 5) * 10, 400};
    MoveMouse(p);
    pelmo::test::PumpFor(50);
    const double start = Now();
    HWND overlay = nullptr;
    if (i % 2 == 0) {
      PostMessageW(main, WM_APP + 4, VK_F5, 0);  // the key event as the key source posts it
      PostMessageW(main, WM_APP + 5, VK_F5, 0);
      while (!(overlay = VisibleOverlay(pid)) && Now() - start < 5000) Sleep(0);
    } else {
      pelmo::test::KeyDown(VK_F5);  // a real key press, through the polling source
      while (!(overlay = VisibleOverlay(pid)) && Now() - start < 5000) pelmo::test::PumpFor(0);
      pelmo::test::KeyUp(VK_F5);
    }
    const double shown = Now() - start;
    if (!overlay) {
      std::printf("no overlay\n");
      return 1;
    }
    // A real mouse move (one absolute SendInput); the time runs from the send to the overlay
    // centred on where the cursor came to rest.
    POINT q{p.x + 37, p.y + 23};
    const double moved = Now();
    if (!(useX && XMove(q))) SendMove(q);
    POINT rest{};
    do {
      Pump();
      GetCursorPos(&rest);
    } while ((rest.x == p.x && rest.y == p.y) && Now() - moved < 5000);
    const double seen = Now() - moved;
    q = rest;
    while (!CentredOn(overlay, q) && Now() - moved < 5000) Pump();
    const double followed = Now() - moved;
    if (followed >= 5000) {
      RECT r{};
      GetWindowRect(overlay, &r);
      POINT c{};
      GetCursorPos(&c);
      std::printf("not following: overlay at %ld,%ld, cursor %ld,%ld, wanted %ld,%ld\n", r.left, r.top, c.x, c.y, q.x, q.y);
    }
    PostMessageW(overlay, WM_COMMAND, IDCANCEL, 0);
    ++cancelled;
    if (trace.WaitFor(L"cut cancelled", cancelled, 10000, pid).size() < cancelled) {
      std::printf("cut did not end\n");
      return 1;
    }
    pelmo::test::PumpFor(150);  // the key's release is seen before the next press
    if (i == 0) continue;
    cursorSeen.push_back(seen);
    afterSeen.push_back(followed - seen);
    (i % 2 == 0 ? visible : viaKeyboard).push_back(shown);
    follow.push_back(followed);
    bare.push_back(BareWindowShow(p));
  }
  const double v = Median(visible), f = Median(follow), b = Median(bare);
  std::printf("overlay, medians of %d runs in ms (Wine, shared machine)\n", runs);
  std::printf("  key event to overlay visible      %8.2f\n", v);
  std::printf("  real key press to overlay visible %8.2f (includes the polling source)\n", Median(viaKeyboard));
  std::printf("  mouse move to overlay following   %8.2f (this process saw the cursor move after %.2f;\n"
              "                                             the overlay followed %.2f after that)\n",
              f, Median(cursorSeen), Median(afterSeen));
  std::printf("  key event to visible + following  %8.2f\n", v + f);
  std::printf("  bare window show (this process)   %8.2f   ratio %.1f\n", b, b > 0 ? (v + f) / b : 0.0);

  // 2. 100 fixed-size cuts, each taken with a click and saved.
  auto cutOnce = [&](size_t n) {
    PostMessageW(main, WM_APP + 4, VK_F6, 0);
    PostMessageW(main, WM_APP + 5, VK_F6, 0);
    HWND overlay = nullptr;
    const double start = Now();
    while (!(overlay = VisibleOverlay(pid)) && Now() - start < 5000) Sleep(1);
    if (!overlay) return false;
    PostMessageW(overlay, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageW(overlay, WM_LBUTTONUP, 0, 0);
    return trace.WaitFor(L"event 6 done", n, 10000, pid).size() >= n;
  };
  SetCursorPos(640, 400);
  for (size_t i = 1; i <= 10; ++i) {
    if (!cutOnce(i)) {
      std::printf("cut %zu failed\n", i);
      return 1;
    }
  }
  const Counters beforeCuts = pelmo::test::ReadProcessCounters(process);
  for (size_t i = 11; i <= 110; ++i) {
    if (!cutOnce(i)) {
      std::printf("cut %zu failed\n", i);
      return 1;
    }
  }
  const Counters afterCuts = pelmo::test::ReadProcessCounters(process);
  PrintCounters("100 fixed cuts:", beforeCuts, afterCuts);

  // 3. Automatic capture, 100 ms a tick, of a small window's client area.
  HWND win = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"auto", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 320, 240,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetForegroundWindow(win);
  pelmo::test::PumpFor(300);
  PostMessageW(main, WM_APP + 4, VK_F8, 0);
  PostMessageW(main, WM_APP + 5, VK_F8, 0);
  const double autoStart = Now();
  if (trace.WaitFor(L"event 2 done", 50, 60000, pid).size() < 50) {
    std::printf("automatic capture did not run\n");
    return 1;
  }
  const Counters beforeAuto = pelmo::test::ReadProcessCounters(process);
  if (trace.WaitFor(L"event 2 done", 50 + autoCaptures, static_cast<DWORD>(autoCaptures * 400), pid).size() <
      50 + autoCaptures) {
    std::printf("automatic capture stopped early\n");
    return 1;
  }
  const Counters afterAuto = pelmo::test::ReadProcessCounters(process);
  const double autoMs = Now() - autoStart;
  PostMessageW(main, WM_APP + 4, VK_F8, 0);
  PostMessageW(main, WM_APP + 5, VK_F8, 0);
  trace.WaitFor(L"auto capture stopped", 1, 5000, pid);
  char label[64];
  std::snprintf(label, sizeof(label), "%zu automatic captures:", autoCaptures);
  PrintCounters(label, beforeAuto, afterAuto);
  std::printf("  %.1f ms a capture on average (tick 100 ms); failures: %zu\n", autoMs / (50 + autoCaptures),
              trace.Lines(L"failed", pid).size());
  DestroyWindow(win);
  PostMessageW(main, WM_COMMAND, 32791, 0);
  pelmo.process().wait(20000);
  return 0;
}
