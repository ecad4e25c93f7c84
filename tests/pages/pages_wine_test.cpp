// The settings pages under Wine: each page is created as a child of a window the test owns,
// bound to the sections of a real profile in a temporary program folder, driven through its
// controls (and, for the key field, through real key input), and checked on the section and,
// after a save, in the profile file.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "capture/Displays.h"
#include "core/AppDirectory.h"
#include "core/resource.h"
#include "framework/Wnd.h"
#include "keyinput/KeyInput.h"
#include "output/SavePath.h"
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
#include "settingsui/PageControls.h"
#include "settingsui/dlgOpGif.h"
#include "settingsui/dlgOpPng.h"
#include "settingsui/dlgOpResize.h"
#include "../settings/settings_fixture.h"
#include "wine_test_support.h"

using namespace pelmo;
using namespace pelmo::test;

namespace {

// Pumps through the framework's pre-translation chain, as the program's loops do.
void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!fw::PreTranslateChain(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    Sleep(5);
  } while (static_cast<LONG>(GetTickCount() - end) < 0);
}

std::string Utf16File(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return bytes;
}

const wchar_t kTemplateIni[] =
    L"[SIZE]\r\nString_0=テンプレート\r\nsizeX_0=0\r\nsizeY_0=0\r\n"
    L"String_1=VGA (640×480)\r\nsizeX_1=640\r\nsizeY_1=480\r\n"
    L"String_2=SVGA (800×600)\r\nsizeX_2=800\r\nsizeY_2=600\r\n"
    L"String_3=XGA (1024×768)\r\nsizeX_3=1024\r\nsizeY_3=768\r\n"
    L"String_4=幅なし\r\nsizeY_4=300\r\n"
    L"[SOUND]\r\nPath_0=Sounds\\クラシック カメラ.wav\r\nPath_1=C:\\windows\\media\\ding.wav\r\n";

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class PageTest : public SettingsFolderTest {
 protected:
  void SetUp() override {
    SettingsFolderTest::SetUp();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    WriteBytes(App(L"template.ini"), Utf16File(kTemplateIni));
    TemplateFile::ResetForTesting();
    static ATOM atom = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = HostProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
      wc.lpszClassName = L"PelmoPageHost";
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      return RegisterClassW(&wc);
    }();
    ASSERT_NE(atom, 0);
    host_ = CreateWindowExW(0, L"PelmoPageHost", L"page host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 760, 560,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    SetForegroundWindow(host_);
    Pump(50);
    profile_ = std::make_unique<CProfile>();
    ASSERT_EQ(profile_->CreateProfile(L"Test", false), 1);
    profile_->SetCurrentName(L"Test");
    ASSERT_TRUE(profile_->LoadCurrent());
  }

  void TearDown() override {
    page_.reset();
    if (host_) DestroyWindow(host_);
    Pump(20);
    profile_.reset();
    SettingsFolderTest::TearDown();
  }

  ProfileSectionSet& S() { return profile_->Current(); }
  std::wstring ProfilePath() { return App(L"Profile\\Test.ini"); }

  // Writes a key into the profile file and loads the profile again, as a hand edit would.
  void HandEdit(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    ASSERT_TRUE(profile_->SaveCurrent());
    ASSERT_TRUE(WritePrivateProfileStringW(section, key, value, ProfilePath().c_str()));
    ASSERT_TRUE(profile_->LoadCurrent());
  }

  std::wstring Saved(const wchar_t* section, const wchar_t* key) {
    EXPECT_TRUE(profile_->SaveCurrent());
    wchar_t buf[4096] = {};
    GetPrivateProfileStringW(section, key, L"<missing>", buf, 4096, ProfilePath().c_str());
    return buf;
  }

  template <typename Page, typename... Args>
  Page& Open(Args&... args) {
    auto page = std::make_unique<Page>(args...);
    Page& ref = *page;
    page_ = std::move(page);
    EXPECT_TRUE(ref.Create(host_));
    SetWindowPos(ref.hwnd(), nullptr, 128, 68, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    Pump(30);
    return ref;
  }

  HWND Item(int id) const { return GetDlgItem(page_->hwnd(), id); }
  std::wstring Text(int id) const { return page::GetText(Item(id)); }
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  bool Checked(int id) const { return page::IsChecked(Item(id)); }
  void Click(int id) {
    SendMessageW(Item(id), BM_CLICK, 0, 0);
    Pump(10);
  }
  void Choose(int id, int index) {
    SendMessageW(Item(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(page_->hwnd(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(id)));
  }
  int Selected(int id) const { return static_cast<int>(SendMessageW(Item(id), CB_GETCURSEL, 0, 0)); }
  // Types into an edit with the focus in it, then moves the focus on, as the user leaves it.
  void TypeAndLeave(int id, const std::wstring& text, int next) {
    SetFocus(Item(id));
    ASSERT_EQ(GetFocus(), Item(id));
    SetWindowTextW(Item(id), text.c_str());
    SetFocus(Item(next));
    ASSERT_EQ(GetFocus(), Item(next));
    Pump(10);
  }

  HWND host_ = nullptr;
  std::unique_ptr<CProfile> profile_;
  std::unique_ptr<SettingsPage> page_;
};

// ---- BMP and PNG ----

TEST_F(PageTest, BmpShowsAnUnknownDepthAs32BitsAndStoresTheChosenEntry) {
  HandEdit(L"BMP", L"BmpColor", L"12");
  Open<COpBmpDlg>(S().bmp);
  EXPECT_EQ(Selected(IDC_BMP_COLOR), 0);
  EXPECT_EQ(S().bmp.GetBmpColor(), 12) << "showing must not store";
  Choose(IDC_BMP_COLOR, 2);
  EXPECT_EQ(S().bmp.GetBmpColor(), 16);
  EXPECT_EQ(Saved(L"BMP", L"BmpColor"), L"16");
  Choose(IDC_BMP_COLOR, 0);
  EXPECT_EQ(Saved(L"BMP", L"BmpColor"), L"32");
}

TEST_F(PageTest, PngShowsNoEntryForAStored12AndKeepsIt) {
  HandEdit(L"PNG", L"PngColor", L"12");
  Open<CdlgOpPng>(S().png);
  EXPECT_EQ(Selected(IDC_PNG_COLOR), CB_ERR);
  EXPECT_EQ(Saved(L"PNG", L"PngColor"), L"12");
  Choose(IDC_PNG_COLOR, 3);
  EXPECT_EQ(Saved(L"PNG", L"PngColor"), L"8");
  Click(IDC_PNG_INTERLACE);
  EXPECT_EQ(Saved(L"PNG", L"PngInterlace"), L"1");
  // Each stored depth shows its own entry.
  const std::pair<int32_t, int> shown[] = {{32, 0}, {24, 1}, {16, 2}, {8, 3}};
  for (auto [bits, index] : shown) {
    S().png.SetPngColor(bits);
    page_->Refresh();
    EXPECT_EQ(Selected(IDC_PNG_COLOR), index) << bits;
  }
}

// ---- JPG ----

TEST_F(PageTest, JpgSliderStoresItsPositionAndShowsPercent) {
  Open<COpJpgDlg>(S().jpg);
  EXPECT_EQ(Text(IDC_JPG_QUALITY_TEXT), L"75%");
  HWND slider = Item(IDC_JPG_QUALITY);
  // Keyboard on the slider: End goes to 100, then PageUp steps back by the page size.
  SetFocus(slider);
  SendMessageW(slider, TBM_SETPOS, TRUE, 60);
  SendMessageW(page_->hwnd(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 60), reinterpret_cast<LPARAM>(slider));
  EXPECT_EQ(S().jpg.GetJpgCompression(), 60);
  EXPECT_EQ(Text(IDC_JPG_QUALITY_TEXT), L"60%");
  SendMessageW(slider, WM_KEYDOWN, VK_END, 0);
  SendMessageW(slider, WM_KEYUP, VK_END, 0);
  Pump(10);
  EXPECT_EQ(S().jpg.GetJpgCompression(), 100) << "the slider's own notification";
  EXPECT_EQ(Text(IDC_JPG_QUALITY_TEXT), L"100%");
  Click(IDC_JPG_PROGRESSIVE);
  EXPECT_EQ(Saved(L"JPG", L"JpgCompression"), L"100");
  EXPECT_EQ(Saved(L"JPG", L"JpgProgression"), L"1");
  // A hand-edited quality beyond the slider is shown as it is, and kept until the slider moves.
  HandEdit(L"JPG", L"JpgCompression", L"150");
  page_->Refresh();
  EXPECT_EQ(Text(IDC_JPG_QUALITY_TEXT), L"150%");
  EXPECT_EQ(Saved(L"JPG", L"JpgCompression"), L"150");
  EXPECT_EQ(Saved(L"JPG", L"JpgProgression"), L"1");
}

// ---- GIF ----

TEST_F(PageTest, GifEnablingFollowsTheTwoCheckBoxes) {
  Open<CdlgOpGif>(S().gif);
  // Defaults: no transparent colour, so nothing below it can be used.
  for (int id : {IDC_GIF_TRANS_CHOOSE, IDC_GIF_BACKGROUND, IDC_GIF_BACK_CHOOSE}) EXPECT_FALSE(Enabled(id)) << id;
  Click(IDC_GIF_TRANSPARENCY);
  EXPECT_EQ(S().gif.GetGifTransparency(), 1);
  EXPECT_TRUE(Enabled(IDC_GIF_TRANS_CHOOSE));
  EXPECT_TRUE(Enabled(IDC_GIF_BACKGROUND));
  EXPECT_FALSE(Enabled(IDC_GIF_BACK_CHOOSE)) << "background colour not asked for";
  Click(IDC_GIF_BACKGROUND);
  EXPECT_EQ(S().gif.GetGifBackground(), 1);
  EXPECT_TRUE(Enabled(IDC_GIF_BACK_CHOOSE));
  Click(IDC_GIF_TRANSPARENCY);  // off: everything below goes, whatever its state
  EXPECT_FALSE(Enabled(IDC_GIF_BACKGROUND));
  EXPECT_FALSE(Enabled(IDC_GIF_BACK_CHOOSE));
  Click(IDC_GIF_TRANSPARENCY);  // on again: the background controls come back as they were asked
  EXPECT_TRUE(Enabled(IDC_GIF_BACK_CHOOSE));
  Click(IDC_GIF_INTERLACE);
  EXPECT_EQ(Saved(L"GIF", L"GifInterlace"), L"1");
  EXPECT_EQ(Saved(L"GIF", L"GifBackgound"), L"1");
}

// The system's dialogs of this process, found by a control only they have.
BOOL CALLBACK FindDialogWith(HWND w, LPARAM p, std::initializer_list<int> ids) {
  wchar_t cls[32] = {};
  GetClassNameW(w, cls, 32);
  if (!IsWindowVisible(w) || lstrcmpW(cls, L"#32770") != 0) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != GetCurrentProcessId()) return TRUE;
  for (int id : ids) {
    if (GetDlgItem(w, id)) {
      *reinterpret_cast<HWND*>(p) = w;
      return FALSE;
    }
  }
  return TRUE;
}
BOOL CALLBACK FindColourDialog(HWND w, LPARAM p) { return FindDialogWith(w, p, {706}); }  // the red box
BOOL CALLBACK FindOpenDialog(HWND w, LPARAM p) { return FindDialogWith(w, p, {0x480, 0x47c}); }  // file-name box

// The system's colour dialog, driven from a second thread while the page waits in it.
struct ColourDialogDriver {
  std::atomic<bool> found{false};
  std::wstring startRed, startGreen, startBlue;
  std::thread thread;

  void Start(COLORREF pick, bool ok) {
    thread = std::thread([this, pick, ok] {
      for (int i = 0; i < 200; ++i) {
        HWND dlg = nullptr;
        EnumWindows(FindColourDialog, reinterpret_cast<LPARAM>(&dlg));
        if (dlg) {
          found = true;
          wchar_t buf[16];
          GetDlgItemTextW(dlg, 706, buf, 16); startRed = buf;
          GetDlgItemTextW(dlg, 707, buf, 16); startGreen = buf;
          GetDlgItemTextW(dlg, 708, buf, 16); startBlue = buf;
          SetDlgItemInt(dlg, 706, GetRValue(pick), FALSE);
          SetDlgItemInt(dlg, 707, GetGValue(pick), FALSE);
          SetDlgItemInt(dlg, 708, GetBValue(pick), FALSE);
          Sleep(100);
          PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(ok ? IDOK : IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, ok ? IDOK : IDCANCEL)));
          return;
        }
        Sleep(50);
      }
    });
  }
  void Join() { thread.join(); }
};

