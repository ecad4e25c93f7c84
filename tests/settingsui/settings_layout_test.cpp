// The settings window's frame, the pages built so far and the profile name dialogs, made by the
// program's own classes from its own templates in this process: a screenshot of each (kept under
// build/<preset>/screenshots/<dpi>dpi/) and a check that no text of a static, button, check box or
// group box is cut off, measured with the control's own font against its client rectangle. Run at
// 96 DPI and, in a prefix of its own, at 144 DPI (150 %).
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/AppDirectory.h"
#include "framework/Dialog.h"
#include "keyinput/KeyInput.h"
#include "settingsui/ChangeProfileDlg.h"
#include "settingsui/CreateProfileDlg.h"
#include "settingsui/OptionDlg.h"
#include "wine_test_support.h"

namespace {

void Pump(DWORD ms) { pelmo::test::PumpFor(ms); }

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring ClassOf(HWND w) {
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  return name;
}

std::wstring TextOf(HWND w) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Writes the window as it is on screen to a 24-bit BMP.
bool SaveScreenshot(HWND window, const std::wstring& path) {
  RECT r{};
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
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(mem, old);
  const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  const DWORD size = stride * static_cast<DWORD>(h);
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
  fh.bfSize = fh.bfOffBits + size;
  bool ok = false;
  if (FILE* f = _wfopen(path.c_str(), L"wb")) {
    ok = fwrite(&fh, sizeof(fh), 1, f) == 1 && fwrite(&bi.bmiHeader, sizeof(bi.bmiHeader), 1, f) == 1 &&
         fwrite(bits, 1, size, f) == size;
    fclose(f);
  }
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

struct FitCheck {
  std::string where;
  int dpi = 96;
  std::vector<std::string> faults;
  int measured = 0;

  void Fault(HWND control, const std::wstring& text, const char* what, long need, long have) {
    char line[160];
    std::snprintf(line, sizeof line, "%s: control %d %s needs %ld px, has %ld: ", where.c_str(), GetDlgCtrlID(control),
                  what, need, have);
    faults.push_back(line + Utf8(text));
  }

  void Check(HWND control) {
    if (!IsWindowVisible(control)) return;
    const std::wstring cls = ClassOf(control);
    const bool isStatic = _wcsicmp(cls.c_str(), L"Static") == 0, isButton = _wcsicmp(cls.c_str(), L"Button") == 0;
    if (!isStatic && !isButton) return;
    // Inside its parent: a control cut by the page or dialog edge hides its text too.
    RECT rc{}, parent{};
    GetWindowRect(control, &rc);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rc), 2);
    GetClientRect(GetParent(control), &parent);
    if (rc.right > parent.right || rc.bottom > parent.bottom || rc.left < 0 || rc.top < 0) {
      Fault(control, TextOf(control), "inside its parent", rc.right, parent.right);
    }
    const std::wstring text = TextOf(control);
    if (text.empty()) return;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    RECT client{};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    auto px = [this](int at96) { return MulDiv(at96, dpi, 96); };
    ++measured;
    if (isStatic) {
      const LONG type = style & SS_TYPEMASK;
      if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE) {
        UINT flags = DT_CALCRECT | DT_EXPANDTABS;
        if (type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE) flags |= DT_WORDBREAK;
        if (style & SS_EDITCONTROL) flags |= DT_EDITCONTROL;
        if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
        RECT need{0, 0, client.right, 0};
        DrawTextW(dc, text.c_str(), -1, &need, flags);
        if (need.right > client.right) Fault(control, text, "width", need.right, client.right);
        if (need.bottom > client.bottom) Fault(control, text, "height", need.bottom, client.bottom);
      }
    } else {
      SIZE extent{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
      const LONG type = style & BS_TYPEMASK;
      long need = extent.cx;
      if (type == BS_GROUPBOX) {
        need += px(16);
      } else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON ||
                 type == BS_3STATE || type == BS_AUTO3STATE) {
        need += px(13) + px(4);  // the box and the gap before the text
      } else {
        need += 2 * px(3);  // the push button's edges
      }
      if (need > client.right) Fault(control, text, "width", need, client.right);
      if (type != BS_GROUPBOX && extent.cy > client.bottom) Fault(control, text, "height", extent.cy, client.bottom);
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
  }

  static BOOL CALLBACK Visit(HWND w, LPARAM self) {
    reinterpret_cast<FitCheck*>(self)->Check(w);
    return TRUE;
  }
  void CheckAll(HWND root) { EnumChildWindows(root, Visit, reinterpret_cast<LPARAM>(this)); }
};

class SettingsLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Clean();
    ASSERT_TRUE(main_.Create(nullptr));
    ASSERT_TRUE(frame_.Create(main_.hwnd()));
    SetWindowPos(frame_.hwnd(), HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE);
    ShowWindow(frame_.hwnd(), SW_SHOW);
    SetForegroundWindow(frame_.hwnd());
    Pump(300);
    dpi_ = static_cast<int>(GetDpiForWindow(frame_.hwnd()));
    dir_ = pelmo::test::BinaryDir() + L"\\screenshots";
    CreateDirectoryW(dir_.c_str(), nullptr);
    dir_ += L"\\" + std::to_wstring(dpi_) + L"dpi";
    CreateDirectoryW(dir_.c_str(), nullptr);
  }
  void TearDown() override {
    frame_.Destroy();
    main_.Destroy();
    pelmo::KeyInputStopAll();
    Clean();
  }
  // The frame's files go beside this test program; none is left behind.
  static void Clean() {
    const std::wstring app = pelmo::GetAppDirectory();
    DeleteFileW((app + L"Profile\\クイックスタート.ini").c_str());
    RemoveDirectoryW((app + L"Profile").c_str());
    DeleteFileW((app + L"common.ini").c_str());
    DeleteFileW((app + L"setting.ini").c_str());
  }

  void Shoot(HWND window, const std::wstring& name) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(300);
    EXPECT_TRUE(SaveScreenshot(window, dir_ + L"\\" + name + L".bmp")) << Utf8(name);
  }

  void ExpectFits(HWND window, const std::string& where) {
    FitCheck check;
    check.where = where;
    check.dpi = dpi_;
    check.CheckAll(window);
    if (window == frame_.hwnd()) CheckPageList(check);
    EXPECT_GT(check.measured, 0) << where;
    std::string all;
    for (const auto& f : check.faults) all += f + "\n";
    EXPECT_TRUE(check.faults.empty()) << "at " << dpi_ << " DPI:\n" << all;
  }

  // The page list's names: each within its row's label, with the list's own text margins.
  void CheckPageList(FitCheck& check) {
    HWND list = GetDlgItem(frame_.hwnd(), 1025);
    if (!list || !IsWindowVisible(frame_.hwnd())) return;
    RECT client{};
    GetClientRect(list, &client);
    for (int row = 0, n = ListView_GetItemCount(list); row < n; ++row) {
      wchar_t text[64] = {};
      ListView_GetItemText(list, row, 1, text, 64);
      RECT label{};
      ListView_GetSubItemRect(list, row, 1, LVIR_LABEL, &label);
      const long need = ListView_GetStringWidth(list, text) + MulDiv(12, dpi_, 96);
      const long have = std::min(label.right, client.right) - label.left;
      ++check.measured;
      if (need > have) check.Fault(list, text, "page-list row width", need, have);
      if (label.bottom > client.bottom) check.Fault(list, text, "page-list row inside the list", label.bottom, client.bottom);
    }
  }

  void ChoosePage(int row) {
    HWND list = GetDlgItem(frame_.hwnd(), 1025);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Pump(100);
  }

  fw::Dialog main_{102};
  pelmo::CdlgOption frame_{main_};
  int dpi_ = 96;
  std::wstring dir_;
};

TEST_F(SettingsLayoutTest, EveryPageIsShotAndNoTextIsCutOff) {
  if (const char* expected = std::getenv("PELMO_EXPECT_DPI")) {
    ASSERT_EQ(dpi_, std::atoi(expected)) << "the prefix does not give the scaled display";
  }
  std::printf("settings window at %d DPI, screenshots in %s\n", dpi_, Utf8(dir_).c_str());
  // No profile: the quick-start page.
  ASSERT_TRUE(IsWindowVisible(frame_.PageWindow(-1)));
  Shoot(frame_.hwnd(), L"quickstart");
  ExpectFits(frame_.hwnd(), "quick start");

  SendMessageW(frame_.hwnd(), WM_COMMAND, MAKEWPARAM(1161, BN_CLICKED), 0);
  Pump(200);
  ASSERT_TRUE(frame_.IsProfileLoaded());

  // The pages fit into the frame.
  RECT client{};
  GetClientRect(frame_.hwnd(), &client);
  for (int i = -1; i < pelmo::CdlgOption::kPageCount; ++i) {
    RECT r{};
    GetWindowRect(frame_.PageWindow(i), &r);
    MapWindowPoints(nullptr, frame_.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_LE(r.right, client.right) << "page " << i;
    EXPECT_LE(r.bottom, client.bottom) << "page " << i;
    if (dpi_ == 96) {
      EXPECT_EQ(r.left, 128) << "page " << i;
      EXPECT_EQ(r.top, 68) << "page " << i;
    }
  }

  struct Page {
    int row;
    const wchar_t* name;
  } pages[] = {{0, L"general"}, {13, L"options"}, {14, L"version"}};
  for (const auto& p : pages) {
    ChoosePage(p.row);
    ASSERT_TRUE(IsWindowVisible(frame_.PageWindow(p.row))) << p.row;
    if (p.row == 0) {
      for (int type : {0, 2, 3, 1}) {
        SendMessageW(frame_.PageWindow(0), 0x8032, static_cast<WPARAM>(type), 0);
        Pump(50);
        ExpectFits(frame_.hwnd(), "general, image type " + std::to_string(type));
      }
    }
    Shoot(frame_.hwnd(), p.name);
    ExpectFits(frame_.hwnd(), Utf8(p.name));
  }

  int created = 0, renamed = 0;
  std::wstring name;
  pelmo::CCreateProfileDlg create(frame_.engine(), &created, &name, frame_.hwnd());
  ASSERT_TRUE(create.Create(frame_.hwnd()));
  ShowWindow(create.hwnd(), SW_SHOW);
  Pump(200);
  Shoot(create.hwnd(), L"new-profile");
  ExpectFits(create.hwnd(), "new profile dialog");
  create.Destroy();

  pelmo::CChangeProfileDlg rename(frame_.engine(), &renamed, frame_.hwnd());
  ASSERT_TRUE(rename.Create(frame_.hwnd()));
  ShowWindow(rename.hwnd(), SW_SHOW);
  Pump(200);
  Shoot(rename.hwnd(), L"rename-profile");
  ExpectFits(rename.hwnd(), "rename dialog");
  rename.Destroy();
}

}  // namespace
