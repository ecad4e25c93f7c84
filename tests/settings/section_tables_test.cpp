// Each section declared as a table: perturbing one field at a time shows that the table drives
// comparison, saving and reading, and that shared and running values stay out of the comparison
// and out of the saved profile.
#include <gtest/gtest.h>

#include <string>

#include "settings/ProfileSectionSet.h"
#include "settings_fixture.h"

namespace pelmo {
namespace {

template <class S>
void Perturb(S& s, const SectionField<S>& f) {
  switch (f.kind) {
    case SectionField<S>::kNumber: s.*f.number += 7; break;
    case SectionField<S>::kText: s.*f.text += L"x"; break;
    case SectionField<S>::kColor: (s.*f.color).g = 3; break;
  }
}

template <class S>
bool SameField(const S& a, const S& b, const SectionField<S>& f) {
  switch (f.kind) {
    case SectionField<S>::kNumber: return a.*f.number == b.*f.number;
    case SectionField<S>::kText: return a.*f.text == b.*f.text;
    case SectionField<S>::kColor: return a.*f.color == b.*f.color;
  }
  return false;
}

class SectionTables : public test::SettingsFolderTest {
 protected:
  template <class S>
  void Check() {
    SCOPED_TRACE(testing::internal::GetTypeName<S>());
    const std::wstring path = App(L"tables.ini");
    for (const auto& f : S::Fields().fields()) {
      SCOPED_TRACE(std::string(f.key, f.key + std::wcslen(f.key)));
      test::WriteBytes(path, "");
      test::WriteBytes(App(L"common.ini"), "");
      S base, changed;
      Perturb(changed, f);
      const bool perProfile = f.home == FieldHome::kProfile;
      EXPECT_EQ(!changed.IsEqual(base), perProfile) << "compared exactly when it belongs to the profile";

      // Comparing OTHER also stores its shared values; start the save from an empty common.ini.
      test::WriteBytes(App(L"common.ini"), "");
      changed.Write(path);
      S fromProfile;
      fromProfile.Read(path);
      EXPECT_EQ(!SameField(fromProfile, base, f),
                perProfile || f.home == FieldHome::kRunningSaved) << "saved with the profile";

      changed.WriteRunningState(path);
      S afterRunning;
      afterRunning.Read(path);
      EXPECT_TRUE(SameField(afterRunning, changed, f)) << "every value is back after save and running state";

      const std::wstring text = test::ReadText(path);
      const std::wstring common = test::ReadText(App(L"common.ini"));
      const bool inProfile = text.find(std::wstring(f.key)) != std::wstring::npos;
      const bool inCommon = common.find(std::wstring(f.key)) != std::wstring::npos;
      EXPECT_NE(inProfile, inCommon) << "each key has one home";
      EXPECT_EQ(inCommon, f.home == FieldHome::kCommon);
    }
  }
};

TEST_F(SectionTables, EveryFieldIsComparedSavedAndReadAsItsTableSays) {
  Check<CGenProfile>();
  Check<CNameProfile>();
  Check<CBmpProfile>();
  Check<CJpgProfile>();
  Check<CGifProfile>();
  Check<CPngProfile>();
  Check<CResizeProfile>();
  Check<CScreenCutProfile>();
  Check<CDispProfile>();
  Check<CTimeProfile>();
  Check<CTransProfile>();
  Check<COtherProfile>();
}

}  // namespace
}  // namespace pelmo
