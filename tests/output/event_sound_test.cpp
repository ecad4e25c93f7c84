#include <gtest/gtest.h>

#include <set>
#include <string>

#include "output/EventSound.h"

using namespace pelmo;

TEST(ChooseSoundFile, WhereAStoredPathIsLookedFor) {
  const std::wstring app = L"C:\\Program\\";
  const std::set<std::wstring> files = {
      L"Sounds\\here.wav",                   // relative to the current folder
      L"C:\\Program\\Sounds\\クラシック カメラ.wav",  // beside the program only
      L"C:\\Program\\bare.wav",
      L"C:\\Program\\Sounds\\here.wav",
      L"D:\\abs.wav",
  };
  auto exists = [&](const std::wstring& p) { return files.count(p) != 0; };
  struct Case {
    const wchar_t* stored;
    const wchar_t* chosen;
  };
  const Case cases[] = {
      {L"", L""},
      {L"Sounds\\here.wav", L"Sounds\\here.wav"},  // the current folder comes first
      {L"Sounds\\クラシック カメラ.wav", L"C:\\Program\\Sounds\\クラシック カメラ.wav"},
      {L"bare.wav", L"C:\\Program\\bare.wav"},
      {L"D:\\abs.wav", L"D:\\abs.wav"},
      {L"D:\\gone.wav", L""},     // absolute and missing: nothing plays
      {L"\\abs.wav", L""},        // rooted: not looked for beside the program
      {L"nowhere.wav", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.stored)));
    EXPECT_EQ(ChooseSoundFile(c.stored, app, exists), c.chosen);
  }
  // A program folder given without its trailing backslash works the same.
  EXPECT_EQ(ChooseSoundFile(L"bare.wav", L"C:\\Program", exists), L"C:\\Program\\bare.wav");
  EXPECT_EQ(ChooseSoundFile(L"bare.wav", L"", exists), L"");
}
