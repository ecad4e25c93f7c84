// How much the capture pipeline adds: from the key-down message to the closed file for a
// desktop capture (the running program, JPG and PNG), against a bare copy from the screen and
// encode of the same size with the same codec in this process. Prints medians and their ratio.
// With a second executable (an earlier build of pelmo.exe), both programs are measured in the same
// run, one after the other, and the ratio of this build to the earlier one is printed too.
//   capture_bench [runs] [earlier-pelmo.exe]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "imgctl/api/imgctl.h"
#include "wine_test_support.h"

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

// A full-screen window with screenshot-like content: text on flat panels, a gradient, lines.
LRESULT CALLBACK PaintProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_PAINT) return DefWindowProcW(hwnd, msg, wp, lp);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT r;
  GetClientRect(hwnd, &r);
  for (int y = 0; y < r.bottom; y += 4) {
    HBRUSH b = CreateSolidBrush(RGB(230 - y % 60, 235, 245 - (y / 4) % 40));
    RECT line{0, y, r.right, y + 4};
    FillRect(dc, &line, b);
    DeleteObject(b);
  }
  SetBkMode(dc, TRANSPARENT);
  for (int y = 10, i = 0; y < r.bottom; y += 18, ++i) {
    wchar_t text[160];
    swprintf(text, 160, L"%04d  capture pipeline benchmark — 画面の内容 lorem ipsum dolor sit amet %08x", i, i * 2654435761u);
    SetTextColor(dc, RGB((i * 37) % 200, (i * 91) % 200, (i * 53) % 200));
    TextOutW(dc, 10 + (i % 7) * 40, y, text, static_cast<int>(wcslen(text)));
  }
  EndPaint(hwnd, &ps);
  return 0;
}

double BareCaptureAndEncode(int type, const std::wstring& path) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  const double start = Now();
  HDC screen = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  HIMGCTL image = ImgFromDC(memory, 0, 0, w, h);
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  DeleteDC(screen);
  const int ok = type == 1 ? ImgSaveJpegW(path.c_str(), image, 75, 0) : ImgSavePngW(path.c_str(), image, 0);
  ImgFree(image);
  const double ms = Now() - start;
  return ok ? ms : -1.0;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 15;
  WNDCLASSW wc{};
  wc.lpfnWndProc = PaintProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PelmoBenchContent";
  RegisterClassW(&wc);
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  HWND content = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"content", WS_POPUP | WS_VISIBLE, 0, 0, w, h,
                                 nullptr, nullptr, wc.hInstance, nullptr);
  UpdateWindow(content);
  pelmo::test::PumpFor(500);

  pelmo::test::DebugMonitor trace;
  if (!trace.ok()) {
    std::printf("no debug monitor\n");
    return 1;
  }
  std::wstring earlier;
  if (argc > 2) {
    for (const char* c = argv[2]; *c; ++c) earlier.push_back(static_cast<wchar_t>(*c));
  }
  std::printf("screen %dx%d, %d runs each, medians in ms\n", w, h, runs);
  std::printf("%-8s %-5s %12s %12s %8s\n", "program", "type", "pipeline", "bare", "ratio");
  // [program][type]: samples pooled over rounds. With two programs they take turns in rounds, so
  // a change in the load of the shared machine falls on both alike.
  std::vector<double> pipeline[2][2], bare[2][2];
  const int programs = earlier.empty() ? 1 : 2;
  const int rounds = programs == 2 ? 3 : 1;
  const int perRound = std::max(1, runs / rounds);
  for (int round = 0; round < rounds; ++round) {
    for (int program = 0; program < programs; ++program) {
      const bool isEarlier = programs == 2 && program == 0;
      pelmo::test::PelmoProcess pelmo;
      if (isEarlier && !CopyFileW(earlier.c_str(), pelmo.path(L"pelmo.exe").c_str(), FALSE)) {
        std::printf("cannot use %ls\n", earlier.c_str());
        return 1;
      }
      const std::wstring out = pelmo.path(L"out");
      CreateDirectoryW(out.c_str(), nullptr);
      pelmo::test::TestProfile profile;
      profile.name = L"bench";
      profile.saveFolder = out;
      profile.imageType = 1;
      profile.fileName = L"shot";
      profile.digitCount = 0;
      profile.keys = {{L"ScreenShot_Desktop", VK_F5}};
      profile.extraSections = L"[JPG]\r\nJpgCompression=75\r\nJpgProgression=0\r\n[PNG]\r\nPngColor=32\r\nPngInterlace=0\r\n";
      if (!pelmo::test::InstallProfile(pelmo.folder().path(), profile) || !pelmo.Start() || !pelmo.WaitForMainWindow()) {
        std::printf("could not start the program\n");
        return 1;
      }
      HWND main = pelmo.mainWindow();
      trace.Clear();
      size_t done = 0;
      for (int t = 0; t < 2; ++t) {
        const int type = t == 0 ? 1 : 3;
        SendMessageW(main, WM_COMMAND, 32800 + type, 0);  // the tray's format choice
        for (int i = 0; i < perRound + 1; ++i) {
          const double start = Now();
          PostMessageW(main, WM_APP + 4, VK_F5, 0);
          PostMessageW(main, WM_APP + 5, VK_F5, 0);
          ++done;
          if (trace.WaitFor(L"event 0 done", done, 30000, pelmo.process().pid()).size() < done) {
            std::printf("capture did not finish\n");
            return 1;
          }
          const double ms = Now() - start;
          const double ref = BareCaptureAndEncode(type, out + L"\\bare" + (type == 1 ? L".jpg" : L".png"));
          if (i == 0) continue;  // warm-up
          pipeline[program][t].push_back(ms);
          bare[program][t].push_back(ref);
        }
      }
      PostMessageW(main, WM_COMMAND, 32791, 0);
      pelmo.process().wait(20000);
    }
  }
  double medians[2][2] = {}, bares[2][2] = {};
  for (int program = 0; program < programs; ++program) {
    for (int t = 0; t < 2; ++t) {
      medians[program][t] = Median(pipeline[program][t]);
      bares[program][t] = Median(bare[program][t]);
      std::printf("%-8s %-5s %12.1f %12.1f %8.2f\n", programs == 2 && program == 0 ? "earlier" : "this",
                  t == 0 ? "JPG" : "PNG", medians[program][t], bares[program][t],
                  bares[program][t] > 0 ? medians[program][t] / bares[program][t] : 0.0);
    }
  }
  if (programs == 2) {
    std::printf("this / earlier: JPG %.2f, PNG %.2f\n", medians[1][0] / medians[0][0], medians[1][1] / medians[0][1]);
    // The machine is shared: each program against the bare reference measured beside it.
    auto rel = [&](int t) { return (medians[1][t] / bares[1][t]) / (medians[0][t] / bares[0][t]); };
    std::printf("this / earlier, each against its bare reference: JPG %.2f, PNG %.2f\n", rel(0), rel(1));
  }
  DestroyWindow(content);
  return 0;
}
