#include <gtest/gtest.h>

#include "ini_contract.h"
#include "settings/IniStore.h"
#include "settings_fixture.h"

using namespace pelmo;
using namespace pelmo::test;

namespace {

using IniStoreTest = SettingsFolderTest;

TEST_F(IniStoreTest, ContractReads) {
  OurStore store;
  RunReadCases(store, app_);
}

TEST_F(IniStoreTest, ContractWrites) {
  OurStore store;
  RunWriteCases(store, store, app_);
}

TEST(ParseProfileInt, FollowsThePlatformsNumberRules) {
  struct Case {
    const wchar_t* text;
    int32_t expect;
  } cases[] = {
      {L"0", 0},         {L"123", 123},       {L"-1", -1},          {L"+5", 5},      {L"  8", 8},
      {L"12ab", 12},     {L"ab", 0},          {L"-", 0},            {L"0x1F", 31},   {L"0b101", 5},
      {L"0o17", 15},     {L"2147483647", 2147483647},             {L"2147483648", INT32_MIN},
      {L"4294967296", 0}, {L"1.5", 1},        {L"１２", 0},  // full-width digits are no digits
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.text));
    EXPECT_EQ(ParseProfileInt(c.text), c.expect);
  }
}

TEST_F(IniStoreTest, EveryCharacterSurvivesAndTheFileIsUtf16WithByteOrderMark) {
  const std::wstring file = App(L"u.ini");
  const std::wstring values[] = {L"D:\\写真\\スクリーンショット", L"Ünïcödé ✓", L"😀 outside the basic plane",
                                 L"한국어 Ελληνικά русский"};
  for (size_t i = 0; i < std::size(values); ++i) {
    ASSERT_TRUE(IniStore::WriteString(file, L"S", L"K" + std::to_wstring(i), values[i]));
  }
  for (size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(IniStore::ReadString(file, L"S", L"K" + std::to_wstring(i), L"", 2048), values[i]);
  }
  const std::string bytes = ReadBytes(file);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_NE(bytes.find(std::string("[\0S\0]\0\r\0\n\0", 10)), std::string::npos);
}

TEST_F(IniStoreTest, ReadsFilesInOtherEncodings) {
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"UTF-8 with byte-order mark", "\xEF\xBB\xBF[S]\r\nK=\xE6\x97\xA5\xE6\x9C\xAC\r\n"},
      {"UTF-8 without a mark, as Notepad saves", "[S]\r\nK=\xE6\x97\xA5\xE6\x9C\xAC\r\n"},
      {"UTF-16 big-endian", std::string("\xFE\xFF\0[\0S\0]\0\n\0K\0=\x65\xE5\x67\x2C", 18)},
      {"UTF-16 little-endian, LF only", std::string("\xFF\xFE[\0S\0]\0\n\0K\0=\0\xE5\x65\x2C\x67", 18)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(App(L"e.ini"), c.bytes);
    EXPECT_EQ(IniStore::ReadString(App(L"e.ini"), L"S", L"K", L"", 64), L"日本");
  }
}

TEST_F(IniStoreTest, RewritingKeepsCommentsUnknownKeysAndBlankLines) {
  const std::wstring file = App(L"keep.ini");
  WriteBytes(file, "; made by hand\r\n[OPTION]\r\nImageType=1\r\nMyOwnKey=mine\r\n\r\n[OTHER]\r\n; note\r\nPriority=2\r\n");
  ASSERT_TRUE(IniStore::WriteString(file, L"OPTION", L"ImageType", L"3"));
  ASSERT_TRUE(IniStore::WriteString(file, L"OPTION", L"SaveFolder", L"C:\\x"));
  EXPECT_EQ(ReadText(file),
            L"; made by hand\r\n[OPTION]\r\nImageType=3\r\nMyOwnKey=mine\r\nSaveFolder=C:\\x\r\n\r\n[OTHER]\r\n"
            L"; note\r\nPriority=2\r\n");
}

TEST_F(IniStoreTest, AValueCannotAddLines) {
  const std::wstring file = App(L"inject.ini");
  ASSERT_TRUE(IniStore::WriteString(file, L"OPTION", L"SaveFolder", L"C:\\a\r\n[OTHER]\r\nPriority=4"));
  EXPECT_EQ(IniStore::ReadInt(file, L"OTHER", L"Priority", 2), 2);
  EXPECT_EQ(IniStore::ReadString(file, L"OPTION", L"SaveFolder", L"", 256), L"C:\\a  [OTHER]  Priority=4");
}

