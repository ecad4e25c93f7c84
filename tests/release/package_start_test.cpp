// The unzipped release archives as Windows reads them: version resources and manifests through the
// system's own readers (both archives; a 32-bit file is only read here, never run), and the
// x86_64 program started from its unzipped folder. The folders are made by check_package.py.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "wine_test_support.h"

using pelmo::test::ChildProcess;
using pelmo::test::DebugMonitor;

namespace {

const wchar_t* const kBinaries[] = {L"pelmo.exe", L"ravel.dll", L"imgctl.dll"};
const wchar_t* const kFlavours[] = {L"win32", L"win64"};

std::wstring Widen(const char* s) { return std::wstring(s, s + strlen(s)); }

std::wstring PackageFolder(const wchar_t* flavour) {
  return pelmo::test::ToWinPath(PELMO_PACKAGE_UNPACK_DIR) + L"\\" + flavour + L"\\pelmo-" +
         Widen(PELMO_VERSION_TEXT);
}

std::wstring Lower(std::wstring s) {
  std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return s;
}

class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const wchar_t* f : kFlavours) {
      if (!pelmo::test::FileExists(PackageFolder(f) + L"\\pelmo.exe")) {
        GTEST_SKIP() << "no unzipped package (check_package.py runs first)";
      }
    }
  }
};

std::wstring VersionString(const std::vector<BYTE>& block, const std::wstring& key) {
  void* value = nullptr;
  UINT chars = 0;
  const std::wstring path = L"\\StringFileInfo\\041104B0\\" + key;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &chars) || !value) return L"<missing>";
  return static_cast<const wchar_t*>(value);
}

TEST_F(PackageTest, VersionResourcesAsTheSystemReadsThem) {
  for (const wchar_t* flavour : kFlavours) {
    for (const wchar_t* name : kBinaries) {
      SCOPED_TRACE(std::wstring(flavour) + L"\\" + name);
      const std::wstring path = PackageFolder(flavour) + L"\\" + name;
      DWORD ignored = 0;
      const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
      ASSERT_GT(size, 0u) << "no version resource";
      std::vector<BYTE> block(size);
      ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
      VS_FIXEDFILEINFO* fixed = nullptr;
      UINT len = 0;
      ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
      ASSERT_GE(len, sizeof(VS_FIXEDFILEINFO));
      EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
      EXPECT_EQ(fixed->dwFileVersionMS, 0x00020002u);
      EXPECT_EQ(fixed->dwFileVersionLS, 0x00070000u);
      EXPECT_EQ(fixed->dwProductVersionMS, 0x00020002u);
      EXPECT_EQ(fixed->dwFileType, wcsstr(name, L".dll") ? DWORD{VFT_DLL} : DWORD{VFT_APP});
      WORD* translation = nullptr;
      ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &len));
      ASSERT_GE(len, 4u);
      EXPECT_EQ(translation[0], 0x0411);
      EXPECT_EQ(translation[1], 1200);
      EXPECT_EQ(VersionString(block, L"ProductName"), L"PELMO");
      EXPECT_EQ(VersionString(block, L"FileVersion"), L"2.2.7");
      EXPECT_EQ(VersionString(block, L"ProductVersion"), L"2.2.7");
      EXPECT_EQ(Lower(VersionString(block, L"OriginalFilename")), name);
      EXPECT_NE(VersionString(block, L"FileDescription").find(L"PELMO"), std::wstring::npos);
    }
  }
}

TEST_F(PackageTest, ManifestAsTheSystemReadsIt) {
  for (const wchar_t* flavour : kFlavours) {
    SCOPED_TRACE(flavour);
    const std::wstring exe = PackageFolder(flavour) + L"\\pelmo.exe";
    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr) << GetLastError();
    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr) << "no manifest with id 1";
    const char* text = static_cast<const char*>(LockResource(LoadResource(image, found)));
    const std::string manifest(text ? text : "", text ? SizeofResource(image, found) : 0);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
    FreeLibrary(image);
  }
  // The system accepts the 64-bit program's manifest as an activation context.
  ACTCTXW ctx{};
  ctx.cbSize = sizeof ctx;
  const std::wstring exe = PackageFolder(L"win64") + L"\\pelmo.exe";
  ctx.lpSource = exe.c_str();
  ctx.lpResourceName = MAKEINTRESOURCEW(1);
  ctx.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  HANDLE activation = CreateActCtxW(&ctx);
  EXPECT_NE(activation, INVALID_HANDLE_VALUE) << GetLastError();
  if (activation != INVALID_HANDLE_VALUE) ReleaseActCtx(activation);
}

// Module paths of a running process, lower case.
std::vector<std::wstring> ModulesOf(DWORD pid) {
  std::vector<std::wstring> out;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  if (snap == INVALID_HANDLE_VALUE) return out;
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Module32FirstW(snap, &entry); more; more = Module32NextW(snap, &entry)) {
    out.push_back(Lower(entry.szExePath));
  }
  CloseHandle(snap);
  return out;
}

bool MutexHeld() {
  HANDLE h = OpenMutexW(SYNCHRONIZE, FALSE, L"pelmo");
  if (!h) return false;
  CloseHandle(h);
  return true;
}

// The first start of a fresh unzip: no profile, nothing written yet beside the executable.
TEST_F(PackageTest, FirstStartFromTheUnzippedFolder) {
  const std::wstring folder = PackageFolder(L"win64");
  DebugMonitor monitor;
  ASSERT_TRUE(monitor.ok());
  ASSERT_FALSE(MutexHeld()) << "another PELMO is running";
  ChildProcess pelmo(folder + L"\\pelmo.exe", L"", folder);
  ASSERT_TRUE(pelmo.started());
  HWND main = nullptr;
  for (int i = 0; i < 150 && !main && pelmo.running(); ++i) {
    main = pelmo::test::FindPelmoMainWindow(pelmo.pid());
    if (!main) Sleep(100);
  }
  ASSERT_NE(main, nullptr) << "the main window did not appear (exit code " << pelmo.wait(0) << ")";
  EXPECT_TRUE(MutexHeld());
  EXPECT_FALSE(monitor.WaitFor(L"pelmo: tray add", 1, 10000, pelmo.pid()).empty())
      << "the tray icon was not added";

  // The libraries come from the unzipped folder, not from a build tree.
  const std::vector<std::wstring> modules = ModulesOf(pelmo.pid());
  for (const wchar_t* dll : {L"ravel.dll", L"imgctl.dll"}) {
    const std::wstring want = Lower(folder + L"\\" + dll);
    EXPECT_NE(std::find(modules.begin(), modules.end(), want), modules.end()) << "not loaded: " << want.c_str();
  }

  ChildProcess second(folder + L"\\pelmo.exe", L"", folder);
  ASSERT_TRUE(second.started());
  EXPECT_EQ(second.wait(15000), 0u) << "a second start must end by itself";
  EXPECT_TRUE(pelmo.running());

  PostMessageW(main, WM_COMMAND, 32791, 0);  // the tray menu's exit command
  EXPECT_EQ(pelmo.wait(20000), 0u) << "exit from the tray menu must end the program cleanly";
  EXPECT_FALSE(MutexHeld());
}

}  // namespace
