#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "settings/IniStore.h"
#include "settings/Profile.h"
#include "settings/SystemSettings.h"
#include "settings/TemplateFile.h"
#include "settings_fixture.h"

using namespace pelmo;
using namespace pelmo::test;

namespace {

class ProfileManagerTest : public SettingsFolderTest {
 protected:
  std::wstring ProfilePath(const std::wstring& name) const { return App(L"Profile\\" + name + L".ini"); }

  std::set<std::wstring> Listed(CProfile& m) {
    std::set<std::wstring> names;
    ProfileSearch search;
    std::wstring name;
    for (bool ok = m.FindFirstProfile(search, name); ok; ok = m.FindNextProfile(search, name)) names.insert(name);
    return names;
  }
};

TEST(ProfileNames, Validation) {
  struct Case {
    std::wstring name;
    int expect;
  } cases[] = {
      {L"Game", 1},
      {std::wstring(32, L'a'), 1},
      {std::wstring(33, L'a'), -1},
      {L"", -2},
      {L"a,b", -2},
      {L"$", -2},
      {std::wstring(40, L'a') + L":", -2},  // characters are tested before length
      {L"a\\b", -2}, {L"a:b", -2}, {L"a/b", -2}, {L"a<b", -2}, {L"a>b", -2}, {L"a*b", -2}, {L"a\"b", -2},
      {L"日本語のプロファイル", 1},
      {L"a.b", 1},
      {L"a'b", 1},
      // Names no Windows file can carry: refused rather than "created" without a file.
      {L"what?", -2}, {L"a|b", -2}, {L"tab\there", -2}, {L"CON", -2}, {L"nul", -2}, {L"com1.x", -2},
      {L"CONSOLE", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.name));
    EXPECT_EQ(CProfile::ValidateProfileName(c.name), c.expect);
  }
}

TEST_F(ProfileManagerTest, CreateWritesEveryKeyAndLeavesTheCurrentProfileAlone) {
  CProfile m;
  m.Current().jpg.SetJpgCompression(10);
  m.Current().gen.SetLastSaveFile(L"C:\\last.jpg");
  m.Current().name.SetCurrentNumber(42);
  EXPECT_EQ(m.CreateProfile(L"Fresh", false), 1);
  EXPECT_EQ(m.CreateProfile(L"Copy", true), 1);
  EXPECT_EQ(m.GetCurrentName(), L"");
  EXPECT_TRUE(fs::is_directory(Fs(App(L"Profile"))));

  const std::wstring fresh = ReadText(ProfilePath(L"Fresh"));
  EXPECT_NE(fresh.find(L"JpgCompression=75"), std::wstring::npos);
  EXPECT_NE(fresh.find(L"CurrentNumber=0"), std::wstring::npos);
  const std::wstring copy = ReadText(ProfilePath(L"Copy"));
  EXPECT_NE(copy.find(L"JpgCompression=10"), std::wstring::npos);
  EXPECT_NE(copy.find(L"CurrentNumber=42"), std::wstring::npos);
  EXPECT_EQ(copy.find(L"\nLastSaveFile"), std::wstring::npos);
  EXPECT_FALSE(Exists(App(L"common.ini")));
  EXPECT_EQ(Listed(m), (std::set<std::wstring>{L"Fresh", L"Copy"}));
}

TEST_F(ProfileManagerTest, CreateChecksTheTrimmedNameButWritesTheNameGiven) {
  CProfile m;
  ASSERT_EQ(m.CreateProfile(L"Game", false), 1);
  EXPECT_EQ(m.CreateProfile(L" Game ", false), -4);
  EXPECT_EQ(m.CreateProfile(L"  ", false), -2);
  EXPECT_EQ(m.CreateProfile(L" Work ", false), 1);
  EXPECT_TRUE(Exists(ProfilePath(L" Work ")));
  EXPECT_EQ(m.CreateProfile(std::wstring(33, L'x'), false), -1);
}

