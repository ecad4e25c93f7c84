#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "core/CaptureEvents.h"

using namespace pelmo;

struct EventRow {
  CaptureEventId id;
  const char* keyName;
};

// Stored profiles rely on these pairings; 8, 9 and 10 do not describe their events.
constexpr EventRow kRows[] = {
    {0, "ScreenShot_Desktop"},    {1, "ScreenShot_Window"},  {2, "ScreenShot_Client"},
    {3, "ScreenShot_AllDisplay"}, {4, "ScreenShot_Display"}, {5, "ScreenCut"},
    {6, "ScreenCutRect"},         {7, "ScreenCutTarget"},    {8, "SetClipboard"},
    {9, "ScreenShot_Auto"},       {10, "OpenSetting"},       {11, "OpenLastSaveFile"},
    {12, "OpenLastSaveDirectory"}, {13, "OpenDirectory"},    {14, "ChangeInputMode"},
    {15, "NextProfile"},          {16, "BackProfile"},
};

TEST(CaptureEvents, KeyNamesAndTextIdsFollowTheTable) {
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.id);
    ASSERT_NE(EventKeyName(row.id), nullptr);
    EXPECT_STREQ(EventKeyName(row.id), row.keyName);
    std::wstring wide(EventKeyNameW(row.id));
    EXPECT_EQ(wide, std::wstring(row.keyName, row.keyName + std::strlen(row.keyName)));
    EXPECT_EQ(EventTextId(row.id), 2000 + row.id);
  }
}

TEST(CaptureEvents, KeyNamesAreShortDistinctAscii) {
  std::set<std::string> seen;
  for (CaptureEventId id = 0; id < kEventCount; ++id) {
    const std::string name = EventKeyName(id);
    EXPECT_LE(name.size(), 21u) << name;
    for (char c : name) EXPECT_TRUE(c > 0x20 && c < 0x7f) << name;
    EXPECT_TRUE(seen.insert(name).second) << name;
  }
}

TEST(CaptureEvents, IdsOutsideTheTableNameNothing) {
  for (CaptureEventId id : {-1, 17, 18, 1000, INT32_MIN, INT32_MAX}) {
    EXPECT_FALSE(IsValidEvent(id));
    EXPECT_EQ(EventKeyName(id), nullptr);
    EXPECT_EQ(EventKeyNameW(id), nullptr);
    EXPECT_EQ(EventTextId(id), 0);
  }
}
