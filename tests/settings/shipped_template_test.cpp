// The template.ini that ships in the program folder is read as the pages will read it.
#include <gtest/gtest.h>

#include <string>

#include "core/AppDirectory.h"
#include "settings/TemplateFile.h"

namespace pelmo {
namespace {

TEST(ShippedTemplate, SizesAndTheDefaultSoundAreReadWithTheirJapaneseNames) {
  const std::string dir = PELMO_SOURCE_DIR "/resources/dist/";
  SetAppDirectoryForTesting(std::wstring(dir.begin(), dir.end()));
  TemplateFile::ResetForTesting();
  std::wstring name;
  ASSERT_TRUE(TemplateFile::GetSizeTemplateName(0, name));
  EXPECT_EQ(name, L"テンプレートを選択");  // the first entry is the box's caption
  size_t count = 0;
  while (TemplateFile::GetSizeTemplateName(count, name)) ++count;
  EXPECT_EQ(count, 9u);
  int32_t w = 0, h = 0;
  ASSERT_TRUE(TemplateFile::GetSizeTemplateSize(7, w, h));
  EXPECT_EQ(w, 1920);
  EXPECT_EQ(h, 1080);
  std::wstring sound;
  ASSERT_TRUE(TemplateFile::GetSoundTemplatePath(0, sound));
  EXPECT_EQ(sound, L"Sounds\\クラシック カメラ.wav");
  EXPECT_FALSE(TemplateFile::GetSoundTemplatePath(1, sound));
  TemplateFile::ResetForTesting();
}

}  // namespace
}  // namespace pelmo