TEST_F(PageTest, GifColoursComeFromTheColourDialogStartingFromBlack) {
  Open<CdlgOpGif>(S().gif);
  Click(IDC_GIF_TRANSPARENCY);
  EXPECT_EQ(Text(IDC_GIF_TRANS_TEXT), L"R: 255     G: 255     B: 255");

  ColourDialogDriver driver;
  driver.Start(RGB(10, 200, 30), true);
  SendMessageW(Item(IDC_GIF_TRANS_CHOOSE), BM_CLICK, 0, 0);  // returns when the dialog closed
  driver.Join();
  ASSERT_TRUE(driver.found);
  EXPECT_EQ(driver.startRed, L"0");
  EXPECT_EQ(driver.startGreen, L"0");
  EXPECT_EQ(driver.startBlue, L"0");
  EXPECT_EQ(S().gif.GetTransparencyColor(), (RgbColor{10, 200, 30}));
  EXPECT_EQ(Text(IDC_GIF_TRANS_TEXT), L"R: 10     G: 200     B: 30");
  Pump(50);
  // The swatch is painted in the chosen colour.
  RECT r;
  GetWindowRect(Item(IDC_GIF_TRANS_SWATCH), &r);
  HDC screen = GetDC(nullptr);
  const COLORREF pixel = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(pixel, RGB(10, 200, 30));

  // Cancel changes nothing, and the dialog starts from black again, not from the stored colour.
  ColourDialogDriver cancel;
  cancel.Start(RGB(1, 2, 3), false);
  SendMessageW(Item(IDC_GIF_TRANS_CHOOSE), BM_CLICK, 0, 0);
  cancel.Join();
  ASSERT_TRUE(cancel.found);
  EXPECT_EQ(cancel.startRed, L"0");
  EXPECT_EQ(cancel.startGreen, L"0");
  EXPECT_EQ(S().gif.GetTransparencyColor(), (RgbColor{10, 200, 30}));

  EXPECT_EQ(Saved(L"GIF", L"GifTransparencyColor_R"), L"10");
  EXPECT_EQ(Saved(L"GIF", L"GifTransparencyColor_G"), L"200");
  EXPECT_EQ(Saved(L"GIF", L"GifTransparencyColor_B"), L"30");
  EXPECT_EQ(Saved(L"GIF", L"GifBackgroundColor_R"), L"255");
}

