// Every page at the screen's DPI: each text fits the control that shows it, each control lies
// inside its page, and a picture of every page is kept under the build folder for review.
// Run at 96 DPI by the normal test prefix and at 144 DPI (150 %) in a prefix of its own.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "capture/Displays.h"
#include "settings/Profile.h"
#include "settings/TemplateFile.h"
#include "settingsui/OpBmpDlg.h"
#include "settingsui/OpDispDlg.h"
#include "settingsui/OpFileNameDlg.h"
#include "settingsui/OpJpgDlg.h"
#include "settingsui/OpKeyDlg.h"
#include "settingsui/OpScCutDlg.h"
#include "settingsui/OpSoundDlg.h"
#include "settingsui/OpTimeDlg.h"
#include "settingsui/dlgOpGif.h"
#include "settingsui/dlgOpPng.h"
#include "settingsui/dlgOpResize.h"
#include "../settings/settings_fixture.h"
#include "wine_test_support.h"

using namespace pelmo;
using namespace pelmo::test;

namespace {

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  } while (static_cast<LONG>(GetTickCount() - end) < 0);
}

std::wstring ClassOf(HWND w) {
  wchar_t cls[64] = {};
  GetClassNameW(w, cls, 64);
  return cls;
}

std::wstring TextOf(HWND w) {
  wchar_t text[512] = {};
  GetWindowTextW(w, text, 512);
  return text;
}

// The width the control needs for its text in its own font, in pixels.
SIZE TextExtent(HWND control, const std::wstring& text) {
  HDC dc = GetDC(control);
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  if (old) SelectObject(dc, old);
  ReleaseDC(control, dc);
  return {r.right - r.left, r.bottom - r.top};
}

// Writes the window's pixels as a 24-bit bottom-up BMP.
bool SaveWindowPicture(HWND window, const std::wstring& path) {
  RECT r;
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bmp) {
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    SelectObject(mem, old);
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
    fh.bfSize = fh.bfOffBits + stride * static_cast<DWORD>(h);
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof(fh));
    out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof(bi.bmiHeader));
    out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(stride) * h);
    ok = out.good();
    DeleteObject(bmp);
  }
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

class PageLayout : public SettingsFolderTest {
 protected:
  void SetUp() override {
    SettingsFolderTest::SetUp();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    // Template names as the shipped file has them, so the lists show real texts.
    WriteBytes(App(L"template.ini"), "[SIZE]\r\nString_0=Template\r\nString_1=VGA 640x480\r\nsizeX_1=640\r\nsizeY_1=480\r\n");
    TemplateFile::ResetForTesting();
    static ATOM atom = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = HostProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
      wc.lpszClassName = L"PelmoLayoutHost";
      return RegisterClassW(&wc);
    }();
    ASSERT_NE(atom, 0);
    host_ = CreateWindowExW(0, L"PelmoLayoutHost", L"layout", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 760, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    profile_ = std::make_unique<CProfile>();
    ASSERT_EQ(profile_->CreateProfile(L"Layout", false), 1);
    profile_->SetCurrentName(L"Layout");
    ASSERT_TRUE(profile_->LoadCurrent());
    InstallMonitorSource();
  }
  void TearDown() override {
    if (host_) DestroyWindow(host_);
    profile_.reset();
    SettingsFolderTest::TearDown();
  }
  HWND host_ = nullptr;
  std::unique_ptr<CProfile> profile_;
};