TEST_F(IniStoreTest, AFailedWriteLeavesTheFileAsItWas) {
  const std::string original = "[A]\r\nx=1\r\n";
  // A read-only file.
  const std::wstring ro = App(L"ro.ini");
  WriteBytes(ro, original);
  MakeReadOnly(ro, true);
  EXPECT_FALSE(IniStore::WriteString(ro, L"A", L"x", L"2"));
  EXPECT_EQ(ReadBytes(ro), original);
  EXPECT_FALSE(Exists(ro + L".new"));
  // A folder where the file should be: reads give defaults, writes fail, the folder stays.
  const std::wstring dir = App(L"dir.ini");
  fs::create_directory(Fs(dir));
  EXPECT_EQ(IniStore::ReadInt(dir, L"A", L"x", 7), 7);
  EXPECT_FALSE(IniStore::WriteString(dir, L"A", L"x", L"2"));
  EXPECT_TRUE(fs::is_directory(Fs(dir)));
  // A missing folder is not created by a write.
  EXPECT_FALSE(IniStore::WriteString(App(L"missing\\a.ini"), L"A", L"x", L"2"));
  EXPECT_FALSE(Exists(App(L"missing")));
}

TEST_F(IniStoreTest, ALeftoverTemporaryFileFromACrashDoesNotMatter) {
  const std::wstring file = App(L"crash.ini");
  WriteBytes(file, "[A]\r\nx=1\r\n");
  WriteBytes(file + L".new", "[A]\r\nx=half-writ");  // what a crash mid-save leaves
  EXPECT_EQ(IniStore::ReadInt(file, L"A", L"x", 0), 1);
  ASSERT_TRUE(IniStore::WriteString(file, L"A", L"x", L"2"));
  EXPECT_EQ(IniStore::ReadInt(file, L"A", L"x", 0), 2);
  EXPECT_FALSE(Exists(file + L".new"));
}

TEST_F(IniStoreTest, ABatchReadsEachFileOnceAndWritesItOnceAtCommit) {
  const std::wstring file = App(L"batch.ini");
  WriteBytes(file, "[A]\r\nx=1\r\n");
  {
    IniBatch batch;
    EXPECT_EQ(IniStore::ReadInt(file, L"A", L"x", 0), 1);
    // Later changes on disk are not seen: the file was read once, at its first use.
    WriteBytes(file, "[A]\r\nx=5\r\n");
    EXPECT_EQ(IniStore::ReadInt(file, L"A", L"x", 0), 1);
    EXPECT_TRUE(IniStore::WriteString(file, L"A", L"y", L"2"));
    {
      IniBatch nested;  // joins the outer batch
      EXPECT_TRUE(IniStore::WriteString(file, L"A", L"z", L"3"));
    }
    // Nothing reaches the disk before the commit.
    EXPECT_EQ(ReadBytes(file), "[A]\r\nx=5\r\n");
    EXPECT_EQ(IniStore::ReadInt(file, L"A", L"z", 0), 3);
    EXPECT_TRUE(batch.Commit());
  }
  EXPECT_EQ(ReadText(file), L"[A]\r\nx=1\r\ny=2\r\nz=3\r\n");
}

TEST_F(IniStoreTest, ABatchDoesNotOverwriteAFileItCouldNotRead) {
  const std::wstring dir = App(L"folder.ini");
  fs::create_directory(Fs(dir));
  const std::wstring ok = App(L"ok.ini");
  IniBatch batch;
  EXPECT_FALSE(IniStore::IsReadable(dir));
  IniStore::WriteString(dir, L"A", L"x", L"1");
  IniStore::WriteString(ok, L"A", L"x", L"1");
  EXPECT_FALSE(batch.Commit());
  EXPECT_TRUE(fs::is_directory(Fs(dir)));
  EXPECT_EQ(IniStore::ReadInt(ok, L"A", L"x", 0), 1);  // the other file was written
}

TEST_F(IniStoreTest, UnsignedWritesGiveTheUnsigned32BitForm) {
  const std::wstring file = App(L"u.ini");
  ASSERT_TRUE(IniStore::WriteUInt(file, L"RESIZE", L"Resize_X_PX", -1));
  ASSERT_TRUE(IniStore::WriteInt(file, L"RESIZE", L"Signed", -1));
  EXPECT_EQ(IniStore::ReadString(file, L"RESIZE", L"Resize_X_PX", L"", 32), L"4294967295");
  EXPECT_EQ(IniStore::ReadString(file, L"RESIZE", L"Signed", L"", 32), L"-1");
  EXPECT_EQ(IniStore::ReadInt(file, L"RESIZE", L"Resize_X_PX", 0), -1);
}

TEST_F(IniStoreTest, BinaryGarbageReadsAsDefaultsAndIsNotLost) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256));
  const std::wstring file = App(L"garbage.ini");
  WriteBytes(file, garbage);
  EXPECT_EQ(IniStore::ReadInt(file, L"OPTION", L"ImageType", 1), 1);
  EXPECT_EQ(IniStore::ReadString(file, L"OPTION", L"SaveFolder", L"d", 2048), L"d");
  ASSERT_TRUE(IniStore::WriteString(file, L"OPTION", L"ImageType", L"2"));
  EXPECT_EQ(IniStore::ReadInt(file, L"OPTION", L"ImageType", 1), 2);
}

}  // namespace
