// The running program refuses what would end it or stall it from outside: Enter and Esc (IDOK and
// IDCANCEL), a close request, and pointer messages (WM_APP_MESSAGEBOX, WM_APP_SHOWERROR) from
// another process, sent or posted. Afterwards keys still capture, and the exit command still
// ends it through its exit steps (setting.ini and common.ini written).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "wine_test_support.h"

namespace pelmo::test {
namespace {

constexpr UINT kWmApp = 0x8000;
const std::wstring kProfile = L"guard";

// The UTF-16 bytes of s, to look for in a file the program wrote.
std::string Utf16Bytes(const std::wstring& s) {
  std::string out;
  for (wchar_t c : s) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return out;
}

class GuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(monitor_.ok());
    out_ = pelmo_.path(L"out");
    ASSERT_TRUE(CreateDirectoryW(out_.c_str(), nullptr));
    TestProfile profile;
    profile.name = kProfile;
    profile.saveFolder = out_;
    profile.imageType = 0;
    profile.keys.emplace_back(L"ScreenShot_Desktop", VK_F5);
    ASSERT_TRUE(InstallProfile(pelmo_.folder().path(), profile));
    ASSERT_TRUE(pelmo_.Start());
    main_ = pelmo_.WaitForMainWindow();
    ASSERT_NE(main_, nullptr);
  }

  void TearDown() override {
    if (pelmo_.process().running()) {
      PostMessageW(main_, WM_COMMAND, 32791, 0);
      pelmo_.process().wait(20000);
    }
  }

  std::wstring Capture(int number) const {
    wchar_t num[8];
    swprintf(num, 8, L"%03d", number);
    return out_ + L"\\screenshot\\" + kProfile + L"\\capture" + num + L".bmp";
  }

  // Presses the bound key and waits for the event to finish. A key-down that comes while the
  // previous event still plays its sound is dropped by design, so each press waits a little first.
  bool Captures(int number) {
    PumpFor(1500);
    const size_t before = monitor_.Lines(L"event ").size();
    PressKey(VK_F5, 80);
    monitor_.WaitFor(L"event ", before + 1, 15000);
    return FileExists(Capture(number));
  }

  LRESULT Send(UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(main_, msg, wp, lp, SMTO_ABORTIFHUNG, 10000, &result)) << std::hex << msg;
    return static_cast<LRESULT>(result);
  }

  DebugMonitor monitor_;
  PelmoProcess pelmo_;
  HWND main_ = nullptr;
  std::wstring out_;
};

TEST_F(GuardTest, EnterEscAndCloseRequestsLeaveItRunningAndExitStillSaves) {
  ASSERT_TRUE(Captures(1)) << "the profile captures before anything";

  struct Request {
    const char* name;
    UINT msg;
    WPARAM wp;
  };
  const Request requests[] = {
      {"Enter (IDOK)", WM_COMMAND, IDOK},
      {"Esc (IDCANCEL)", WM_COMMAND, IDCANCEL},
      {"WM_CLOSE", WM_CLOSE, 0},
      {"Alt+F4 (SC_CLOSE)", WM_SYSCOMMAND, SC_CLOSE},
  };
  for (const Request& r : requests) {
    SCOPED_TRACE(r.name);
    PostMessageW(main_, r.msg, r.wp, 0);
    Send(r.msg, r.wp, 0);
    PumpFor(300);
    ASSERT_TRUE(pelmo_.process().running());
  }
  EXPECT_EQ(FindPelmoMainWindow(pelmo_.process().pid()), main_);
  EXPECT_TRUE(Captures(2)) << "keys still capture";

  // The exit steps write both files again.
  ASSERT_TRUE(DeleteFileW(pelmo_.path(L"setting.ini").c_str()));
  ASSERT_TRUE(DeleteFileW(pelmo_.path(L"common.ini").c_str()));
  PostMessageW(main_, WM_COMMAND, 32791, 0);
  ASSERT_EQ(pelmo_.process().wait(20000), 0u);
  const std::string setting = ReadFileBytes(pelmo_.path(L"setting.ini"));
  EXPECT_NE(setting.find(Utf16Bytes(L"LastProfile=" + kProfile)), std::string::npos);
  EXPECT_TRUE(FileExists(pelmo_.path(L"common.ini")));
}

TEST_F(GuardTest, PointerMessagesFromAnotherProcessChangeNothing) {
  // Addresses that mean nothing in the program: reading them would fault.
  struct Foreign {
    const char* name;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  const Foreign messages[] = {
      {"message box", kWmApp + 10, 0x1234, 1},
      {"error balloon", kWmApp + 11, 0x1234, 1},
      {"message box, high address", kWmApp + 10, static_cast<WPARAM>(-16), MB_OK},
      {"error balloon, high addresses", kWmApp + 11, static_cast<WPARAM>(-16), static_cast<LPARAM>(-16)},
  };
  for (const Foreign& m : messages) {
    SCOPED_TRACE(m.name);
    EXPECT_EQ(Send(m.msg, m.wp, m.lp), 0) << "a foreign send is refused";
    PostMessageW(main_, m.msg, m.wp, m.lp);
    PumpFor(300);
    ASSERT_TRUE(pelmo_.process().running());
    EXPECT_EQ(Send(kWmApp + 8, 0, 0), 1) << "the gates stay open";
  }
  EXPECT_TRUE(monitor_.Lines(L"balloon flag=3").empty()) << "no error balloon was shown";
  EXPECT_TRUE(Captures(1)) << "keys still capture";
  EXPECT_TRUE(Captures(2));
}

}  // namespace
}  // namespace pelmo::test