TEST_F(PageLayout, EveryTextFitsAndAPictureOfEveryPageIsKept) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (const char* want = std::getenv("PELMO_EXPECT_DPI")) {
    ASSERT_EQ(dpi, std::atoi(want)) << "the prefix's LogPixels took no effect";
  }
  const std::wstring dir = BinaryDir() + L"\\artifacts";
  CreateDirectoryW(dir.c_str(), nullptr);
  CreateDirectoryW((dir + L"\\pages").c_str(), nullptr);

  ProfileSectionSet& s = profile_->Current();
  const std::vector<std::pair<const wchar_t*, std::function<std::unique_ptr<SettingsPage>()>>> pages = {
      {L"bmp", [&] { return std::make_unique<COpBmpDlg>(s.bmp); }},
      {L"jpg", [&] { return std::make_unique<COpJpgDlg>(s.jpg); }},
      {L"gif", [&] { return std::make_unique<CdlgOpGif>(s.gif); }},
      {L"png", [&] { return std::make_unique<CdlgOpPng>(s.png); }},
      {L"resize", [&] { return std::make_unique<CdlgOpResize>(s.resize); }},
      {L"filename", [&] { return std::make_unique<COpFileNameDlg>(s.name); }},
      {L"key", [&] { return std::make_unique<COpKeyDlg>(s.key); }},
      {L"sound", [&] { return std::make_unique<COpSoundDlg>(s.sound); }},
      {L"screencut", [&] { return std::make_unique<COpScCutDlg>(s.screenCut); }},
      {L"display", [&] { return std::make_unique<COpDispDlg>(s.display); }},
      {L"time", [&] { return std::make_unique<COpTimeDlg>(s.time); }},
  };
  const int checkWidth = GetSystemMetrics(SM_CXMENUCHECK) + 6;
  for (const auto& [name, make] : pages) {
    std::unique_ptr<SettingsPage> page = make();
    ASSERT_TRUE(page->Create(host_)) << name;
    SetWindowPos(page->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow(page->hwnd());
    Pump(150);
    RECT pageRect;
    GetClientRect(page->hwnd(), &pageRect);
    for (HWND c = GetWindow(page->hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      RECT r;
      GetWindowRect(c, &r);
      MapWindowPoints(nullptr, page->hwnd(), reinterpret_cast<POINT*>(&r), 2);
      const std::wstring cls = ClassOf(c);
      const std::wstring text = TextOf(c);
      const int id = GetDlgCtrlID(c);
      // Drop-down lists reach below the page when open; their closed height counts.
      if (cls != L"ComboBox") {
        EXPECT_LE(r.bottom, pageRect.bottom) << name << " control " << id;
      }
      EXPECT_LE(r.right, pageRect.right) << name << " control " << id;
      if (cls == L"ComboBox") {
        // Every entry fits the closed box beside its arrow.
        RECT client;
        GetClientRect(c, &client);
        const int room = client.right - GetSystemMetrics(SM_CXVSCROLL) - 6;
        const int count = static_cast<int>(SendMessageW(c, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
          wchar_t item[512] = {};
          if (SendMessageW(c, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) >= 511) continue;
          SendMessageW(c, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
          EXPECT_LE(TextExtent(c, item).cx, room) << name << " list " << id << " entry " << i;
        }
        continue;
      }
      if (text.empty() || cls == L"Edit") continue;
      RECT client;
      GetClientRect(c, &client);
      const SIZE need = TextExtent(c, text);
      const LONG style = GetWindowLongW(c, GWL_STYLE);
      int room = client.right;
      if (cls == L"Button") {
        const LONG kind = style & BS_TYPEMASK;
        if (kind == BS_GROUPBOX) room -= 16;
        else if (kind == BS_AUTOCHECKBOX || kind == BS_CHECKBOX || kind == BS_AUTORADIOBUTTON || kind == BS_RADIOBUTTON) room -= checkWidth;
        else room -= 6;
      }
      const int lines = need.cy > 0 ? std::max<int>(1, client.bottom / need.cy) : 1;
      if (cls == L"Static" && lines > 1) {
        EXPECT_LE(need.cx, room * lines * 9 / 10) << name << " control " << id << " needs " << need.cx << " px";
      } else {
        EXPECT_LE(need.cx, room) << name << " control " << id << " \"" << testing::PrintToString(text) << "\" needs " << need.cx
                                 << " px of " << room;
        EXPECT_LE(need.cy, client.bottom + 1) << name << " control " << id << " height";
      }
    }
    const std::wstring file = dir + L"\\pages\\" + name + L"-" + std::to_wstring(dpi) + L".bmp";
    EXPECT_TRUE(SaveWindowPicture(page->hwnd(), file)) << name;
    RECT frame;
    GetWindowRect(page->hwnd(), &frame);
    std::printf("page %ls at %d dpi: %ld x %ld px\n", name, dpi, frame.right - frame.left, frame.bottom - frame.top);
    page.reset();
  }
}

}  // namespace
