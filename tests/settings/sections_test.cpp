#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "settings/IniStore.h"
#include "settings/ProfileSectionSet.h"
#include "settings_fixture.h"

using namespace pelmo;
using namespace pelmo::test;

namespace {

class SectionsTest : public SettingsFolderTest {
 protected:
  std::wstring Common() const { return App(L"common.ini"); }
  std::wstring ProfileFile(const wchar_t* name = L"p") const { return App(name) + std::wstring(L".ini"); }

  static void WriteAll(ProfileSectionSet& set, const std::wstring& path) {
    IniBatch batch;
    for (auto* s : set.Pointers()) s->Write(path);
  }
  static void ReadAll(ProfileSectionSet& set, const std::wstring& path) {
    IniBatch batch;
    for (auto* s : set.Pointers()) s->Read(path);
  }
  static void WriteCommonAll(ProfileSectionSet& set) {
    for (auto* s : set.Pointers()) s->WriteCommon();
  }
};

TEST_F(SectionsTest, ANewProfileHasTheDocumentedDefaults) {
  ProfileSectionSet set;
  EXPECT_EQ(set.gen.GetImageType(), CGenProfile::kJpg);
  EXPECT_EQ(set.gen.GetSaveFolder(), CGenProfile::GetDefaultSaveFolder());
  EXPECT_EQ(set.name.GetFileName(), L"screenshot\\%p\\capture%r");
  EXPECT_EQ(set.name.GetDigitCount(), 1);
  EXPECT_EQ(set.name.GetIncreasingNumber(), 1);
  EXPECT_EQ(set.name.GetWindowNameLength(), 16);
  EXPECT_EQ(set.jpg.GetJpgCompression(), 75);
  EXPECT_EQ(set.bmp.GetBmpColor(), 32);
  EXPECT_EQ(set.png.GetPngColor(), 32);
  EXPECT_EQ(set.gif.GetTransparencyColor(), (RgbColor{255, 255, 255}));
  EXPECT_EQ(set.gif.GetBackgroundColor(), (RgbColor{255, 255, 255}));
  EXPECT_EQ(set.resize.GetResize(), 0);
  EXPECT_EQ(set.resize.GetPercentX(), 100);
  EXPECT_EQ(set.resize.GetPercentY(), 100);
  EXPECT_EQ(set.resize.GetPixelsX(), 640);
  EXPECT_EQ(set.resize.GetPixelsY(), 480);
  EXPECT_EQ(set.screenCut.GetFixSizeX(), 600);
  EXPECT_EQ(set.screenCut.GetFixSizeY(), 480);
  EXPECT_EQ(set.time.GetActionType(), 2);
  EXPECT_EQ(set.time.GetInterval(), 50);
  EXPECT_EQ(set.other.GetShow(), 1);
  EXPECT_EQ(set.other.GetCheckProfileRewrite(), 1);
  EXPECT_EQ(set.other.GetCheckRewrite(), 1);
  EXPECT_EQ(set.other.GetPriority(), 2);
  EXPECT_EQ(set.key.GetBinding(kEventDesktop), (KeyBinding{44, 0, 0}));
  EXPECT_EQ(set.key.GetBinding(kEventWindow), (KeyBinding{165, 44, 0}));
  EXPECT_EQ(set.key.GetBinding(kEventClient), (KeyBinding{163, 44, 0}));
  EXPECT_EQ(set.key.GetBinding(kEventNextProfile), (KeyBinding{163, 39, 0}));
  EXPECT_EQ(set.key.GetBinding(kEventBackProfile), (KeyBinding{163, 37, 0}));
  EXPECT_EQ(set.key.GetBinding(kEventScreenCut), (KeyBinding{0, 0, 0}));
  EXPECT_EQ(set.sound.GetSoundFile(kEventDesktop), L"Sounds\\クラシック カメラ.wav");
  EXPECT_EQ(set.sound.GetSoundFile(kEventAutoCapture), L"Sounds\\クラシック カメラ.wav");
  EXPECT_EQ(set.sound.GetSoundFile(kEventOpenSettings), L"");
  EXPECT_EQ(set.sound.GetSoundOn(kEventBackProfile), 1);
  EXPECT_EQ(set.display.GetDisplayName(), L"");
}

// One edit of one per-profile value, in every section: the comparison must notice it and a
// write and read must carry it.
struct Edit {
  const char* what;
  size_t section;
  std::function<void(ProfileSectionSet&)> apply;
};

std::vector<Edit> PerProfileEdits() {
  return {
      {"SaveFolder", 0, [](auto& s) { s.gen.SetSaveFolder(L"D:\\写真"); }},
      {"ImageType", 0, [](auto& s) { s.gen.SetImageType(3); }},
      {"FileName", 1, [](auto& s) { s.name.SetFileName(L"%y\\%w_%r"); }},
      {"StartNumber", 1, [](auto& s) { s.name.SetStartNumber(5); }},
      {"DigitCount", 1, [](auto& s) { s.name.SetDigitCount(4); }},
      {"IncreasingNumber", 1, [](auto& s) { s.name.SetIncreasingNumber(3); }},
      {"WindowNameLength", 1, [](auto& s) { s.name.SetWindowNameLength(40); }},
      {"binding slot", 2, [](auto& s) { s.key.SetBindingCode(kEventScreenCut, 2, 0x70); }},
      {"binding order", 2, [](auto& s) { s.key.SetBindingCode(kEventWindow, 0, 44), s.key.SetBindingCode(kEventWindow, 1, 165); }},
      {"AllSoundOff", 3, [](auto& s) { s.sound.SetAllSoundOff(1); }},
      {"sound on", 3, [](auto& s) { s.sound.SetSoundOn(kEventWindow, 0); }},
      {"sound file", 3, [](auto& s) { s.sound.SetSoundFile(kEventOpenSaveFolder, L"C:\\音\\a.wav"); }},
      {"BmpColor", 4, [](auto& s) { s.bmp.SetBmpColor(8); }},
      {"JpgCompression", 5, [](auto& s) { s.jpg.SetJpgCompression(90); }},
      {"JpgProgression", 5, [](auto& s) { s.jpg.SetJpgProgression(1); }},
      {"GifInterlace", 6, [](auto& s) { s.gif.SetGifInterlace(1); }},
      {"GifTransparency", 6, [](auto& s) { s.gif.SetGifTransparency(1); }},
      {"GifBackgound", 6, [](auto& s) { s.gif.SetGifBackground(1); }},
      {"transparent colour", 6, [](auto& s) { s.gif.SetTransparencyColor({1, 2, 3}); }},
      {"background colour", 6, [](auto& s) { s.gif.SetBackgroundColor({255, 0, 255}); }},
      {"PngColor", 7, [](auto& s) { s.png.SetPngColor(24); }},
      {"PngInterlace", 7, [](auto& s) { s.png.SetPngInterlace(1); }},
      {"Resize", 8, [](auto& s) { s.resize.SetResize(1); }},
      {"ResizeType", 8, [](auto& s) { s.resize.SetResizeType(1); }},
      {"Resize_X_PER", 8, [](auto& s) { s.resize.SetPercentX(50); }},
      {"Resize_Y_PER", 8, [](auto& s) { s.resize.SetPercentY(2147483647); }},
      {"Resize_X_PX", 8, [](auto& s) { s.resize.SetPixelsX(-1); }},
      {"Resize_Y_PX", 8, [](auto& s) { s.resize.SetPixelsY(1080); }},
      {"FixSizeX", 9, [](auto& s) { s.screenCut.SetFixSizeX(601); }},
      {"FixSizeY", 9, [](auto& s) { s.screenCut.SetFixSizeY(1); }},
      {"DisplayName", 10, [](auto& s) { s.display.SetChosenDisplay({L"\\\\.\\DISPLAY2", L"Wine Adapter"}); }},
      {"ActionType", 11, [](auto& s) { s.time.SetActionType(4); }},
      {"Interval", 11, [](auto& s) { s.time.SetInterval(36000); }},
      {"ExitNoActive", 11, [](auto& s) { s.time.SetExitNoActive(1); }},
      {"SoundOut", 11, [](auto& s) { s.time.SetSoundOut(1); }},
      {"CaptureStart", 11, [](auto& s) { s.time.SetCaptureStart(1); }},
      {"TargetOnly", 11, [](auto& s) { s.time.SetTargetOnly(1); }},
      {"EnableSaveDirectory", 12, [](auto& s) { s.translate.SetEnableSaveDirectory(1); }},
      {"SaveDirectory", 12, [](auto& s) { s.translate.SetSaveDirectory(L"E:\\変換"); }},
      {"CheckRewrite", 13, [](auto& s) { s.other.SetCheckRewrite(0); }},
      {"CutClient", 13, [](auto& s) { s.other.SetCutClient(1); }},
      {"CaptureCursor", 13, [](auto& s) { s.other.SetCaptureCursor(1); }},
      {"GlobalKeyHook", 13, [](auto& s) { s.other.SetGlobalKeyHook(1); }},
      {"Priority", 13, [](auto& s) { s.other.SetPriority(4); }},
  };
}

TEST_F(SectionsTest, EveryPerProfileValueIsComparedWrittenAndRead) {
  for (const auto& edit : PerProfileEdits()) {
    SCOPED_TRACE(edit.what);
    ProfileSectionSet base, edited;
    edit.apply(edited);
    auto b = base.Pointers();
    auto e = edited.Pointers();
    for (size_t i = 0; i < kSectionCount; ++i) {
      EXPECT_EQ(e[i]->IsEqual(*b[i]), i != edit.section) << "section " << i;
    }
    const std::wstring path = ProfileFile(L"edit");
    fs::remove(Fs(path));
    WriteAll(edited, path);
    ProfileSectionSet back;
    ReadAll(back, path);
    auto r = back.Pointers();
    for (size_t i = 0; i < kSectionCount; ++i) EXPECT_TRUE(r[i]->IsEqual(*e[i])) << "section " << i;
  }
}

TEST_F(SectionsTest, ANewProfileFileListsItsSectionsInTheFixedOrder) {
  ProfileSectionSet set;
  WriteAll(set, ProfileFile());
  const std::wstring text = ReadText(ProfileFile());
  const wchar_t* order[] = {L"[OPTION]", L"[FILE_NAME]", L"[KEY]", L"[SOUND]", L"[BMP]", L"[JPG]", L"[GIF]",
                            L"[PNG]", L"[RESIZE]", L"[SCREEN_CUT]", L"[DISPLAY]", L"[TIME]", L"[TRANSLATE]",
                            L"[OTHER]"};
  size_t at = 0;
  for (const wchar_t* header : order) {
    size_t found = text.find(header);
    ASSERT_NE(found, std::wstring::npos) << WideToUtf8(header);
    EXPECT_GE(found, at) << WideToUtf8(header);
    at = found;
  }
  // Key spellings stored profiles rely on, and no shared or running values in the profile.
  for (const wchar_t* key : {L"GifBackgound=0", L"GifBackgroundColor_R=255", L"ScreenShot_Desktop1=44",
                             L"ScreenShot_Desktop2=0", L"ScreenShot_Desktop_Sound_File=Sounds\\クラシック カメラ.wav",
                             L"CurrentNumber=0", L"Resize_X_PX=640"}) {
    EXPECT_NE(text.find(key), std::wstring::npos) << WideToUtf8(key);
  }
  for (const wchar_t* key : {L"NextProfile", L"BackProfile", L"\nLastSaveFile=", L"\nShow=", L"DisableInputMode"}) {
    EXPECT_EQ(text.find(key), std::wstring::npos) << WideToUtf8(key);
  }
}

TEST_F(SectionsTest, NegativeValuesOfUnsignedSectionsAreWrittenAsUnsigned32Bit) {
  ProfileSectionSet set;
  set.resize.SetPixelsX(-1);
  set.translate.SetEnableSaveDirectory(-2);
  WriteAll(set, ProfileFile());
  const std::wstring text = ReadText(ProfileFile());
  EXPECT_NE(text.find(L"Resize_X_PX=4294967295"), std::wstring::npos);
  EXPECT_NE(text.find(L"EnableSaveDirectory=4294967294"), std::wstring::npos);
  ProfileSectionSet back;
  ReadAll(back, ProfileFile());
  EXPECT_EQ(back.resize.GetPixelsX(), -1);
  EXPECT_EQ(back.translate.GetEnableSaveDirectory(), -2);
}

TEST_F(SectionsTest, SharedValuesLiveInCommonIniAndSurviveSwitchingProfiles) {
  ProfileSectionSet a;
  WriteAll(a, ProfileFile(L"a"));
  WriteAll(a, ProfileFile(L"b"));
  EXPECT_FALSE(Exists(Common()));  // created by the first shared write only

  a.key.SetBindingCode(kEventNextProfile, 0, 0x70);
  a.sound.SetSoundFile(kEventBackProfile, L"C:\\共有.wav");
  a.sound.SetSoundOn(kEventNextProfile, 0);
  a.other.SetShow(0);
  a.other.SetDisableInputMode(1);
  a.other.SetCheckProfileRewrite(0);
  WriteCommonAll(a);
  const std::wstring common = ReadText(Common());
  EXPECT_NE(common.find(L"[COMMON_KEY]"), std::wstring::npos);
  EXPECT_NE(common.find(L"NextProfile1=112"), std::wstring::npos);
  EXPECT_NE(common.find(L"[COMMON_SOUND]"), std::wstring::npos);
  EXPECT_NE(common.find(L"BackProfile_Sound_File=C:\\共有.wav"), std::wstring::npos);
  EXPECT_NE(common.find(L"[COMMON_OTHER]"), std::wstring::npos);

  ProfileSectionSet b;
  ReadAll(b, ProfileFile(L"b"));
  EXPECT_EQ(b.key.GetBinding(kEventNextProfile)[0], 0x70);
  EXPECT_EQ(b.sound.GetSoundFile(kEventBackProfile), L"C:\\共有.wav");
  EXPECT_EQ(b.sound.GetSoundOn(kEventNextProfile), 0);
  EXPECT_EQ(b.other.GetShow(), 0);
  EXPECT_EQ(b.other.GetDisableInputMode(), 1);
  EXPECT_EQ(b.other.GetCheckProfileRewrite(), 0);

  // Shared values are not part of the comparison.
  ProfileSectionSet fresh;
  auto pb = b.Pointers();
  auto pf = fresh.Pointers();
  for (size_t i = 0; i < kSectionCount; ++i) EXPECT_TRUE(pb[i]->IsEqual(*pf[i])) << i;
}

TEST_F(SectionsTest, RunningStateIsNotAnEdit) {
  ProfileSectionSet a, b;
  a.gen.SetLastSaveFile(L"C:\\shot.jpg");
  a.name.SetCurrentNumber(99);
  EXPECT_TRUE(a.gen.IsEqual(b.gen));
  EXPECT_TRUE(a.name.IsEqual(b.name));

  // Running state goes into an existing profile file only.
  a.name.WriteRunningState(ProfileFile(L"none"));
  a.gen.WriteRunningState(ProfileFile(L"none"));
  EXPECT_FALSE(Exists(ProfileFile(L"none")));
  WriteBytes(ProfileFile(), "");
  a.gen.WriteRunningState(ProfileFile());
  a.name.WriteRunningState(ProfileFile());
  ProfileSectionSet back;
  ReadAll(back, ProfileFile());
  EXPECT_EQ(back.gen.GetLastSaveFile(), L"C:\\shot.jpg");
  EXPECT_EQ(back.name.GetCurrentNumber(), 99);
}

TEST_F(SectionsTest, CurrentNumberStartsAtStartNumberWhenMissing) {
  WriteBytes(ProfileFile(), "[FILE_NAME]\r\nStartNumber=7\r\n");
  CNameProfile name;
  name.Read(ProfileFile());
  EXPECT_EQ(name.GetCurrentNumber(), 7);
  std::vector<int32_t> shown;
  name.SetNextNumberDisplay([&](int32_t n) { shown.push_back(n); });
  name.SetCurrentNumber(3);
  name.SetCurrentNumber(4);
  EXPECT_EQ(shown, (std::vector<int32_t>{3, 4}));
  shown.clear();
  name.Read(ProfileFile());
  EXPECT_TRUE(shown.empty());  // reading a profile is no new number to show
}

TEST_F(SectionsTest, KeyBindingsFromFiles) {
  // The binding stored under "SetClipboard" belongs to automatic capture (event 8).
  WriteBytes(ProfileFile(), "[KEY]\r\nSetClipboard1=120\r\nScreenShot_Desktop1=0\r\nScreenCut3=65\r\n");
  CKeyProfile key;
  key.Read(ProfileFile());
  EXPECT_EQ(key.GetBinding(kEventAutoCapture), (KeyBinding{120, 0, 0}));
  EXPECT_EQ(key.GetBinding(kEventCopyToClipboard), (KeyBinding{0, 0, 0}));
  EXPECT_EQ(key.GetBinding(kEventDesktop), (KeyBinding{0, 0, 0}));  // stored empty slot
  EXPECT_EQ(key.GetBinding(kEventScreenCut), (KeyBinding{0, 0, 65}));
  EXPECT_EQ(key.GetBinding(kEventWindow), (KeyBinding{165, 44, 0}));  // missing keys: defaults

  // A file without a KEY section gives the defaults, whatever was read before.
  WriteBytes(ProfileFile(L"empty"), "[OPTION]\r\nImageType=0\r\n");
  key.Read(ProfileFile(L"empty"));
  EXPECT_EQ(key.GetBindings(), CKeyProfile::DefaultBindings());

  std::wstring text = L"unchanged";
  EXPECT_FALSE(key.GetBindingText(17, text));
  EXPECT_FALSE(key.GetBindingText(-1, text));
  EXPECT_EQ(text, L"unchanged");
  ASSERT_TRUE(key.GetBindingText(kEventNextProfile, text));
  EXPECT_EQ(text, L"Ctrl(右) & →");
  key.SetBindingCode(kEventNextProfile, 3, 1);  // no such slot: ignored
  key.SetBindingCode(20, 0, 1);                 // no such event: ignored
  EXPECT_EQ(key.GetBinding(kEventNextProfile), (KeyBinding{163, 39, 0}));
}

TEST_F(SectionsTest, LongValuesAreCutToTheirBuffers) {
  const std::wstring longPath(3000, L'x');
  const std::wstring device = L"\\\\.\\DISPLAY1\\Monitor0\\0123456789abcdef";  // 38 characters
  ProfileSectionSet set;
  set.sound.SetSoundFile(kEventDesktop, longPath);
  set.display.SetChosenDisplay({device, std::wstring(200, L'd')});
  set.name.SetFileName(std::wstring(300, L'n'));
  WriteAll(set, ProfileFile());
  ProfileSectionSet back;
  ReadAll(back, ProfileFile());
  EXPECT_EQ(back.sound.GetSoundFile(kEventDesktop), longPath.substr(0, 2047));
  EXPECT_EQ(back.display.GetDisplayName(), device.substr(0, 31));
  EXPECT_EQ(back.display.GetDeviceName(), std::wstring(127, L'd'));
  EXPECT_EQ(back.name.GetFileName(), std::wstring(248, L'n'));
}

TEST_F(SectionsTest, ComparingOtherStoresTheSharedOptions) {
  COtherProfile a, b;
  a.SetShow(0);
  EXPECT_TRUE(a.IsEqual(b));
  EXPECT_EQ(IniStore::ReadInt(Common(), L"COMMON_OTHER", L"Show", 1), 0);
  fs::remove(Fs(Common()));
  a.IsEqual(b);  // written again, as the program runs
  EXPECT_EQ(IniStore::ReadInt(Common(), L"COMMON_OTHER", L"Show", 1), 0);
}

// Hand-edited profiles: every value is taken as the platform reads it, nothing crashes.
TEST_F(SectionsTest, HandEditedValues) {
  struct Case {
    const char* name;
    std::string file;
    std::function<void(const ProfileSectionSet&)> check;
  } cases[] = {
      {"text where a number belongs reads 0", "[JPG]\r\nJpgCompression=high\r\n",
       [](const auto& s) { EXPECT_EQ(s.jpg.GetJpgCompression(), 0); }},
      {"an empty number takes the default", "[JPG]\r\nJpgCompression=\r\n",
       [](const auto& s) { EXPECT_EQ(s.jpg.GetJpgCompression(), 75); }},
      {"negative and huge numbers", "[TIME]\r\nInterval=-10\r\nActionType=99999999999\r\n",
       [](const auto& s) {
         EXPECT_EQ(s.time.GetInterval(), -10);
         EXPECT_EQ(s.time.GetActionType(), 1215752191);
       }},
      {"an ImageType outside 0..3 is kept", "[OPTION]\r\nImageType=7\r\n",
       [](const auto& s) { EXPECT_EQ(s.gen.GetImageType(), 7); }},
      {"key codes outside 0..255 are kept", "[KEY]\r\nScreenCut1=300\r\nScreenCut2=-4\r\n",
       [](const auto& s) { EXPECT_EQ(s.key.GetBinding(kEventScreenCut), (KeyBinding{300, -4, 0})); }},
      {"a missing section gives its defaults", "[NOTHING]\r\n",
       [](const auto& s) { EXPECT_EQ(s.screenCut.GetFixSizeX(), 600); }},
      {"keys before any section are ignored", "FixSizeX=1\r\n[SCREEN_CUT]\r\nFixSizeY=2\r\n",
       [](const auto& s) {
         EXPECT_EQ(s.screenCut.GetFixSizeX(), 600);
         EXPECT_EQ(s.screenCut.GetFixSizeY(), 2);
       }},
      {"NUL bytes and control characters", std::string("[OPTION]\r\nSaveFolder=C:\\a\0b\x01\r\n", 28),
       [](const auto& s) { EXPECT_EQ(s.gen.GetSaveFolder().substr(0, 4), L"C:\\a"); }},
      {"a colour component out of range is kept", "[GIF]\r\nGifBackgroundColor_G=300\r\n",
       [](const auto& s) { EXPECT_EQ(s.gif.GetBackgroundColor(), (RgbColor{255, 300, 255})); }},
      {"a header without its closing bracket", "[OTHER\r\nPriority=4\r\n",
       [](const auto& s) { EXPECT_EQ(s.other.GetPriority(), 2); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(ProfileFile(), c.file);
    ProfileSectionSet set;
    ReadAll(set, ProfileFile());
    c.check(set);
  }
}

TEST(SectionHelpers, DisplayTextsAndTheAllDisplaysRectangle) {
  EXPECT_EQ(CDispProfile::GetDisplayText({}), L"（ディスプレイ未選択）");
  EXPECT_EQ(CDispProfile::GetDisplayText({L"\\\\.\\DISPLAY2", L"Wine Adapter"}), L"DISPLAY2 on Wine Adapter");

  struct Case {
    const char* name;
    std::vector<DisplayRect> monitors;
    DisplayRect expect;
  } cases[] = {
      {"one monitor", {{0, 0, 1920, 1080}}, {0, 0, 1920, 1080}},
      {"a second monitor to the left", {{0, 0, 1920, 1080}, {-1280, 0, 0, 1024}}, {-1280, 0, 1920, 1080}},
      {"a monitor right of and below (0, 0)", {{1920, 1080, 3840, 2160}}, {0, 0, 3840, 2160}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CDispProfile disp;
    disp.SetDefaults();
    for (const auto& m : c.monitors) disp.AddMonitor(m, {L"  \\\\.\\DISPLAY1 ", L" Adapter  "});
    DisplayRect r;
    disp.GetAllDisplaysRect(r);
    EXPECT_EQ(r, c.expect);
    EXPECT_EQ(disp.GetCount(), static_cast<int32_t>(c.monitors.size()));
    ASSERT_TRUE(disp.GetDisplay(0));
    EXPECT_EQ(disp.GetDisplay(0)->devicePath, L"\\\\.\\DISPLAY1");
    EXPECT_EQ(disp.GetDisplay(0)->description, L"Adapter");
    EXPECT_FALSE(disp.GetDisplay(c.monitors.size()));
  }
}

TEST(SectionHelpers, PriorityNamesAndColourDepths) {
  const wchar_t* names[] = {L"低", L"通常以下", L"通常", L"通常以上", L"高"};
  COtherProfile other;
  for (int p = 0; p < 5; ++p) {
    std::wstring text;
    other.SetPriority(p);
    other.GetPriorityName(text);
    EXPECT_EQ(text, names[p]);
  }
  std::wstring text = L"kept";
  other.SetPriority(5);
  other.GetPriorityName(text);
  EXPECT_EQ(text, L"kept");

  EXPECT_EQ(ColorDepthFromIndex(0), 32);
  EXPECT_EQ(ColorDepthFromIndex(3), 8);
  EXPECT_EQ(ColorDepthFromIndex(7), 32);
  EXPECT_EQ(ColorIndexFromDepth(16), 2);
  EXPECT_EQ(ColorIndexFromDepth(12), -1);
  EXPECT_EQ((RgbColor{1, 2, 3}).Packed(), 0x030201u);
}

}  // namespace