// ---- size ----

TEST_F(PageTest, ResizeKeepsThePreviousValueForZeroOrLettersAndShowsIt) {
  S().resize.SetResize(1);
  Open<CdlgOpResize>(S().resize);
  EXPECT_TRUE(Enabled(IDC_RESIZE_PER_X));
  EXPECT_FALSE(Enabled(IDC_RESIZE_PX_X));
  TypeAndLeave(IDC_RESIZE_PER_X, L"250", IDC_RESIZE_PER_Y);
  EXPECT_EQ(S().resize.GetPercentX(), 250);
  TypeAndLeave(IDC_RESIZE_PER_X, L"0", IDC_RESIZE_PER_Y);
  EXPECT_EQ(S().resize.GetPercentX(), 250);
  EXPECT_EQ(Text(IDC_RESIZE_PER_X), L"250");
  TypeAndLeave(IDC_RESIZE_PER_Y, L"abc", IDC_RESIZE_PER_X);
  EXPECT_EQ(S().resize.GetPercentY(), 100);
  EXPECT_EQ(Text(IDC_RESIZE_PER_Y), L"100");
  EXPECT_EQ(Saved(L"RESIZE", L"Resize_X_PER"), L"250");
  EXPECT_EQ(Saved(L"RESIZE", L"Resize_Y_PER"), L"100");
}

