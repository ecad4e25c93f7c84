// The built ravel.dll as a file: its exports, ordinals and shared section; and that a program
// linked with the key input facade imports it by ordinal only.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

#include "hooklib/Ravel.h"
#include "keyinput/KeyInput.h"
#include "wine_test_support.h"

namespace pelmo::test {
namespace {

// A PE file read into memory, with RVAs translated through its section table.
class PeFile {
 public:
  explicit PeFile(std::string bytes) : bytes_(std::move(bytes)) {
    if (bytes_.size() < sizeof(IMAGE_DOS_HEADER)) return;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes_.data());
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(bytes_.data() + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return;
    nt_ = nt;
  }
  bool valid() const { return nt_ != nullptr; }

  const IMAGE_SECTION_HEADER* Section(const char* name) const {
    const IMAGE_SECTION_HEADER* s = IMAGE_FIRST_SECTION(nt_);
    for (WORD i = 0; i < nt_->FileHeader.NumberOfSections; ++i, ++s) {
      if (strncmp(reinterpret_cast<const char*>(s->Name), name, IMAGE_SIZEOF_SHORT_NAME) == 0) return s;
    }
    return nullptr;
  }

  const char* At(DWORD rva) const {
    const IMAGE_SECTION_HEADER* s = IMAGE_FIRST_SECTION(nt_);
    for (WORD i = 0; i < nt_->FileHeader.NumberOfSections; ++i, ++s) {
      if (rva >= s->VirtualAddress && rva < s->VirtualAddress + s->Misc.VirtualSize) {
        return bytes_.data() + s->PointerToRawData + (rva - s->VirtualAddress);
      }
    }
    return nullptr;
  }

  const IMAGE_DATA_DIRECTORY& Directory(int index) const {
    return nt_->OptionalHeader.DataDirectory[index];
  }

 private:
  std::string bytes_;
  const IMAGE_NT_HEADERS* nt_ = nullptr;
};

std::wstring RavelPath() { return ToWinPath(RAVEL_DLL_PATH); }

const std::map<std::string, WORD> kExports = {
    {"rvInstallHook", 1},
    {"rvUnInstallHook", 2},
    {"rvSetMainHwnd", 3},
    {"rvGetMainHwnd", 4},
    {"rvInstallCallBackKeyBoardDown", 5},
    {"rvInstallCallBackKeyBoardUp", 6},
    {"rvInstallCallBackMouseDown", 7},
    {"rvInstallCallBackMouseUp", 8},
    {"rvGetCallBackKeyBoardDown", 9},
    {"rvGetCallBackKeyBoardUp", 10},
    {"rvGetCallBackMouseDown", 11},
    {"rvGetCallBackMouseUp", 12},
    {"rvResetSetting", 13},
    {"rvGetVKeyCode", 14},
    {"rvGetState", 15},
    {"rvCompInstallHwnd", 16},
    {"rvTransVKeyMouseCode", 17},
    {"rvEnableKeyDown", 18},
};

TEST(RavelBinary, ExportsEighteenNamesAtTheirFixedOrdinals) {
  PeFile pe(ReadFileBytes(RavelPath()));
  ASSERT_TRUE(pe.valid());
  const IMAGE_DATA_DIRECTORY& dir = pe.Directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
  const auto* exp = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(pe.At(dir.VirtualAddress));
  ASSERT_NE(exp, nullptr);
  EXPECT_STREQ(pe.At(exp->Name), "ravel.dll");
  EXPECT_EQ(exp->Base, 1u);
  EXPECT_EQ(exp->NumberOfFunctions, 18u);
  ASSERT_EQ(exp->NumberOfNames, 18u);
  const auto* names = reinterpret_cast<const DWORD*>(pe.At(exp->AddressOfNames));
  const auto* ordinals = reinterpret_cast<const WORD*>(pe.At(exp->AddressOfNameOrdinals));
  std::map<std::string, WORD> found;
  for (DWORD i = 0; i < exp->NumberOfNames; ++i) {
    found[pe.At(names[i])] = static_cast<WORD>(ordinals[i] + exp->Base);
  }
  EXPECT_EQ(found, kExports);

  // The loader agrees: each ordinal resolves to the function of that name.
  HMODULE lib = LoadLibraryW(RavelPath().c_str());
  ASSERT_NE(lib, nullptr);
  for (const auto& [name, ordinal] : kExports) {
    EXPECT_EQ(GetProcAddress(lib, name.c_str()), GetProcAddress(lib, MAKEINTRESOURCEA(ordinal))) << name;
  }
  FreeLibrary(lib);
}

TEST(RavelBinary, SharedSectionHasItsNameSizeFlagsAndInitialValues) {
  PeFile pe(ReadFileBytes(RavelPath()));
  ASSERT_TRUE(pe.valid());
  const IMAGE_SECTION_HEADER* s = pe.Section("MAIN_WIN");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Misc.VirtualSize, 1056u);
  const DWORD wanted = IMAGE_SCN_MEM_SHARED | IMAGE_SCN_MEM_READ | IMAGE_SCN_MEM_WRITE |
                       IMAGE_SCN_CNT_INITIALIZED_DATA;
  EXPECT_EQ(s->Characteristics & wanted, wanted);
  const auto* words = reinterpret_cast<const int32_t*>(pe.At(s->VirtualAddress));
  ASSERT_NE(words, nullptr);
  EXPECT_EQ(words[0], 1) << "key-down enabled";
  for (int i = 1; i < 1056 / 4; ++i) EXPECT_EQ(words[i], 0) << "word " << i;
}

TEST(RavelBinary, TheFacadeImportsRavelByOrdinalOnly) {
  // This executable links the facade, as the program does.
  EXPECT_EQ(KeyInputGetMode(), kKeyInputPolling);
  const auto* base = reinterpret_cast<const char*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  const auto* desc = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
  std::set<WORD> ordinals;
  bool byName = false;
  for (; desc->Name != 0; ++desc) {
    if (_stricmp(base + desc->Name, "ravel.dll") != 0) continue;
    const auto* thunk = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
    for (; thunk->u1.AddressOfData != 0; ++thunk) {
      if (IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal)) {
        ordinals.insert(static_cast<WORD>(IMAGE_ORDINAL(thunk->u1.Ordinal)));
      } else {
        byName = true;
      }
    }
  }
  EXPECT_FALSE(byName);
  EXPECT_EQ(ordinals, (std::set<WORD>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 14, 15, 16, 18}));
}

}  // namespace
}  // namespace pelmo::test