// Whatever CreateProfile accepts must load again under the name it was written with: a refused
// load shows message 108 and the profile comes back at every start.
TEST_F(ProfileManagerTest, EveryCreatedProfileLoadsUnderTheNameGiven) {
  const std::wstring name32(32, L'n');
  struct Case {
    const char* what;
    std::wstring name;
    int expected;
  } cases[] = {
      {"32 characters", name32, 1},
      {"32 characters padded", L" " + name32 + L" ", -1},
      {"31 characters padded on one side", L" " + std::wstring(31, L'o'), 1},
      {"31 characters padded on both sides", L" " + std::wstring(31, L'p') + L" ", -1},
      {"ideographic space", L"\x3000" + std::wstring(31, L'q'), 1},
      {"tab before", L"\tTab", -2},
      {"newline after", L"Line\n", -2},
      {"short padded", L" Work ", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CProfile m;
    EXPECT_EQ(m.CreateProfile(c.name, false), c.expected);
    EXPECT_EQ(Exists(ProfilePath(c.name)), c.expected == 1);
    if (c.expected != 1) continue;
    CProfile loader;
    loader.SetCurrentName(c.name);
    EXPECT_TRUE(loader.LoadCurrent());
  }
  // Nothing but the accepted ones was written.
  CProfile m;
  EXPECT_EQ(Listed(m).size(), 4u);
}

TEST_F(ProfileManagerTest, NamesDifferingOnlyInCaseAreRefused) {
  CProfile m;
  ASSERT_EQ(m.CreateProfile(L"Game", false), 1);
  m.Current().jpg.SetJpgCompression(5);
  EXPECT_EQ(m.CreateProfile(L"GAME", true), -4);
  EXPECT_EQ(m.CreateProfile(L"game", true), -4);
  EXPECT_NE(ReadText(ProfilePath(L"Game")).find(L"JpgCompression=75"), std::wstring::npos);

  ASSERT_EQ(m.CreateProfile(L"Work", false), 1);
  m.SetCurrentName(L"Work");
  ASSERT_TRUE(m.LoadCurrent());
  EXPECT_EQ(m.RenameProfile(L"gAmE"), -4);
  EXPECT_TRUE(Exists(ProfilePath(L"Work")));
}

TEST_F(ProfileManagerTest, Rename) {
  CProfile m;
  ASSERT_EQ(m.CreateProfile(L"A", false), 1);
  ASSERT_EQ(m.CreateProfile(L"B", false), 1);
  m.SetCurrentName(L"A");
  ASSERT_TRUE(m.LoadCurrent());
  EXPECT_EQ(m.RenameProfile(L"A"), -4);
  EXPECT_EQ(m.RenameProfile(L"B"), -4);
  EXPECT_EQ(m.RenameProfile(L""), -2);
  EXPECT_EQ(m.RenameProfile(std::wstring(33, L'r')), -1);
  EXPECT_EQ(m.RenameProfile(L"C"), 1);
  EXPECT_EQ(m.GetCurrentName(), L"C");
  EXPECT_EQ(Listed(m), (std::set<std::wstring>{L"B", L"C"}));
  EXPECT_TRUE(m.MatchesSnapshot());  // a rename alone is no modification
  EXPECT_TRUE(m.LoadCurrent());
}

TEST_F(ProfileManagerTest, LoadTakesASnapshotAndEditsAreModifications) {
  CProfile m;
  ASSERT_EQ(m.CreateProfile(L"P", false), 1);
  m.SetCurrentName(L"P");
  ASSERT_TRUE(m.LoadCurrent());
  EXPECT_TRUE(m.IsSnapshotValid());
  EXPECT_TRUE(m.MatchesSnapshot());

  // Running state is stored by the check, and does not count as an edit.
  m.Current().gen.SetLastSaveFile(L"C:\\shot.jpg");
  m.Current().name.SetCurrentNumber(12);
  EXPECT_TRUE(m.MatchesSnapshot());
  const std::wstring text = ReadText(ProfilePath(L"P"));
  EXPECT_NE(text.find(L"LastSaveFile=C:\\shot.jpg"), std::wstring::npos);
  EXPECT_NE(text.find(L"CurrentNumber=12"), std::wstring::npos);
  EXPECT_TRUE(Exists(App(L"common.ini")));  // shared values too

  m.Current().png.SetPngInterlace(1);
  EXPECT_FALSE(m.MatchesSnapshot());
  EXPECT_TRUE(m.SaveCurrent());
  m.TakeSnapshot();
  EXPECT_TRUE(m.MatchesSnapshot());
  CProfile other;
  other.SetCurrentName(L"P");
  ASSERT_TRUE(other.LoadCurrent());
  EXPECT_EQ(other.Current().png.GetPngInterlace(), 1);
  EXPECT_EQ(other.Current().name.GetCurrentNumber(), 12);
}

TEST_F(ProfileManagerTest, AProfileDeletedBehindTheProgramsBackStaysDeleted) {
  CProfile m;
  ASSERT_EQ(m.CreateProfile(L"P", false), 1);
  m.SetCurrentName(L"P");
  ASSERT_TRUE(m.LoadCurrent());
  fs::remove(Fs(ProfilePath(L"P")));
  m.Current().gen.SetLastSaveFile(L"C:\\shot.jpg");
  m.Current().name.SetCurrentNumber(3);
  EXPECT_TRUE(m.MatchesSnapshot());
  EXPECT_FALSE(Exists(ProfilePath(L"P")));
}

TEST_F(ProfileManagerTest, SettingsFilesThatAreFoldersGiveDefaultsAndStayFolders) {
  for (const wchar_t* name : {L"common.ini", L"setting.ini", L"template.ini"}) fs::create_directory(Fs(App(name)));
  CProfile m;
  ASSERT_EQ(m.CreateProfile(L"P", false), 1);
  m.SetCurrentName(L"P");
  ASSERT_TRUE(m.LoadCurrent());
  EXPECT_EQ(m.Current().other.GetShow(), 1);
  m.Current().other.SetShow(0);
  EXPECT_TRUE(m.MatchesSnapshot());
  m.WriteAllCommon();
  SystemSettings s;
  s.Load();
  EXPECT_EQ(s.GetLastProfile(), L"");
  s.SetLastProfile(L"P");
  EXPECT_FALSE(s.Save());
  TemplateFile::ResetForTesting();
  std::wstring name;
  EXPECT_FALSE(TemplateFile::GetSizeTemplateName(0, name));
  TemplateFile::ResetForTesting();
  for (const wchar_t* name : {L"common.ini", L"setting.ini", L"template.ini"}) {
    EXPECT_TRUE(IsDirectoryPath(App(name))) << WideToUtf8(name);
  }
}

TEST_F(ProfileManagerTest, AnOversizedProfileIsNeitherLoadedNorReplaced) {
  CProfile m;
  ASSERT_EQ(m.CreateProfile(L"Big", false), 1);
  const std::string big = "[JPG]\r\nJpgCompression=3\r\n" + std::string(17 * 1024 * 1024, ';');
  WriteBytes(ProfilePath(L"Big"), big);
  m.SetCurrentName(L"Big");
  EXPECT_FALSE(m.LoadCurrent());
  EXPECT_FALSE(m.SaveCurrent());
  EXPECT_EQ(fs::file_size(Fs(ProfilePath(L"Big"))), big.size());
}

TEST_F(ProfileManagerTest, WithoutAProfile) {
  CProfile m;
  EXPECT_FALSE(m.LoadCurrent());
  EXPECT_FALSE(m.SaveCurrent());
  EXPECT_TRUE(m.MatchesSnapshot());
  std::wstring path;
  EXPECT_FALSE(m.GetProfilePath(path));
  EXPECT_EQ(path, App(L"Profile"));
  EXPECT_TRUE(Listed(m).empty());
}

TEST_F(ProfileManagerTest, DeleteForgetsTheSnapshotAndWritesNothingAfterwards) {
  CProfile m;
  ASSERT_EQ(m.CreateProfile(L"Gone", false), 1);
  m.SetCurrentName(L"Gone");
  ASSERT_TRUE(m.LoadCurrent());
  m.Current().jpg.SetJpgCompression(1);
  m.DeleteCurrentProfile();
  EXPECT_FALSE(Exists(ProfilePath(L"Gone")));
  EXPECT_EQ(m.GetCurrentName(), L"");
  EXPECT_FALSE(m.IsSnapshotValid());
  EXPECT_TRUE(m.MatchesSnapshot());
  EXPECT_FALSE(Exists(ProfilePath(L"Gone")));
  EXPECT_FALSE(Exists(App(L"common.ini")));
  EXPECT_EQ(m.Current().jpg.GetJpgCompression(), 1);  // the set keeps its values
}

TEST_F(ProfileManagerTest, ProfilesThatCannotBeLoadedLeaveTheCurrentValues) {
  CProfile m;
  ASSERT_EQ(m.CreateProfile(L"Real", false), 1);
  fs::create_directory(Fs(ProfilePath(L"Folder")));  // a folder named like a profile
  WriteBytes(App(L"Profile\\bad,name.ini"), "[JPG]\r\nJpgCompression=3\r\n");
  m.Current().jpg.SetJpgCompression(50);
  for (const wchar_t* name : {L"Missing", L"Folder", L"bad,name", L""}) {
    SCOPED_TRACE(WideToUtf8(name));
    m.SetCurrentName(name);
    EXPECT_FALSE(m.LoadCurrent());
    EXPECT_EQ(m.Current().jpg.GetJpgCompression(), 50);
  }
  EXPECT_EQ(Listed(m), (std::set<std::wstring>{L"Real", L"bad,name"}));
}

TEST_F(ProfileManagerTest, EnumerationTakesIniFilesOnly) {
  CProfile m;
  std::wstring dir;
  m.GetProfilePath(dir);
  WriteBytes(App(L"Profile\\one.ini"), "");
  WriteBytes(App(L"Profile\\TWO.INI"), "");
  WriteBytes(App(L"Profile\\three.ini.new"), "");
  WriteBytes(App(L"Profile\\four.txt"), "");
  WriteBytes(App(L"Profile\\.ini"), "");
  EXPECT_EQ(Listed(m), (std::set<std::wstring>{L"one", L"TWO"}));
  EXPECT_TRUE(m.ProfileExists(L"one"));
  EXPECT_FALSE(m.ProfileExists(L"ONE"));  // the list compares exactly
  EXPECT_TRUE(m.ProfileFileExists(L"ONE"));
}

TEST_F(ProfileManagerTest, ASaveThatCannotBeWrittenSaysSoAndKeepsTheFile) {
  CProfile m;
  ASSERT_EQ(m.CreateProfile(L"Locked", false), 1);
  m.SetCurrentName(L"Locked");
  ASSERT_TRUE(m.LoadCurrent());
  const std::string before = ReadBytes(ProfilePath(L"Locked"));
  MakeReadOnly(ProfilePath(L"Locked"), true);
  m.Current().jpg.SetJpgCompression(1);
  EXPECT_FALSE(m.SaveCurrent());
  EXPECT_EQ(ReadBytes(ProfilePath(L"Locked")), before);
  MakeReadOnly(ProfilePath(L"Locked"), false);
  EXPECT_TRUE(m.SaveCurrent());
}

using SystemSettingsTest = SettingsFolderTest;

TEST_F(SystemSettingsTest, LastProfileAndHistoryRoundTrip) {
  SystemSettings s;
  s.Load();
  EXPECT_EQ(s.GetLastProfile(), L"");
  EXPECT_EQ(s.GetSaveDirectoryCount(), 0u);
  EXPECT_FALSE(s.TakeHistoryChanged());
  const std::wstring longest(32, L'名');
  s.SetLastProfile(longest);
  for (int i = 0; i < 13; ++i) s.AddSaveDirectory(L"C:\\f" + std::to_wstring(i));
  EXPECT_TRUE(s.TakeHistoryChanged());
  EXPECT_FALSE(s.TakeHistoryChanged());
  ASSERT_EQ(s.GetSaveDirectoryCount(), 12u);  // the oldest, f0, dropped
  std::wstring folder;
  EXPECT_TRUE(s.GetSaveDirectory(0, folder));
  EXPECT_EQ(folder, L"C:\\f12");
  EXPECT_TRUE(s.GetSaveDirectory(11, folder));
  EXPECT_EQ(folder, L"C:\\f1");
  folder = L"kept";
  EXPECT_FALSE(s.GetSaveDirectory(12, folder));
  EXPECT_EQ(folder, L"kept");

  s.AddSaveDirectory(L"C:\\f5");  // moves to the front, no duplicate
  EXPECT_EQ(s.GetSaveDirectoryCount(), 12u);
  s.GetSaveDirectory(0, folder);
  EXPECT_EQ(folder, L"C:\\f5");
  EXPECT_TRUE(s.Save());

  SystemSettings back;
  back.Load();
  EXPECT_EQ(back.GetLastProfile(), longest);
  ASSERT_EQ(back.GetSaveDirectoryCount(), 12u);
  back.GetSaveDirectory(0, folder);
  EXPECT_EQ(folder, L"C:\\f5");
  EXPECT_TRUE(back.TakeHistoryChanged());
}

TEST_F(SystemSettingsTest, HandEditedHistory) {
  WriteBytes(App(L"setting.ini"),
             "[SYSTEM]\r\nLastProfile=" + std::string(40, 'L') +
                 "\r\nSaveDirectoryLog_0=C:\\a\r\nSaveDirectoryLog_1=C:\\a\r\nSaveDirectoryLog_2=\r\n"
                 "SaveDirectoryLog_3=C:\\b\r\nSaveDirectoryLog_4=/\r\nSaveDirectoryLog_5=C:\\never\r\n");
  SystemSettings s;
  s.Load();
  EXPECT_EQ(s.GetLastProfile(), std::wstring(32, L'L'));
  ASSERT_EQ(s.GetSaveDirectoryCount(), 2u);  // duplicates and empties skipped, "/" ends the list
  std::wstring folder;
  s.GetSaveDirectory(1, folder);
  EXPECT_EQ(folder, L"C:\\b");
}

using TemplateFileTest = SettingsFolderTest;

TEST_F(TemplateFileTest, ListsEndAtTheFirstGapAndAreReadOnce) {
  TemplateFile::ResetForTesting();
  const std::string longPath = "C:\\Windows\\Media\\Sounds of a long folder name\\camera shutter.wav";
  WriteBytes(App(L"template.ini"),
             "\xEF\xBB\xBF[SIZE]\r\nString_0=テンプレート\r\nsizeX_0=1\r\nsizeY_0=2\r\nString_1=" + std::string(40, 'n') +
                 "\r\nsizeY_1=480\r\nString_3=never\r\n[SOUND]\r\nPath_0=" + longPath + "\r\nPath_1=b.wav\r\n");
  std::wstring name;
  int32_t w = -1, h = -1;
  ASSERT_TRUE(TemplateFile::GetSizeTemplateName(0, name));
  EXPECT_EQ(name, L"テンプレート");
  ASSERT_TRUE(TemplateFile::GetSizeTemplateName(1, name));
  EXPECT_EQ(name, std::wstring(31, L'n'));
  ASSERT_TRUE(TemplateFile::GetSizeTemplateSize(1, w, h));
  EXPECT_EQ(w, 0);  // missing width
  EXPECT_EQ(h, 480);
  name = L"untouched";
  EXPECT_FALSE(TemplateFile::GetSizeTemplateName(2, name));
  EXPECT_EQ(name, L"untouched");
  EXPECT_FALSE(TemplateFile::GetSizeTemplateSize(5, w, h));
  EXPECT_EQ(h, 480);

  std::wstring path;
  ASSERT_TRUE(TemplateFile::GetSoundTemplatePath(0, path));
  EXPECT_EQ(path, Utf8ToWide(longPath));  // whole: a cut path would name no file
  EXPECT_TRUE(TemplateFile::GetSoundTemplatePath(1, path));
  EXPECT_FALSE(TemplateFile::GetSoundTemplatePath(2, path));

  // Edits while the program runs take effect at the next start.
  WriteBytes(App(L"template.ini"), "[SIZE]\r\nString_0=x\r\n");
  EXPECT_TRUE(TemplateFile::GetSizeTemplateName(1, name));
  TemplateFile::ResetForTesting();
}

TEST_F(TemplateFileTest, AMissingFileGivesEmptyLists) {
  TemplateFile::ResetForTesting();
  std::wstring s;
  int32_t w, h;
  EXPECT_FALSE(TemplateFile::GetSizeTemplateName(0, s));
  EXPECT_FALSE(TemplateFile::GetSizeTemplateSize(0, w, h));
  EXPECT_FALSE(TemplateFile::GetSoundTemplatePath(0, s));
  TemplateFile::ResetForTesting();
}

}  // namespace