TEST_F(PageTest, ResizeTemplateSetsThePixelSizeWithoutChangingTheMethod) {
  S().resize.SetResize(1);
  S().resize.SetResizeType(1);
  Open<CdlgOpResize>(S().resize);
  EXPECT_EQ(SendMessageW(Item(IDC_RESIZE_TEMPLATE), CB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(Selected(IDC_RESIZE_TEMPLATE), 0);
  Choose(IDC_RESIZE_TEMPLATE, 3);
  EXPECT_EQ(S().resize.GetPixelsX(), 1024);
  EXPECT_EQ(S().resize.GetPixelsY(), 768);
  EXPECT_EQ(Text(IDC_RESIZE_PX_X), L"1024");
  Choose(IDC_RESIZE_TEMPLATE, 0);  // the caption entry applies nothing
  EXPECT_EQ(S().resize.GetPixelsX(), 1024);
  // A template without a width would store 0, which the field cannot show: it stores 1.
  Choose(IDC_RESIZE_TEMPLATE, 4);
  EXPECT_EQ(S().resize.GetPixelsX(), 1);
  EXPECT_EQ(Text(IDC_RESIZE_PX_X), L"1");
  Choose(IDC_RESIZE_TEMPLATE, 2);
  Click(IDC_RESIZE_BY_PERCENT);
  Choose(IDC_RESIZE_TEMPLATE, 1);
  EXPECT_EQ(S().resize.GetResizeType(), 0) << "the method stays";
  EXPECT_EQ(Saved(L"RESIZE", L"Resize_X_PX"), L"640");
  EXPECT_EQ(Saved(L"RESIZE", L"Resize_Y_PX"), L"480");
}

TEST_F(PageTest, ResizeEnablingAndOutOfRangeStoredValues) {
  HandEdit(L"RESIZE", L"Resize_X_PX", L"4294967295");  // -1 as the section writes it
  Open<CdlgOpResize>(S().resize);
  for (int id : {IDC_RESIZE_BY_PERCENT, IDC_RESIZE_TO_PIXELS, IDC_RESIZE_PER_X, IDC_RESIZE_PER_X_SPIN, IDC_RESIZE_PX_Y,
                 IDC_RESIZE_TEMPLATE}) {
    EXPECT_FALSE(Enabled(id)) << id;
  }
  EXPECT_EQ(Text(IDC_RESIZE_PX_X), L"1");
  EXPECT_EQ(S().resize.GetPixelsX(), 1) << "what is shown is what is stored";
  Click(IDC_RESIZE_ON);
  EXPECT_TRUE(Enabled(IDC_RESIZE_PER_X));
  Click(IDC_RESIZE_TO_PIXELS);
  EXPECT_EQ(S().resize.GetResizeType(), 1);
  EXPECT_FALSE(Enabled(IDC_RESIZE_PER_X));
  EXPECT_TRUE(Enabled(IDC_RESIZE_PX_X));
  EXPECT_TRUE(Enabled(IDC_RESIZE_TEMPLATE));
  EXPECT_FALSE(Checked(IDC_RESIZE_BY_PERCENT));
  EXPECT_EQ(Saved(L"RESIZE", L"ResizeType"), L"1");
  EXPECT_EQ(Saved(L"RESIZE", L"Resize"), L"1");
}

// ---- file name ----

TEST_F(PageTest, FileNameTemplateAndNumbersReachTheNextFilesName) {
  Open<COpFileNameDlg>(S().name);
  EXPECT_EQ(Text(IDC_NAME_TEMPLATE), L"screenshot\\%p\\capture%r");
  EXPECT_EQ(Text(IDC_NAME_NEXT), L"0");
  TypeAndLeave(IDC_NAME_TEMPLATE, L"shots\\img%r", IDC_NAME_DIGITS);
  TypeAndLeave(IDC_NAME_DIGITS, L"3", IDC_NAME_START);
  TypeAndLeave(IDC_NAME_START, L"5", IDC_NAME_DIGITS);
  EXPECT_EQ(S().name.GetFileName(), L"shots\\img%r");
  EXPECT_EQ(S().name.GetDigitCount(), 3);
  EXPECT_EQ(S().name.GetStartNumber(), 5);
  Click(IDC_NAME_RESET);
  EXPECT_EQ(S().name.GetCurrentNumber(), 5);
  EXPECT_EQ(Text(IDC_NAME_NEXT), L"5");

  // Two captures advance the number; the box follows.
  S().name.SetCurrentNumber(S().name.GetCurrentNumber() + S().name.GetIncreasingNumber());
  S().name.SetCurrentNumber(S().name.GetCurrentNumber() + S().name.GetIncreasingNumber());
  EXPECT_EQ(Text(IDC_NAME_NEXT), L"7");
  // Numbering has started: a new increment moves the next number by the difference.
  TypeAndLeave(IDC_NAME_INCREMENT, L"10", IDC_NAME_DIGITS);
  EXPECT_EQ(S().name.GetIncreasingNumber(), 10);
  EXPECT_EQ(S().name.GetCurrentNumber(), 16);
  EXPECT_EQ(Text(IDC_NAME_NEXT), L"16");
  TypeAndLeave(IDC_NAME_INCREMENT, L"0", IDC_NAME_DIGITS);  // below the range: 1
  EXPECT_EQ(S().name.GetIncreasingNumber(), 1);
  EXPECT_EQ(S().name.GetCurrentNumber(), 7);

  S().gen.SetSaveFolder(App(L""));
  const SavePathRequest request = MakeSavePathRequest(S().gen, S().name, L"Test", kEventDesktop, nullptr);
  const SavePathResult next = BuildSavePath(request);
  ASSERT_EQ(next.status, 1);
  EXPECT_EQ(next.path, App(L"shots\\img007.jpg"));
  EXPECT_EQ(Saved(L"FILE_NAME", L"FileName"), L"shots\\img%r");
  EXPECT_EQ(Saved(L"FILE_NAME", L"IncreasingNumber"), L"1");
  EXPECT_EQ(Saved(L"FILE_NAME", L"CurrentNumber"), L"7");
}

TEST_F(PageTest, FileNameNumbersAreClampedToTheirRanges) {
  HandEdit(L"FILE_NAME", L"DigitCount", L"25");
  Open<COpFileNameDlg>(S().name);
  EXPECT_EQ(Text(IDC_NAME_DIGITS), L"10");
  EXPECT_EQ(S().name.GetDigitCount(), 10);
  TypeAndLeave(IDC_NAME_WINDOW_LENGTH, L"999", IDC_NAME_DIGITS);
  EXPECT_EQ(S().name.GetWindowNameLength(), 250);
  EXPECT_EQ(Text(IDC_NAME_WINDOW_LENGTH), L"250");
  TypeAndLeave(IDC_NAME_START, L"x1", IDC_NAME_DIGITS);
  EXPECT_EQ(S().name.GetStartNumber(), 0);
  EXPECT_EQ(SendMessageW(Item(IDC_NAME_START), EM_GETLIMITTEXT, 0, 0), 10);
  EXPECT_EQ(Saved(L"FILE_NAME", L"WindowNameLength"), L"250");
}

// ---- automatic capture, screen cut, display ----

TEST_F(PageTest, IntervalIsClampedTo1Through36000) {
  HandEdit(L"TIME", L"Interval", L"0");
  Open<COpTimeDlg>(S().time);
  EXPECT_EQ(S().time.GetInterval(), 1);
  EXPECT_EQ(Text(IDC_TIME_INTERVAL), L"1");
  EXPECT_EQ(Selected(IDC_TIME_ACTION), 2);
  TypeAndLeave(IDC_TIME_INTERVAL, L"99999", IDC_TIME_ACTION);
  EXPECT_EQ(S().time.GetInterval(), 36000);
  EXPECT_EQ(Text(IDC_TIME_INTERVAL), L"36000");
  TypeAndLeave(IDC_TIME_INTERVAL, L"25", IDC_TIME_ACTION);
  EXPECT_EQ(S().time.GetInterval(), 25);
  Choose(IDC_TIME_ACTION, 4);
  Click(IDC_TIME_TARGET_ONLY);
  Click(IDC_TIME_CAPTURE_START);
  EXPECT_EQ(Saved(L"TIME", L"Interval"), L"25");
  EXPECT_EQ(Saved(L"TIME", L"ActionType"), L"4");
  EXPECT_EQ(Saved(L"TIME", L"TargetOnly"), L"1");
  EXPECT_EQ(Saved(L"TIME", L"CaptureStart"), L"1");
  EXPECT_EQ(Saved(L"TIME", L"SoundOut"), L"0");
}

TEST_F(PageTest, HandEditedChoicesTheListsDoNotOfferShowNothingAndStay) {
  HandEdit(L"TIME", L"ActionType", L"9");
  HandEdit(L"RESIZE", L"ResizeType", L"5");
  HandEdit(L"RESIZE", L"Resize", L"1");
  Open<COpTimeDlg>(S().time);
  EXPECT_EQ(Selected(IDC_TIME_ACTION), CB_ERR);
  EXPECT_EQ(Saved(L"TIME", L"ActionType"), L"9");
  Open<CdlgOpResize>(S().resize);
  EXPECT_FALSE(Checked(IDC_RESIZE_BY_PERCENT));
  EXPECT_FALSE(Checked(IDC_RESIZE_TO_PIXELS));
  EXPECT_TRUE(Enabled(IDC_RESIZE_BY_PERCENT)) << "the methods can be chosen";
  EXPECT_FALSE(Enabled(IDC_RESIZE_PER_X));
  EXPECT_FALSE(Enabled(IDC_RESIZE_PX_X));
  EXPECT_EQ(Saved(L"RESIZE", L"ResizeType"), L"5");
}

TEST_F(PageTest, ScreenCutSizesFromTypingAndTemplates) {
  Open<COpScCutDlg>(S().screenCut);
  EXPECT_EQ(Text(IDC_SCCUT_X), L"600");
  TypeAndLeave(IDC_SCCUT_X, L"0", IDC_SCCUT_Y);
  EXPECT_EQ(S().screenCut.GetFixSizeX(), 600);
  TypeAndLeave(IDC_SCCUT_Y, L"333", IDC_SCCUT_X);
  EXPECT_EQ(S().screenCut.GetFixSizeY(), 333);
  Choose(IDC_SCCUT_TEMPLATE, 2);
  EXPECT_EQ(S().screenCut.GetFixSizeX(), 800);
  EXPECT_EQ(Text(IDC_SCCUT_Y), L"600");
  EXPECT_EQ(Saved(L"SCREEN_CUT", L"FixSizeX"), L"800");
}

TEST_F(PageTest, DisplayChosenFromTheList) {
  InstallMonitorSource();
  Open<COpDispDlg>(S().display);
  EXPECT_EQ(Text(IDC_DISPLAY_CHOSEN), L"（ディスプレイ未選択）");
  HWND list = Item(IDC_DISPLAY_LIST);
  ASSERT_GE(ListView_GetItemCount(list), 1);
  ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Pump(10);
  const std::optional<DisplayPair> first = S().display.GetDisplay(0);
  ASSERT_TRUE(first);
  EXPECT_EQ(S().display.GetDisplayName(), first->devicePath);
  EXPECT_EQ(Text(IDC_DISPLAY_CHOSEN), CDispProfile::GetDisplayText(*first));
  EXPECT_EQ(Text(IDC_DISPLAY_CHOSEN).rfind(L"DISPLAY", 0), 0u);
  Click(IDC_DISPLAY_REFRESH);
  EXPECT_EQ(ListView_GetItemCount(list), static_cast<int>(S().display.GetDisplays().size()));
  EXPECT_EQ(Saved(L"DISPLAY", L"DisplayName"), first->devicePath);
  // Loaded again, the edit shows the same display.
  ASSERT_TRUE(profile_->LoadCurrent());
  page_->Refresh();
  EXPECT_EQ(Text(IDC_DISPLAY_CHOSEN), CDispProfile::GetDisplayText(*first));
}

// ---- sound ----

std::wstring g_chosenWave;
std::optional<std::wstring> FakeChooser(HWND) { return g_chosenWave; }

TEST_F(PageTest, SoundChosenWithTheFileChooser) {
  auto& pageRef = Open<COpSoundDlg>(S().sound);
  EXPECT_EQ(Text(IDC_SOUND_FILE), L"Sounds\\クラシック カメラ.wav");
  EXPECT_EQ(SendMessageW(Item(IDC_SOUND_FILE), CB_GETCOUNT, 0, 0), 2);
  g_chosenWave = L"C:\\sounds\\beep.wav";
  pageRef.SetFileChooser(&FakeChooser);
  Click(IDC_SOUND_BROWSE);
  EXPECT_EQ(S().sound.GetSoundFile(kEventDesktop), L"C:\\sounds\\beep.wav");
  EXPECT_EQ(Text(IDC_SOUND_FILE), L"C:\\sounds\\beep.wav");
  wchar_t cell[64] = {};
  ListView_GetItemText(Item(IDC_OP_EVENT_LIST), 0, 2, cell, 64);
  EXPECT_STREQ(cell, L"beep.wav");

  // Another row: its own file; switching its sound off keeps the file.
  ListView_SetItemState(Item(IDC_OP_EVENT_LIST), 9, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Pump(10);
  EXPECT_EQ(Text(IDC_SOUND_FILE), L"");
  SetFocus(Item(IDC_SOUND_FILE));
  SetWindowTextW(Item(IDC_SOUND_FILE), L"typed.wav");
  SetFocus(Item(IDC_SOUND_ON));
  Pump(10);
  EXPECT_EQ(S().sound.GetSoundFile(9), L"typed.wav");
  Click(IDC_SOUND_ON);
  EXPECT_EQ(S().sound.GetSoundOn(9), 0);
  EXPECT_FALSE(Enabled(IDC_SOUND_BROWSE));
  EXPECT_EQ(S().sound.GetSoundFile(9), L"typed.wav");
  Click(IDC_SOUND_ALL_OFF);
  EXPECT_EQ(S().sound.GetAllSoundOff(), 1);
  EXPECT_FALSE(Enabled(IDC_OP_EVENT_LIST));
  pageRef.ToggleAllSoundOff();
  EXPECT_EQ(S().sound.GetAllSoundOff(), 0);
  EXPECT_FALSE(Checked(IDC_SOUND_ALL_OFF));
  EXPECT_EQ(Saved(L"SOUND", L"ScreenShot_Desktop_Sound_File"), L"C:\\sounds\\beep.wav");
  EXPECT_EQ(Saved(L"SOUND", L"ScreenShot_Desktop_Sound"), L"1");
}

TEST_F(PageTest, SoundBrowseDrivesTheRealOpenDialog) {
  // A real wav beside the program, chosen by typing its path into the system's dialog.
  const std::wstring wav = App(L"pick.wav");
  WriteBytes(wav, "RIFF");
  Open<COpSoundDlg>(S().sound);
  std::atomic<bool> found{false};
  std::thread driver([&] {
    for (int i = 0; i < 200 && !found; ++i) {
      HWND dlg = nullptr;
      EnumWindows(FindOpenDialog, reinterpret_cast<LPARAM>(&dlg));
      if (dlg) {
        found = true;
        HWND box = GetDlgItem(dlg, 0x47c) ? GetDlgItem(dlg, 0x47c) : GetDlgItem(dlg, 0x480);
        SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wav.c_str()));
        Sleep(100);
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
        return;
      }
      Sleep(50);
    }
  });
  SendMessageW(Item(IDC_SOUND_BROWSE), BM_CLICK, 0, 0);
  driver.join();
  ASSERT_TRUE(found);
  EXPECT_EQ(S().sound.GetSoundFile(kEventDesktop), wav);
  EXPECT_EQ(Text(IDC_SOUND_FILE), wav);
}

// ---- keys, entered by pressing real keys into the focused field ----

// Both key input sources: the polling thread and the hook library.
class KeyPageTest : public PageTest, public ::testing::WithParamInterface<int32_t> {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    ASSERT_EQ(KeyInputStart(GetParam()), 1);
  }
  void TearDown() override {
    KeyInputStopAll();
    PageTest::TearDown();
  }
  // As a keyboard sends them: the right-hand Ctrl and Alt are extended keys.
  static void Send(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (vk == VK_RCONTROL || vk == VK_RMENU ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &in, sizeof(in));
  }
  void Hold(std::initializer_list<WORD> keys) {
    for (WORD k : keys) {
      Send(k, false);
      Pump(80);
    }
    Pump(100);
  }
  void Release(std::initializer_list<WORD> keys) {
    for (WORD k : keys) Send(k, true);
    Pump(100);
  }
  void SelectRow(int row) {
    ListView_SetItemState(Item(IDC_OP_EVENT_LIST), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Pump(10);
  }
  void FocusField() {
    SetFocus(Item(IDC_KEY_FIELD));
    Pump(20);
    ASSERT_EQ(GetFocus(), Item(IDC_KEY_FIELD));
    ASSERT_TRUE(KeyInputIsMainHwnd(Item(IDC_KEY_FIELD)));
  }
};

TEST_P(KeyPageTest, RightAltAndPrintScreenAreStoredSorted) {
  auto& keyPage = Open<COpKeyDlg>(S().key);
  EXPECT_EQ(Text(IDC_KEY_FIELD), L"PRINT SCREEN");  // row 0's default binding
  SelectRow(5);
  EXPECT_EQ(keyPage.currentRow(), 5);
  EXPECT_EQ(Text(IDC_KEY_FIELD), L"ここを左クリックしてキーを入力");
  FocusField();
  EXPECT_EQ(Text(IDC_KEY_FIELD), L"") << "the prompt goes while keys are awaited";
  Hold({VK_RMENU, VK_SNAPSHOT});
  Release({VK_SNAPSHOT, VK_RMENU});
  EXPECT_EQ(S().key.GetBinding(5), (KeyBinding{0x2C, 0xA5, 0}));
  EXPECT_EQ(Text(IDC_KEY_FIELD), L"PRINT SCREEN & Alt(右)");
  wchar_t cell[64] = {};
  ListView_GetItemText(Item(IDC_OP_EVENT_LIST), 5, 1, cell, 64);
  EXPECT_STREQ(cell, L"PRINT SCREEN & Alt(右)");
  EXPECT_EQ(Saved(L"KEY", L"ScreenCut1"), L"44");
  EXPECT_EQ(Saved(L"KEY", L"ScreenCut2"), L"165");
  EXPECT_EQ(Saved(L"KEY", L"ScreenCut3"), L"0");
}

TEST_P(KeyPageTest, TabEnterAndEscapeAreRecordedNotActedOn) {
  Open<COpKeyDlg>(S().key);
  SelectRow(3);
  FocusField();
  Hold({VK_TAB, VK_RETURN, VK_ESCAPE});
  Release({VK_TAB, VK_RETURN, VK_ESCAPE});
  EXPECT_EQ(S().key.GetBinding(3), (KeyBinding{0x09, 0x0D, 0x1B}));
  EXPECT_EQ(GetFocus(), Item(IDC_KEY_FIELD)) << "Tab did not move the focus";
  EXPECT_TRUE(IsWindowVisible(page_->hwnd()));
  EXPECT_TRUE(IsWindow(host_));
}

TEST_P(KeyPageTest, AFourthKeyIsIgnoredAndANewCombinationStartsAfterRelease) {
  Open<COpKeyDlg>(S().key);
  SelectRow(4);
  FocusField();
  Hold({'A', 'B', 'C', 'D'});
  Release({'D', 'C', 'B', 'A'});
  EXPECT_EQ(S().key.GetBinding(4), (KeyBinding{'A', 'B', 'C'}));
  Hold({'Z'});
  Release({'Z'});
  EXPECT_EQ(S().key.GetBinding(4), (KeyBinding{'Z', 0, 0}));
  EXPECT_EQ(Text(IDC_KEY_FIELD), L"Z");
  // Clear empties the binding and the field.
  Click(IDC_KEY_CLEAR);
  EXPECT_EQ(S().key.GetBinding(4), (KeyBinding{0, 0, 0}));
  // Leaving the field unbinds it from the key input source.
  SetFocus(Item(IDC_KEY_CLEAR));
  Pump(20);
  EXPECT_FALSE(KeyInputIsMainHwnd(Item(IDC_KEY_FIELD)));
  Hold({'Q'});
  Release({'Q'});
  EXPECT_EQ(S().key.GetBinding(4), (KeyBinding{0, 0, 0}));
  // Another event while the field is empty, then back: the prompt again.
  SelectRow(6);
  SelectRow(4);
  EXPECT_EQ(Text(IDC_KEY_FIELD), L"ここを左クリックしてキーを入力");
  // A page destroyed while its field has the focus leaves no window bound to the key source.
  FocusField();
  page_.reset();
  EXPECT_EQ(KeyInputGetMainHwnd(), nullptr);
}

// The right button's "only over the field" rule is checked natively (KeyCodeList): under Wine the
// cursor position read while the poller's message is handled does not reliably follow injected
// moves yet, so only the position-free half runs here.
TEST_P(KeyPageTest, TheLeftButtonNeverBecomesPartOfACombination) {
  Open<COpKeyDlg>(S().key);
  SelectRow(7);
  FocusField();
  RECT r;
  GetWindowRect(Item(IDC_KEY_FIELD), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  Pump(100);
  auto mouse = [](DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
    Pump(120);
  };
  Hold({'L'});
  mouse(MOUSEEVENTF_LEFTDOWN);
  mouse(MOUSEEVENTF_LEFTUP);
  Release({'L'});
  EXPECT_EQ(S().key.GetBinding(7), (KeyBinding{'L', 0, 0})) << "the left button is how the field is clicked into";
  EXPECT_EQ(GetFocus(), Item(IDC_KEY_FIELD));
}

INSTANTIATE_TEST_SUITE_P(Sources, KeyPageTest, ::testing::Values(kKeyInputPolling, kKeyInputHook),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return info.param == kKeyInputPolling ? std::string("Polling") : std::string("HookLibrary");
                         });

// ---- opening and closing a page changes nothing ----

TEST_F(PageTest, OpeningEveryPageAndClosingItLeavesTheProfileFileUnchanged) {
  InstallMonitorSource();
  // Saved twice first: the second save adds the running state the first one left out.
  ASSERT_TRUE(profile_->SaveCurrent());
  ASSERT_TRUE(profile_->SaveCurrent());
  profile_->TakeSnapshot();
  ASSERT_TRUE(profile_->MatchesSnapshot());  // comparing also writes the shared options
  const std::string before = ReadBytes(ProfilePath());
  const std::string commonBefore = ReadBytes(App(L"common.ini"));
  ASSERT_FALSE(commonBefore.empty());
  std::vector<std::function<std::unique_ptr<SettingsPage>()>> makers = {
      [&] { return std::make_unique<COpBmpDlg>(S().bmp); },
      [&] { return std::make_unique<COpJpgDlg>(S().jpg); },
      [&] { return std::make_unique<CdlgOpGif>(S().gif); },
      [&] { return std::make_unique<CdlgOpPng>(S().png); },
      [&] { return std::make_unique<CdlgOpResize>(S().resize); },
      [&] { return std::make_unique<COpFileNameDlg>(S().name); },
      [&] { return std::make_unique<COpKeyDlg>(S().key); },
      [&] { return std::make_unique<COpSoundDlg>(S().sound); },
      [&] { return std::make_unique<COpScCutDlg>(S().screenCut); },
      [&] { return std::make_unique<COpDispDlg>(S().display); },
      [&] { return std::make_unique<COpTimeDlg>(S().time); },
  };
  for (auto& make : makers) {
    std::unique_ptr<SettingsPage> p = make();
    ASSERT_TRUE(p->Create(host_));
    ShowWindow(p->hwnd(), SW_SHOW);
    p->Refresh();
    Pump(20);
    p.reset();
    EXPECT_TRUE(profile_->MatchesSnapshot()) << "page " << make().get()->templateId();
  }
  EXPECT_EQ(ReadBytes(ProfilePath()), before) << "a page wrote to the file";
  ASSERT_TRUE(profile_->SaveCurrent());
  EXPECT_EQ(ReadBytes(ProfilePath()), before);
  EXPECT_EQ(ReadBytes(App(L"common.ini")), commonBefore);
}

}  // namespace
